#pragma once
// Fields: {\field{\*\fldinst instruction}{\fldrslt result}}. The result is shown; a HYPERLINK
// instruction makes it a link to the instruction's target.
#include "RtfControlWords.h"

#include <string>
#include <vector>

namespace platform::rtf {

class ParserCore;
struct State;

class FieldHandler final {
 public:
  explicit FieldHandler(ParserCore& core) : core_(core) {}

  // \field, \fldinst and \fldrslt.
  void word(Word word);

  void instructionCharacter(char16_t c);

  // The instruction's group closed: a hyperlink's target joins the document's links.
  void instructionEnd(const State& closed);

 private:
  struct Field {
    std::u16string instruction;
    int link = 0;  // 1-based index into the links; 0 is no link
  };

  ParserCore& core_;
  std::vector<Field> fields_;
};

}  // namespace platform::rtf

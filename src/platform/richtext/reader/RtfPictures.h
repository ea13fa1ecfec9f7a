#pragma once
// Pictures: {\pict} with words for the picture's kind and size, then its data in hex digits or
// as \bin bytes. PNG and JPEG pictures in the body are shown; other kinds have no decoder here.
#include "RtfControlWords.h"
#include "RtfParser.h"

#include <string_view>

namespace platform::rtf {

class ParserCore;

class PictureHandler final {
 public:
  explicit PictureHandler(ParserCore& core) : core_(core) {}

  void open();

  // A word inside \pict: the kind and size of the picture. Any other starred word, or a
  // destination the picture has no use for, skips its group.
  void word(Word word, int param, bool star);

  // A text byte inside \pict: a hex digit of the data, two to a byte; anything else is spacing.
  void hexDigit(unsigned char c);
  void binary(std::string_view data);

  void end();

 private:
  ParserCore& core_;
  Picture picture_;
  int nibble_ = -1;  // the high half of a byte whose low half has not come yet
};

}  // namespace platform::rtf

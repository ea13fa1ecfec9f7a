#pragma once
// The colour table: entries of \redN, \greenN and \blueN ending in semicolons. An entry with no
// colour given is the automatic colour.
#include "RtfControlWords.h"

namespace platform::rtf {

struct DocumentTables;

class ColorTableHandler final {
 public:
  explicit ColorTableHandler(DocumentTables& tables) : tables_(tables) {}

  // \colortbl: a second table replaces the first.
  void open();

  // \red, \green and \blue; false for any other word.
  bool word(Word word, int param);

  // The semicolon ends an entry; other characters mean nothing here.
  void character(char16_t c);

 private:
  DocumentTables& tables_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool given_ = false;
};

}  // namespace platform::rtf

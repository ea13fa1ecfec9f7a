#pragma once
// Unicode characters: \uN gives one, and the \ucN characters after it (1 unless a group says
// otherwise) are the fallback for readers without Unicode, passed over here. A fallback character
// is a text byte, an escaped byte, a control symbol or a whole control word, \bin with its data
// included; a group boundary ends the fallback. \upr holds a text twice, the Unicode twin in \ud.
#include "RtfControlWords.h"

#include <algorithm>
#include <cstddef>

namespace platform::rtf {

class ParserCore;

class UnicodeHandler final {
 public:
  explicit UnicodeHandler(ParserCore& core) : core_(core) {}

  // \u, \uc, \upr and \ud.
  void word(Word word, int param);

  // True, using it up, while a fallback character remains to be passed over.
  bool skipFallback() {
    if (skip_ == 0) return false;
    --skip_;
    return true;
  }

  // Passes over the fallback characters at the start of a stretch of text; returns how many.
  std::size_t skipFallback(std::size_t available) {
    const std::size_t skipped = std::min(static_cast<std::size_t>(skip_), available);
    skip_ -= static_cast<int>(skipped);
    return skipped;
  }

  void endFallback() { skip_ = 0; }

 private:
  ParserCore& core_;
  int skip_ = 0;  // fallback characters still to pass over
};

}  // namespace platform::rtf

#pragma once
// What each group of a file carries: its formats and where its characters go. A group starts
// with its parent's state; closing it returns to the parent's.
#include "RtfParser.h"

#include <cstdint>

namespace platform::rtf {

// Where the characters of a group go.
enum class Destination : std::uint8_t {
  Body,
  Skip,
  Dropped,
  FontTable,
  ColorTable,
  FieldInstruction,
  Bookmark,
  Picture,
};

struct State {
  CharFormat chr;
  ParaFormat para;
  Destination dest = Destination::Body;
  Destination uprOuter = Destination::Body;  // where \ud inside \upr sends its text
  bool hidden = false;
  bool star = false;  // the group opened with \*: an unknown word makes it skippable
  int unicodeSkip = 1;
  int field = -1;  // index of the field whose instruction or result this group holds
};

}  // namespace platform::rtf

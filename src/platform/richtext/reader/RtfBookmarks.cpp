#include "RtfBookmarks.h"

#include "RtfParserCore.h"

namespace platform::rtf {
namespace {

// Far longer than any name a writer makes; a damaged file's would only cost memory.
constexpr qsizetype kMaxName = 256;

}  // namespace

void BookmarkHandler::character(char16_t c) {
  if (name_.size() < kMaxName) name_ += QChar(c);
}

void BookmarkHandler::end() {
  const QString name = name_.trimmed();
  if (core_.bodyVisible() && !name.isEmpty()) core_.output().bookmark(name);
  name_.clear();
}

}  // namespace platform::rtf

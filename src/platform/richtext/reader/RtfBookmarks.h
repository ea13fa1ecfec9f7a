#pragma once
// Bookmarks: {\*\bkmkstart name} marks the place where it stands, for links to lead to. Where a
// bookmark ends (\bkmkend) does not matter to a link, so that group is skipped.
#include <QString>

namespace platform::rtf {

class ParserCore;

class BookmarkHandler final {
 public:
  explicit BookmarkHandler(ParserCore& core) : core_(core) {}

  void open() { name_.clear(); }
  void character(char16_t c);
  // The name is whole: the place is marked, if it is in the body.
  void end();

 private:
  ParserCore& core_;
  QString name_;
};

}  // namespace platform::rtf

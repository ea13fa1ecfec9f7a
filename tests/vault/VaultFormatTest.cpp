// Protects the vault's line rules and entry lines.
#include "vault/VaultFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> lines(std::string_view bytes) {
  vault::LineReader r(bytes);
  std::vector<std::string> out;
  std::string_view line;
  while (r.next(line)) out.emplace_back(line);
  return out;
}

}  // namespace

TEST(LineReader, readingRules) {
  using V = std::vector<std::string>;
  EXPECT_EQ(lines(""), V{});
  EXPECT_EQ(lines("\r\n"), V{""});
  EXPECT_EQ(lines("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(lines("a\r\nb"), (V{"a", "b"}));                                  // the last line may lack its end
  EXPECT_EQ(lines("a\rb\r"), (V{"a", "b"}));                                  // CR alone ends a line
  EXPECT_EQ(lines("a\nb\r\n"), (V{"a\nb"}));                                  // a lone LF is content
  EXPECT_EQ(lines(std::string("a\0b\r\n", 5)), (V{std::string("a\0b", 3)}));  // so is 00
  EXPECT_EQ(lines("\r\n\r\n"), (V{"", ""}));
  EXPECT_EQ(lines("a\r\r\n"), (V{"a", ""}));
}

TEST(LineReader, restIsWhatFollowsTheLinesRead) {
  vault::LineReader r("first\r\nsecond\r\n");
  std::string_view line;
  ASSERT_TRUE(r.next(line));
  EXPECT_EQ(r.rest(), "second\r\n");
}

TEST(SplitEntry, piecesAtEverySeparatorFromTheLeft) {
  using A = std::array<std::string_view, 3>;
  EXPECT_EQ(vault::splitEntry("u|||p|||l"), (A{"u", "p", "l"}));
  EXPECT_EQ(vault::splitEntry("u||||||l"), (A{"u", "", "l"}));
  EXPECT_EQ(vault::splitEntry("u||||p|||l"), (A{"u", "|p", "l"}));  // the leftmost bars separate
  EXPECT_EQ(vault::splitEntry("u|||a|||b|||c"), (A{"u", "a", "b"}));
  EXPECT_EQ(vault::splitEntry("only"), (A{"only", "", ""}));
  EXPECT_EQ(vault::splitEntry("u|||p"), (A{"u", "p", ""}));
}

TEST(EntryLines, byteImageOfOneEntry) {
  std::string out;
  vault::appendShiftedEntry(out, "a", "b", "c");
  EXPECT_EQ(out, "\xE1\xFC\xFC\xFC\xE2\xFC\xFC\xFC\xE3\r\n");
  out.clear();
  vault::appendShiftedLine(out, "pw");
  EXPECT_EQ(out, "\xF0\xF7\r\n");
}

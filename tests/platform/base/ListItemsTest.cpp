// Protects the list rows: numbering, selection, stable keys, sort settings and the text order.
#include "platform/base/ListItems.h"

#include <gtest/gtest.h>

using platform::compareText;
using platform::ListItems;

namespace {

std::vector<std::string> column(const ListItems& l, int c) {
  std::vector<std::string> out;
  for (std::int64_t r = 1; r <= l.count(); ++r) out.emplace_back(l.row(r).column(c));
  return out;
}

}  // namespace

TEST(ListItems, rowsKeepTheirThreeTextsAndKeys) {
  ListItems l;
  l.add("user", "", "loc");
  l.add("", "pw", "");
  ASSERT_EQ(l.count(), 2);
  EXPECT_EQ(l.row(1).text(), "user");
  EXPECT_EQ(l.row(1).subItem(1), "");
  EXPECT_EQ(l.row(1).subItem(2), "loc");
  EXPECT_EQ(l.row(1).subItem(3), "");
  EXPECT_EQ(l.row(2).subItem(1), "pw");
  auto key = l.row(2).key();
  EXPECT_NE(key, l.row(1).key());
  l.remove(1);
  EXPECT_EQ(l.findKey(key), 1);
  l.setRow(1, "a", "b", "c");
  EXPECT_EQ(l.row(1).key(), key);
  l.remove(1);
  EXPECT_EQ(l.findKey(key), 0);
}

TEST(ListItems, firstSelectedScansInRowOrder) {
  ListItems l;
  EXPECT_EQ(l.firstSelected(), 0);
  for (auto t : {"c", "a", "b"}) l.add(t);
  l.setSelected(3, true);
  l.setSelected(2, true);
  EXPECT_EQ(l.firstSelected(), 2);
  l.setSelected(2, false);
  EXPECT_EQ(l.firstSelected(), 3);
  // The flag travels with its row through a sort.
  l.setSorted(true);
  EXPECT_EQ(column(l, 0), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(l.row(l.firstSelected()).text(), "b");
}

TEST(ListItems, sortSettingsSortAndKeepTheOrder) {
  ListItems l;
  l.add("b", "2", "z");
  l.add("a", "10", "y");
  l.add("c", "9", "x");
  l.setSortKey(1);  // not sorted yet: nothing moves
  EXPECT_EQ(column(l, 0), (std::vector<std::string>{"b", "a", "c"}));
  l.setSorted(true);
  EXPECT_EQ(column(l, 1), (std::vector<std::string>{"10", "2", "9"}));  // numbers compare as text
  l.setSortOrder(platform::kSortDescending);
  EXPECT_EQ(column(l, 1), (std::vector<std::string>{"9", "2", "10"}));
  // While sorted, new and edited rows take their sorted place.
  EXPECT_EQ(l.add("d", "3", ""), 2);
  EXPECT_EQ(l.setRow(2, "d", "0", ""), 4);
  EXPECT_EQ(column(l, 1), (std::vector<std::string>{"9", "2", "10", "0"}));
}

TEST(CompareText, alphabeticalIgnoringCaseAndAccentsFirst) {
  EXPECT_LT(compareText("apple", "Banana"), 0);
  EXPECT_LT(compareText("Banana", "cherry"), 0);
  EXPECT_LT(compareText("\xE9t\xE9", "ezz"), 0);        // été sorts with e
  EXPECT_LT(compareText("\xC4rger", "Bach"), 0);        // Ärger sorts with a
  EXPECT_LT(compareText("abc", "ABC"), 0);              // case only breaks ties
  EXPECT_LT(compareText("resume", "r\xE9sum\xE9"), 0);  // plain before accented
  EXPECT_LT(compareText("10", "9"), 0);
  EXPECT_LT(compareText("ab", "abc"), 0);
  EXPECT_EQ(compareText("same", "same"), 0);
  EXPECT_LT(compareText("9", "a"), 0);  // digits before letters
}

// Protects the column sort: each click reverses the direction the list holds, whatever column was
// clicked; the order is alphabetical by text; and a save writes the rows in the order shown.
#include "EntriesFixture.h"
#include "list/modListViewEnh.h"

#include <algorithm>
#include <random>

namespace entries_test {
namespace {

class ColumnSort : public EntriesFixture {
 protected:
  std::vector<std::string> column(int c) {
    std::vector<std::string> texts;
    for (const auto& e : allEntries()) texts.push_back(e[static_cast<std::size_t>(c)]);
    return texts;
  }
};
using modListViewEnh::EnhListView_SortColumns;

TEST_F(ColumnSort, emptyListChangesNothingThenTheFirstClickStillSortsDescending) {
  open({});
  EXPECT_TRUE(EnhListView_SortColumns(*form->lstPass, 2, true));
  EXPECT_FALSE(rows().sorted());
  EXPECT_EQ(rows().sortOrder(), platform::kSortAscending);

  rows().add("b");
  rows().add("a");
  rows().add("c");
  form->lstPass_ColumnClick(1);
  EXPECT_EQ(column(0), (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(ColumnSort, directionAlternatesAcrossColumns) {
  open({{"b", "2", "x"}, {"a", "3", "y"}, {"c", "1", "z"}});
  form->lstPass_ColumnClick(1);
  EXPECT_EQ(column(0), (std::vector<std::string>{"c", "b", "a"}));
  form->lstPass_ColumnClick(2);  // the other column, the opposite direction
  EXPECT_EQ(rows().sortKey(), 1);
  EXPECT_EQ(column(1), (std::vector<std::string>{"1", "2", "3"}));
  form->lstPass_ColumnClick(2);
  EXPECT_EQ(column(1), (std::vector<std::string>{"3", "2", "1"}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ColumnSort, ordersAlphabeticallyIgnoringCaseAndAccentsNumbersAsText) {
  open({{"9", "", ""},
        {"banana", "", ""},
        {"\xC9"
         "clair",
         "", ""},
        {"Apple", "", ""},
        {"10", "", ""},
        {"cherry", "", ""}});
  rows().setSortOrder(platform::kSortDescending);  // so the click sorts ascending
  form->lstPass_ColumnClick(1);
  EXPECT_EQ(column(0), (std::vector<std::string>{"10", "9", "Apple", "banana", "cherry",
                                                 "\xC9"
                                                 "clair"}));
}

// The list's fast sort must give exactly the order of a stable sort by compareText: shared
// prefixes, equal texts, case and accent variants, texts that are prefixes of others.
TEST_F(ColumnSort, bigListOrderEqualsAStableSortByCompareText) {
  std::mt19937 rng(3);
  const std::string alphabet = "aAbB\xE1\xC1 9|";
  std::vector<Entry> entries;
  for (int i = 0; i < 3000; ++i) {
    std::string tail;
    for (std::size_t n = rng() % 12; n > 0; --n) tail.push_back(alphabet[rng() % alphabet.size()]);
    entries.push_back({"same-prefix-" + tail, std::to_string(i), tail});
  }
  open(entries);
  for (int click : {1, 1, 3, 3}) {
    std::vector<Entry> expected = allEntries();
    form->lstPass_ColumnClick(click);
    const std::size_t c = static_cast<std::size_t>(click - 1);
    const bool descending = rows().sortOrder() == platform::kSortDescending;
    std::stable_sort(expected.begin(), expected.end(), [&](const Entry& a, const Entry& b) {
      const int r = platform::compareText(a[c], b[c]);
      return descending ? r > 0 : r < 0;
    });
    ASSERT_EQ(allEntries(), expected) << "click " << click;
  }
}

TEST_F(ColumnSort, saveAfterSortWritesTheSortedOrder) {
  open({{"b", "1", ""}, {"a", "2", ""}, {"c", "3", ""}});
  form->lstPass_ColumnClick(3);  // all locations equal: the order stays
  form->lstPass_ColumnClick(1);  // ascending by user name
  ASSERT_TRUE(modGlobals::saveVault());
  EXPECT_EQ(fileBytes(), vaultImage(kMaster, {{"a", "2", ""}, {"b", "1", ""}, {"c", "3", ""}}));
}

TEST_F(ColumnSort, unknownHeaderFailsAndReportsOnlyWhenAsked) {
  open({{"a", "", ""}});
  EXPECT_FALSE(EnhListView_SortColumns(*form->lstPass, 4, false));
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(EnhListView_SortColumns(*form->lstPass, 0, true));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Error in Function : EnhListView_SortColumns");
  EXPECT_EQ(boxes[0].text, "Error35600\tIndex out of bounds");
  EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
  EXPECT_EQ(boxes[0].buttons, QMessageBox::Ok);
}

}  // namespace
}  // namespace entries_test

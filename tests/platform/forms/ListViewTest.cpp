// Protects the list view: columns in twips, code-page display, a million rows without per-row
// cost, selection mirrored into the rows' flags through sorts and removals, and header clicks.
#include "platform/forms/ListView.h"
#include "platform/forms/ListViewModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>

#include <gtest/gtest.h>

using platform::ListItems;
using platform::ListView;

namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view = new ListView(&window);
    for (const char* text : {"Username", "Password", "Website/Location"}) view->addColumn(QString::fromLatin1(text));
    view->setGeometry(0, 0, 600, 300);
  }

  void addRows(std::initializer_list<const char*> names) {
    for (const char* name : names) items().add(name, "p", "w");
  }
  ListItems& items() { return view->items(); }
  QString shown(int row, int column) const { return view->model()->index(row, column).data().toString(); }
  // The view's selected row, 1-based (0: none).
  int viewRow() const {
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
  }
  std::string selectedText() const {
    const std::int64_t n = view->items().firstSelected();
    return n ? std::string(view->items().row(n).text()) : std::string();
  }
  int flagged() const {
    int count = 0;
    for (std::int64_t n = 1; n <= view->items().count(); ++n) count += view->items().row(n).selected();
    return count;
  }
  static void clickAt(QWidget* target, QPoint at) {
    const QPoint global = target->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
  }
  void showWindow() {
    window.show();
    QApplication::processEvents();
  }

  QWidget window;
  ListView* view = nullptr;
};

}  // namespace

TEST_F(ListViewTest, columnsAreOneBasedLeftAlignedSizedInTwipsAndRowsShowTheCodePage) {
  EXPECT_EQ(view->columnCount(), 3);
  EXPECT_EQ(view->columnText(3), QStringLiteral("Website/Location"));
  EXPECT_EQ(view->columnText(4), QString());
  view->setColumnWidthTwips(3, 4095);
  showWindow();
  EXPECT_NEAR(view->columnWidthTwips(3), 4095, 7);  // the last column is not stretched
  const auto align = view->model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
  EXPECT_TRUE(align & Qt::AlignLeft);
  EXPECT_EQ(view->accessibleName(), QStringLiteral("Entries list"));

  items().add("caf\xe9", "\x80uro", "");
  EXPECT_EQ(shown(0, 0), QStringLiteral("caf\u00e9"));
  EXPECT_EQ(shown(0, 1), QStringLiteral("\u20acuro"));
  items().setRow(1, "x", "y", "z");
  EXPECT_EQ(shown(0, 2), QStringLiteral("z"));
}

// A field of megabytes (read from the file or pasted) froze the list for a minute per paint:
// a cell shows one bounded line, while the row keeps the whole text.
TEST_F(ListViewTest, aFieldShowsAsOneBoundedLine) {
  const std::string huge(10'000'000, 'h');
  const std::pair<std::string, QString> cases[] = {
      {"plain", QStringLiteral("plain")},
      {"a\r\nb\rc\nd", QStringLiteral("a\u21B5b\u21B5c\u21B5d")},
      {"\r\n", QStringLiteral("\u21B5")},
      {std::string(platform::ListViewModel::kShownChars, 'x'),
       QString(platform::ListViewModel::kShownChars, QLatin1Char('x'))},
      {huge, QString(platform::ListViewModel::kShownChars, QLatin1Char('h')) + QChar(0x2026)},
  };
  for (const auto& [field, expected] : cases) {
    items().clear();
    items().add(field, "p", "w");
    EXPECT_EQ(shown(0, 0), expected);
  }
  EXPECT_EQ(items().row(1).text().size(), huge.size());
}

TEST_F(ListViewTest, aMillionRowsLoadWithoutAWidgetPerRow) {
  showWindow();
  const auto widgetsBefore = view->findChildren<QWidget*>().size();
  QElapsedTimer clock;
  clock.start();
  std::vector<platform::ListRow> rows;
  rows.reserve(1000000);
  for (int i = 0; i < 1000000; ++i) rows.push_back(items().makeRow("user" + std::to_string(i), "secret", "site"));
  items().appendRows(std::move(rows));
  view->selectRow(999999);
  QApplication::processEvents();
  // Generous: only per-row widgets or per-row layout work would come anywhere near this.
  EXPECT_LT(clock.elapsed(), 20000);
  EXPECT_EQ(view->model()->rowCount(), 1000000);
  EXPECT_EQ(view->findChildren<QWidget*>().size(), widgetsBefore);
  EXPECT_EQ(selectedText(), "user999998");
  EXPECT_TRUE(view->visualRect(view->model()->index(999998, 0)).intersects(view->viewport()->rect()));
}

TEST_F(ListViewTest, clicksAndSelectRowAreMirroredIntoOneFlag) {
  addRows({"a", "b", "c", "d"});
  showWindow();
  clickAt(view->viewport(), view->visualRect(view->model()->index(1, 2)).center());
  EXPECT_EQ(items().firstSelected(), 2);
  view->selectRow(4);
  EXPECT_EQ(items().firstSelected(), 4);
  EXPECT_EQ(flagged(), 1);
  EXPECT_EQ(viewRow(), 4);
  view->selectRow(0);
  EXPECT_EQ(items().firstSelected(), 0);
  EXPECT_EQ(viewRow(), 0);
}

TEST_F(ListViewTest, selectionFollowsItsRowThroughASort) {
  addRows({"b", "c", "a"});
  view->selectRow(2);       // "c"
  items().setSorted(true);  // a b c
  EXPECT_EQ(selectedText(), "c");
  EXPECT_EQ(viewRow(), 3);
  items().setSortOrder(platform::kSortDescending);  // c b a
  EXPECT_EQ(items().firstSelected(), 1);
  EXPECT_EQ(viewRow(), 1);
  EXPECT_EQ(flagged(), 1);
  EXPECT_EQ(view->currentIndex().row(), 0);  // keyboard navigation goes on from the same row
}

TEST_F(ListViewTest, selectionSurvivesOtherRemovalsGoesWithItsRowAndComesBackWithIt) {
  addRows({"a", "b", "c", "d"});
  view->selectRow(3);  // "c"
  items().remove(1);
  EXPECT_EQ(selectedText(), "c");
  EXPECT_EQ(viewRow(), 2);

  platform::ListRow row = items().take(2);  // "c" itself, kept for an undo
  EXPECT_EQ(items().firstSelected(), 0);
  EXPECT_EQ(viewRow(), 0);
  items().insert(2, std::move(row));
  EXPECT_EQ(viewRow(), 2);

  items().remove(2);
  EXPECT_EQ(viewRow(), 0);
}

TEST_F(ListViewTest, aHeaderClickReportsTheOneBasedColumnAndTheIndicatorFollowsTheRows) {
  items().add("a", "1", "w");
  items().add("b", "2", "w");
  QList<int> clicked;
  QObject::connect(view, &platform::ListView::columnClicked, [&](int index) {
    clicked.append(index);
    if (index == 2) {
      items().setSorted(true);
      items().setSortKey(index - 1);
      items().setSortOrder(platform::kSortDescending);
    }
  });
  showWindow();
  QHeaderView* header = view->header();
  const auto clickSection = [&](int section) {
    clickAt(header->viewport(), QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  };
  clickSection(0);  // the handler leaves the rows unsorted: no indicator
  EXPECT_FALSE(header->isSortIndicatorShown());
  clickSection(1);
  EXPECT_EQ(clicked, (QList<int>{1, 2}));
  EXPECT_TRUE(header->isSortIndicatorShown());
  EXPECT_EQ(header->sortIndicatorSection(), 1);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(shown(0, 0), QStringLiteral("b"));
}

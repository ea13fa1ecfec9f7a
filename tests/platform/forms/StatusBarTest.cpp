// Protects the status bar: one panel to start, 1-based panels, widths in twips, and texts that
// stay until set again (menu hover tips never replace them).
#include "platform/forms/StatusBar.h"

#include "platform/forms/Forms.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusTipEvent>

#include <gtest/gtest.h>

TEST(StatusBar, startsWithOnePanelCountsFromOneAndSizesInTwips) {
  platform::StatusBar bar;
  EXPECT_EQ(bar.panelCount(), 1);
  EXPECT_EQ(bar.accessibleName(), QStringLiteral("Status bar"));
  EXPECT_EQ(bar.addPanel(), 2);
  bar.setPanelText(2, QStringLiteral("second"));
  bar.setPanelText(3, QStringLiteral("nowhere"));  // no such panel: ignored
  EXPECT_EQ(bar.panelText(2), QStringLiteral("second"));
  EXPECT_EQ(bar.panelText(1), QString());

  bar.setPanelWidthTwips(1, 9105);
  bar.resize(300, 20);  // narrower than the panel: the panel keeps its width
  bar.show();
  QApplication::processEvents();
  EXPECT_NEAR(bar.panelWidthTwips(1), 9105, 7);
  EXPECT_EQ(bar.findChildren<QLabel*>().first()->width(), 607);
}

TEST(StatusBar, textStaysThroughMenuTipsAndIsNeverMarkup) {
  platform::Form window(QStringLiteral("WithStatus"));
  auto* bar = new platform::StatusBar(window.client());
  QAction* item = window.menuBar()->addMenu(QStringLiteral("Copy"))->addAction(QStringLiteral("Selected"));
  item->setStatusTip(QStringLiteral("a menu tip"));

  const QString message = QStringLiteral("Copied Password <b>x</b> & y");
  bar->setPanelText(1, message);
  QStatusTipEvent tip(QStringLiteral("a menu tip"));
  QApplication::sendEvent(window.menuBar(), &tip);
  item->showStatusText(window.menuBar());
  EXPECT_EQ(bar->panelText(1), message);
  EXPECT_EQ(bar->findChildren<QLabel*>().first()->textFormat(), Qt::PlainText);
}

#include "StatusBar.h"

#include "ShownText.h"
#include "Twips.h"

#include <QHBoxLayout>
#include <QLabel>

namespace platform {
namespace {

constexpr int kDefaultPanelWidthTwips = 1440;
constexpr qsizetype kLongestStatus = 1024;

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent), layout_(new QHBoxLayout(this)) {
  setAccessibleName(QStringLiteral("Status bar"));
  layout_->setContentsMargins(0, 2, 0, 0);
  layout_->setSpacing(2);
  layout_->addStretch(1);
  addPanel();
}

int StatusBar::addPanel() {
  auto* panel = new QLabel(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setTextFormat(Qt::PlainText);  // messages carry entry texts, never markup
  panel->setFixedWidth(twips::toPixelsX(kDefaultPanelWidthTwips));
  panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  panels_.append(panel);
  // Before the trailing stretch, so that panels stay packed to the left.
  layout_->insertWidget(static_cast<int>(panels_.size()) - 1, panel);
  return static_cast<int>(panels_.size());
}

int StatusBar::panelCount() const { return static_cast<int>(panels_.size()); }

void StatusBar::setPanelText(int panel, const QString& text) {
  // A status can carry a whole entry field ("Copied Password ..."): one line, bounded.
  if (QLabel* label = panels_.value(panel - 1)) label->setText(shownPrefix(text, kLongestStatus));
}

QString StatusBar::panelText(int panel) const {
  const QLabel* label = panels_.value(panel - 1);
  return label ? label->text() : QString();
}

void StatusBar::setPanelWidthTwips(int panel, int twips) {
  if (QLabel* label = panels_.value(panel - 1)) label->setFixedWidth(qMax(0, twips::toPixelsX(twips)));
}

int StatusBar::panelWidthTwips(int panel) const {
  const QLabel* label = panels_.value(panel - 1);
  return label ? twips::fromPixelsX(label->minimumWidth()) : 0;
}

}  // namespace platform

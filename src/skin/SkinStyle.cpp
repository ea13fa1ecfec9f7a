#include "skin/SkinStyle.h"

#include "skin/Skin.h"

#include <utility>

namespace skinstyle {
namespace {

QString css(int value) { return colourFromValue(value).name(); }

QString image(const SkinValues& skin, const QString& folder, const QString& role, const QString& fallback) {
  const QString file = skin.images.value(role, skin.images.value(fallback));
  return QStringLiteral("url(%1/%2)").arg(folder, file);
}

// Fills the tokens of a style sheet template with the skin's colours and images.
QString fill(QString sheet, const SkinValues& skin, const QString& folder) {
  const QString normal = QStringLiteral("ButtonNormal");
  const std::pair<QString, QString> tokens[] = {
      {QStringLiteral("@BACK@"), css(skin.backColor)},
      {QStringLiteral("@FORE@"), css(skin.foreColor)},
      {QStringLiteral("@PANELTEXT@"), css(skin.panelTextColor)},
      {QStringLiteral("@PANELIMAGE@"), image(skin, folder, QStringLiteral("Panel"), QStringLiteral("TopBar"))},
      {QStringLiteral("@PANEL@"), css(skin.panelColor)},
      {QStringLiteral("@LINE@"), css(skin.lineColor)},
      {QStringLiteral("@FOCUS@"), css(skin.focusColor)},
      {QStringLiteral("@TOPBAR@"), image(skin, folder, QStringLiteral("TopBar"), QStringLiteral("TopBar"))},
      {QStringLiteral("@BORDER@"), image(skin, folder, QStringLiteral("Border"), QStringLiteral("Border"))},
      {QStringLiteral("@BUTTONHOVER@"), image(skin, folder, QStringLiteral("ButtonHover"), normal)},
      {QStringLiteral("@BUTTONPRESSED@"), image(skin, folder, QStringLiteral("ButtonPressed"), normal)},
      {QStringLiteral("@BUTTON@"), image(skin, folder, normal, normal)},
  };
  for (const auto& [token, value] : tokens) sheet.replace(token, value);
  return sheet;
}

// The window's own background: the panel colour with the top bar across its top.
constexpr char16_t kClientArea[] =
    uR"(
QWidget[skinWindow="true"] {
  background-color: @PANEL@;
  background-image: @TOPBAR@;
  background-repeat: repeat-x;
  background-position: top left;
}
QMenuBar { background: transparent; color: @PANELTEXT@; }
)";

// Text boxes and lists take the skin's colours only when the skin applies colours itself;
// otherwise they keep the colours the program gave them (their palette).
constexpr char16_t kOwnColours[] =
    uR"(
QLineEdit, QTextEdit, QPlainTextEdit, QListView, QTreeView {
  background-color: @BACK@;
  color: @FORE@;
}
)";

constexpr char16_t kControls[] =
    uR"(
QPushButton {
  border-image: @BUTTON@ 4 4 4 4 stretch stretch;
  border-width: 4px;
  padding: 0px 2px;
}
QPushButton:hover { border-image: @BUTTONHOVER@ 4 4 4 4 stretch stretch; }
QPushButton:pressed, QPushButton:checked { border-image: @BUTTONPRESSED@ 4 4 4 4 stretch stretch; }
QPushButton:focus { color: @FOCUS@; }
QPushButton:disabled { color: #8a94a3; }

/* Text boxes and lists keep their native frames: a border rule here would make them paint the
   application's base colour instead of the one the program gave them. */
QLineEdit, QTextEdit, QPlainTextEdit, QListView, QTreeView {
  selection-background-color: @FOCUS@;
  selection-color: #ffffff;
}
QHeaderView::section {
  background-image: @PANELIMAGE@;
  background-repeat: repeat-x;
  background-color: @PANEL@;
  color: @PANELTEXT@;
  border: none;
  border-right: 1px solid @LINE@;
  border-bottom: 1px solid @LINE@;
  padding: 2px 4px;
}

QGroupBox {
  border-image: @BORDER@ 3 3 3 3 stretch stretch;
  border-width: 3px;
  margin-top: 8px;
  padding-top: 4px;
  color: @PANELTEXT@;
}
QGroupBox::title {
  subcontrol-origin: margin;
  subcontrol-position: top left;
  left: 8px;
  padding: 0px 3px;
}

SkinLabel, QCheckBox, QRadioButton { background: transparent; color: @PANELTEXT@; }

platform--StatusBar QLabel {
  background-image: @PANELIMAGE@;
  background-repeat: repeat-x;
  background-color: @PANEL@;
  color: @PANELTEXT@;
  border: 1px solid @LINE@;
  border-radius: 2px;
  padding: 0px 4px;
}

QMenuBar::item { background: transparent; padding: 2px 8px; }
QMenuBar::item:selected { border-image: @BUTTONHOVER@ 4 4 4 4 stretch stretch; border-width: 0px; }
QMenu { background-color: @BACK@; color: @FORE@; border: 1px solid @LINE@; }
QMenu::item { padding: 3px 20px 3px 20px; }
QMenu::item:selected { background-color: @FOCUS@; color: #ffffff; }
QMenu::separator { height: 1px; background: @LINE@; margin: 2px 4px; }
)";

constexpr char16_t kApplication[] =
    uR"(
QToolTip {
  background-color: @BACK@;
  color: @PANELTEXT@;
  border: 1px solid @LINE@;
  padding: 2px;
}
QMessageBox {
  background-color: @PANEL@;
  background-image: @TOPBAR@;
  background-repeat: repeat-x;
  background-position: top left;
}
QMessageBox QLabel { background: transparent; color: @PANELTEXT@; }
QMessageBox QPushButton {
  border-image: @BUTTON@ 4 4 4 4 stretch stretch;
  border-width: 4px;
  min-width: 64px;
  min-height: 16px;
  padding: 0px 6px;
}
QMessageBox QPushButton:hover { border-image: @BUTTONHOVER@ 4 4 4 4 stretch stretch; }
QMessageBox QPushButton:pressed { border-image: @BUTTONPRESSED@ 4 4 4 4 stretch stretch; }
QMessageBox QPushButton:focus { color: @FOCUS@; }
)";

}  // namespace

QString windowStyleSheet(const SkinValues& skin, const QString& folder) {
  QString sheet;
  if (skin.skinClientArea) sheet += QString::fromUtf16(kClientArea);
  sheet += QString::fromUtf16(kControls);
  // Later rules win: the skin's own colours override the palette references above.
  if (skin.applyColors) sheet += QString::fromUtf16(kOwnColours);
  return fill(sheet, skin, folder);
}

QString applicationStyleSheet(const SkinValues& skin, const QString& folder) {
  return fill(QString::fromUtf16(kApplication), skin, folder);
}

}  // namespace skinstyle

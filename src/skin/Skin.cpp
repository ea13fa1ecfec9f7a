#include "skin/Skin.h"

#include "app/Resources.h"
#include "platform/forms/Controls.h"
#include "skin/modSkin.h"
#include "skin/SkinStyle.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>

QColor colourFromValue(int value) {
  const auto bits = static_cast<quint32>(value);
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

namespace {

// The roles a window needs; the others fall back to these.
const char* const kRequiredImages[] = {"TopBar", "Border", "ButtonNormal"};

}  // namespace

Skin::Skin(QObject* parent) : Skin(shippedSkinFile(), parent) {}

Skin::Skin(const QString& skinFile, QObject* parent)
    : QObject(parent), values_(load(skinFile)), folder_(QFileInfo(skinFile).path()) {}

platform::Result<SkinValues> Skin::load(const QString& skinFile) {
  resources::initResources();  // the shipped skin is embedded
  QFile file(skinFile);
  if (!file.open(QIODevice::ReadOnly)) return platform::Failure{"Skin file cannot be read: " + skinFile.toStdString()};
  platform::Result<SkinValues> values = parseSkinFile(file.readAll());
  if (!values) return values;
  for (const char* role : kRequiredImages) {
    if (!values->images.contains(QLatin1String(role)))
      return platform::Failure{std::string("Skin file names no image for ") + role};
  }
  const QString folder = QFileInfo(skinFile).path();
  for (const QString& image : values->images) {
    if (!QFileInfo::exists(folder + u'/' + image))
      return platform::Failure{"Skin image missing: " + image.toStdString()};
  }
  return values;
}

platform::Result<int> Skin::colour(int SkinValues::*member) const {
  if (!values_) return platform::Failure{values_.why()};
  return (*values_).*member;
}

platform::Result<int> Skin::backColor() const { return colour(&SkinValues::backColor); }
platform::Result<int> Skin::foreColor() const { return colour(&SkinValues::foreColor); }
platform::Result<int> Skin::panelColor() const { return colour(&SkinValues::panelColor); }
platform::Result<int> Skin::panelTextColor() const { return colour(&SkinValues::panelTextColor); }

platform::Result<QString> Skin::windowStyleSheet() const {
  if (!values_) return platform::Failure{values_.why()};
  return skinstyle::windowStyleSheet(*values_, folder_);
}

platform::Result<QString> Skin::applicationStyleSheet() const {
  if (!values_) return platform::Failure{values_.why()};
  return skinstyle::applicationStyleSheet(*values_, folder_);
}

platform::Result<QObject*> Skin::skinData() {
  if (!values_) return platform::Failure{values_.why()};
  return static_cast<QObject*>(this);
}

platform::Result<std::monostate> Skin::SkinWindow(WId handle) {
  if (!values_) return platform::Failure{values_.why()};
  const SkinValues& values = *values_;
  QWidget* window = QWidget::find(handle);
  if (!window) return platform::Failure{"No window has the handle " + std::to_string(static_cast<qulonglong>(handle))};
  // A window is dressed once; a second call would only stack the same rules again.
  if (window->property(skinstyle::kWindowProperty).toBool()) return std::monostate{};

  // Buttons and text boxes take the skin's font unless the window gave them one of its own.
  const QFont skinFont = platform::verdana();
  const auto fontless = [](QWidget* control) { return !control->testAttribute(Qt::WA_SetFont); };
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (fontless(button)) button->setFont(skinFont);
  }
  for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
    if (fontless(edit)) edit->setFont(skinFont);
  }

  // The focus mark of text boxes and lists follows the highlight colour.
  QPalette palette = window->palette();
  palette.setColor(QPalette::Highlight, colourFromValue(values.focusColor));
  window->setPalette(palette);

  window->setProperty(skinstyle::kWindowProperty, true);
  // Without this a plain QWidget subclass ignores the style sheet's background.
  if (values.skinClientArea) window->setAttribute(Qt::WA_StyledBackground, true);
  const QString own = window->styleSheet();
  const QString sheet = skinstyle::windowStyleSheet(values, folder_);
  window->setStyleSheet(own.isEmpty() ? sheet : own + u'\n' + sheet);
  return std::monostate{};
}

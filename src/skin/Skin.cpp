#include "skin/Skin.h"

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
  return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

namespace {

// The roles a window needs; the others fall back to these.
const char* const kRequiredImages[] = {"TopBar", "Border", "ButtonNormal"};

}  // namespace

Skin::Skin(QObject* parent) : Skin(shippedSkinFile(), parent) {}

Skin::Skin(const QString& skinFile, QObject* parent) : QObject(parent) {
  modSkin::initResources();
  try {
    load(skinFile);
  } catch (const SkinError& error) {
    loadError_ = QString::fromStdString(error.what());
  }
}

void Skin::load(const QString& skinFile) {
  QFile file(skinFile);
  if (!file.open(QIODevice::ReadOnly)) throw SkinError("Skin file cannot be read: " + skinFile.toStdString());
  SkinValues values = parseSkinFile(file.readAll());
  const QString folder = QFileInfo(skinFile).path();
  for (const char* role : kRequiredImages) {
    if (!values.images.contains(QLatin1String(role)))
      throw SkinError(std::string("Skin file names no image for ") + role);
  }
  for (auto it = values.images.cbegin(); it != values.images.cend(); ++it) {
    if (!QFileInfo::exists(folder + u'/' + it.value()))
      throw SkinError("Skin image missing: " + it.value().toStdString());
  }
  values_ = std::move(values);
  folder_ = folder;
}

const SkinValues& Skin::checked() const {
  if (!loadError_.isEmpty()) throw SkinError(loadError_.toStdString());
  return values_;
}

int Skin::backColor() const { return checked().backColor; }
int Skin::foreColor() const { return checked().foreColor; }
int Skin::panelColor() const { return checked().panelColor; }
int Skin::panelTextColor() const { return checked().panelTextColor; }
const SkinValues& Skin::values() const { return checked(); }

QString Skin::windowStyleSheet() const { return skinstyle::windowStyleSheet(checked(), folder_); }
QString Skin::applicationStyleSheet() const { return skinstyle::applicationStyleSheet(checked(), folder_); }

QObject* Skin::skinData() {
  checked();
  return this;
}

void Skin::SkinWindow(WId handle) {
  const SkinValues& values = checked();
  QWidget* window = QWidget::find(handle);
  if (!window) throw SkinError("No window has the handle " + std::to_string(static_cast<qulonglong>(handle)));
  // A window is dressed once; a second call would only stack the same rules again.
  if (window->property(skinstyle::kWindowProperty).toBool()) return;

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
  window->setStyleSheet(own.isEmpty() ? windowStyleSheet() : own + u'\n' + windowStyleSheet());
}

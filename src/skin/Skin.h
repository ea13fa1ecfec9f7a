#pragma once
// The skin control: the skin data (named values, colours and window-part images) and the call
// that makes a window drawn by the skin.
#include "platform/base/Result.h"
#include "skin/SkinFile.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QWidget>

#include <variant>

// A 32-bit colour value (red in the low byte, then green, then blue) as a colour.
QColor colourFromValue(int value);

class Skin : public QObject {
  Q_OBJECT

 public:
  // Loads the skin data shipped with the program (embedded in the executable).
  explicit Skin(QObject* parent = nullptr);
  // Loads a skin file and finds its images beside it. A skin that fails to load keeps the
  // reason; every later call then fails with it.
  explicit Skin(const QString& skinFile, QObject* parent = nullptr);

  static QString shippedSkinFile() { return QStringLiteral(":/skin/GemBlue.skin"); }

  // Colours as 32-bit values, red in the low byte, then green, then blue.
  platform::Result<int> backColor() const;
  platform::Result<int> foreColor() const;
  platform::Result<int> panelColor() const;
  platform::Result<int> panelTextColor() const;

  // All the named values, or why the skin did not load.
  const platform::Result<SkinValues>& values() const { return values_; }

  // From now on the window with this handle is drawn by the skin.
  platform::Result<std::monostate> SkinWindow(WId handle);

  // The object handed to the companion at start-up (the skin itself).
  platform::Result<QObject*> skinData();

  // The style sheets the skin dresses with: one window's, and the application-wide one for
  // tool tips and message boxes.
  platform::Result<QString> windowStyleSheet() const;
  platform::Result<QString> applicationStyleSheet() const;

 private:
  static platform::Result<SkinValues> load(const QString& skinFile);
  platform::Result<int> colour(int SkinValues::*member) const;

  platform::Result<SkinValues> values_;
  QString folder_;
};

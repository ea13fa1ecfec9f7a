#pragma once
// The skin control: the skin data (named values, colours and window-part images) and the call
// that makes a window drawn by the skin.
#include "skin/SkinFile.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QWidget>

#include <stdexcept>

// Raised by the skin control when it can't dress a window.
class SkinError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A 32-bit colour value (red in the low byte, then green, then blue) as a colour.
QColor colourFromValue(int value);

class Skin : public QObject {
  Q_OBJECT

 public:
  // Loads the skin data shipped with the program (embedded in the executable).
  explicit Skin(QObject* parent = nullptr);
  // Loads a skin file and finds its images beside it. A skin that fails to load keeps the
  // reason; every later call then throws SkinError with it.
  explicit Skin(const QString& skinFile, QObject* parent = nullptr);

  static QString shippedSkinFile() { return QStringLiteral(":/skin/GemBlue.skin"); }

  // Colours as 32-bit values, red in the low byte, then green, then blue.
  int backColor() const;
  int foreColor() const;
  int panelColor() const;
  int panelTextColor() const;

  // The other named values.
  const SkinValues& values() const;

  // From now on the window with this handle is drawn by the skin. Throws SkinError on failure.
  void SkinWindow(WId handle);

  // The object handed to the companion at start-up (the skin itself).
  QObject* skinData();

  // The style sheets the skin dresses with: one window's, and the application-wide one for
  // tool tips and message boxes.
  QString windowStyleSheet() const;
  QString applicationStyleSheet() const;

 private:
  void load(const QString& skinFile);
  const SkinValues& checked() const;

  SkinValues values_;
  QString folder_;
  QString loadError_;
};

#pragma once
// The skin's stored format: a small INI-style text with the skin's named values in [Skin] and
// its window-part images in [Images] (file names beside the skin file).
#include "platform/base/Result.h"

#include <QByteArray>
#include <QMap>
#include <QString>

struct SkinValues {
  QString description;  // m_bstrDescription
  QString application;  // m_bstrApplication
  int hue = 0;          // m_nHue
  // 32-bit colour values, red in the low byte.
  int backColor = 0;
  int foreColor = 0;
  int panelColor = 0;
  int panelTextColor = 0;
  // Outlines and the keyboard-focus mark; optional, the Gem Blue accents by default.
  int lineColor = 0xD0AA8E;
  int focusColor = 0xD07F2F;
  bool applyColors = false;     // m_bApplyColors: the skin colours text boxes and lists itself
  bool skinClientArea = false;  // m_bSkinClientArea: the skin paints the window's background
  // Image role ("TopBar", "Border", "ButtonNormal", ...) to file name.
  QMap<QString, QString> images;
};

// Parses the text of a skin file, or names its first fault: a line that is not a section, a
// comment or name=value; a value of the wrong kind; a missing colour.
platform::Result<SkinValues> parseSkinFile(const QByteArray& text);

#pragma once
// Shared pieces of the skin tests: a bare window, and a skin file written into a temporary
// folder with the shipped images beside it.
#include "platform/forms/Forms.h"
#include "skin/Skin.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QString>

class SkinTestWindow final : public platform::Form {
 public:
  explicit SkinTestWindow(const QString& name = QStringLiteral("SkinTestWindow")) : Form(name) {}
};

// Writes `text` as a skin file into `folder`, with the shipped images copied beside it.
inline QString writeTestSkin(const testing_support::TempFolder& folder, const QByteArray& text) {
  Skin shipped;  // registers the embedded assets
  for (const QString& image : shipped.values()->images) {
    QFile::copy(QStringLiteral(":/skin/") + image, QString::fromStdString(folder.file(image.toStdString())));
  }
  const std::string path = folder.file("Test.skin");
  testing_support::writeBytes(path, std::string_view(text.constData(), text.size()));
  return QString::fromStdString(path);
}

// A skin like the shipped one with colours of its own: back light orange, fore dark blue,
// panel light green, panel text dark red.
inline QByteArray testSkinText(bool applyColors = false) {
  return QByteArrayLiteral(
             "[Skin]\n"
             "m_bstrDescription=Test\n"
             "m_BackColor=8438015\n"    // 0x80C0FF: red FF, green C0, blue 80
             "m_ForeColor=8388608\n"    // 0x800000: blue 80
             "m_PanelColor=12648384\n"  // 0xC0FFC0: light green
             "m_PanelTextColor=128\n"   // 0x000080: dark red
             "m_bApplyColors=") +
         (applyColors ? "1" : "0") +
         QByteArrayLiteral(
             "\nm_bSkinClientArea=1\n"
             "[Images]\n"
             "TopBar=topbar.bmp\nBorder=border.bmp\nButtonNormal=button_norm.bmp\n"
             "ButtonHover=button_hover.bmp\nButtonPressed=button_pressed.bmp\nPanel=panel.bmp\n");
}

// Protects what the desktop and HiDPI screens show of Keyloft: the name that ties its windows to
// the desktop entry, and sharp button pictures at 2x.
#include "app/Resources.h"
#include "main/ProgramWiring.h"
#include "platform/forms/PictureButton.h"
#include "skin/modSkin.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QIcon>
#include <QImageReader>

#include <gtest/gtest.h>

// Desktop entry

// The window manager matches windows to the desktop entry by this name; a mismatch leaves task
// bars without our icon.
TEST(DesktopIdentity, desktopEntryNamesTheProgramAsTheWindowsDo) {
  ProgramWiring::setDesktopIdentity();
  const QString name = QString::fromLatin1(ProgramWiring::kDesktopName);
  EXPECT_EQ(QGuiApplication::desktopFileName(), name);
  QFile entry(QStringLiteral(KEYLOFT_DESKTOP_TEMPLATE));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
  const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
  EXPECT_TRUE(lines.contains(QStringLiteral("Icon=") + name));
  EXPECT_TRUE(lines.contains(QStringLiteral("StartupWMClass=") + name));
}

// HiDPI: at scale factor 2 (and 1.5, which draws from the 2x picture) a button picture must come
// from a source of twice its size, not a stretched small one.
TEST(ButtonPictures, everyButtonPictureIsSharpOnDoubleDensityScreens) {
  resources::initResources();
  int pictures = 0;
  QDirIterator files(QStringLiteral(":/icons"), {QStringLiteral("*.png")});
  while (files.hasNext()) {
    const QString path = files.next();
    if (path.contains(QStringLiteral("@2x"))) continue;
    ++pictures;
    const QIcon icon = platform::pictureWithLargeVersion(path);
    const QSize logical = QImageReader(path).size();
    EXPECT_EQ(icon.pixmap(logical, 2.0).size(), logical * 2) << path.toStdString();
    EXPECT_EQ(icon.pixmap(logical, 1.0).size(), logical) << path.toStdString();
  }
  EXPECT_EQ(pictures, 16);  // the main window's and editor's eleven, the browser's five
}

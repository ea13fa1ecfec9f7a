// Protects the embedded assets: the splash picture, the button pictures and the skin's images load.
#include "app/Resources.h"

#include <QPixmap>

#include <gtest/gtest.h>

TEST(Resources, embeddedPicturesLoad) {
  resources::initResources();
  const QPixmap splash(QStringLiteral(":/splash.jpg"));
  EXPECT_EQ(splash.size(), QSize(476, 316));
  for (const char* icon : {"add", "delete", "edit", "goto", "website", "copy-username", "copy-password",
                           "copy-location", "save", "cancel"}) {
    const QPixmap picture(QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon)));
    EXPECT_EQ(picture.size(), QSize(32, 32)) << icon;
  }
  for (const char* image : {"topbar", "border", "button_norm", "button_hover", "button_pressed", "panel"})
    EXPECT_FALSE(QPixmap(QStringLiteral(":/skin/%1.bmp").arg(QLatin1String(image))).isNull()) << image;
}

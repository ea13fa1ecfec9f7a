// Protects the clipboard: exact plain text, the password-manager hint on secrets only, and clearing.
#include "platform/forms/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace clipboard = platform::clipboard;

TEST(Clipboard, SecretsCarryTheHintPlainTextDoesNotAndClearEmpties) {
  const QString hint = QStringLiteral("x-kde-passwordManagerHint");
  clipboard::setText(QStringLiteral("p\u00e4ss word\t"), true);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(clipboard::text(), QStringLiteral("p\u00e4ss word\t"));
  EXPECT_EQ(data->data(hint), QByteArrayLiteral("secret"));

  clipboard::setText(QStringLiteral("https://a.org/"), false);
  data = QGuiApplication::clipboard()->mimeData();
  EXPECT_EQ(data->text(), QStringLiteral("https://a.org/"));
  EXPECT_FALSE(data->hasFormat(hint));

  clipboard::clear();
  EXPECT_TRUE(clipboard::text().isEmpty());

  clipboard::setText(QString(), true);  // an empty password still goes over as (empty) text
  data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->hasText());
  EXPECT_TRUE(data->text().isEmpty());
}

// Protects the clipboard: exact plain text, the password-manager hint on secrets only, clearing,
// and our wiped copy of the copied text.
#include "platform/base/Secret.h"
#include "platform/forms/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <functional>

namespace clipboard = platform::clipboard;

TEST(Clipboard, secretsCarryTheHintPlainTextDoesNotAndClearEmpties) {
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

// Our copy of the text is one wiped buffer, held until it is replaced, emptied or forgotten, also
// when the clipboard no longer offered it.
TEST(Clipboard, ourCopyOfTheTextIsReleasedOnEveryWayOut) {
  clipboard::clear();
  const std::size_t before = platform::secret::liveBuffersForTests();
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"emptied", [] { clipboard::clear(); }},
      {"forgotten while ours", [] { clipboard::forgetOurs(); }},
      {"forgotten after another copy", [] {
         QGuiApplication::clipboard()->setText(QStringLiteral("theirs"));
         clipboard::forgetOurs();
       }}};
  for (const auto& [what, way] : ways) {
    clipboard::setText(QStringLiteral("pw"), true, std::chrono::seconds(30));
    clipboard::setText(QStringLiteral("pw2"), true, std::chrono::seconds(30));  // replaces the first
    EXPECT_EQ(platform::secret::liveBuffersForTests(), before + 1) << what;
    way();
    EXPECT_EQ(platform::secret::liveBuffersForTests(), before) << what;
  }
}

// Protects how long a copied field stays on the clipboard: emptied after clearClipboardSeconds and
// at program end, but only while it still holds our text, whoever offers it; never by the timer at
// 0; a new copy starts the count again.
#include "app/modLivery.h"
#include "EntriesFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <algorithm>
#include <functional>

namespace entries_test {
namespace {

using namespace std::chrono_literals;
namespace clipboard = platform::clipboard;

class ClipboardLifetime : public EntriesFixture {
 protected:
  void SetUp() override {
    EntriesFixture::SetUp();
    modLivery::loadProductIdentity();
    modLivery::useSkin = false;
    clipboard::setHandClockForTests(true);
    open({{"alice", "s3cret", "a.org"}, {"bob", "", "b.org"}});
  }
  void TearDown() override {
    EntriesFixture::TearDown();
    clipboard::setHandClockForTests(false);
  }
  // Where the README says the setting is.
  static void setSeconds(const char* value) {
    platform::settings::saveSetting(QStringLiteral("Keyloft"), QStringLiteral("Settings"),
                                    QStringLiteral("clearClipboardSeconds"), QString::fromLatin1(value));
  }
};

// What the user copies in some other way: the text, or a picture when there is none. The
// clipboard keeps this very object while nobody touches it.
const QMimeData* userCopies(const char* text) {
  auto* data = new QMimeData;
  if (text)
    data->setText(QString::fromLatin1(text));
  else
    data->setImageData(QImage(2, 2, QImage::Format_RGB32));
  QGuiApplication::clipboard()->setMimeData(data);
  return data;
}

TEST_F(ClipboardLifetime, afterTheCountdownOnlyOurUntouchedCopyIsGone) {
  struct Case {
    const char* what;
    const char* seconds;
    std::int64_t row;                             // whose password is copied
    std::function<const QMimeData*()> meanwhile;  // after the copy; gives what the user copied, if anything
    int atLeastMs;                                // the clear comes no sooner after the last copy
  };
  const Case cases[] = {
      {"untouched", "1", 1, {}, 1000},
      {"user copied text since", "1", 1, [] { return userCopies("mine"); }, 0},
      // What a clipboard manager does: take the clipboard and offer the same text again.
      {"a clipboard manager offers it again", "1", 1,
       []() -> const QMimeData* {
         userCopies("s3cret");
         return nullptr;
       },
       1000},
      {"user copied a picture over an empty password", "1", 2, [] { return userCopies(nullptr); }, 0},
      {"a second copy starts again", "2", 1,
       [this]() -> const QMimeData* {
         clipboard::advanceClockForTests(1200ms);
         form->cmdCopy_Click(0);
         return nullptr;
       },
       2000},
      {"the timer off", "0", 1, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    setSeconds(c.seconds);
    select(c.row);
    form->cmdCopy_Click(1);
    const QMimeData* users = c.meanwhile ? c.meanwhile() : nullptr;
    const QString copiedStatus = status();
    // Not a moment before the earliest time the clear may come.
    clipboard::advanceClockForTests(std::chrono::milliseconds(std::max(c.atLeastMs - 1, 0)));
    const bool runningUntilThen = clipboard::forgetInterval() != 0ms;
    clipboard::advanceClockForTests(15s);
    ASSERT_EQ(clipboard::forgetInterval(), 0ms);
    const bool timerOn = QByteArray(c.seconds) != "0";
    if (users) {
      EXPECT_EQ(QGuiApplication::clipboard()->mimeData(), users);
      EXPECT_EQ(status(), copiedStatus);
    } else if (timerOn) {
      EXPECT_EQ(clipboard::text(), QString());
      EXPECT_EQ(status(), "Clipboard cleared.");
      EXPECT_TRUE(runningUntilThen);
    } else {
      EXPECT_EQ(clipboard::text(), "s3cret");
      EXPECT_EQ(status(), copiedStatus);
    }
  }
}

TEST_F(ClipboardLifetime, anythingButAWholeNumberCountsAsThirtySeconds) {
  const std::pair<const char*, std::chrono::milliseconds> cases[] = {
      {"", 30s}, {"soon", 30s}, {"-5", 30s}, {"2.5", 30s}, {"99999999999999999999", 30s}, {"7", 7s}};
  select(1);
  for (const auto& [stored, interval] : cases) {
    setSeconds(stored);
    form->cmdCopy_Click(1);
    EXPECT_EQ(clipboard::forgetInterval(), interval) << stored;
  }
}

TEST_F(ClipboardLifetime, endingTheProgramTakesBackOnlyOurUntouchedCopy) {
  struct Case {
    const char* what;
    const char* seconds;
    const char* userText;  // copied by the user after us, or null
    QString atEnd;
  };
  const Case cases[] = {{"untouched", "30", nullptr, ""},
                        {"user copied since", "30", "mine", "mine"},
                        {"user copied nearly the same", "30", "s3cret ", "s3cret "},
                        {"a clipboard manager offers it again", "30", "s3cret", ""},
                        {"the timer off", "0", nullptr, ""}};
  QString atEnd;
  setProgramTerminatorForTests([&] { atEnd = clipboard::text(); });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reopen();
    setSeconds(c.seconds);
    select(1);
    form->cmdCopy_Click(1);
    if (c.userText) userCopies(c.userText);
    atEnd = QStringLiteral("(not ended)");
    platform::forms::unload(Form1::name());
    EXPECT_EQ(atEnd, c.atEnd);
  }
}

}  // namespace
}  // namespace entries_test

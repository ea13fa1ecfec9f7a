// Protects the reader against hostile and damaged files: every input ends in a document or a
// clean failure, without deep recursion, unbounded memory or lost text.
#include "RtfTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

using platform::rtf::readRtf;
using rtftest::rawText;
using rtftest::wrap;

TEST(RtfRobustness, notRichTextFailsCleanlyAndLeavesTheDocument) {
  for (const char* bytes : {"", "{\\rt", "plain text", "\xEF\xBB\xBFtext", "{\\rtx1 a}", "\\rtf1 a}"}) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("kept"));
    auto read = readRtf(QByteArray(bytes), doc);
    ASSERT_FALSE(read) << bytes;
    EXPECT_FALSE(read.why().empty());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("kept"));
  }
}

TEST(RtfRobustness, tenThousandNestedGroupsAndFarDeeperOnesRead) {
  for (int depth : {10000, 250000}) {
    const QByteArray rtf = "{\\rtf1 start" + QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " end}";
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtf, doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("startdeep end")) << depth;
  }
}

TEST(RtfRobustness, aCutOffFileShowsWhatWasRead) {
  const QByteArray full = wrap(
      R"(first para\par {\b second} para\par{\field{\*\fldinst HYPERLINK "x"}{\fldrslt third}}\par)"
      R"(\trowd\cellx100\intbl cell\cell\row {\pict\pngblip 89504e47)");
  QTextDocument whole;
  ASSERT_TRUE(readRtf(full, whole));
  const QString wholeText = rawText(whole);
  for (qsizetype cut = 5; cut < full.size(); ++cut) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf(full.left(cut), doc)) << cut;
    const QString text = rawText(doc);
    // Text the cut kept is the start of the whole text (tables aside, whose marks differ).
    if (!text.contains(QChar(0xFDD0))) {
      EXPECT_TRUE(wholeText.startsWith(text)) << cut << ' ' << text.toStdString();
    }
  }
  QTextDocument doc;
  ASSERT_TRUE(readRtf(full.left(full.indexOf("\\par")), doc));
  EXPECT_EQ(doc.toPlainText(), QStringLiteral("first para"));
}

TEST(RtfRobustness, parametersAndBinaryLengthsBeyondTheFileAreClamped) {
  const char* bodies[] = {
      R"(\fs2147483648 a\li-99999999999 b\cf4294967296 c\cellx99999999999999\uc2147483647\u1 d)",
      R"(\f-2147483649 a\highlight99999999 b\picscalex-5 c)",
      R"(a\bin2147483647 xyz)",
      R"(a\bin99999999999999999999)",
      R"(a\bin-5 b)",
      R"(a{\pict\pngblip\picwgoal2147483647\pichgoal-2147483647\picscalex2147483647\bin999999 89504e47)",
  };
  for (const char* body : bodies) {
    QTextDocument doc;
    EXPECT_TRUE(readRtf(wrap(body), doc)) << body;
    EXPECT_TRUE(doc.toPlainText().startsWith(u'a')) << body;
  }
}

TEST(RtfRobustness, randomTokenSoupNeverBreaksTheReader) {
  const char* tokens[] = {"{",           "}",           "\\par ",         "\\b ",
                          "\\u-3 ",      "\\'e9",       "\\'8",           "\\bin5 ",
                          "\\*",         "\\pict",      "\\pngblip ",     "\\jpegblip ",
                          "\\field",     "\\fldinst ",  "\\fldrslt ",     "HYPERLINK \"u\" ",
                          "\\cell ",     "\\row ",      "\\intbl ",       "\\trowd",
                          "\\cellx100 ", "\\nestcell ", "text ",          "\\uc3",
                          "\\f2 ",       "\\fonttbl",   "\\fcharset128 ", ";",
                          "\\colortbl",  "\\red9 ",     "\\upr",          "\\ud",
                          "\\listtext ", "\\plain ",    "\\pard ",        "\\v ",
                          "89504e47",    "\\itap2 ",    "\\nestrow ",     "\\page "};
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    QByteArray rtf = "{\\rtf1";
    const int count = static_cast<int>(random() % 300);
    for (int i = 0; i < count; ++i) {
      if (random() % 8 == 0)
        rtf += static_cast<char>(random() % 256);
      else
        rtf += tokens[random() % std::size(tokens)];
    }
    QTextDocument doc;
    ASSERT_TRUE(readRtf(rtf, doc)) << rtf.toHex().toStdString();
  }
}

TEST(RtfRobustness, longTextIsKeptWhole) {
  const QByteArray words = QByteArray("password ").repeated(200000);
  QTextDocument doc;
  ASSERT_TRUE(readRtf(QByteArray("{\\rtf1 " + words + "\\par " + words + "}"), doc));
  EXPECT_EQ(doc.blockCount(), 2);
  EXPECT_EQ(doc.characterCount(), 2 * words.size() + 2);  // each block ends in a separator
}

TEST(RtfRobustness, loadingAFileReportsWhatWentWrong) {
  QTemporaryDir dir;
  QTextDocument doc;
  auto loaded = platform::rtf::loadRtfFile(dir.filePath(QStringLiteral("missing.rtf")), doc);
  ASSERT_FALSE(loaded);
  EXPECT_NE(loaded.why().find("missing.rtf"), std::string::npos);
  QFile text(dir.filePath(QStringLiteral("note.rtf")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not rich text");
  text.close();
  loaded = platform::rtf::loadRtfFile(text.fileName(), doc);
  ASSERT_FALSE(loaded);
  EXPECT_NE(loaded.why().find("rich-text"), std::string::npos);
  // An endless device is turned down from its first bytes, not read to the size limit.
  EXPECT_FALSE(platform::rtf::loadRtfFile(QStringLiteral("/dev/zero"), doc));
}

}  // namespace

// Protects fidelity: every document of the corpus reads back word for word as LibreOffice reads it.
#include "platform/richtext/reader/RtfReader.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Words of a text: split at any white space, a leading byte-order mark ignored.
QStringList words(QString text) {
  text.remove(QChar::ByteOrderMark);
  text.remove(QChar::SoftHyphen);
  QStringList out;
  QString word;
  for (QChar c : std::as_const(text)) {
    if (c.isSpace()) {
      if (!word.isEmpty()) out.append(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.isEmpty()) out.append(word);
  return out;
}

// Words in common, in order (Myers' shortest edit script), over the longer of the two texts;
// 1.0 when both are empty.
double score(const QStringList& a, const QStringList& b) {
  const qsizetype n = a.size(), m = b.size();
  if (n + m == 0) return 1.0;
  const qsizetype max = n + m;
  std::vector<qsizetype> v(static_cast<std::size_t>(2 * max + 2), 0);
  for (qsizetype d = 0; d <= max; ++d) {
    for (qsizetype k = -d; k <= d; k += 2) {
      const std::size_t at = static_cast<std::size_t>(k + max);
      qsizetype x = (k == -d || (k != d && v[at - 1] < v[at + 1])) ? v[at + 1] : v[at - 1] + 1;
      qsizetype y = x - k;
      while (x < n && y < m && a[x] == b[y]) ++x, ++y;
      v[at] = x;
      if (x >= n && y >= m) return static_cast<double>((n + m - d) / 2) / static_cast<double>(std::max(n, m));
    }
  }
  return 0.0;
}

TEST(RtfCorpus, everyDocumentReadsAsTheOfficeSuiteReadsIt) {
  const QDir corpus(QStringLiteral(KEYLOFT_RTF_CORPUS));
  const QStringList files = corpus.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
  ASSERT_GE(files.size(), 10);
  for (const QString& name : files) {
    QFile oracle(corpus.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".txt")));
    ASSERT_TRUE(oracle.open(QIODevice::ReadOnly)) << name.toStdString();
    QTextDocument doc;
    auto loaded = platform::rtf::loadRtfFile(corpus.filePath(name), doc);
    ASSERT_TRUE(loaded) << loaded.why();
    const QStringList expected = words(QString::fromUtf8(oracle.readAll()));
    // Pictures have no text, in the office suite's export as in ours.
    const QString text = platform::rtf::plainText(doc);
    EXPECT_FALSE(text.contains(QChar::ObjectReplacementCharacter)) << name.toStdString();
    const double s = score(words(text), expected);
    std::printf("  %-28s %6lld words  %7.3f%%\n", name.toLocal8Bit().constData(),
                static_cast<long long>(expected.size()), s * 100);
    EXPECT_GE(s, 0.95) << name.toStdString();
  }
}

TEST(RtfCorpus, scoreCountsWordsInOrder) {
  const QStringList text = words(QStringLiteral("a b c d"));
  EXPECT_EQ(score(text, text), 1.0);
  EXPECT_EQ(score(text, words(QStringLiteral("a x c d"))), 0.75);
  EXPECT_EQ(score(text, words(QStringLiteral("d c b a"))), 0.25);
  EXPECT_EQ(score(text, {}), 0.0);
}

}  // namespace

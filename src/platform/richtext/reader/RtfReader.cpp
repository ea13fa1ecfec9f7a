#include "RtfReader.h"

#include "RtfDocumentBuilder.h"
#include "RtfParser.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace platform::rtf {
namespace {

// Far beyond any document a person writes; stops a device file or a mistake from eating memory.
constexpr qint64 kMaxFileBytes = 1LL << 30;

bool looksLikeRtf(QByteArrayView bytes) { return bytes.trimmed().startsWith("{\\rtf"); }

Failure failure(const QString& why) { return Failure{why.toStdString()}; }

}  // namespace

Done readRtf(QByteArrayView bytes, QTextDocument& document) {
  if (!looksLikeRtf(bytes)) return Failure{"This is not a rich-text file: it does not begin with {\\rtf."};
  // Undo history would double the memory of a document nobody edits.
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  document.clear();
  {
    QTextCursor batch(&document);
    batch.beginEditBlock();  // one layout pass at the end, not one per run
    Parser parser;
    DocumentBuilder builder(document, parser.tables(), bytes.size());
    // The bytes were checked above: the parse cannot fail.
    (void)parser.parse(bytes, builder);
    builder.finish();
    batch.endEditBlock();
  }
  document.setUndoRedoEnabled(undo);
  return std::monostate{};
}

Done loadRtfFile(const QString& path, QTextDocument& document) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return failure(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
  // Read in pieces: asking for the limit at once would reserve all of it, and a device file
  // or pipe has no size to check first.
  QByteArray bytes;
  if (!file.isSequential() && file.size() <= kMaxFileBytes) bytes.reserve(file.size());
  while (bytes.size() <= kMaxFileBytes) {
    const QByteArray piece = file.read(1 << 20);
    if (piece.isEmpty()) break;
    bytes += piece;
    if (bytes.size() == piece.size() && !looksLikeRtf(bytes)) break;  // readRtf will say why
  }
  if (bytes.size() > kMaxFileBytes)
    return failure(QStringLiteral("%1 is too large to be a rich-text document.").arg(path));
  if (file.error() != QFileDevice::NoError)
    return failure(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
  Done read = readRtf(bytes, document);
  if (!read) return Failure{path.toStdString() + ": " + read.why()};
  return read;
}

QString plainText(const QTextDocument& document) {
  // toPlainText() keeps one character per document position, so pictures' positions index it.
  QString text = document.toPlainText();
  for (QTextBlock block = document.lastBlock(); block.isValid(); block = block.previous()) {
    for (auto it = block.end(); it != block.begin();) {
      const QTextFragment fragment = (--it).fragment();
      if (fragment.charFormat().isImageFormat()) text.remove(fragment.position(), fragment.length());
    }
  }
  return text;
}

}  // namespace platform::rtf

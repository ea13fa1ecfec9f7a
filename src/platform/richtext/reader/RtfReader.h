#pragma once
// Reading rich-text files (RTF, as word processors, office suites and converters write them)
// into a QTextDocument. Needs no widgets; pictures decode through QtGui.
#include "platform/base/Result.h"

#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace platform::rtf {

// Replaces the document's content with the file's. A failure, with the reason, when the bytes are
// not a rich-text file (the document is then left as it was); a damaged or cut-off file gives
// what could be read. Any input ends in one or the other, in time and memory in proportion
// to its size.
Done readRtf(QByteArrayView bytes, QTextDocument& document);

// The same for a file on disk; a failure with the reason when it cannot be read.
Done loadRtfFile(const QString& path, QTextDocument& document);

// The document's text with paragraphs as lines and pictures left out: a picture has no text,
// where QTextDocument::toPlainText() puts an object replacement character.
QString plainText(const QTextDocument& document);

}  // namespace platform::rtf

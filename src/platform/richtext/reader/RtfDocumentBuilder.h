#pragma once
// Builds a QTextDocument from the parser's events: text runs with their formats, paragraphs,
// tables as QTextTables, pictures as document resources, hyperlinks as anchors and bookmarks as
// anchor names.
#include "RtfParser.h"

#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;
class QTextTable;

namespace platform::rtf {

class DocumentBuilder final : public Sink {
 public:
  // inputSize bounds what the file may make the document hold (table cells, decoded pictures).
  DocumentBuilder(QTextDocument& document, const DocumentTables& tables, qsizetype inputSize);

  void text(std::u16string_view run, const CharFormat& format, bool inTable) override;
  void paragraphEnd(const ParaFormat& format, bool pageBreak) override;
  void cellEnd(const ParaFormat& format) override;
  void rowEnd(const std::vector<int>& cellEdges) override;
  void picture(const Picture& picture, const CharFormat& format, bool inTable) override;
  void bookmark(const QString& name) override;

  // Closes a table still open at the end of the file.
  void finish();

 private:
  QTextCursor& target(bool inTable);
  bool openCell();
  void closeTable();
  const QTextCharFormat& charFormat(const CharFormat& format);
  void markPendingBookmarks(QTextCharFormat& format);

  QTextDocument& document_;
  const DocumentTables& tables_;
  QTextCursor body_;
  bool bodyNeedsBlock_ = false;

  QTextTable* table_ = nullptr;
  QTextCursor cell_;
  bool cellOpen_ = false;
  bool cellNeedsBlock_ = false;
  int row_ = 0;
  int column_ = 0;
  std::vector<int> firstRowEdges_;
  qsizetype cellBudget_;
  bool tablesFlattened_ = false;  // the cell budget ran out: cells become paragraphs

  qsizetype imageBudget_;  // bytes of decoded pictures still allowed
  int imageCount_ = 0;

  CharFormat lastFormat_;
  QTextCharFormat lastQtFormat_;
  bool lastValid_ = false;

  QStringList pendingBookmarks_;  // names the next text or picture starts
};

}  // namespace platform::rtf

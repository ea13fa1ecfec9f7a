#include "RtfDocumentBuilder.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace platform::rtf {
namespace {

constexpr double kTwipsPerPixel = 15.0;  // at 96 dpi
constexpr int kMaxColumns = 63;          // the most any word processor writes

QTextBlockFormat blockFormat(const ParaFormat& p, bool pageBreak) {
  QTextBlockFormat f;
  switch (p.alignment) {
    case Alignment::Left: f.setAlignment(Qt::AlignLeft); break;
    case Alignment::Center: f.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Right: f.setAlignment(Qt::AlignRight); break;
    case Alignment::Justify: f.setAlignment(Qt::AlignJustify); break;
  }
  if (p.leftIndent) f.setLeftMargin(p.leftIndent / kTwipsPerPixel);
  if (p.rightIndent) f.setRightMargin(p.rightIndent / kTwipsPerPixel);
  if (p.firstIndent) f.setTextIndent(p.firstIndent / kTwipsPerPixel);
  // A hanging indent is a tab stop too, as word processors treat it: the tab after a list's
  // bullet or number reaches the text's indent, not the next default stop. Qt measures tab
  // positions from where the first line starts.
  if (p.firstIndent < 0) f.setTabPositions({QTextOption::Tab(-p.firstIndent / kTwipsPerPixel, QTextOption::LeftTab)});
  if (p.spaceBefore) f.setTopMargin(p.spaceBefore / kTwipsPerPixel);
  if (p.spaceAfter) f.setBottomMargin(p.spaceAfter / kTwipsPerPixel);
  // Writers put single spacing as \sl240\slmult1 as often as they leave it out.
  if (p.lineSpacing > 0 && p.lineMultiple && p.lineSpacing != 240)
    f.setLineHeight(std::clamp(p.lineSpacing * 100.0 / 240.0, 50.0, 500.0), QTextBlockFormat::ProportionalHeight);
  else if (p.lineSpacing > 0 && !p.lineMultiple)
    f.setLineHeight(p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
  else if (p.lineSpacing < 0)
    f.setLineHeight(-p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
  if (pageBreak) f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysAfter);
  return f;
}

QColor tableColor(const std::vector<std::uint32_t>& colors, int index) {
  if (index <= 0 || index >= static_cast<int>(colors.size())) return {};
  const std::uint32_t argb = colors[static_cast<std::size_t>(index)];
  if ((argb >> 24) == 0) return {};
  return QColor::fromRgb(argb);
}

// The picture's size on screen: the goal size the writer asked for, scaled; else the image's own.
QSize shownSize(const Picture& p, QSize imageSize) {
  const double sx = std::clamp(p.scaleX, 1, 10000) / 100.0;
  const double sy = std::clamp(p.scaleY, 1, 10000) / 100.0;
  const double w = p.widthGoal > 0 ? p.widthGoal / kTwipsPerPixel : imageSize.width();
  const double h = p.heightGoal > 0 ? p.heightGoal / kTwipsPerPixel : imageSize.height();
  // Rounded as a long first: a goal size from a damaged file can be far beyond an int.
  return {static_cast<int>(std::clamp(std::lround(w * sx), 1L, 20000L)),
          static_cast<int>(std::clamp(std::lround(h * sy), 1L, 20000L))};
}

}  // namespace

DocumentBuilder::DocumentBuilder(QTextDocument& document, const DocumentTables& tables, qsizetype inputSize)
    : document_(document),
      tables_(tables),
      body_(&document),
      cellBudget_(inputSize / 2 + 4096),
      imageBudget_(64 * 1024 * 1024 + 16 * inputSize) {}

const QTextCharFormat& DocumentBuilder::charFormat(const CharFormat& c) {
  if (lastValid_ && c == lastFormat_) return lastQtFormat_;
  QTextCharFormat f;
  if (c.bold) f.setFontWeight(QFont::Bold);
  if (c.italic) f.setFontItalic(true);
  if (c.underline) f.setFontUnderline(true);
  if (c.strike) f.setFontStrikeOut(true);
  if (c.smallCaps) f.setFontCapitalization(QFont::SmallCaps);
  if (c.allCaps) f.setFontCapitalization(QFont::AllUppercase);
  if (c.vertical > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  if (c.vertical < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  if (c.halfPoints != 24) f.setFontPointSize(c.halfPoints / 2.0);
  const int font = c.font >= 0 ? c.font : tables_.defaultFont;
  if (const auto it = tables_.fonts.find(font); it != tables_.fonts.end() && !it->second.name.isEmpty())
    f.setFontFamilies(QStringList{it->second.name});
  if (const QColor fg = tableColor(tables_.colors, c.color); fg.isValid()) f.setForeground(fg);
  if (const QColor bg = tableColor(tables_.colors, c.background); bg.isValid()) f.setBackground(bg);
  if (c.link > 0 && c.link <= static_cast<int>(tables_.links.size())) {
    f.setAnchor(true);
    f.setAnchorHref(tables_.links[static_cast<std::size_t>(c.link - 1)]);
  }
  lastFormat_ = c;
  lastQtFormat_ = f;
  lastValid_ = true;
  return lastQtFormat_;
}

QTextCursor& DocumentBuilder::target(bool inTable) {
  if (inTable && openCell()) {
    if (cellNeedsBlock_) cell_.insertBlock();
    cellNeedsBlock_ = false;
    return cell_;
  }
  closeTable();
  if (bodyNeedsBlock_) body_.insertBlock();
  bodyNeedsBlock_ = false;
  return body_;
}

// Makes sure the current cell exists, growing the table as rows and cells arrive (the row's
// \cellx list may come after its cells). False once tables are being laid flat.
bool DocumentBuilder::openCell() {
  if (tablesFlattened_) return false;
  if (cellOpen_) return true;
  if (!table_) {
    // The table goes after the paragraph just ended; a block for it would show as a blank line.
    bodyNeedsBlock_ = false;
    QTextTableFormat format;
    format.setCellPadding(2);
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    table_ = body_.insertTable(1, 1, format);
    row_ = column_ = 0;
    firstRowEdges_.clear();
  }
  const int column = std::min(column_, kMaxColumns - 1);
  const qsizetype rows = std::max(table_->rows(), row_ + 1);
  const qsizetype columns = std::max(table_->columns(), column + 1);
  if (rows * columns > cellBudget_) {
    closeTable();
    tablesFlattened_ = true;
    return false;
  }
  if (row_ >= table_->rows()) table_->appendRows(row_ + 1 - table_->rows());
  if (column >= table_->columns()) table_->appendColumns(column + 1 - table_->columns());
  const QTextTableCell cell = table_->cellAt(row_, column);
  cell_ = cell.lastCursorPosition();
  // Cells beyond the last column share it, each starting a paragraph of its own.
  cellNeedsBlock_ = cell_.position() > cell.firstPosition();
  cellOpen_ = true;
  return true;
}

void DocumentBuilder::closeTable() {
  if (!table_) return;
  const int columns = table_->columns();
  if (static_cast<int>(firstRowEdges_.size()) == columns) {
    QList<QTextLength> widths;
    int left = 0;
    for (int edge : firstRowEdges_) {
      widths.append(QTextLength(QTextLength::FixedLength, std::max(edge - left, 15) / kTwipsPerPixel));
      left = edge;
    }
    QTextTableFormat format = table_->format();
    format.setColumnWidthConstraints(widths);
    table_->setFormat(format);
  }
  table_ = nullptr;
  cellOpen_ = false;
  cellNeedsBlock_ = false;
  body_.movePosition(QTextCursor::End);
  bodyNeedsBlock_ = false;
}

void DocumentBuilder::text(std::u16string_view run, const CharFormat& format, bool inTable) {
  QTextCursor& cursor = target(inTable);
  QTextCharFormat shown = charFormat(format);  // shared, not copied, unless a bookmark marks it
  markPendingBookmarks(shown);
  cursor.insertText(QString::fromUtf16(run.data(), static_cast<qsizetype>(run.size())), shown);
}

void DocumentBuilder::bookmark(const QString& name) {
  // A file could name thousands of places before any text; a few are plenty to land on.
  constexpr qsizetype kMaxPending = 64;
  if (pendingBookmarks_.size() < kMaxPending) pendingBookmarks_.append(name);
}

void DocumentBuilder::markPendingBookmarks(QTextCharFormat& format) {
  if (pendingBookmarks_.isEmpty()) return;
  // Qt only looks for anchor names on fragments marked as anchors.
  format.setAnchor(true);
  format.setAnchorNames(format.anchorNames() + pendingBookmarks_);
  pendingBookmarks_.clear();
}

void DocumentBuilder::paragraphEnd(const ParaFormat& format, bool pageBreak) {
  QTextCursor& cursor = target(format.inTable);
  cursor.setBlockFormat(blockFormat(format, pageBreak));
  if (&cursor == &cell_)
    cellNeedsBlock_ = true;
  else
    bodyNeedsBlock_ = true;
}

void DocumentBuilder::cellEnd(const ParaFormat& format) {
  if (!openCell()) {
    paragraphEnd(ParaFormat{}, false);
    return;
  }
  if (!cellNeedsBlock_) cell_.setBlockFormat(blockFormat(format, false));
  ++column_;
  cellOpen_ = false;
  cellNeedsBlock_ = false;
}

void DocumentBuilder::rowEnd(const std::vector<int>& cellEdges) {
  if (!table_) return;
  if (row_ == 0) firstRowEdges_ = cellEdges;
  ++row_;
  column_ = 0;
  cellOpen_ = false;
  cellNeedsBlock_ = false;
}

void DocumentBuilder::picture(const Picture& picture, const CharFormat& format, bool inTable) {
  // Data that does not even begin like its kind is not worth a decoder's complaints.
  const bool png = picture.kind == Picture::Kind::Png && picture.data.startsWith("\x89PNG\r\n\x1a\n");
  const bool jpeg = picture.kind == Picture::Kind::Jpeg && picture.data.startsWith("\xff\xd8");
  if (!png && !jpeg) return;
  QByteArray data = picture.data;
  QBuffer buffer(&data);
  QImageReader reader(&buffer, png ? QByteArrayLiteral("png") : QByteArrayLiteral("jpeg"));
  const QSize size = reader.size();
  // The header's size decides the memory, so a tiny file cannot ask for a huge bitmap.
  if (!size.isValid() || qint64(size.width()) * size.height() * 4 > imageBudget_) return;
  QImage image;
  if (!reader.read(&image) || image.isNull()) return;
  imageBudget_ -= image.sizeInBytes();
  const QString name = QStringLiteral("rtf-image:%1").arg(++imageCount_);
  document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat imageFormat;
  imageFormat.merge(charFormat(format));
  markPendingBookmarks(imageFormat);
  imageFormat.setName(name);
  const QSize shown = shownSize(picture, image.size());
  imageFormat.setWidth(shown.width());
  imageFormat.setHeight(shown.height());
  target(inTable).insertImage(imageFormat);
}

void DocumentBuilder::finish() { closeTable(); }

}  // namespace platform::rtf

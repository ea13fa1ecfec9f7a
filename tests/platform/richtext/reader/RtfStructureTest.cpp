// Protects the document the reader builds: formats, paragraphs, tables, links and pictures.
#include "RtfTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextTable>

#include <gtest/gtest.h>

#include <functional>

namespace {

using platform::rtf::readRtf;
using rtftest::wrap;

QTextCharFormat formatOfFirstChar(const char* body) {
  QTextDocument doc;
  EXPECT_TRUE(readRtf(wrap(body), doc)) << body;
  QTextCursor c(&doc);
  c.setPosition(1);
  return c.charFormat();
}

TEST(RtfFormat, characterFormatsFollowControlWordsAndGroups) {
  struct Case {
    const char* body;
    std::function<bool(const QTextCharFormat&)> holds;
  };
  const Case cases[] = {
      {R"({\b x})", [](const auto& f) { return f.fontWeight() == QFont::Bold; }},
      {R"(\b\b0 x)", [](const auto& f) { return f.fontWeight() != QFont::Bold; }},
      {R"({\b{\b0}x})", [](const auto& f) { return f.fontWeight() == QFont::Bold; }},
      {R"(\i x)", [](const auto& f) { return f.fontItalic(); }},
      {R"(\ul x)", [](const auto& f) { return f.fontUnderline(); }},
      {R"(\uldb\ulnone x)", [](const auto& f) { return !f.fontUnderline(); }},
      {R"(\strike x)", [](const auto& f) { return f.fontStrikeOut(); }},
      {R"(\super x)", [](const auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignSuperScript; }},
      {R"(\sub x)", [](const auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignSubScript; }},
      {R"(\sub\nosupersub x)", [](const auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignNormal; }},
      {R"(\scaps x)", [](const auto& f) { return f.fontCapitalization() == QFont::SmallCaps; }},
      {R"(\fs40 x)", [](const auto& f) { return f.fontPointSize() == 20.0; }},
      {R"(\f1 x)",
       [](const auto& f) { return f.fontFamilies().toStringList() == QStringList{QStringLiteral("Times")}; }},
      {R"(\f1\plain x)",
       [](const auto& f) { return f.fontFamilies().toStringList() == QStringList{QStringLiteral("Arial")}; }},
      {R"(\cf1 x)", [](const auto& f) { return f.foreground().color() == QColor(255, 0, 0); }},
      {R"(\cf0 x)", [](const auto& f) { return !f.hasProperty(QTextFormat::ForegroundBrush); }},
      {R"(\cf77 x)", [](const auto& f) { return !f.hasProperty(QTextFormat::ForegroundBrush); }},
      {R"(\highlight2 x)", [](const auto& f) { return f.background().color() == QColor(0, 0, 255); }},
      {R"(\b\i\ul\fs40\cf1\plain x)",
       [](const auto& f) {
         return f.fontWeight() != QFont::Bold && !f.fontItalic() && !f.fontUnderline() &&
                !f.hasProperty(QTextFormat::FontPointSize) && !f.hasProperty(QTextFormat::ForegroundBrush);
       }},
  };
  for (const Case& c : cases) EXPECT_TRUE(c.holds(formatOfFirstChar(c.body))) << c.body;
}

TEST(RtfFormat, paragraphFormatsApplyToTheirParagraphAndPardResetsThem) {
  QTextDocument doc;
  ASSERT_TRUE(
      readRtf(wrap(R"(\qc\li720\ri360\fi-360\sb240\sa120 centred\par\qr right\par\qj just\par\pard plain\par)"), doc));
  ASSERT_EQ(doc.blockCount(), 4);
  const QTextBlockFormat centred = doc.findBlockByNumber(0).blockFormat();
  EXPECT_EQ(centred.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_DOUBLE_EQ(centred.leftMargin(), 48.0);
  EXPECT_DOUBLE_EQ(centred.rightMargin(), 24.0);
  EXPECT_DOUBLE_EQ(centred.textIndent(), -24.0);
  EXPECT_DOUBLE_EQ(centred.topMargin(), 16.0);
  EXPECT_DOUBLE_EQ(centred.bottomMargin(), 8.0);
  EXPECT_EQ(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
  const QTextBlockFormat plain = doc.findBlockByNumber(3).blockFormat();
  EXPECT_EQ(plain.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  EXPECT_DOUBLE_EQ(plain.leftMargin(), 0.0);

  // The last paragraph needs no \par, even in a file cut off inside a group.
  for (const char* body : {R"(first\par\qc last)", R"(first\par\qc {\b last)"}) {
    ASSERT_TRUE(readRtf(wrap(body), doc));
    ASSERT_EQ(doc.blockCount(), 2) << body;
    EXPECT_EQ(doc.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter) << body;
  }
}

TEST(RtfFormat, lineSpacingIsProportionalAtLeastOrExactAsWritten) {
  struct Case {
    const char* body;
    int type;
    double height;
  };
  const Case cases[] = {
      {R"(\sl360\slmult1 x\par)", QTextBlockFormat::ProportionalHeight, 150.0},
      {R"(\sl360 x\par)", QTextBlockFormat::MinimumHeight, 24.0},
      {R"(\sl360\slmult0 x\par)", QTextBlockFormat::MinimumHeight, 24.0},
      {R"(\sl-300\slmult1 x\par)", QTextBlockFormat::FixedHeight, 20.0},
      {R"(\sl99999\slmult1 x\par)", QTextBlockFormat::ProportionalHeight, 500.0},
      {R"(\sl240\slmult1 x\par)", QTextBlockFormat::SingleHeight, 0.0},
      {R"(\sl0 x\par)", QTextBlockFormat::SingleHeight, 0.0},
      {R"(\sl360\slmult1\pard x\par)", QTextBlockFormat::SingleHeight, 0.0},
  };
  for (const Case& c : cases) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf(wrap(c.body), doc));
    const QTextBlockFormat f = doc.firstBlock().blockFormat();
    EXPECT_EQ(f.lineHeightType(), c.type) << c.body;
    EXPECT_DOUBLE_EQ(f.lineHeight(), c.height) << c.body;
  }
}

// A list item's tab reaches the hanging indent, where its wrapped lines start, as word processors
// lay it out; Qt's next default stop would leave a wide gap after every bullet.
TEST(RtfFormat, theTabAfterAListBulletReachesTheHangingIndent) {
  QTextDocument doc;
  doc.setTextWidth(400);
  ASSERT_TRUE(readRtf(wrap(R"(\pard\li600\fi-300{\listtext \bullet\tab}Text\par)"), doc));
  doc.documentLayout()->documentSize();  // lays the document out
  const QTextBlock item = doc.firstBlock();
  const QTextLine line = item.layout()->lineAt(0);
  ASSERT_TRUE(line.isValid());
  EXPECT_NEAR(line.cursorToX(2), item.blockFormat().leftMargin(), 0.5);
}

TEST(RtfFormat, pageBreakEndsItsParagraphWithABreak) {
  QTextDocument doc;
  ASSERT_TRUE(readRtf(wrap(R"(one\page two)"), doc));
  EXPECT_EQ(doc.firstBlock().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysAfter);
}

// ---- tables --------------------------------------------------------------------------

QTextTable* firstTable(QTextDocument& doc) {
  for (QTextFrame* f : doc.rootFrame()->childFrames())
    if (auto* t = qobject_cast<QTextTable*>(f)) return t;
  return nullptr;
}

QString cellText(QTextTable* t, int row, int column) {
  QTextCursor c = t->cellAt(row, column).firstCursorPosition();
  c.setPosition(t->cellAt(row, column).lastPosition(), QTextCursor::KeepAnchor);
  return c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

TEST(RtfTable, rowsAndCellsBecomeATableWhateverOrderTheRowDefinitionComesIn) {
  const char* bodies[] = {
      // Row definition first, as office suites write it.
      R"(before\par\trowd\cellx1000\cellx3000\pard\intbl A\cell B\cell\row)"
      R"(\trowd\cellx1000\cellx3000\pard\intbl C\cell\pard\intbl D1\par D2\cell\row\pard after\par)",
      // Cells in groups with their own paragraph ends and the definition repeated at the end.
      R"(before\par{\pard\intbl{A\par}\cell{B\par}\cell\trowd\cellx1000\cellx3000\row})"
      R"({\pard\intbl{C\par}\cell{D1\par D2\par}\cell\trowd\cellx1000\cellx3000\row}\pard after\par)",
  };
  for (const char* body : bodies) {
    QTextDocument doc;
    ASSERT_TRUE(readRtf(wrap(body), doc));
    QTextTable* t = firstTable(doc);
    ASSERT_NE(t, nullptr) << body;
    ASSERT_EQ(t->rows(), 2);
    ASSERT_EQ(t->columns(), 2);
    EXPECT_EQ(cellText(t, 0, 0), QStringLiteral("A"));
    EXPECT_EQ(cellText(t, 0, 1), QStringLiteral("B"));
    EXPECT_EQ(cellText(t, 1, 0), QStringLiteral("C"));
    EXPECT_EQ(cellText(t, 1, 1), QStringLiteral("D1\nD2"));
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("before"));
    EXPECT_EQ(doc.lastBlock().text(), QStringLiteral("after"));
    const auto widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_NEAR(widths[1].rawValue(), 2000 / 15.0, 0.01);
  }
}

TEST(RtfTable, raggedRowsEmptyCellsAndNestedCellsStayInOneTable) {
  QTextDocument doc;
  ASSERT_TRUE(
      readRtf(wrap(R"(\trowd\cellx500\intbl A\cell\row\trowd\cellx500\cellx900\cellx1400\intbl\cell\cell C\cell\row)"
                   R"(\intbl\itap2 x\nestcell y\nestcell\nestrow\itap1 outer\cell\row)"),
              doc));
  QTextTable* t = firstTable(doc);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->rows(), 3);
  EXPECT_EQ(t->columns(), 3);
  EXPECT_EQ(cellText(t, 1, 2), QStringLiteral("C"));
  EXPECT_EQ(cellText(t, 2, 0), QStringLiteral("x\ty\t\nouter"));
}

// ---- links ---------------------------------------------------------------------------

TEST(RtfLink, hyperlinkFieldsShowTheirResultAsAnAnchor) {
  struct Case {
    const char* body;
    const char* href;
  };
  const Case cases[] = {
      {R"({\field{\*\fldinst HYPERLINK "https://www.keyloft.app/"}{\fldrslt link}})", "https://www.keyloft.app/"},
      {R"({\field{\*\fldinst {\rtlch HYPERLINK "http://a.example/x?y=1&z=2" \\o "tip"}}{\fldrslt {\cs15\ul link}}})",
       "http://a.example/x?y=1&z=2"},
      {R"({\field{\*\fldinst HYPERLINK \\l "chapter2"}{\fldrslt link}})", "#chapter2"},
      {R"({\field{\*\fldinst hyperlink mailto:help@keyloft.app}{\fldrslt link}})", "mailto:help@keyloft.app"},
  };
  for (const Case& c : cases) {
    const QTextCharFormat f = formatOfFirstChar(c.body);
    EXPECT_TRUE(f.isAnchor()) << c.body;
    EXPECT_EQ(f.anchorHref(), QString::fromUtf8(c.href)) << c.body;
  }
  QTextDocument doc;
  ASSERT_TRUE(readRtf(
      wrap(R"({\field{\*\fldinst HYPERLINK "u"}{\fldrslt link}} after {\field{\*\fldinst PAGE}{\fldrslt 1}})"), doc));
  EXPECT_EQ(doc.toPlainText(), QStringLiteral("link after 1"));
  QTextCursor c(&doc);
  c.setPosition(6);
  EXPECT_FALSE(c.charFormat().isAnchor());
  c.movePosition(QTextCursor::End);
  EXPECT_FALSE(c.charFormat().isAnchor());
}

TEST(RtfLink, aBookmarkAfterTextMarksThePlaceWhereItStands) {
  QTextDocument doc;
  ASSERT_TRUE(readRtf(wrap(R"(before{\*\bkmkstart mark}after{\*\bkmkend mark})"), doc));
  QTextCursor c(&doc);
  c.setPosition(6);  // a cursor's format is the one of the character before it
  EXPECT_TRUE(c.charFormat().anchorNames().isEmpty());
  c.setPosition(7);
  EXPECT_EQ(c.charFormat().anchorNames(), QStringList{QStringLiteral("mark")});
}

// ---- pictures ------------------------------------------------------------------------

QByteArray encoded(const char* format, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

struct Shown {
  QString name;
  QSizeF size;
  QSize imageSize;
};

std::vector<Shown> picturesOf(const QByteArray& rtf) {
  QTextDocument doc;
  EXPECT_TRUE(readRtf(rtf, doc));
  std::vector<Shown> shown;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
      if (!f.isValid()) continue;
      const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
      shown.push_back({f.name(), QSizeF(f.width(), f.height()), image.size()});
    }
  return shown;
}

TEST(RtfPicture, pngAndJpegShowAtTheirGoalSizeAsDocumentResources) {
  const QByteArray png = encoded("PNG", QSize(40, 20));
  const QByteArray jpeg = encoded("JPEG", QSize(30, 30));
  const QByteArray rtf = "{\\rtf1 a{\\pict\\pngblip\\picw40\\pich20\\picwgoal1200\\pichgoal600 " + png.toHex() +
                         "}b{\\pict\\jpegblip\\picscalex50\\picscaley200\\bin" + QByteArray::number(jpeg.size()) + ' ' +
                         jpeg + "}c{\\pict\\pngblip\n" + png.toHex(' ') + "}}";
  const auto shown = picturesOf(rtf);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].size, QSizeF(80, 40));
  EXPECT_EQ(shown[0].imageSize, QSize(40, 20));
  EXPECT_EQ(shown[1].size, QSizeF(15, 60));
  EXPECT_EQ(shown[2].size, QSizeF(40, 20));
  EXPECT_NE(shown[0].name, shown[2].name);
}

// A damaged file's goal size, scaled, can pass any int: such a picture shows at the largest size.
TEST(RtfPicture, aGoalSizeBeyondAnIntShowsAtTheLargestSize) {
  const auto shown = picturesOf(
      "{\\rtf1 {\\pict\\pngblip\\picwgoal2000000000\\pichgoal2000000000\\picscalex10000"
      "\\picscaley10000 " +
      encoded("PNG", QSize(8, 8)).toHex() + "}}");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].size, QSizeF(20000, 20000));
}

TEST(RtfPicture, otherKindsAndBrokenDataAreSkippedAndShapeFallbacksNotDoubled) {
  const QByteArray png = encoded("PNG", QSize(8, 8)).toHex();
  EXPECT_TRUE(picturesOf("{\\rtf1 {\\pict\\wmetafile8 0100090000}{\\pict\\emfblip 01000000}}").empty());
  EXPECT_TRUE(picturesOf("{\\rtf1 {\\pict\\pngblip 89504e470d0a1a0a0000}{\\pict\\jpegblip ffd8ffe0zz}}").empty());
  EXPECT_TRUE(picturesOf("{\\rtf1 {\\pict\\pngblip " + png.left(png.size() / 2) + "}}").empty());
  const auto shown = picturesOf("{\\rtf1 {\\*\\shppict{\\pict{\\*\\blipuid 00ff}\\pngblip " + png +
                                "}}{\\nonshppict{\\pict\\pngblip " + png + "}}}");
  EXPECT_EQ(shown.size(), 1u);
}

quint32 crc32(QByteArrayView bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (char b : bytes) {
    crc ^= static_cast<unsigned char>(b);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

TEST(RtfPicture, aHeaderClaimingAHugeImageIsNotDecoded) {
  // A valid PNG header for 60000 x 60000 pixels: about 14 GB once decoded.
  QByteArray png = encoded("PNG", QSize(1, 1));
  for (int at : {16, 20}) {
    png[at] = png[at + 1] = 0;
    png[at + 2] = char(0xEA);
    png[at + 3] = 0x60;
  }
  const quint32 crc = crc32(QByteArrayView(png).sliced(12, 17));
  for (int k = 0; k < 4; ++k) png[29 + k] = char(crc >> (24 - 8 * k));
  QBuffer buffer(&png);
  ASSERT_EQ(QImageReader(&buffer, "png").size(), QSize(60000, 60000));
  EXPECT_TRUE(picturesOf("{\\rtf1 {\\pict\\pngblip " + png.toHex() + "}}").empty());
}

}  // namespace

// Protects what text the rich-text reader takes from control words, destinations and code pages.
#include "RtfTestSupport.h"

#include <gtest/gtest.h>

namespace {

using rtftest::readBody;

struct TextCase {
  const char* body;
  const char16_t* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.body; }

class RtfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfText, readsAsWritersMeanIt) { EXPECT_EQ(readBody(GetParam().body), QString::fromUtf16(GetParam().expected)); }

INSTANTIATE_TEST_SUITE_P(
    ControlWordsAndSymbols, RtfText,
    ::testing::Values(TextCase{R"(Hello {\b world})", u"Hello world"}, TextCase{R"(a\tab b\line c)", u"a\tb\u2028c"},
                      TextCase{R"(a\par b\par)", u"a\nb"}, TextCase{R"(a\par\par b)", u"a\n\nb"},
                      TextCase{R"(a\page b\sect c)", u"a\nb\nc"},
                      TextCase{R"(\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote)",
                               u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D"},
                      TextCase{R"(\~\-\_\{\}\\)", u"\u00A0\u00AD\u2011{}\\"}, TextCase{"a\r\nb\tc", u"ab\tc"},
                      TextCase{R"(caf\'e9 CAF\'C9)", u"caf\u00E9 CAF\u00C9"}, TextCase{R"(\'80\'99)", u"\u20AC\u2122"},
                      // Unknown words: skipped alone, or with their group when starred.
                      TextCase{R"(\unknownword text)", u"text"}, TextCase{R"({\*\unknowndest hidden}shown)", u"shown"},
                      TextCase{R"({\unknowndest kept})", u"kept"}, TextCase{R"(\fs99999999999999999999 big)", u"big"},
                      TextCase{R"(\'4)", u""}));

INSTANTIATE_TEST_SUITE_P(
    Unicode, RtfText,
    ::testing::Values(TextCase{R"(\u8212?x)", u"\u2014x"}, TextCase{R"(\u8212\'97 x)", u"\u2014 x"},
                      TextCase{R"(\uc2\u8212ab c)", u"\u2014 c"}, TextCase{R"(\uc2\u8212\'a1\'a2c)", u"\u2014c"},
                      TextCase{R"(\u-3913?)", u"\uF0B7"}, TextCase{R"(\u61623?)", u"\uF0B7"},
                      TextCase{R"(\u-10179?\u-8704?)", u"\U0001F600"},
                      TextCase{R"({\uc0\u233}\u233?)", u"\u00E9\u00E9"},
                      TextCase{R"({\uc2\u233 xx}\u233?)", u"\u00E9\u00E9"}, TextCase{R"(\uc3\u8212{\b x})", u"\u2014x"},
                      TextCase{R"(\u8212\bin2 ..z)", u"\u2014z"}, TextCase{R"(\u8220\ldblquote x)", u"\u201Cx"},
                      TextCase{R"(\u99999999999 ?x)", u"\uFFFDx"}));

INSTANTIATE_TEST_SUITE_P(
    Destinations, RtfText,
    ::testing::Values(
        TextCase{R"({\info{\title T}{\author A}}{\header H}{\footerl F}{\stylesheet{\s0 Normal;}}body)", u"body"},
        TextCase{
            R"({\*\themedata 0102}{\*\colorschememapping 41}{\*\datastore 00}{\*\latentstyles\lsdstimax376 x}body)",
            u"body"},
        TextCase{
            R"({\*\generator Writer;}{\*\xmlnstbl {\xmlns1 x}}{\*\listtable{\list x}}{\listoverridetable{\x y}}body)",
            u"body"},
        TextCase{R"({\*\ftnsep \chftnsep}{\footnote note}body{\*\pgdsctbl {\pgdsc0 Standard;}})", u"body"},
        TextCase{R"(\v hidden\v0 shown)", u"shown"}, TextCase{R"(\v hidden\plain shown)", u"shown"},
        TextCase{R"(a\bin3 {}\b)", u"ab"},
        TextCase{R"({\pntext\f1 \'b7\tab}{\*\pn\pnlvlblt{\pntxtb\'b7}}Item)", u"\u00B7\tItem"},
        TextCase{R"({\listtext\pard\plain \u8226\'95\tab}Item)", u"\u2022\tItem"},
        TextCase{R"({\upr{ansi}{\*\ud{\u1044?}}})", u"\u0414"},
        TextCase{R"({\field{\*\fldinst PAGE}{\fldrslt 3}} pages)", u"3 pages"},
        TextCase{R"({\field{\*\fldinst {HYPERLINK "http://a.example/"}}{\fldrslt {\ul link}}})", u"link"},
        TextCase{R"({\*\bkmkstart mark}text{\*\bkmkend mark})", u"text"},
        TextCase{R"(a{\nonshppict {\pict\wmetafile8 0102}}b)", u"ab"},
        TextCase{R"(x\nestcell y\nestrow z)", u"x\ty\nz"},
        TextCase{R"(a{\super\chftn}{\footnote{\super\chftn} one} b{\super\chftn}{\footnote\chftn two})", u"a1 b2"}));

// Bytes above 127 are read in the font's charset, else the document's code page; East Asian
// code pages pair a lead byte with the byte after it, even a plain letter.
INSTANTIATE_TEST_SUITE_P(
    CodePages, RtfText,
    ::testing::Values(
        TextCase{R"(\f1 \'cf\'f0\'e8)", u"\u041F\u0440\u0438"},
        TextCase{R"({\fonttbl{\f2\fcharset161 G;}}\f2 \'e1\'e2)", u"\u03B1\u03B2"},
        TextCase{R"({\fonttbl{\f2\fcharset238 P;}}\f2 \'b9\'ea)", u"\u0105\u0119"},
        TextCase{R"({\fonttbl{\f2\fcharset162 T;}}\f2 \'fe\'f0)", u"\u015F\u011F"},
        TextCase{R"({\fonttbl{\f2\fcharset177 H;}}\f2 \'e0)", u"\u05D0"},
        TextCase{R"({\fonttbl{\f2\fcharset178 A;}}\f2 \'c7)", u"\u0627"},
        TextCase{R"({\fonttbl{\f2\fcharset186 B;}}\f2 \'e0)", u"\u0105"},
        TextCase{R"({\fonttbl{\f2\fcharset222 T;}}\f2 \'a1)", u"\u0E01"},
        TextCase{R"({\fonttbl{\f2\fcharset128 J;}}\f2 \'82\'a0\'83A)", u"\u3042\u30A2"},
        TextCase{R"({\fonttbl{\f2\fcharset134 C;}}\f2 \'c4\'e3)", u"\u4F60"},
        TextCase{R"({\fonttbl{\f2\fcharset129 K;}}\f2 \'c7\'d1)", u"\uD55C"},
        TextCase{R"({\fonttbl{\f2\fcharset136 B;}}\f2 \'a7A)", u"\u4F60"},
        TextCase{R"({\fonttbl{\f2\fcharset128 J;}}\f2 \'82)", u"\uFFFD"},
        TextCase{R"({\fonttbl{\f2\cpg1253 G;}}\f2 \'e1)", u"\u03B1"},
        // A font's own code page wins over its charset, before or after it.
        TextCase{R"({\fonttbl{\f2\fcharset128\cpg65001 J;}}\f2 \'e4\'b8\'ad\'e5\'9c\'8b)", u"\u4E2D\u570B"},
        TextCase{R"({\fonttbl{\f2\cpg1251\fcharset161 C;}}\f2 \'cf)", u"\u041F"},
        TextCase{R"(\ansicpg99999 {\fonttbl{\f2\cpg77777 G;}}\'e9\f2 \'e9)", u"\u00E9\u00E9"},
        TextCase{R"(\f1 \'cf{\f0 \'e9}\'cf)", u"\u041F\u00E9\u041F"},
        // A code page or default font changed after text applies from there on.
        TextCase{R"(\ansicpg932 \'82\'a0\ansicpg1251 \'e9)", u"\u3042\u0439"},
        TextCase{R"(\'e9\deff1 \'cf)", u"\u00E9\u041F"},
        // The Symbol font has a layout of its own; other symbol fonts keep their bytes.
        TextCase{R"({\fonttbl{\f2\fcharset2 Symbol;}}\f2 \'b7 ajV-\'ae)", u"\u2022 \u03B1\u03D5\u03C2\u2212\u2192"},
        TextCase{R"({\fonttbl{\f2\fcharset2 Wingdings;}}\f2 \'b7a)", u"\u00B7a"}));

TEST(RtfCodePage, documentCodePageAppliesToFontsWithoutCharset) {
  QTextDocument doc;
  ASSERT_TRUE(platform::rtf::readRtf(
      QByteArrayLiteral(R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0 Arial;}}\'cf\'f0\par})"), doc));
  EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"\u041F\u0440"));
  ASSERT_TRUE(platform::rtf::readRtf(QByteArrayLiteral(R"({\rtf1\mac \'8e})"), doc));
  EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"\u00E9"));
}

TEST(RtfCodePage, theDefaultFontsCharsetAppliesToTextThatNamesNoFont) {
  QTextDocument doc;
  ASSERT_TRUE(platform::rtf::readRtf(
      QByteArrayLiteral(R"({\rtf1\ansi\deff1{\fonttbl{\f0 Arial;}{\f1\fcharset204 Times;}}\'cf})"), doc));
  EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"\u041F"));
}

}  // namespace

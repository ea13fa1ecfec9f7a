#include "RtfControlWords.h"

#include <array>
#include <cstdint>
#include <span>

namespace platform::rtf {
namespace {

struct Entry {
  std::string_view name;
  Word word;
  char16_t character = 0;
};

// Destinations whose content is never shown: tables of the document, headers and footers,
// footnotes and their separators, metadata, and the fallbacks of things read elsewhere.
constexpr std::string_view kSkipped[] = {
    "stylesheet",
    "info",
    "header",
    "headerl",
    "headerr",
    "headerf",
    "footer",
    "footerl",
    "footerr",
    "footerf",
    "ftnsep",
    "ftnsepc",
    "ftncn",
    "aftnsep",
    "aftnsepc",
    "aftncn",
    "footnote",
    "pgdsctbl",
    "themedata",
    "colorschememapping",
    "datastore",
    "latentstyles",
    "xmlnstbl",
    "listtable",
    "listoverridetable",
    "revtbl",
    "rsidtbl",
    "generator",
    "nonshppict",
    "pn",
    "xe",
    "tc",
    "txe",
    "rxe",
    "template",
    "filetbl",
    "private",
    "userprops",
    "docvar",
    "mmathPr",
    "pnseclvl",
    "objdata",
    "objclass",
    "bkmkend",
    "annotation",
    "atnid",
    "atnauthor",
    "nonesttables",
    "nesttableprops",
    "listpicture",
    "pgptbl",
    "protusertbl",
    "wgrffmtfilter",
    "fchars",
    "lchars",
    "defchp",
    "defpap",
    "panose",
    "falt",
    "shpinst",
    "sp",
    "sn",
    "sv",
    "blipuid",
    "datafield",
    "fldtype",
    "pict2",
    "ftnalt",
    "passwordhash",
    "pxe",
    "ts",
    "mmath",
};

constexpr Entry kCodePageWords[] = {
    {"ansi", Word::Ansi},
    {"mac", Word::Mac},
    {"pc", Word::Pc},
    {"pca", Word::Pca},
    {"ansicpg", Word::AnsiCodePage},
    {"deff", Word::DefaultFont},
};

constexpr Entry kUnicodeWords[] = {
    {"u", Word::Unicode},
    {"uc", Word::UnicodeSkip},
    {"upr", Word::Upr},
    {"ud", Word::Ud},
};

constexpr Entry kFontTableWords[] = {
    {"fonttbl", Word::FontTable},
    {"fcharset", Word::FontCharset},
    {"cpg", Word::FontCodePage},
};

constexpr Entry kColorTableWords[] = {
    {"colortbl", Word::ColorTable},
    {"red", Word::Red},
    {"green", Word::Green},
    {"blue", Word::Blue},
};

constexpr Entry kFieldWords[] = {
    {"field", Word::Field},
    {"fldinst", Word::FieldInstruction},
    {"fldrslt", Word::FieldResult},
};

constexpr Entry kBookmarkWords[] = {{"bkmkstart", Word::BookmarkStart}};

constexpr Entry kPictureWords[] = {
    {"pict", Word::Picture},
    {"shppict", Word::ShapePicture},
    {"pngblip", Word::PngBlip},
    {"jpegblip", Word::JpegBlip},
    {"emfblip", Word::OtherBlip},
    {"wmetafile", Word::OtherBlip},
    {"macpict", Word::OtherBlip},
    {"dibitmap", Word::OtherBlip},
    {"wbitmap", Word::OtherBlip},
    {"pmmetafile", Word::OtherBlip},
    {"picw", Word::PictureWidth},
    {"pich", Word::PictureHeight},
    {"picwgoal", Word::PictureWidthGoal},
    {"pichgoal", Word::PictureHeightGoal},
    {"picscalex", Word::PictureScaleX},
    {"picscaley", Word::PictureScaleY},
};

constexpr Entry kCharacterFormatWords[] = {
    {"f", Word::Font},
    {"plain", Word::Plain},
    {"b", Word::Bold},
    {"i", Word::Italic},
    {"ul", Word::Underline},
    {"uld", Word::Underline},
    {"uldash", Word::Underline},
    {"uldashd", Word::Underline},
    {"uldashdd", Word::Underline},
    {"uldb", Word::Underline},
    {"ulhwave", Word::Underline},
    {"ulldash", Word::Underline},
    {"ulth", Word::Underline},
    {"ulthd", Word::Underline},
    {"ulthdash", Word::Underline},
    {"ulw", Word::Underline},
    {"ulwave", Word::Underline},
    {"ululdbwave", Word::Underline},
    {"ulnone", Word::UnderlineNone},
    {"strike", Word::Strike},
    {"striked", Word::Strike},
    {"super", Word::Superscript},
    {"sub", Word::Subscript},
    {"nosupersub", Word::NoSuperSub},
    {"scaps", Word::SmallCaps},
    {"caps", Word::AllCaps},
    {"v", Word::Hidden},
    {"fs", Word::FontSize},
    {"cf", Word::Color},
    {"cb", Word::Background},
    {"highlight", Word::Background},
    {"chcbpat", Word::Background},
};

constexpr Entry kParagraphFormatWords[] = {
    {"pard", Word::Pard},           {"par", Word::Par},         {"sect", Word::Section},
    {"page", Word::Page},           {"ql", Word::AlignLeft},    {"qc", Word::AlignCenter},
    {"qr", Word::AlignRight},       {"qj", Word::AlignJustify}, {"qd", Word::AlignJustify},
    {"li", Word::LeftIndent},       {"lin", Word::LeftIndent},  {"ri", Word::RightIndent},
    {"rin", Word::RightIndent},     {"fi", Word::FirstIndent},  {"sb", Word::SpaceBefore},
    {"sa", Word::SpaceAfter},       {"sl", Word::LineSpacing},  {"slmult", Word::LineMultiple},
    {"intbl", Word::InTable},       {"itap", Word::TableLevel}, {"cell", Word::Cell},
    {"nestcell", Word::NestedCell}, {"row", Word::Row},         {"nestrow", Word::NestedRow},
    {"trowd", Word::RowDefaults},   {"cellx", Word::CellEdge},
};

constexpr Entry kCharacterWords[] = {
    {"chftn", Word::FootnoteMark},
    {"line", Word::Character, u'\u2028'},
    {"tab", Word::Character, u'\t'},
    {"emdash", Word::Character, u'\u2014'},
    {"endash", Word::Character, u'\u2013'},
    {"emspace", Word::Character, u'\u2003'},
    {"enspace", Word::Character, u'\u2002'},
    {"qmspace", Word::Character, u'\u2005'},
    {"bullet", Word::Character, u'\u2022'},
    {"lquote", Word::Character, u'\u2018'},
    {"rquote", Word::Character, u'\u2019'},
    {"ldblquote", Word::Character, u'\u201C'},
    {"rdblquote", Word::Character, u'\u201D'},
    {"zwj", Word::Character, u'\u200D'},
    {"zwnj", Word::Character, u'\u200C'},
    {"ltrmark", Word::Character, u'\u200E'},
    {"rtlmark", Word::Character, u'\u200F'},
};

struct FamilyWords {
  Family family;
  std::span<const Entry> entries;
};

constexpr FamilyWords kFamilies[] = {
    {Family::CodePage, kCodePageWords},
    {Family::Unicode, kUnicodeWords},
    {Family::FontTable, kFontTableWords},
    {Family::ColorTable, kColorTableWords},
    {Family::Field, kFieldWords},
    {Family::Bookmark, kBookmarkWords},
    {Family::Picture, kPictureWords},
    {Family::CharacterFormat, kCharacterFormatWords},
    {Family::ParagraphFormat, kParagraphFormatWords},
    {Family::Character, kCharacterWords},
};

// Every control word of a file is looked up here, and a standard hash map spends most of that
// time hashing. Open addressing over five times as many slots as there are words (under 200)
// seldom probes past the first.
class WordTable {
 public:
  WordTable() {
    for (std::string_view name : kSkipped) add(name, WordInfo{Word::SkippedDestination, Family::SkippedDestination, 0});
    for (const FamilyWords& f : kFamilies)
      for (const Entry& e : f.entries) add(e.name, WordInfo{e.word, f.family, e.character});
  }

  WordInfo find(std::string_view name) const {
    for (std::size_t i = slotOf(name);; i = (i + 1) % kSlots) {
      const Slot& slot = slots_[i];
      if (slot.name.empty()) return {};
      if (slot.name == name) return slot.info;
    }
  }

 private:
  static constexpr std::size_t kSlots = 1024;

  struct Slot {
    std::string_view name;
    WordInfo info;
  };

  // FNV-1a.
  static std::size_t slotOf(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h % kSlots;
  }

  void add(std::string_view name, WordInfo info) {
    std::size_t i = slotOf(name);
    while (!slots_[i].name.empty()) i = (i + 1) % kSlots;
    slots_[i] = Slot{name, info};
  }

  std::array<Slot, kSlots> slots_{};
};

}  // namespace

WordInfo lookupWord(std::string_view name) {
  static const WordTable table;
  return table.find(name);
}

}  // namespace platform::rtf

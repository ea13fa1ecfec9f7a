#pragma once
// The control words the reader acts on, each with the family whose handler reads it; every other
// word is passed over.
#include <cstdint>
#include <string_view>

namespace platform::rtf {

enum class Word : std::uint8_t {
  Unknown,
  SkippedDestination,
  // code pages
  Ansi,
  Mac,
  Pc,
  Pca,
  AnsiCodePage,
  DefaultFont,
  // Unicode
  Unicode,
  UnicodeSkip,
  Upr,
  Ud,
  // font and colour tables
  FontTable,
  FontCharset,
  FontCodePage,
  ColorTable,
  Red,
  Green,
  Blue,
  // fields and bookmarks
  Field,
  FieldInstruction,
  FieldResult,
  BookmarkStart,
  // pictures
  Picture,
  ShapePicture,
  PngBlip,
  JpegBlip,
  OtherBlip,
  PictureWidth,
  PictureHeight,
  PictureWidthGoal,
  PictureHeightGoal,
  PictureScaleX,
  PictureScaleY,
  // character formats
  Font,
  Plain,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  Strike,
  Superscript,
  Subscript,
  NoSuperSub,
  SmallCaps,
  AllCaps,
  Hidden,
  FontSize,
  Color,
  Background,
  // paragraphs and tables
  Pard,
  Par,
  Section,
  Page,
  AlignLeft,
  AlignCenter,
  AlignRight,
  AlignJustify,
  LeftIndent,
  RightIndent,
  FirstIndent,
  SpaceBefore,
  SpaceAfter,
  LineSpacing,
  LineMultiple,
  InTable,
  TableLevel,
  Cell,
  NestedCell,
  Row,
  NestedRow,
  RowDefaults,
  CellEdge,
  // words that stand for characters
  Character,
  FootnoteMark,
};

// Which handler reads a word. \f belongs to the character formats: in the font table, where it
// starts an entry, that table's handler sees it first.
enum class Family : std::uint8_t {
  None,
  SkippedDestination,
  CodePage,
  Unicode,
  FontTable,
  ColorTable,
  Field,
  Bookmark,
  Picture,
  CharacterFormat,
  ParagraphFormat,  // paragraphs and tables
  Character,
};

struct WordInfo {
  Word word = Word::Unknown;
  Family family = Family::None;
  char16_t character = 0;  // for Word::Character
};

// \bin is not among the words: the tokenizer reads it with its data.
WordInfo lookupWord(std::string_view name);

}  // namespace platform::rtf

#pragma once
// The control words the reader acts on; every other word is passed over.
#include <cstdint>
#include <string_view>

namespace platform::rtf {

enum class Word : std::uint8_t {
  Unknown,
  // destinations
  FontTable, ColorTable, SkippedDestination, Picture, ShapePicture, Field, FieldInstruction,
  FieldResult, BookmarkStart, Upr, Ud,
  // document
  Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, UnicodeSkip, Unicode, Binary,
  // font and colour tables
  Font, FontCharset, FontCodePage, Red, Green, Blue,
  // character formats
  Plain, Bold, Italic, Underline, UnderlineNone, Strike, Superscript, Subscript, NoSuperSub,
  SmallCaps, AllCaps, Hidden, FontSize, Color, Background,
  // paragraphs and tables
  Pard, Par, Section, Page, AlignLeft, AlignCenter, AlignRight, AlignJustify, LeftIndent,
  RightIndent, FirstIndent, SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, InTable,
  TableLevel, Cell, NestedCell, Row, NestedRow, RowDefaults, CellEdge,
  // pictures
  PngBlip, JpegBlip, OtherBlip, PictureWidth, PictureHeight, PictureWidthGoal,
  PictureHeightGoal, PictureScaleX, PictureScaleY,
  // a word that stands for one character
  Character,
  FootnoteMark,
};

struct WordInfo {
  Word word = Word::Unknown;
  char16_t character = 0;  // for Word::Character
};

WordInfo lookupWord(std::string_view name);

}  // namespace platform::rtf

#include "RtfParagraphs.h"

#include "RtfParserCore.h"

#include <algorithm>

namespace platform::rtf {
namespace {

constexpr int kMaxCellEdges = 1024;

// Lengths beyond the widest page a word processor offers (22 inches) are damage, not layout.
int twips(int value) { return std::clamp(value, -31680, 31680); }

}  // namespace

void ParagraphHandler::word(Word word, bool hasParam, int param) {
  if (formatWord(word, hasParam, param)) return;
  switch (word) {
    case Word::Par:
    case Word::Section: core_.paragraphEnd(false); return;
    case Word::Page: core_.paragraphEnd(true); return;
    default: tableWord(word, param); return;
  }
}

// Words that change the paragraph's format; false for any other.
bool ParagraphHandler::formatWord(Word word, bool hasParam, int param) {
  ParaFormat& p = core_.top().para;
  switch (word) {
    case Word::Pard: p = ParaFormat{}; return true;
    case Word::AlignLeft: p.alignment = Alignment::Left; return true;
    case Word::AlignCenter: p.alignment = Alignment::Center; return true;
    case Word::AlignRight: p.alignment = Alignment::Right; return true;
    case Word::AlignJustify: p.alignment = Alignment::Justify; return true;
    case Word::LeftIndent: p.leftIndent = twips(param); return true;
    case Word::RightIndent: p.rightIndent = twips(param); return true;
    case Word::FirstIndent: p.firstIndent = twips(param); return true;
    case Word::SpaceBefore: p.spaceBefore = twips(param); return true;
    case Word::SpaceAfter: p.spaceAfter = twips(param); return true;
    case Word::LineSpacing: p.lineSpacing = hasParam ? twips(param) : 0; return true;
    case Word::LineMultiple: p.lineMultiple = hasParam && param == 1; return true;
    case Word::InTable: p.inTable = true; return true;
    case Word::TableLevel: p.inTable = param > 0; return true;
    default: return false;
  }
}

void ParagraphHandler::tableWord(Word word, int param) {
  switch (word) {
    case Word::Cell:
      if (core_.bodyVisible()) core_.output().cellEnd(core_.top().para);
      return;
    case Word::Row:
      if (core_.bodyVisible()) core_.output().rowEnd(cellEdges_);
      return;
    // Tables inside cells are laid flat into the outer cell: their cells become tabs, their
    // rows paragraphs.
    case Word::NestedCell: core_.emitChar(u'\t'); return;
    case Word::NestedRow: core_.paragraphEnd(false); return;
    case Word::RowDefaults: cellEdges_.clear(); return;
    case Word::CellEdge:
      if (static_cast<int>(cellEdges_.size()) < kMaxCellEdges) cellEdges_.push_back(param);
      return;
    default: return;
  }
}

}  // namespace platform::rtf

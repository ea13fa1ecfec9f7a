#include "RtfFields.h"

#include "RtfParserCore.h"

#include <QString>

namespace platform::rtf {
namespace {

// Splits a field instruction into words, keeping quoted parts together.
std::vector<QString> instructionWords(const QString& text) {
  std::vector<QString> words;
  QString word;
  bool quoted = false;
  bool any = false;
  for (QChar c : text) {
    if (c == u'"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && c.isSpace()) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  return words;
}

// The target of a HYPERLINK field ("url", or \l "bookmark" for a place in the document).
QString hyperlinkTarget(const std::u16string& instruction) {
  const std::vector<QString> words = instructionWords(
      QString::fromUtf16(instruction.data(), static_cast<qsizetype>(instruction.size())));
  if (words.empty() || words[0].compare(QStringLiteral("HYPERLINK"), Qt::CaseInsensitive) != 0) return {};
  QString url;
  QString bookmark;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const QString& w = words[i];
    if (w.startsWith(u'\\') && w.size() == 2) {
      const QChar option = w.at(1).toLower();
      // \l, \o, \t and \m take an argument; only \l's matters for the target.
      if ((option == u'l' || option == u'o' || option == u't') && i + 1 < words.size()) {
        if (option == u'l') bookmark = words[i + 1];
        ++i;
      }
    } else if (url.isEmpty()) {
      url = w;
    }
  }
  if (!bookmark.isEmpty()) url += u'#' + bookmark;
  return url;
}

}  // namespace

void FieldHandler::word(Word word) {
  State& s = core_.top();
  switch (word) {
    case Word::Field:
      fields_.push_back(Field{});
      s.field = static_cast<int>(fields_.size()) - 1;
      return;
    // An instruction outside any field has nothing to act on.
    case Word::FieldInstruction:
      core_.setDestination(s.field >= 0 ? Destination::FieldInstruction : Destination::Skip);
      return;
    case Word::FieldResult:
      if (s.field >= 0 && fields_[static_cast<std::size_t>(s.field)].link)
        s.chr.link = fields_[static_cast<std::size_t>(s.field)].link;
      return;
    default: return;
  }
}

void FieldHandler::instructionCharacter(char16_t c) {
  const int field = core_.top().field;
  if (field >= 0) fields_[static_cast<std::size_t>(field)].instruction.push_back(c);
}

void FieldHandler::instructionEnd(const State& closed) {
  if (closed.field < 0) return;
  Field& f = fields_[static_cast<std::size_t>(closed.field)];
  const QString target = hyperlinkTarget(f.instruction);
  if (!target.isEmpty()) {
    DocumentTables& tables = core_.tables();
    tables.links.push_back(target);
    f.link = static_cast<int>(tables.links.size());
  }
  // Fields can be many; their instructions are not needed again.
  f.instruction.clear();
  f.instruction.shrink_to_fit();
}

}  // namespace platform::rtf

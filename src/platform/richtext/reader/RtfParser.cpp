#include "RtfParser.h"

#include "RtfControlWords.h"

#include <algorithm>
#include <climits>

namespace platform::rtf {
namespace {

// Where the characters of a group go.
enum class Destination : std::uint8_t { Body, Skip, Dropped, FontTable, ColorTable, FieldInstruction, Bookmark, Picture };

struct State {
  CharFormat chr;
  ParaFormat para;
  Destination dest = Destination::Body;
  Destination uprOuter = Destination::Body;  // where \ud inside \upr sends its text
  bool hidden = false;
  bool star = false;  // the group opened with \*: an unknown word makes it skippable
  int unicodeSkip = 1;
  int field = -1;  // index of the field whose instruction or result this group holds
};

struct Field {
  std::u16string instruction;
  int link = 0;
};

constexpr int kMaxCellEdges = 1024;
constexpr qsizetype kMaxBookmarkName = 256;

int hexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Lengths beyond the widest page a word processor offers (22 inches) are damage, not layout.
int twips(int value) { return std::clamp(value, -31680, 31680); }

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

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

struct Parser::Impl {
  Sink* out = nullptr;
  DocumentTables tables;
  CodePageDecoder decoder;
  std::vector<State> stack;
  int phantomDepth = 0;  // groups beyond kMaxDepth, which share the deepest state
  int documentCodePage = kWindowsLatin1;
  int skipCount = 0;  // fallback characters still to pass over after \u
  int footnoteCount = 0;

  // The run being collected, and the bytes of a double-byte code page not yet decoded.
  std::u16string run;
  CharFormat runFormat;
  bool runInTable = false;
  bool formatDirty = true;
  QString bookmarkName;
  bool paragraphOpen = false;  // text since the last paragraph or cell end
  std::string pending;
  int pendingCodePage = 0;
  std::u16string decoded;

  // The code page of the current font, cached until a font or the code page changes.
  int cachedFont = INT_MIN;
  int cachedCodePage = kWindowsLatin1;

  // Font table entry being read.
  int entryFont = 0;
  int entryCodePage = 0;      // from the entry's \fcharset
  int entryOwnCodePage = 0;   // from its \cpg, which wins over the charset wherever it stands
  QString entryName;
  // Colour table entry being read.
  int red = 0, green = 0, blue = 0;
  bool colorGiven = false;

  std::vector<Field> fields;
  Picture picture;
  int pictureNibble = -1;
  std::vector<int> cellEdges;

  State& top() { return stack.back(); }

  // ---- characters --------------------------------------------------------------------

  int codePage() {
    // A font's name is in its own charset, except a symbol font's, which is plain letters.
    if (top().dest == Destination::FontTable)
      return entryFontCodePage() && entryFontCodePage() != kSymbolCodePage ? entryFontCodePage() : documentCodePage;
    const int font = top().chr.font >= 0 ? top().chr.font : tables.defaultFont;
    if (font != cachedFont) {
      const auto it = tables.fonts.find(font);
      const int cp = it == tables.fonts.end() ? 0 : it->second.codePage;
      cachedFont = font;
      cachedCodePage = cp ? cp : documentCodePage;
    }
    return cachedCodePage;
  }

  void invalidateCodePage() { cachedFont = INT_MIN; }

  int entryFontCodePage() const { return entryOwnCodePage ? entryOwnCodePage : entryCodePage; }

  void commitFont() {
    const QString name = entryName.trimmed();
    int cp = entryFontCodePage();
    // Charset 2 marks any symbol font; only the Symbol font's own layout is known here.
    if (cp == kSymbolCodePage && name.compare(QStringLiteral("Symbol"), Qt::CaseInsensitive) != 0) cp = 0;
    tables.fonts[entryFont] = Font{name, cp};
  }

  void flushRun() {
    if (run.empty()) return;
    out->text(run, runFormat, runInTable);
    paragraphOpen = true;
    run.clear();
  }

  void syncFormat() {
    const State& s = top();
    if (s.chr != runFormat || s.para.inTable != runInTable) {
      flushRun();
      runFormat = s.chr;
      runInTable = s.para.inTable;
    }
    formatDirty = false;
  }

  bool bodyVisible() { return top().dest == Destination::Body && !top().hidden; }

  void emitChar(char16_t c) {
    State& s = top();
    switch (s.dest) {
      case Destination::Body:
        if (s.hidden) return;
        if (formatDirty) syncFormat();
        run.push_back(c);
        return;
      case Destination::FontTable:
        if (c == u';') {
          commitFont();
          entryName.clear();
          invalidateCodePage();
        } else {
          entryName += QChar(c);
        }
        return;
      case Destination::ColorTable:
        if (c == u';') {
          tables.colors.push_back(colorGiven ? 0xFF000000u | (red << 16) | (green << 8) | blue : 0u);
          red = green = blue = 0;
          colorGiven = false;
        }
        return;
      case Destination::FieldInstruction:
        if (s.field >= 0) fields[static_cast<std::size_t>(s.field)].instruction.push_back(c);
        return;
      case Destination::Bookmark:
        if (bookmarkName.size() < kMaxBookmarkName) bookmarkName += QChar(c);
        return;
      case Destination::Picture:
      case Destination::Skip:
      case Destination::Dropped:
        return;
    }
  }

  void flushPending() {
    if (pending.empty()) return;
    decoded.clear();
    decoder.decode(pendingCodePage, pending, decoded);
    pending.clear();
    for (char16_t c : decoded) emitChar(c);
  }

  // A text byte (literal or \'hh) in the current code page.
  void emitByte(unsigned char b) {
    const Destination dest = top().dest;
    if (dest == Destination::Picture) {
      const int v = hexValue(b);
      if (v < 0) return;
      if (pictureNibble < 0) {
        pictureNibble = v;
      } else {
        picture.data.append(static_cast<char>((pictureNibble << 4) | v));
        pictureNibble = -1;
      }
      return;
    }
    if (dest == Destination::Skip || dest == Destination::Dropped) return;
    const int cp = codePage();
    if (CodePageDecoder::isMultiByte(cp)) {
      if (!pending.empty() && pendingCodePage != cp) flushPending();
      pendingCodePage = cp;
      pending.push_back(static_cast<char>(b));
      return;
    }
    emitChar(decoder.byteToChar(cp, b));
  }

  // ---- groups ------------------------------------------------------------------------

  void pushGroup() {
    if (static_cast<int>(stack.size()) >= kMaxDepth) {
      ++phantomDepth;
      return;
    }
    stack.push_back(top());
    top().star = false;
    formatDirty = true;
  }

  // Returns false when the outermost group closed: the document has ended.
  bool popGroup() {
    if (phantomDepth > 0) {
      --phantomDepth;
      return true;
    }
    if (stack.size() <= 1) return false;
    // A last paragraph without \par keeps the formats in effect where the document ends.
    if (stack.size() == 2) {
      flushRun();
      if (paragraphOpen) paragraphEnd(false);
    }
    const State closed = stack.back();
    stack.pop_back();
    formatDirty = true;
    if (closed.dest != top().dest) endDestination(closed);
    return stack.size() > 1;
  }

  void endDestination(const State& closed) {
    switch (closed.dest) {
      case Destination::Picture:
        if (bodyVisible() && (picture.kind == Picture::Kind::Png || picture.kind == Picture::Kind::Jpeg)) {
          flushRun();
          out->picture(picture, top().chr, top().para.inTable);
          paragraphOpen = true;
        }
        picture = Picture{};
        break;
      case Destination::FieldInstruction:
        if (closed.field >= 0) {
          Field& f = fields[static_cast<std::size_t>(closed.field)];
          const QString target = hyperlinkTarget(f.instruction);
          if (!target.isEmpty()) {
            tables.links.push_back(target);
            f.link = static_cast<int>(tables.links.size());
          }
          f.instruction.clear();
          f.instruction.shrink_to_fit();
        }
        break;
      case Destination::Bookmark:
        if (top().dest != Destination::Bookmark) {
          const QString name = bookmarkName.trimmed();
          if (bodyVisible() && !name.isEmpty()) {
            flushRun();
            out->bookmark(name);
          }
          bookmarkName.clear();
        }
        break;
      case Destination::FontTable:
        if (top().dest != Destination::FontTable) {
          if (!entryName.trimmed().isEmpty()) commitFont();
          entryName.clear();
          invalidateCodePage();
        }
        break;
      default:
        break;
    }
  }

  void setDestination(Destination dest) { top().dest = dest; }

  // ---- control words -----------------------------------------------------------------

  void paragraphEnd(bool pageBreak) {
    if (!bodyVisible()) return;
    flushRun();
    out->paragraphEnd(top().para, pageBreak);
    paragraphOpen = false;
  }

  void controlWord(std::string_view name, bool hasParam, int param) {
    State& s = top();
    const bool star = s.star;
    s.star = false;
    formatDirty = true;
    if (s.dest == Destination::Skip) return;
    const WordInfo info = lookupWord(name);
    if (s.dest == Destination::Picture) {
      pictureWord(info.word, param, star);
      return;
    }
    if (s.dest == Destination::FontTable && fontTableWord(info.word, param)) return;
    if (s.dest == Destination::ColorTable && colorTableWord(info.word, param)) return;
    apply(info, hasParam, param, star);
  }

  bool fontTableWord(Word word, int param) {
    switch (word) {
      case Word::Font:
        entryFont = param;
        entryCodePage = 0;
        entryOwnCodePage = 0;
        entryName.clear();
        return true;
      case Word::FontCharset:
        entryCodePage = codePageOfCharset(param);
        return true;
      case Word::FontCodePage:
        if (CodePageDecoder::isSupported(param)) entryOwnCodePage = param;
        return true;
      default:
        return false;
    }
  }

  bool colorTableWord(Word word, int param) {
    const int v = std::clamp(param, 0, 255);
    switch (word) {
      case Word::Red: red = v; break;
      case Word::Green: green = v; break;
      case Word::Blue: blue = v; break;
      default: return false;
    }
    colorGiven = true;
    return true;
  }

  void apply(const WordInfo& info, bool hasParam, int param, bool star) {
    State& s = top();
    const bool on = !hasParam || param != 0;
    CharFormat& c = s.chr;
    ParaFormat& p = s.para;
    switch (info.word) {
      case Word::Unknown:
        if (star) setDestination(Destination::Skip);
        return;
      case Word::SkippedDestination: setDestination(Destination::Skip); return;
      case Word::FontTable: setDestination(Destination::FontTable); return;
      case Word::ColorTable:
        setDestination(Destination::ColorTable);
        tables.colors.clear();
        return;
      case Word::Picture:
        setDestination(Destination::Picture);
        picture = Picture{};
        pictureNibble = -1;
        return;
      case Word::ShapePicture: return;
      case Word::Field:
        fields.push_back(Field{});
        s.field = static_cast<int>(fields.size()) - 1;
        return;
      case Word::FieldInstruction: setDestination(s.field >= 0 ? Destination::FieldInstruction : Destination::Skip); return;
      case Word::BookmarkStart:
        setDestination(Destination::Bookmark);
        bookmarkName.clear();
        return;
      case Word::FieldResult:
        if (s.field >= 0 && fields[static_cast<std::size_t>(s.field)].link) c.link = fields[static_cast<std::size_t>(s.field)].link;
        return;
      case Word::Upr:
        s.uprOuter = s.dest;
        setDestination(Destination::Dropped);
        return;
      case Word::Ud:
        if (s.dest == Destination::Dropped) setDestination(s.uprOuter);
        return;
      case Word::Ansi: documentCodePage = kWindowsLatin1; break;
      case Word::Mac: documentCodePage = 10000; break;
      case Word::Pc: documentCodePage = 437; break;
      case Word::Pca: documentCodePage = 850; break;
      // An unknown code page reads as Windows Latin; asking iconv for every odd number a
      // damaged file holds would only cost time.
      case Word::AnsiCodePage:
        documentCodePage = CodePageDecoder::isSupported(param) ? param : kWindowsLatin1;
        break;
      case Word::DefaultFont: tables.defaultFont = param; break;
      case Word::UnicodeSkip: s.unicodeSkip = std::clamp(param, 0, 1000); return;
      case Word::Unicode: {
        const int v = param < 0 ? param + 65536 : param;
        const char16_t ch = v > 0 && v <= 0xFFFF ? char16_t(v) : char16_t(v == 0 ? 0 : 0xFFFD);
        if (ch) emitChar(ch);
        skipCount = s.unicodeSkip;
        return;
      }
      case Word::Font:
        c.font = param;
        return;
      case Word::FontCharset:
      case Word::FontCodePage:
      case Word::Red:
      case Word::Green:
      case Word::Blue:
        return;
      case Word::Plain: {
        const int link = c.link;
        c = CharFormat{};
        c.link = link;
        s.hidden = false;
        return;
      }
      case Word::Bold: c.bold = on; return;
      case Word::Italic: c.italic = on; return;
      case Word::Underline: c.underline = on; return;
      case Word::UnderlineNone: c.underline = false; return;
      case Word::Strike: c.strike = on; return;
      case Word::Superscript: c.vertical = on ? 1 : 0; return;
      case Word::Subscript: c.vertical = on ? -1 : 0; return;
      case Word::NoSuperSub: c.vertical = 0; return;
      case Word::SmallCaps: c.smallCaps = on; return;
      case Word::AllCaps: c.allCaps = on; return;
      case Word::Hidden: s.hidden = on; return;
      case Word::FontSize: c.halfPoints = hasParam ? std::clamp(param, 1, 3276) : 24; return;
      case Word::Color: c.color = std::max(param, 0); return;
      case Word::Background: c.background = std::max(param, 0); return;
      case Word::Pard: p = ParaFormat{}; return;
      case Word::Par: paragraphEnd(false); return;
      case Word::Section: paragraphEnd(false); return;
      case Word::Page: paragraphEnd(true); return;
      case Word::AlignLeft: p.alignment = Alignment::Left; return;
      case Word::AlignCenter: p.alignment = Alignment::Center; return;
      case Word::AlignRight: p.alignment = Alignment::Right; return;
      case Word::AlignJustify: p.alignment = Alignment::Justify; return;
      case Word::LeftIndent: p.leftIndent = twips(param); return;
      case Word::RightIndent: p.rightIndent = twips(param); return;
      case Word::FirstIndent: p.firstIndent = twips(param); return;
      case Word::SpaceBefore: p.spaceBefore = twips(param); return;
      case Word::SpaceAfter: p.spaceAfter = twips(param); return;
      case Word::LineSpacing: p.lineSpacing = hasParam ? twips(param) : 0; return;
      case Word::LineMultiple: p.lineMultiple = hasParam && param == 1; return;
      case Word::InTable: p.inTable = true; return;
      case Word::TableLevel: p.inTable = param > 0; return;
      case Word::Cell:
        if (!bodyVisible()) return;
        flushRun();
        out->cellEnd(p);
        paragraphOpen = false;
        return;
      // Tables inside cells are laid flat into the outer cell: their cells become tabs,
      // their rows paragraphs.
      case Word::NestedCell: emitChar(u'\t'); return;
      case Word::NestedRow: paragraphEnd(false); return;
      case Word::Row:
        if (!bodyVisible()) return;
        flushRun();
        out->rowEnd(cellEdges);
        return;
      case Word::RowDefaults: cellEdges.clear(); return;
      case Word::CellEdge:
        if (static_cast<int>(cellEdges.size()) < kMaxCellEdges) cellEdges.push_back(param);
        return;
      case Word::Character: emitChar(info.character); return;
      // The automatic number of a footnote, shown where the note is referenced.
      case Word::FootnoteMark:
        for (QChar digit : QString::number(++footnoteCount)) emitChar(digit.unicode());
        return;
      case Word::Binary:  // handled by the tokenizer
      case Word::PngBlip:
      case Word::JpegBlip:
      case Word::OtherBlip:
      case Word::PictureWidth:
      case Word::PictureHeight:
      case Word::PictureWidthGoal:
      case Word::PictureHeightGoal:
      case Word::PictureScaleX:
      case Word::PictureScaleY:
        return;
    }
    // Code page changes reach here.
    invalidateCodePage();
  }

  void pictureWord(Word word, int param, bool star) {
    switch (word) {
      case Word::PngBlip: picture.kind = Picture::Kind::Png; break;
      case Word::JpegBlip: picture.kind = Picture::Kind::Jpeg; break;
      case Word::OtherBlip: picture.kind = Picture::Kind::Other; break;
      case Word::PictureWidth: picture.width = param; break;
      case Word::PictureHeight: picture.height = param; break;
      case Word::PictureWidthGoal: picture.widthGoal = param; break;
      case Word::PictureHeightGoal: picture.heightGoal = param; break;
      case Word::PictureScaleX: picture.scaleX = param; break;
      case Word::PictureScaleY: picture.scaleY = param; break;
      case Word::SkippedDestination: setDestination(Destination::Skip); break;
      default:
        if (star) setDestination(Destination::Skip);
        break;
    }
  }

  // ---- tokenizer ---------------------------------------------------------------------

  void parse(const unsigned char* p, std::size_t size) {
    std::size_t pos = 0;
    while (pos < size) {
      const unsigned char c = p[pos];
      if (c == '{' || c == '}') {
        flushPending();
        skipCount = 0;
        ++pos;
        if (c == '{') {
          pushGroup();
        } else if (!popGroup()) {
          return;
        }
        continue;
      }
      if (c == '\\') {
        pos = escape(p, size, pos + 1);
        continue;
      }
      if (c == '\r' || c == '\n') {
        ++pos;
        continue;
      }
      if (skipCount > 0) {
        --skipCount;
        ++pos;
        continue;
      }
      if (c == '\t') {
        flushPending();
        emitChar(u'\t');
        ++pos;
        continue;
      }
      if (c < 0x20) {
        ++pos;
        continue;
      }
      // Plain text, the bulk of most files: copy the whole stretch at once.
      if (c < 0x80 && pending.empty() && bodyVisible()) {
        std::size_t end = pos + 1;
        while (end < size) {
          const unsigned char d = p[end];
          if (d < 0x20 || d >= 0x80 || d == '\\' || d == '{' || d == '}') break;
          ++end;
        }
        // Fonts whose code pages pair bytes, or move letters (Symbol), take the slow way.
        if (const int cp = codePage(); cp == kSymbolCodePage || CodePageDecoder::isMultiByte(cp)) {
          for (; pos < end; ++pos) emitByte(p[pos]);
          continue;
        }
        if (formatDirty) syncFormat();
        run.append(p + pos, p + end);
        pos = end;
        continue;
      }
      emitByte(c);
      ++pos;
    }
  }

  // Reads what follows a backslash; returns the position after it.
  std::size_t escape(const unsigned char* p, std::size_t size, std::size_t pos) {
    if (pos >= size) return pos;
    const unsigned char c = p[pos];
    if (c == '\'') {
      const int hi = pos + 1 < size ? hexValue(p[pos + 1]) : -1;
      const int lo = pos + 2 < size ? hexValue(p[pos + 2]) : -1;
      // A broken escape drops what there is of it.
      if (hi < 0 || lo < 0) return pos + 1 + (hi >= 0 ? 1 : 0);
      if (skipCount > 0) {
        --skipCount;
      } else {
        emitByte(static_cast<unsigned char>(hi * 16 + lo));
      }
      return pos + 3;
    }
    if (!isLetter(c)) {
      // Escaped braces and backslashes are text bytes (and may be a trail byte).
      if (c == '\\' || c == '{' || c == '}') {
        if (skipCount > 0) --skipCount;
        else emitByte(c);
        return pos + 1;
      }
      flushPending();
      if (skipCount > 0) {
        --skipCount;
        return pos + 1;
      }
      controlSymbol(c);
      return pos + 1;
    }
    flushPending();
    std::size_t end = pos;
    while (end < size && isLetter(p[end])) ++end;
    // Names longer than any real word are read to their end but match nothing.
    const std::string_view name(reinterpret_cast<const char*>(p + pos), std::min<std::size_t>(end - pos, 32));
    bool negative = false;
    bool hasParam = false;
    long long value = 0;
    if (end < size && p[end] == '-' && end + 1 < size && p[end + 1] >= '0' && p[end + 1] <= '9') {
      negative = true;
      ++end;
    }
    while (end < size && p[end] >= '0' && p[end] <= '9') {
      hasParam = true;
      if (value <= INT_MAX) value = value * 10 + (p[end] - '0');
      ++end;
    }
    if (end < size && p[end] == ' ') ++end;
    value = std::min<long long>(value, INT_MAX);
    const int param = static_cast<int>(negative ? -value : value);

    if (name == "bin") {
      const std::size_t length = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
      const std::size_t take = std::min(length, size - end);
      if (skipCount > 0) {
        --skipCount;
      } else if (top().dest == Destination::Picture) {
        picture.data.append(reinterpret_cast<const char*>(p + end), static_cast<qsizetype>(take));
      }
      top().star = false;
      return end + take;
    }
    if (skipCount > 0) {
      --skipCount;
      return end;
    }
    controlWord(name, hasParam, param);
    return end;
  }

  void controlSymbol(unsigned char c) {
    switch (c) {
      case '*': top().star = true; return;
      case '~': emitChar(u'\u00A0'); return;
      case '-': emitChar(u'\u00AD'); return;
      case '_': emitChar(u'\u2011'); return;
      case '\r':
      case '\n': paragraphEnd(false); return;
      case '\t': emitChar(u'\t'); return;
      default: return;  // \: (index subentry), \| and the like show nothing
    }
  }
};

Parser::Parser() : d_(std::make_unique<Impl>()) {}
Parser::~Parser() = default;

const DocumentTables& Parser::tables() const { return d_->tables; }

bool Parser::parse(QByteArrayView bytes, Sink& sink, QString* error) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto size = static_cast<std::size_t>(bytes.size());
  std::size_t start = 0;
  while (start < size && (p[start] == ' ' || p[start] == '\t' || p[start] == '\r' || p[start] == '\n')) ++start;
  if (size - start < 5 || std::string_view(reinterpret_cast<const char*>(p + start), 5) != "{\\rtf") {
    if (error) *error = QStringLiteral("This is not a rich-text file: it does not begin with {\\rtf.");
    return false;
  }
  Impl& d = *d_;
  d.out = &sink;
  d.stack.assign(1, State{});
  d.parse(p + start, size - start);
  // A cut-off file ends here as if its groups were closed.
  d.flushPending();
  d.skipCount = 0;
  d.phantomDepth = 0;
  while (d.stack.size() > 1) d.popGroup();
  d.flushRun();
  return true;
}

}  // namespace platform::rtf

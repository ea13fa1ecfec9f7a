#pragma once
// The rich-text tokenizer and group machine: turns the bytes of a file into text runs,
// paragraph and table events for a sink. Groups live on an explicit stack, so nesting
// depth costs memory in proportion to the file, never call depth.
#include "platform/base/Result.h"
#include "RtfCodePages.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace platform::rtf {

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool smallCaps = false;
  bool allCaps = false;
  std::int8_t vertical = 0;  // 1 superscript, -1 subscript
  int font = -1;             // -1: the document's default font
  int halfPoints = 24;
  int color = 0;       // index into the colour table; 0 is the automatic colour
  int background = 0;  // likewise
  int link = 0;        // 1-based index into the links; 0 is no link
  bool operator==(const CharFormat&) const = default;
};

enum class Alignment : std::uint8_t { Left, Center, Right, Justify };

struct ParaFormat {
  Alignment alignment = Alignment::Left;
  int leftIndent = 0;  // twips, as the file gives them
  int rightIndent = 0;
  int firstIndent = 0;
  int spaceBefore = 0;
  int spaceAfter = 0;
  int lineSpacing = 0;  // \sl: 0 single, above 0 at least, below 0 exactly; with \slmult1 in 240ths of a line
  bool lineMultiple = false;
  bool inTable = false;
};

struct Font {
  QString name;
  int codePage = 0;  // 0: the document's code page
};

struct Picture {
  enum class Kind : std::uint8_t { Unknown, Png, Jpeg, Other };
  Kind kind = Kind::Unknown;
  QByteArray data;
  int width = 0;  // \picw, \pich: pixels for bitmaps
  int height = 0;
  int widthGoal = 0;  // twips
  int heightGoal = 0;
  int scaleX = 100;  // percent
  int scaleY = 100;
};

// What a document is made of, in reading order.
class Sink {
 public:
  virtual ~Sink() = default;
  // A run of characters in one format; inTable says whether it belongs to a table cell.
  virtual void text(std::u16string_view run, const CharFormat& format, bool inTable) = 0;
  virtual void paragraphEnd(const ParaFormat& format, bool pageBreak) = 0;
  virtual void cellEnd(const ParaFormat& format) = 0;
  // \cellx right edges (twips) of the row just ended.
  virtual void rowEnd(const std::vector<int>& cellEdges) = 0;
  virtual void picture(const Picture& picture, const CharFormat& format, bool inTable) = 0;
  // A place links in the document can lead to (\bkmkstart); it begins with the next text.
  virtual void bookmark(const QString& name) = 0;
};

// Tables the file declares, for sinks to resolve indices in formats.
struct DocumentTables {
  std::unordered_map<int, Font> fonts;
  std::vector<std::uint32_t> colors;  // 0xAARRGGBB; alpha 0 marks the automatic colour
  std::vector<QString> links;         // targets of hyperlink fields
  int defaultFont = -1;               // the font of text that names none (\deff)
};

class ParserCore;

class Parser final {
 public:
  Parser();
  ~Parser();
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // Fails only when the bytes are not a rich-text file at all; damaged or cut-off files give
  // whatever could be read. One parser reads one file.
  platform::Result<std::monostate> parse(QByteArrayView bytes, Sink& sink);

  const DocumentTables& tables() const;

  // Deeper groups than this share the deepest state, so a file of nothing but "{"
  // cannot make the stack grow without bound.
  static constexpr int kMaxDepth = 100000;

 private:
  std::unique_ptr<ParserCore> core_;
};

}  // namespace platform::rtf

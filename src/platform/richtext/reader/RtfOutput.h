#pragma once
// Collects the characters of the body into runs of one format and hands them to the sink, with
// the paragraph, table, picture and bookmark events between them, in reading order.
#include "RtfGroupState.h"
#include "RtfParser.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace platform::rtf {

class Output final {
 public:
  void start(Sink& sink) { sink_ = &sink; }

  // A word or a group boundary may have changed the format: the next character compares the
  // group's format with the run's, and starts a new run if they differ.
  void formatMayHaveChanged() { formatDirty_ = true; }

  void append(char16_t c, const State& state) {
    if (formatDirty_) syncFormat(state);
    run_.push_back(c);
  }

  // Printable ASCII, which every code page but Symbol's and the multi-byte ones maps to itself.
  void appendAscii(std::string_view bytes, const State& state) {
    if (formatDirty_) syncFormat(state);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    run_.append(p, p + bytes.size());
  }

  void flush();

  // True when text has been given since the last paragraph or cell ended.
  bool paragraphOpen() const { return paragraphOpen_; }

  void paragraphEnd(const ParaFormat& format, bool pageBreak);
  void cellEnd(const ParaFormat& format);
  void rowEnd(const std::vector<int>& cellEdges);
  void picture(const Picture& picture, const State& state);
  void bookmark(const QString& name);

 private:
  void syncFormat(const State& state) {
    if (state.chr != runFormat_ || state.para.inTable != runInTable_) {
      flush();
      runFormat_ = state.chr;
      runInTable_ = state.para.inTable;
    }
    formatDirty_ = false;
  }

  Sink* sink_ = nullptr;
  std::u16string run_;
  CharFormat runFormat_;
  bool runInTable_ = false;
  bool formatDirty_ = true;
  bool paragraphOpen_ = false;
};

}  // namespace platform::rtf

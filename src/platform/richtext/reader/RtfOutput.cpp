#include "RtfOutput.h"

namespace platform::rtf {

void Output::flush() {
  if (run_.empty()) return;
  sink_->text(run_, runFormat_, runInTable_);
  paragraphOpen_ = true;
  run_.clear();
}

void Output::paragraphEnd(const ParaFormat& format, bool pageBreak) {
  flush();
  sink_->paragraphEnd(format, pageBreak);
  paragraphOpen_ = false;
}

void Output::cellEnd(const ParaFormat& format) {
  flush();
  sink_->cellEnd(format);
  paragraphOpen_ = false;
}

void Output::rowEnd(const std::vector<int>& cellEdges) {
  flush();
  sink_->rowEnd(cellEdges);
}

void Output::picture(const Picture& picture, const State& state) {
  flush();
  sink_->picture(picture, state.chr, state.para.inTable);
  paragraphOpen_ = true;
}

// A bookmark begins with the next text, so the text before it must reach the sink first.
void Output::bookmark(const QString& name) {
  flush();
  sink_->bookmark(name);
}

}  // namespace platform::rtf

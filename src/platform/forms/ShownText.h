#pragma once
// Long texts as a window shows them. One field of megabytes, laid out whole, would freeze the
// window on every paint; a bounded prefix keeps it responsive while the data itself stays whole.
#include <QString>

namespace platform {

// At most `limit` characters of `text`; a cut is shown by an ellipsis.
QString shownPrefix(const QString& text, qsizetype limit);

}  // namespace platform

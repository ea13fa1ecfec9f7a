#include "ShownText.h"

namespace platform {

QString shownPrefix(const QString& text, qsizetype limit) {
  if (text.size() <= limit) return text;
  return text.left(limit) + QChar(0x2026);
}

}  // namespace platform

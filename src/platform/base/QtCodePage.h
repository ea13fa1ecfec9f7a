#pragma once
// Conversions between Qt's texts and the code page's bytes (the vault and list rows hold bytes).
#include "CodePage.h"

#include <QString>

#include <string>
#include <string_view>

namespace platform::codepage {

inline QString toQString(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = QChar(toChar(static_cast<unsigned char>(bytes[i])));
  return text;
}

inline std::string toBytes(const QString& text) {
  return fromUnicode(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

inline bool representable(const QString& text) {
  return representable(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

}  // namespace platform::codepage

#include "Export.h"

#include "platform/base/CodePage.h"
#include "platform/base/Files.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>

namespace column = platform::column;

namespace transfer {
namespace {

// Each code-page byte as UTF-8, worked out once: a million entries convert byte by byte.
struct Utf8Byte {
  std::array<char, 3> bytes;
  std::size_t size;
};

std::array<Utf8Byte, 256> buildUtf8() {
  std::array<Utf8Byte, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const char16_t ch = platform::codepage::toChar(static_cast<unsigned char>(b));
    if (ch < 0x80) {
      table[b] = {{static_cast<char>(ch)}, 1};
    } else if (ch < 0x800) {
      table[b] = {{static_cast<char>(0xC0 | (ch >> 6)), static_cast<char>(0x80 | (ch & 0x3F))}, 2};
    } else {
      table[b] = {{static_cast<char>(0xE0 | (ch >> 12)), static_cast<char>(0x80 | ((ch >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (ch & 0x3F))},
                  3};
    }
  }
  return table;
}

const std::array<Utf8Byte, 256> kUtf8 = buildUtf8();

bool needsQuotes(std::string_view field) {
  return std::any_of(field.begin(), field.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

// The bytes a field takes in the file.
std::size_t fieldSize(std::string_view field) {
  std::size_t size = needsQuotes(field) ? 2 : 0;
  for (char c : field) size += kUtf8[static_cast<unsigned char>(c)].size + (c == '"' ? 1 : 0);
  return size;
}

// One field at `to`: quoted when it holds a comma, a quote mark or a line break, inner quotes
// doubled. Returns where the next byte goes.
char* putField(char* to, std::string_view field) {
  const bool quoted = needsQuotes(field);
  if (quoted) *to++ = '"';
  for (char c : field) {
    if (c == '"') *to++ = '"';
    const Utf8Byte& u = kUtf8[static_cast<unsigned char>(c)];
    for (std::size_t i = 0; i < u.size; ++i) *to++ = u.bytes[i];
  }
  if (quoted) *to++ = '"';
  return to;
}

// The four fields of a row: name, url, username, password (the note stays empty).
std::array<std::string_view, 4> rowFields(const platform::ListRow& row) {
  const std::string_view location = row.column(column::kLocation);
  return {nameOf(location), location, row.column(column::kUserName), row.column(column::kPassword)};
}

constexpr std::string_view kRowEnd = ",\r\n";

}  // namespace

std::string_view nameOf(std::string_view location) {
  const std::size_t scheme = location.find("://");
  if (scheme == std::string_view::npos) return location;
  std::string_view host = location.substr(scheme + 3);
  host = host.substr(0, host.find_first_of("/?#"));
  if (const std::size_t at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
  host = host.substr(0, host.find(':'));
  return host.empty() ? location : host;
}

platform::SecretBytes exportCsv(const platform::ListItems& list) {
  // Sized exactly first, then written in place: a million rows, one buffer.
  std::size_t size = kExportHeader.size() + 2;
  for (std::int64_t r = 1; r <= list.count(); ++r) {
    for (std::string_view field : rowFields(list.row(r))) size += fieldSize(field) + 1;
    size += kRowEnd.size() - 1;
  }
  platform::SecretBytes out;
  out.resize(size);
  char* to = out.data();
  for (std::string_view part : {kExportHeader, std::string_view("\r\n")}) to = std::copy(part.begin(), part.end(), to);
  for (std::int64_t r = 1; r <= list.count(); ++r) {
    const auto fields = rowFields(list.row(r));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) *to++ = ',';
      to = putField(to, fields[i]);
    }
    to = std::copy(kRowEnd.begin(), kRowEnd.end(), to);
  }
  return out;
}

platform::Result<std::int64_t> writeExport(const std::string& path, const platform::ListItems& list) {
  try {
    const platform::SecretBytes csv = exportCsv(list);
    auto written = platform::files::writeFileAtomically(path, csv.view());
    if (!written) return platform::Failure{written.why()};
  } catch (const std::bad_alloc&) {
    return platform::Failure{"Not enough memory"};
  }
  return list.count();
}

}  // namespace transfer

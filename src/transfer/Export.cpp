#include "Export.h"

#include "platform/base/CodePage.h"
#include "platform/base/Files.h"

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

// One field: quoted when it holds a comma, a quote mark or a line break, inner quotes doubled.
void appendField(platform::SecretBytes& out, std::string_view field) {
  const bool quoted = field.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quoted) out.push_back('"');
  for (char c : field) {
    if (c == '"') out.push_back('"');
    const Utf8Byte& u = kUtf8[static_cast<unsigned char>(c)];
    out.append(std::string_view(u.bytes.data(), u.size));
  }
  if (quoted) out.push_back('"');
}

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
  std::size_t size = kExportHeader.size() + 2;
  for (std::int64_t r = 1; r <= list.count(); ++r) {
    const platform::ListRow& row = list.row(r);
    // Room for the worst case, every byte three in UTF-8 and quoted, so the buffer grows once.
    size += 3 * (2 * row.column(column::kLocation).size() + row.column(column::kUserName).size() +
                 row.column(column::kPassword).size()) +
            16;
  }
  platform::SecretBytes out;
  out.reserve(size);
  out.append(kExportHeader);
  out.append("\r\n");
  for (std::int64_t r = 1; r <= list.count(); ++r) {
    const platform::ListRow& row = list.row(r);
    const std::string_view location = row.column(column::kLocation);
    appendField(out, nameOf(location));
    out.push_back(',');
    appendField(out, location);
    out.push_back(',');
    appendField(out, row.column(column::kUserName));
    out.push_back(',');
    appendField(out, row.column(column::kPassword));
    out.append(",\r\n");  // no note
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

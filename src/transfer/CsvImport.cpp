// CSV exports through libcsv (RFC 4180: quoted fields, doubled quotes, line breaks inside quotes,
// CR LF or LF), fed in chunks, with every buffer that held a field wiped as it goes.
#include "Import.h"
#include "ImportPlanner.h"

#include "platform/base/Secret.h"

#include <csv.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace transfer::internal {
namespace {

// Each known export, by the columns of its header row (lower case; order and further columns
// don't matter): where the user name, password and location come from. The location is the URL,
// or the title where the URL is empty. Where each header comes from is in tests/transfer/exports/.
struct Format {
  std::vector<std::string_view> header;
  std::string_view user, password, url, title;
  std::string_view otherUser;  // used when `user` is empty
};

const std::vector<Format>& formats() {
  static const std::vector<Format> all = {
      // Firefox (about:logins, Export Passwords)
      {{"url", "username", "password", "httprealm", "formactionorigin", "guid", "timecreated", "timelastused",
        "timepasswordchanged"},
       "username",
       "password",
       "url",
       {},
       {}},
      // Chrome, Edge, Brave and Opera (the Chromium password manager's export)
      {{"name", "url", "username", "password"}, "username", "password", "url", "name", {}},
      // Keyloft's own export: Chromium's header with its note column
      {{"name", "url", "username", "password", "note"}, "username", "password", "url", "name", {}},
      // Safari
      {{"title", "url", "username", "password", "notes", "otpauth"}, "username", "password", "url", "title", {}},
      // Bitwarden
      {{"folder", "favorite", "type", "name", "notes", "fields", "login_uri", "login_username", "login_password",
        "login_totp"},
       "login_username",
       "login_password",
       "login_uri",
       "name",
       {}},
      // KeePassXC
      {{"group", "title", "username", "password", "url", "notes"}, "username", "password", "url", "title", {}},
      // 1Password
      {{"title", "url", "username", "password", "otpauth", "favorite", "archived", "tags", "notes"},
       "username",
       "password",
       "url",
       "title",
       {}},
      // LastPass
      {{"url", "username", "password", "extra", "name", "grouping", "fav"}, "username", "password", "url", "name", {}},
      // Proton Pass: the email where there is no user name
      {{"type", "name", "url", "email", "username", "password", "note", "totp", "vault"},
       "username",
       "password",
       "url",
       "name",
       "email"},
  };
  return all;
}

// The most specific format whose columns the header has all of.
const Format* formatOf(const std::vector<std::string>& header) {
  const Format* best = nullptr;
  for (const Format& format : formats()) {
    const bool has = std::all_of(format.header.begin(), format.header.end(), [&](std::string_view column) {
      return std::find(header.begin(), header.end(), column) != header.end();
    });
    if (has && (!best || format.header.size() > best->header.size())) best = &format;
  }
  return best;
}

// libcsv's field buffer holds passwords: every buffer it lets go is wiped first, and it may not
// grow past the field limit (a refused growth ends the parse with CSV_ENOMEM).
void wipeAndFree(void* buffer) {
  if (buffer) platform::secret::wipe(buffer, malloc_usable_size(buffer));
  std::free(buffer);  // NOLINT(cppcoreguidelines-no-malloc): libcsv's own allocator contract
}

void* growWiping(void* buffer, std::size_t size) {
  if (size > kMaxFieldBytes + 1) return nullptr;
  void* grown = std::malloc(size);  // NOLINT(cppcoreguidelines-no-malloc)
  if (!grown) return nullptr;
  if (buffer) std::memcpy(grown, buffer, std::min(size, malloc_usable_size(buffer)));
  wipeAndFree(buffer);
  return grown;
}

// Spaces around unquoted fields belong to them (a password may begin with one).
int noSpace(unsigned char /*c*/) { return 0; }

// Where the parse stands: the header's columns, the row's fields that matter, and what went wrong.
class CsvReader {
 public:
  explicit CsvReader(Planner& planner) : planner_(planner) {}

  std::optional<std::string> read(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a UTF-8 byte order mark
    csv_parser parser{};
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI);
    csv_set_space_func(&parser, noSpace);
    csv_set_realloc_func(&parser, growWiping);
    csv_set_free_func(&parser, wipeAndFree);
    csv_set_blk_size(&parser, 64 << 10);
    constexpr std::size_t kChunk = 64 << 10;
    for (std::size_t at = 0; at < bytes.size() && !problem_; at += kChunk) {
      const std::string_view chunk = bytes.substr(at, kChunk);
      if (csv_parse(&parser, chunk.data(), chunk.size(), onField, onRowEnd, this) != chunk.size() && !problem_)
        problem_ = parseProblem(csv_error(&parser), false);
    }
    if (!problem_ && csv_fini(&parser, onField, onRowEnd, this) != 0 && !problem_)
      problem_ = parseProblem(csv_error(&parser), true);
    csv_free(&parser);
    if (!problem_ && !format_) problem_ = "The file is empty";
    return problem_;
  }

 private:
  static void onField(void* text, std::size_t size, void* self) {
    static_cast<CsvReader*>(self)->field({static_cast<const char*>(text), size});
  }
  static void onRowEnd(int /*end*/, void* self) { static_cast<CsvReader*>(self)->rowEnd(); }

  std::string rowText() const { return "Row " + std::to_string(row_ + 1); }

  std::string parseProblem(int error, bool atEnd) const {
    if (error == CSV_ENOMEM) return rowText() + " has a field over 1 MiB";
    if (atEnd) return rowText() + " has a quoted field that is never closed";
    return rowText() + " has a quote mark inside a field that is not quoted, or text after a closing quote";
  }

  void field(std::string_view text) {
    if (problem_) return;
    const std::size_t index = columns_++;
    if (columns_ > kMaxColumns) {
      problem_ = rowText() + " has more than " + std::to_string(kMaxColumns) + " fields";
      return;
    }
    if (!format_) {
      // No known column is longer than this: a longer name is kept short, so a hostile header stays small.
      std::string name(text.substr(0, 64));
      std::transform(name.begin(), name.end(), name.begin(),
                     [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
      const auto first = name.find_first_not_of(' ');
      header_.push_back(first == std::string::npos ? std::string()
                                                   : name.substr(first, name.find_last_not_of(' ') + 1 - first));
      return;
    }
    for (std::size_t slot = 0; slot < kSlots; ++slot)
      if (slots_[slot] == index) values_[slot].assign(text);
  }

  void rowEnd() {
    if (problem_) return;
    ++row_;
    if (!format_) {
      format_ = formatOf(header_);
      if (!format_) {
        problem_ =
            "Row 1 is not the header row of a CSV export Keyloft knows (from a browser, another password "
            "keeper or Keyloft)";
        return;
      }
      const std::array<std::string_view, kSlots> names = {format_->user, format_->password, format_->url,
                                                          format_->title, format_->otherUser};
      for (std::size_t slot = 0; slot < kSlots; ++slot) {
        const auto at = names[slot].empty() ? header_.end() : std::find(header_.begin(), header_.end(), names[slot]);
        slots_[slot] = at == header_.end() ? kNoColumn : static_cast<std::size_t>(at - header_.begin());
      }
    } else if (columns_ != header_.size()) {
      problem_ = "Row " + std::to_string(row_) + " has " + std::to_string(columns_) +
                 " fields where the header row has " + std::to_string(header_.size());
      return;
    } else {
      const std::string_view user = values_[kUser].empty() ? values_[kOtherUser].view() : values_[kUser].view();
      const std::string_view location = values_[kUrl].empty() ? values_[kTitle].view() : values_[kUrl].view();
      planner_.offerUtf8(row_, {user, values_[kPassword].view(), location});
    }
    columns_ = 0;
    // A buffer grown by a long field is let go (wiped): wiping it whole for every later row would crawl.
    for (auto& value : values_) {
      if (value.size() > 4096)
        value = platform::SecretBytes();
      else
        value.wipe();
    }
  }

  enum Slot : std::size_t { kUser, kPassword, kUrl, kTitle, kOtherUser, kSlots };
  static constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

  Planner& planner_;
  const Format* format_ = nullptr;
  std::vector<std::string> header_;
  std::array<std::size_t, kSlots> slots_{};
  std::array<platform::SecretBytes, kSlots> values_;
  std::size_t columns_ = 0;
  std::int64_t row_ = 0;  // rows ended so far
  std::optional<std::string> problem_;
};

}  // namespace

std::optional<std::string> readCsv(std::string_view bytes, Planner& planner) {
  CsvReader reader(planner);
  return reader.read(bytes);
}

}  // namespace transfer::internal

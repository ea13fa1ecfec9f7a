// Protects the reader against hostile vault bytes: whatever data.enc holds, it is read by the line
// rules without a crash, and the next save writes exactly the rows the list shows.
#include "VaultFixture.h"

#include <random>
#include <string>
#include <vector>

using namespace modGlobals;

namespace {

std::string randomBytes(unsigned seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(random() & 0xFF);
  return s;
}

// The saved image of a list, built by hand: each row scrambled, CR LF after each, one empty line.
std::string imageOf(const std::string& master, const platform::ListItems& list) {
  std::string image = flip(master) + "\r\n";
  for (std::int64_t r = 1; r <= list.count(); ++r) {
    const auto& row = list.row(r);
    image += flip(std::string(row.text()) + "|||" + std::string(row.subItem(1)) + "|||" + std::string(row.subItem(2)));
    image += "\r\n";
  }
  return image + "\r\n";
}

std::string withoutCr(std::string s) {
  std::erase(s, '\r');
  return s;
}

std::vector<testing_support::Entry> rowsOf(const platform::ListItems& list) {
  std::vector<testing_support::Entry> rows;
  for (std::int64_t r = 1; r <= list.count(); ++r) {
    const auto& row = list.row(r);
    rows.push_back({std::string(row.text()), std::string(row.subItem(1)), std::string(row.subItem(2))});
  }
  return rows;
}

bool endsInBar(std::string_view s) { return !s.empty() && s.back() == '|'; }

}  // namespace

TEST_F(VaultTest, hostileBytesLoadBySaveAsShown) {
  const std::string pw = flip("pw") + "\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    std::int64_t rows;  // -1: any number
  };
  const Case cases[] = {
      {"random bytes", randomBytes(1, 4096), -1},
      {"random bytes after a password", pw + randomBytes(2, 65536), -1},
      {"random bytes without a CR", pw + withoutCr(randomBytes(3, 3000)), 1},
      {"a 4 MB line", pw + flip("u|||" + std::string(4 << 20, 'p') + "|||l") + "\r\n\r\n", 1},
      {"NUL bytes in every field", pw + flip(std::string("\0u\0|||\0\0|||l\0", 13)) + "\r\n\r\n", 1},
      {"raw NUL bytes and lone LFs", pw + std::string("\0\0\n\0", 4) + "\r\n" + "\n\n\r\n", 2},
      {"trailing garbage after a valid vault", pw + flip("a|||b|||c") + "\r\n\r\n" + "garbage", 2},
      {"only CRs", std::string(1000, '\r'), 0},
      {"a password without a line end", flip("pw"), 0},
      {"four fields and runs of bars", pw + flip("a|||b|||c|||d") + "\r\n" + flip("||||||||||") + "\r\n", 2},
      {"a line of one space is skipped", pw + flip(" ") + "\r\n" + " \r\n", 1},
  };
  for (const Case& c : cases) {
    list.clear();
    write(c.bytes);
    ASSERT_TRUE(loadVault()) << c.name;
    if (c.rows >= 0) {
      EXPECT_EQ(list.count(), c.rows) << c.name;
    }
    masterPassword = u"pw";
    ASSERT_TRUE(saveVault()) << c.name;
    EXPECT_EQ(bytes(), imageOf("pw", list)) << c.name;

    // Read back: every row comes again, and every field that could be typed comes back as it was.
    const auto before = rowsOf(list);
    list.clear();
    ASSERT_TRUE(loadVault()) << c.name;
    const auto after = rowsOf(list);
    ASSERT_EQ(after.size(), before.size()) << c.name;
    for (std::size_t r = 0; r < after.size(); ++r) {
      // A user or password ending in "|" runs into the separator: the format can't hold it.
      if (endsInBar(before[r][0]) || endsInBar(before[r][1])) continue;
      EXPECT_EQ(after[r], before[r]) << c.name << " row " << r + 1;
    }
  }
}

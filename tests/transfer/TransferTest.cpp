// Protects import and export below the windows: every known export's header gives its entries,
// broken files are refused by row, rows that can't or needn't go in are counted, and an export
// imports again as the same entries.
#include "platform/base/ListItems.h"
#include "support/TempFolder.h"
#include "support/VaultImage.h"
#include "transfer/Export.h"
#include "transfer/Import.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

using testing_support::Entry;

namespace {

std::vector<Entry> entriesOf(const transfer::ImportPlan& plan) {
  std::vector<Entry> all;
  for (std::size_t i = 0; i < plan.entries.count(); ++i) {
    const auto e = plan.entries.entry(i);
    all.push_back({std::string(e[0]), std::string(e[1]), std::string(e[2])});
  }
  return all;
}

std::vector<Entry> imported(const std::string& bytes, const platform::ListItems& existing = {}) {
  auto plan = transfer::planImport(bytes, existing);
  EXPECT_TRUE(plan.ok()) << plan.why();
  return plan ? entriesOf(*plan) : std::vector<Entry>{};
}

}  // namespace

TEST(Import, eachKnownExportGivesItsEntries) {
  // Each header as the program's own documentation gives its CSV export, with made-up rows.
  const struct {
    const char* source;
    std::string csv;
    std::vector<Entry> entries;
  } cases[] = {
      // Mozilla support, "Export login data from Firefox"
      {"Firefox",
       "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
       "\"timeLastUsed\",\"timePasswordChanged\"\r\n"
       "\"https://accounts.example.com\",\"ann@example.com\",\"f1r,e\"\"fox\",,\"https://accounts.example.com\","
       "\"{5ec0a1d2-0000-4000-8000-000000000001}\",\"1700000000000\",\"1700000000000\",\"1700000000000\"\r\n",
       {{"ann@example.com", "f1r,e\"fox", "https://accounts.example.com"}}},
      // Google Chrome Help, "Export passwords" (Edge, Brave and Opera write the same); no URL: the name
      {"Chrome",
       "name,url,username,password\nexample.org,https://example.org/login,bob,chr0me\nWi-Fi,,,h0me\n",
       {{"bob", "chr0me", "https://example.org/login"}, {"", "h0me", "Wi-Fi"}}},
      // Keyloft's own export, with a UTF-8 byte order mark and the header in capitals
      {"Keyloft",
       "\xEF\xBB\xBFNAME,URL,USERNAME,PASSWORD,NOTE\r\nshop,shop,cy,\"two\r\nlines\",\r\n",
       {{"cy", "two\r\nlines", "shop"}}},
      // Apple Developer, "Importing data exported from Safari"
      {"Safari",
       "Title,URL,Username,Password,Notes,OTPAuth\nBank,https://bank.example,dee,s@fari,,\n",
       {{"dee", "s@fari", "https://bank.example"}}},
      // Bitwarden Help Center, "Condition a Bitwarden .csv or .json"
      {"Bitwarden",
       "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n"
       "Work,1,login,Mail,,,0,https://mail.example,eve,b1twarden,\n"
       ",,note,Just a note,text,,,,,,\n",
       {{"eve", "b1twarden", "https://mail.example"}}},
      // KeePassXC User Guide, exporting a database to CSV
      {"KeePassXC",
       "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\","
       "\"Created\"\n\"Root\",\"Router\",\"admin\",\" k33p \",\"\",\"\",\"\",\"0\",\"2024-01-02T03:04:05Z\","
       "\"2024-01-02T03:04:05Z\"\n",
       {{"admin", " k33p ", "Router"}}},
      // 1Password Support, "Export your data" (CSV)
      {"1Password",
       "Title,Url,Username,Password,OTPAuth,Favorite,Archived,Tags,Notes\nForum,forum.example,fay,0nep@ss,,false,false,"
       ",\n",
       {{"fay", "0nep@ss", "forum.example"}}},
      // LastPass Support, "Export LastPass vault data"; column order its own
      {"LastPass",
       "url,username,password,totp,extra,name,grouping,fav\nhttps://lp.example,gus,l@stp,,,LP,Shop,0\n",
       {{"gus", "l@stp", "https://lp.example"}}},
      // Proton Pass Support, "How to export your data from Proton Pass": the email where there is no user name
      {"Proton Pass",
       "type,name,url,email,username,password,note,totp,createTime,modifyTime,vault\n"
       "login,Proton,https://pp.example,hal@example.com,,pr0ton,,,1700000000,1700000000,Personal\n",
       {{"hal@example.com", "pr0ton", "https://pp.example"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(imported(c.csv), c.entries) << c.source;
}

TEST(Import, aBrokenOrUnknownFileIsRefusedNamingTheRow) {
  const std::string header = "name,url,username,password\n";
  const struct {
    std::string bytes;
    const char* why;
  } cases[] = {
      {"", "The file is empty"},
      {"user,pass,site\na,b,c\n",
       "Row 1 is not the header row of a CSV export Keyloft knows (from a browser, another password keeper or "
       "Keyloft)"},
      {std::string("\x00\xFF\x7F\x80,\x01", 6),
       "Row 1 is not the header row of a CSV export Keyloft knows (from a "
       "browser, another password keeper or Keyloft)"},
      {header + "a,b,c,d\na,b,c\n", "Row 3 has 3 fields where the header row has 4"},
      {header + "a,b\"c,d,e\n",
       "Row 2 has a quote mark inside a field that is not quoted, or text after a closing quote"},
      {header + "a,b,c,d\n\"open,b,c,d\n", "Row 3 has a quoted field that is never closed"},
      {header + "a,b,c," + std::string((1 << 20) + 10, 'x') + "\n", "Row 2 has a field over 1 MiB"},
      {header + std::string(300, ',') + "\n", "Row 2 has more than 256 fields"},
  };
  for (const auto& c : cases) {
    auto plan = transfer::planImport(c.bytes, {});
    ASSERT_FALSE(plan.ok()) << c.why;
    EXPECT_EQ(plan.why(), c.why);
  }
}

TEST(Import, rowsLeftOutAreCountedAndTheQuestionSaysSo) {
  platform::ListItems vault;
  vault.add("ann", "pw1", "https://a.example");
  const std::string csv =
      "name,url,username,password\n"
      "a,https://a.example,ann,pw1\n"            // row 2: in the vault
      "b,https://b.example,bob,\n"               // row 3: no password
      "c,https://c.example,cy,pw3\n"             // row 4: taken
      "c,https://c.example,cy,pw3\n"             // row 5: the same as row 4
      "d,https://d.example,d\xE2\x82\xAC,pw4\n"  // row 6: the euro sign is in the code page
      "e,https://e.example,\xE2\x9C\x93,pw5\n"   // row 7: a check mark is not
      "f,https://f.example,fay|,pw6\n"           // row 8: a bar before the separator would move
      "g,https://g.example,g,\xFF\xFE\n";        // row 9: not UTF-8
  auto plan = transfer::planImport(csv, vault);
  ASSERT_TRUE(plan.ok()) << plan.why();
  EXPECT_EQ(entriesOf(*plan),
            (std::vector<Entry>{{"cy", "pw3", "https://c.example"}, {"d\x80", "pw4", "https://d.example"}}));
  EXPECT_EQ(transfer::importQuestion(*plan, "passwords.csv"),
            "Import 2 entries from passwords.csv?  6 rows are left out: 1 without a password, 2 already in your "
            "vault, 3 with characters Keyloft cannot store (rows 7, 8, 9).");

  auto one = transfer::planImport("name,url,username,password\nx,,u,p\nx,,u,\n", {});
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(transfer::importQuestion(*one, "a.csv"),
            "Import 1 entry from a.csv?  1 row is left out: 1 without a password.");
}

TEST(Import, aPlainKeyloftVaultGivesItsEntries) {
  EXPECT_EQ(imported(testing_support::vaultImage("master", {{"ann", "pw", "site"}, {"bob", "", "x"}})),
            (std::vector<Entry>{{"ann", "pw", "site"}}));
}

TEST(Export, anExportImportsAgainAsTheSameEntries) {
  platform::ListItems list;
  const std::vector<Entry> entries = {
      {"ann", "pw", "https://ann@mail.example.com:8443/inbox?x=1"},
      {" spaced ", "a,b\"c\r\nd", "example.com"},
      {"\xE9\x80\x81", "\x9F|x", ""},  // code-page letters, the euro sign and a byte the code page leaves free
      {"x", "line\nbreak", "y"},
  };
  for (const auto& e : entries) list.add(e[0], e[1], e[2]);
  const platform::SecretBytes csv = transfer::exportCsv(list);
  EXPECT_TRUE(
      csv.view().starts_with("name,url,username,password,note\r\n"
                             "mail.example.com,https://ann@mail.example.com:8443/inbox?x=1,ann,pw,\r\n"
                             "example.com,example.com, spaced ,\"a,b\"\"c\r\nd\",\r\n"))
      << std::string(csv.view());
  EXPECT_EQ(imported(std::string(csv.view())), entries);

  testing_support::TempFolder folder;
  const std::string path = folder.file("keyloft-export.csv");
  auto written = transfer::writeExport(path, list);
  ASSERT_TRUE(written.ok()) << written.why();
  EXPECT_EQ(*written, 4);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

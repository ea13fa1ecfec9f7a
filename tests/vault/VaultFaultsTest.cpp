// Protects the vault against faults beneath the program: a new vault's creation failing at any
// call, the kernel's own limits (a file-size limit, a full disk) and a save killed at any moment.
#include "VaultFixture.h"

#include "platform/base/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace modGlobals;
using testing_support::Entry;
using testing_support::vaultImage;
namespace files = platform::files;

namespace {

int temporariesIn(const std::string& folder) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    n += e.path().filename().string().rfind("data.enc.tmp-", 0) == 0;
  return n;
}

void fill(platform::ListItems& list, const std::vector<Entry>& entries) {
  list.clear();
  for (const auto& e : entries) list.add(e[0], e[1], e[2]);
}

std::vector<Entry> manyEntries(int count, std::size_t fieldSize) {
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    entries.push_back({"user" + n, std::string(fieldSize, static_cast<char>('a' + i % 26)), "site" + n + ".example"});
  }
  return entries;
}

}  // namespace

// The first start creates data.enc; each call of that creation failing in turn ends the program
// with the reason and leaves no file at all, so the next start tries afresh.
TEST_F(VaultTest, aNewVaultsCreationWithEachCallFailingInTurn) {
  files::setCallFaultsForTests({});
  openVault();
  const auto calls = files::loggedCallsForTests();
  files::clearCallFaultsForTests();
  ASSERT_EQ(bytes(), "\r\n");
  ASSERT_NE(std::find(calls.begin(), calls.end(), files::Call::Link), calls.end());
  for (files::Call call : calls) {
    for (int err : {EIO, ENOSPC, EDQUOT, EROFS, EACCES, EINTR}) {
      std::filesystem::remove(vaultFile());
      resetVaultForTests();
      fatals.clear();
      events.clear();
      files::setCallFaultsForTests({{call, 1, err}});
      openVault();
      files::clearCallFaultsForTests();
      const std::string what = std::string(files::callName(call)) + ": " + std::strerror(err);
      const bool created = err == EINTR || call == files::Call::OpenFolder || call == files::Call::SyncFolder;
      EXPECT_EQ(temporariesIn(dir.path()), 0) << what;
      if (created) {
        EXPECT_TRUE(fatals.empty()) << what;
        EXPECT_EQ(bytes(), "\r\n") << what;
        EXPECT_EQ(events, std::vector<std::string>{"ask new"}) << what;
        continue;
      }
      ASSERT_EQ(fatals.size(), 1u) << what;
      EXPECT_EQ(fatals[0], u"Could not create " + platform::codepage::toUnicode(vaultFile()) + u": " +
                               platform::codepage::toUnicode(std::strerror(err)))
          << what;
      EXPECT_FALSE(std::filesystem::exists(vaultFile())) << what;
      EXPECT_TRUE(events.empty()) << what;
    }
  }
}

// The kernel itself refuses the save part-way: the save says so with the kernel's reason, and the
// old bytes stay whole. Each runs in a child: the limit, or the tiny disk, is the child's own.
TEST_F(VaultTest, aSaveTheKernelRefusesPartWayKeepsTheOldBytes) {
  const std::string disk = dir.file("disk");
  ::mkdir(disk.c_str(), 0700);
  struct Limit {
    const char* name;
    int error;
    std::function<int(const std::function<int()>&)> run;
  };
  const Limit limits[] = {
      {"file-size limit", EFBIG,
       [](const std::function<int()>& body) {
         return testing_support::runInChild([&] {
           const rlimit limit{16384, 16384};
           return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? body() : 3;
         });
       }},
      {"full disk", ENOSPC,
       [&](const std::function<int()>& body) { return testing_support::runOnTinyDisk(disk, 64 * 1024, body); }},
  };
  const std::vector<Entry> small = {{"a", "b", "c"}};
  for (const Limit& limit : limits) {
    const int code = limit.run([&] {
      files::setProgramFolderForTests(disk);
      const std::string file = disk + "/data.enc";
      testing_support::writeBytes(file, vaultImage("pw", small));
      masterPassword = u"pw";
      fill(list, manyEntries(400, 500));  // about 200 KB
      if (saveVault()) return 10;
      if (lastStatus() != u"Could not save data.enc: " + platform::codepage::toUnicode(std::strerror(limit.error)))
        return 11;
      if (testing_support::readBytes(file) != vaultImage("pw", small)) return 12;
      if (temporariesIn(disk) != 0) return 13;
      // Nothing of the failed save is left taking room: a save that fits still succeeds.
      fill(list, manyEntries(20, 500));
      if (!saveVault()) return 14;
      return testing_support::readBytes(file) == vaultImage("pw", manyEntries(20, 500)) ? 0 : 15;
    });
    if (code == testing_support::kNoTinyDisk) {
      GTEST_SKIP() << limit.name << ": this machine lets no test mount a tmpfs (no mount namespace or no mount)";
    }
    EXPECT_EQ(code, 0) << limit.name << " (128 + SIGXFSZ = 153 when the process was killed)";
  }
}

// A child saves two images of different sizes in turn, and is killed with SIGKILL at random
// moments. After every kill data.enc is one image or the other, whole; the temporary file a kill
// leaves is removed by the next save, and by the next start. KEYLOFT_CRASH_KILLS sets the count
// (the long run: 1000).
TEST_F(VaultTest, killedSavesLeaveOneWholeImage) {
  const char* env = std::getenv("KEYLOFT_CRASH_KILLS");
  const int kills = env ? std::atoi(env) : 50;
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  const std::vector<Entry> sets[2] = {{{"a", "b", "c"}}, manyEntries(300, 200)};
  const std::string images[2] = {vaultImage("pw", sets[0]), vaultImage("pw", sets[1])};
  write(images[0]);
  int killedMidSave = 0;
  for (int k = 0; k < kills; ++k) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (!lockVault()) ::_exit(2);
      masterPassword = u"pw";
      for (int i = 1;; i ^= 1) {
        fill(list, sets[i]);
        (void)saveVault();  // killed at any moment: its outcome is never seen
      }
    }
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself, code " << WEXITSTATUS(status);
    const std::string now = bytes();
    ASSERT_TRUE(now == images[0] || now == images[1])
        << "kill " << k << " (seed " << seed << ") left " << now.size() << " bytes";
    const int left = temporariesIn(dir.path());
    ASSERT_LE(left, 1) << "kill " << k << " (seed " << seed << "): temporary files pile up";
    killedMidSave += left;
  }
  openVault();
  EXPECT_EQ(temporariesIn(dir.path()), 0);
  RecordProperty("kills", kills);
  std::printf("[ crash ] %d kills survived, %d of them in the middle of a save\n", kills, killedMidSave);
}

// Protects file writing: the old content survives every failure, permissions are owner-only or kept.
#include "platform/base/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;
namespace files = platform::files;

namespace {

class FileFaults : public ::testing::Test {
 protected:
  void TearDown() override { files::clearCallFaultsForTests(); }
  TempFolder dir;
};

TEST_F(FileFaults, atomicWriteCreatesOwnerOnlyAndKeepsExistingPermissions) {
  auto written = files::writeFileAtomically(dir.file("new"), std::string("a\0b", 3));
  ASSERT_TRUE(written) << written.why();
  EXPECT_EQ(readBytes(dir.file("new")), std::string("a\0b", 3));
  EXPECT_EQ(testing_support::fileMode(dir.file("new")), 0600);

  writeBytes(dir.file("old"), "old");
  ::chmod(dir.file("old").c_str(), 0640);
  written = files::writeFileAtomically(dir.file("old"), "fresh");
  ASSERT_TRUE(written) << written.why();
  EXPECT_EQ(readBytes(dir.file("old")), "fresh");
  EXPECT_EQ(testing_support::fileMode(dir.file("old")), 0640);
  EXPECT_EQ(testing_support::entryCount(dir.path()), 2u);  // no temporary file left behind
}

// The calls a clean run of `operation` makes, each named with its occurrence.
std::vector<files::CallFault> callsOf(const std::function<void()>& operation) {
  files::setCallFaultsForTests({});
  operation();
  std::vector<files::CallFault> calls;
  const auto logged = files::loggedCallsForTests();
  for (std::size_t i = 0; i < logged.size(); ++i)
    calls.push_back({logged[i], static_cast<int>(std::count(logged.begin(), logged.begin() + i + 1, logged[i]))});
  files::clearCallFaultsForTests();
  return calls;
}

bool afterTheRename(files::Call call) { return call == files::Call::OpenFolder || call == files::Call::SyncFolder; }

const int kErrors[] = {EIO, ENOSPC, EDQUOT, EROFS, EACCES, EINTR};

}  // namespace

// Each call of a save fails in turn with each error: until the rename, the old bytes stay, the
// temporary file goes and the reason is the call's; an interruption is retried; the folder's fsync
// comes after the content is in place and does not fail the save.
TEST_F(FileFaults, eachCallOfASaveFailingInTurn) {
  const std::string old = "old bytes", fresh = std::string(70000, 'n') + "new";
  writeBytes(dir.file("data"), old);
  const auto calls = callsOf([&] { (void)files::writeFileAtomically(dir.file("data"), fresh); });
  // More than one write, so that every write of a long content is a case of its own.
  files::setCallFaultsForTests({{files::Call::Write, 1, 0, 4096}});
  ASSERT_TRUE(files::writeFileAtomically(dir.file("data"), fresh));
  EXPECT_EQ(readBytes(dir.file("data")), fresh);
  const auto shortCalls = files::loggedCallsForTests();
  EXPECT_EQ(std::count(shortCalls.begin(), shortCalls.end(), files::Call::Write), 2);
  for (auto c : {files::Call::CreateTemporary, files::Call::Write, files::Call::SyncFile, files::Call::Close,
                 files::Call::Rename, files::Call::OpenFolder, files::Call::SyncFolder})
    EXPECT_NE(std::find_if(calls.begin(), calls.end(), [&](auto& f) { return f.call == c; }), calls.end())
        << files::callName(c);

  int cases = 0;
  for (auto fault : calls) {
    for (int err : kErrors) {
      writeBytes(dir.file("data"), old);
      fault.error = err;
      files::setCallFaultsForTests({fault});
      const auto saved = files::writeFileAtomically(dir.file("data"), fresh);
      const bool mustSave = err == EINTR || afterTheRename(fault.call);
      const std::string what = std::string(files::callName(fault.call)) + " #" + std::to_string(fault.occurrence) +
                               ": " + std::strerror(err);
      EXPECT_EQ(saved.ok(), mustSave) << what;
      if (!mustSave) {
        EXPECT_EQ(saved.why(), std::strerror(err)) << what;
      }
      EXPECT_EQ(readBytes(dir.file("data")), mustSave ? fresh : old) << what;
      EXPECT_EQ(testing_support::entryCount(dir.path()), 1u) << what;
      ++cases;
    }
  }
  RecordProperty("cases", cases);
}

// Every write may come back short, even with nothing written: the rest is written, or the save
// fails, never a file with a hole or a hang.
TEST_F(FileFaults, shortWritesAreCompletedOrFail) {
  const std::string fresh = "0123456789abcdef";
  const std::pair<std::size_t, bool> cases[] = {{1, true}, {15, true}, {0, false}};
  for (const auto& [written, completes] : cases) {
    writeBytes(dir.file("data"), "old");
    files::setCallFaultsForTests({{files::Call::Write, 1, 0, written}});
    EXPECT_EQ(files::writeFileAtomically(dir.file("data"), fresh).ok(), completes) << written;
    EXPECT_EQ(readBytes(dir.file("data")), completes ? fresh : "old") << written;
    EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
  }
}

// Creating a new vault, with and without hard links: each call failing in turn never leaves a
// half-made file or a temporary one; only an interruption is retried into success.
TEST_F(FileFaults, eachCallOfAnExclusiveCreateFailingInTurn) {
  for (bool hardLinks : {true, false}) {
    const std::vector<files::CallFault> base = hardLinks ? std::vector<files::CallFault>{}
                                                         : std::vector<files::CallFault>{{files::Call::Link, 1, EPERM}};
    const auto calls = callsOf([&] {
      files::setCallFaultsForTests(base);
      (void)files::createFileExclusively(dir.file("v"), "\r\n");
    });
    ASSERT_EQ(readBytes(dir.file("v")), "\r\n");
    for (auto fault : calls) {
      if (!hardLinks && fault.call == files::Call::Link) continue;  // that one fails already
      for (int err : kErrors) {
        ::unlink(dir.file("v").c_str());
        fault.error = err;
        auto faults = base;
        faults.push_back(fault);
        files::setCallFaultsForTests(faults);
        const auto created = files::createFileExclusively(dir.file("v"), "\r\n");
        const bool mustCreate = err == EINTR || afterTheRename(fault.call);
        const std::string what = std::string(files::callName(fault.call)) + (hardLinks ? "" : " (no links)") + ": " +
                                 std::strerror(err);
        EXPECT_EQ(created.ok(), mustCreate) << what;
        if (!mustCreate) {
          EXPECT_EQ(created.why(), std::strerror(err)) << what;
        }
        EXPECT_EQ(std::filesystem::exists(dir.file("v")), mustCreate) << what;
        if (mustCreate) {
          EXPECT_EQ(readBytes(dir.file("v")), "\r\n") << what;
        }
        EXPECT_EQ(testing_support::entryCount(dir.path()), mustCreate ? 1u : 0u) << what;
      }
    }
  }
}

TEST_F(FileFaults, readOnlyFolderFailsWithTheSystemsReason) {
  writeBytes(dir.file("data"), "old");
  ::chmod(dir.path().c_str(), 0555);
  int code = testing_support::runUnprivileged([&] {
    const auto written = files::writeFileAtomically(dir.file("data"), "new");
    if (written) return 1;
    if (written.why() != std::strerror(EACCES)) return 2;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(readBytes(dir.file("data")), "old");
}

TEST_F(FileFaults, readReportsMissingAndFolders) {
  platform::SecretBytes bytes;
  const files::FileRead missing = files::readFile(dir.file("none"), bytes);
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.error, std::strerror(ENOENT));
  const files::FileRead folder = files::readFile(dir.path(), bytes);
  EXPECT_FALSE(folder);
  EXPECT_EQ(folder.error, std::strerror(EISDIR));
}

// The buffer is sized once, at open: a file that grows meanwhile is refused, not read into a bigger
// one. /proc's files are such files: their size says 0 bytes.
TEST_F(FileFaults, aFileThatGrowsWhileReadIsRefused) {
  platform::SecretBytes bytes;
  EXPECT_EQ(files::readFile("/proc/self/status", bytes).error, files::kGrewWhileRead);
  EXPECT_TRUE(bytes.empty());
}

// A file-size limit (a quota, ulimit -f) must fail the save, not kill the program with SIGXFSZ.
TEST_F(FileFaults, fileSizeLimitFailsTheWriteInsteadOfEndingTheProcess) {
  writeBytes(dir.file("data"), "old bytes");
  const int code = testing_support::runInChild([&] {
    rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    const auto written = files::writeFileAtomically(dir.file("data"), std::string(1 << 20, 'x'));
    if (written) return 1;
    return written.why() == std::strerror(EFBIG) ? 0 : 2;
  });
  EXPECT_EQ(code, 0);  // 128 + SIGXFSZ when the process was killed
  EXPECT_EQ(readBytes(dir.file("data")), "old bytes");
  EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
}

// A vault kept elsewhere behind a link: the save must reach the real file and keep the link, and
// make durable the folder where the rename happened, not the link's.
TEST_F(FileFaults, writingThroughALinkReplacesItsTargetAndKeepsTheLink) {
  TempFolder elsewhere;
  writeBytes(elsewhere.file("real"), "old");
  ::chmod(elsewhere.file("real").c_str(), 0640);
  ASSERT_EQ(::symlink(elsewhere.file("real").c_str(), dir.file("data").c_str()), 0);
  files::setCallFaultsForTests({});
  const auto written = files::writeFileAtomically(dir.file("data"), "new");
  ASSERT_TRUE(written) << written.why();
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("data")));
  EXPECT_EQ(readBytes(elsewhere.file("real")), "new");
  EXPECT_EQ(testing_support::fileMode(elsewhere.file("real")), 0640);
  EXPECT_EQ(files::syncedFoldersForTests(),
            std::vector<std::string>{std::filesystem::canonical(elsewhere.path()).string()});
  EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
  EXPECT_EQ(testing_support::entryCount(elsewhere.path()), 1u);
}

// FAT, exFAT and network folders refuse hard links, each with its own error: creation still works,
// still never replaces, and a failure leaves nothing behind.
TEST_F(FileFaults, exclusiveCreateNeverReplacesWithOrWithoutHardLinks) {
  for (int linkError : {0, EPERM, EOPNOTSUPP, ENOSYS}) {
    SCOPED_TRACE(linkError ? std::string("no hard links: ") + std::strerror(linkError) : "hard links");
    TempFolder folder;
    if (linkError) files::setCallFaultsForTests({{files::Call::Link, 0, linkError}});
    const auto created = files::createFileExclusively(folder.file("v"), "\r\n");
    ASSERT_TRUE(created) << created.why();
    EXPECT_EQ(readBytes(folder.file("v")), "\r\n");
    EXPECT_EQ(testing_support::fileMode(folder.file("v")), 0600);
    writeBytes(folder.file("v"), "keep");
    EXPECT_EQ(files::createFileExclusively(folder.file("v"), "\r\n").why(), std::strerror(EEXIST));
    EXPECT_EQ(readBytes(folder.file("v")), "keep");
    EXPECT_EQ(testing_support::entryCount(folder.path()), 1u);
    files::clearCallFaultsForTests();
  }

  // Another link failure is a real failure, not a reason to fall back.
  files::setCallFaultsForTests({{files::Call::Link, 1, EIO}});
  EXPECT_EQ(files::createFileExclusively(dir.file("w"), "\r\n").why(), std::strerror(EIO));
  EXPECT_EQ(testing_support::entryCount(dir.path()), 0u);
}

TEST_F(FileFaults, pathKindsFollowLinks) {
  writeBytes(dir.file("file"), "x");
  ::mkdir(dir.file("folder").c_str(), 0700);
  ::mkfifo(dir.file("fifo").c_str(), 0600);
  ::symlink(dir.file("file").c_str(), dir.file("to-file").c_str());
  ::symlink(dir.file("folder").c_str(), dir.file("to-folder").c_str());
  ::symlink("/dev/null", dir.file("to-device").c_str());
  ::symlink(dir.file("none").c_str(), dir.file("dangling").c_str());
  const std::pair<const char*, files::PathKind> cases[] = {
      {"none", files::PathKind::Missing},
      {"file", files::PathKind::RegularFile},
      {"to-file", files::PathKind::RegularFile},
      {"folder", files::PathKind::NotRegularFile},
      {"fifo", files::PathKind::NotRegularFile},
      {"to-folder", files::PathKind::NotRegularFile},
      {"to-device", files::PathKind::NotRegularFile},
      {"dangling", files::PathKind::LinkToNothing},
  };
  for (const auto& [name, kind] : cases) EXPECT_EQ(files::pathKind(dir.file(name)), kind) << name;

  // Reading a FIFO must not wait for a writer that never comes.
  platform::SecretBytes bytes;
  const files::FileRead fifo = files::readFile(dir.file("fifo"), bytes);
  EXPECT_FALSE(fifo);
  EXPECT_EQ(fifo.error, files::kNotRegularFile);
}

// A killed save leaves its temporary file, a full copy of the vault: the next start removes ours
// and nothing else.
TEST_F(FileFaults, staleTemporariesAreRemovedAndNothingElse) {
  TempFolder elsewhere;
  const std::string kept[] = {"data.enc",         "data.enc.tmp-abc",    "data.enc.tmp-ABCDEFG", "data.enc.tmp-12345!",
                              "other.tmp-123456", "data.enc.tmp-linked", "data.enc.tmp-folder"};
  for (const char* name : {"data.enc", "data.enc.tmp-abc", "data.enc.tmp-ABCDEFG", "data.enc.tmp-12345!",
                           "other.tmp-123456", "data.enc.tmp-Ab12Z9", "data.enc.tmp-000000"})
    writeBytes(dir.file(name), "x");
  ::mkdir(dir.file("data.enc.tmp-folder").c_str(), 0700);
  ::symlink(dir.file("data.enc").c_str(), dir.file("data.enc.tmp-linked").c_str());
  files::removeStaleTemporaries(dir.file("data.enc"));
  for (const std::string& name : kept)
    EXPECT_TRUE(std::filesystem::exists(dir.file(name)) || std::filesystem::is_symlink(dir.file(name))) << name;
  EXPECT_EQ(testing_support::entryCount(dir.path()), std::size(kept));

  // Behind a link, the temporaries stand beside the target.
  writeBytes(elsewhere.file("real"), "x");
  writeBytes(elsewhere.file("real.tmp-q1w2e3"), "x");
  ::unlink(dir.file("data.enc").c_str());
  ::symlink(elsewhere.file("real").c_str(), dir.file("data.enc").c_str());
  files::removeStaleTemporaries(dir.file("data.enc"));
  EXPECT_EQ(testing_support::entryCount(elsewhere.path()), 1u);
}

// One holder at a time; a holder that dies, however it dies, leaves no lock behind.
TEST_F(FileFaults, processLockIsExclusiveAndDiesWithItsHolder) {
  const std::string lock = dir.file(".lock");
  const auto inChild = [&](bool killItself) {
    return testing_support::runInChild([&] {
      const files::LockResult r = files::lockForProcess(lock);
      if (killItself) ::raise(SIGKILL);
      return static_cast<int>(r);
    });
  };
  EXPECT_EQ(inChild(false), static_cast<int>(files::LockResult::Held));
  EXPECT_EQ(inChild(true), 128 + SIGKILL);
  ASSERT_EQ(files::lockForProcess(lock), files::LockResult::Held);
  EXPECT_EQ(inChild(false), static_cast<int>(files::LockResult::Busy));
  EXPECT_EQ(files::lockForProcess(lock), files::LockResult::Busy);
  files::releaseLocksForTests();
  EXPECT_EQ(inChild(false), static_cast<int>(files::LockResult::Held));

  ::chmod(dir.path().c_str(), 0555);
  EXPECT_EQ(testing_support::runUnprivileged([&] { return static_cast<int>(files::lockForProcess(lock + "2")); }),
            static_cast<int>(files::LockResult::Unavailable));
}

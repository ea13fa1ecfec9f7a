// Protects file writing: the old content survives every failure, permissions are owner-only or kept.
#include "platform/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using testing_support::readBytes;
using testing_support::TempFolder;
using testing_support::writeBytes;
namespace files = platform::files;

namespace {

class FileFaults : public ::testing::Test {
 protected:
  void TearDown() override { files::setWriteFaultForTests(std::nullopt); }
  TempFolder dir;
};

}  // namespace

TEST_F(FileFaults, AtomicWriteCreatesOwnerOnlyAndKeepsExistingPermissions) {
  std::string error;
  ASSERT_TRUE(files::writeFileAtomically(dir.file("new"), std::string("a\0b", 3), error)) << error;
  EXPECT_EQ(readBytes(dir.file("new")), std::string("a\0b", 3));
  EXPECT_EQ(testing_support::fileMode(dir.file("new")), 0600);

  writeBytes(dir.file("old"), "old");
  ::chmod(dir.file("old").c_str(), 0640);
  ASSERT_TRUE(files::writeFileAtomically(dir.file("old"), "fresh", error)) << error;
  EXPECT_EQ(readBytes(dir.file("old")), "fresh");
  EXPECT_EQ(testing_support::fileMode(dir.file("old")), 0640);
  EXPECT_EQ(testing_support::entryCount(dir.path()), 2u);  // no temporary file left behind
}

TEST_F(FileFaults, EveryFailingStepKeepsOldBytesAndRemovesTheTemporaryFile) {
  writeBytes(dir.file("data"), "old bytes");
  const files::WriteFault faults[] = {
      {files::FaultStep::Write, 3, ENOSPC},
      {files::FaultStep::Write, 0, EIO},
      {files::FaultStep::Sync, 0, EIO},
      {files::FaultStep::Rename, 0, EXDEV},
  };
  for (const auto& fault : faults) {
    files::setWriteFaultForTests(fault);
    std::string error;
    EXPECT_FALSE(files::writeFileAtomically(dir.file("data"), "new bytes that are longer", error));
    EXPECT_EQ(error, std::strerror(fault.error));
    EXPECT_EQ(readBytes(dir.file("data")), "old bytes");
    EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
  }
}

TEST_F(FileFaults, ReadOnlyFolderFailsWithTheSystemsReason) {
  writeBytes(dir.file("data"), "old");
  ::chmod(dir.path().c_str(), 0555);
  int code = testing_support::runUnprivileged([&] {
    std::string error;
    if (files::writeFileAtomically(dir.file("data"), "new", error)) return 1;
    if (error != std::strerror(EACCES)) return 2;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(readBytes(dir.file("data")), "old");
}

TEST_F(FileFaults, ExclusiveCreateNeverReplaces) {
  std::string error;
  ASSERT_TRUE(files::createFileExclusively(dir.file("v"), "\r\n", error)) << error;
  EXPECT_EQ(readBytes(dir.file("v")), "\r\n");
  EXPECT_EQ(testing_support::fileMode(dir.file("v")), 0600);
  writeBytes(dir.file("v"), "keep");
  EXPECT_FALSE(files::createFileExclusively(dir.file("v"), "\r\n", error));
  EXPECT_EQ(error, std::strerror(EEXIST));
  EXPECT_EQ(readBytes(dir.file("v")), "keep");
  EXPECT_EQ(testing_support::entryCount(dir.path()), 1u);
}

TEST_F(FileFaults, ReadReportsMissingAndFolders) {
  std::string bytes, error;
  EXPECT_FALSE(files::readFile(dir.file("none"), bytes, error));
  EXPECT_EQ(error, std::strerror(ENOENT));
  EXPECT_FALSE(files::readFile(dir.path(), bytes, error));
  EXPECT_EQ(error, std::strerror(EISDIR));
}

#pragma once
// The executable's version record, generated at build time from the project's one definition.

namespace platform {

struct VersionRecord {
  const char* productName;
  const char* companyName;
  const char* comments;  // the product web site's host name
  const char* fileVersion;
  const char* productVersion;
  int major, minor, revision, build;
};

const VersionRecord& versionRecord();
// Tests read another record through versionRecord(); nullptr restores the executable's own.
void setVersionRecordForTests(const VersionRecord* record);

}  // namespace platform

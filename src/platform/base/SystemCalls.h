#pragma once
// The system calls of a save and of an exclusive create, reached through one table so that tests
// can fail any one of them (setCallFaultsForTests in Files.h). Internal to the file layer.
#include <sys/types.h>

#include <cstddef>

namespace platform::files {

struct SystemCalls {
  int (*createTemporary)(char* name);
  int (*setMode)(int fd, mode_t mode);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*syncFile)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*openFolder)(const char* path);
  int (*syncFolder)(int fd);
  int (*link)(const char* from, const char* to);
  int (*claim)(const char* path);
};

// The table in force: the plain system calls, or while a test has set faults, the faulty ones.
const SystemCalls& systemCalls();

}  // namespace platform::files

#include "endProgram.h"

#include "platform/forms/Clipboard.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::function<void()> g_terminator;
}

void endProgram() {
  // A copied field must not outlive the program; what the user copied since stays.
  platform::clipboard::forgetOurs();
  if (g_terminator) {
    g_terminator();
    return;
  }
  std::fflush(nullptr);
  std::_Exit(0);
}

void setProgramTerminatorForTests(std::function<void()> terminator) { g_terminator = std::move(terminator); }

#include "endProgram.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::function<void()> g_terminator;
}

void endProgram() {
  if (g_terminator) {
    g_terminator();
    return;
  }
  std::fflush(nullptr);
  std::_Exit(0);
}

void setProgramTerminatorForTests(std::function<void()> terminator) { g_terminator = std::move(terminator); }

#include "endProgram.h"

#include "platform/forms/Clipboard.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
std::function<void()> g_terminator;
std::vector<std::function<void()>> g_lastSteps;
}  // namespace

void endProgram() {
  // A copied field must not outlive the program; what the user copied since stays.
  platform::clipboard::forgetOurs();
  if (g_terminator) {
    g_terminator();
    return;
  }
  for (const auto& step : g_lastSteps) step();
  std::fflush(nullptr);
  std::_Exit(0);
}

void setProgramTerminatorForTests(std::function<void()> terminator) { g_terminator = std::move(terminator); }

void atProgramEnd(std::function<void()> step) { g_lastSteps.push_back(std::move(step)); }

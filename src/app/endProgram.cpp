#include "endProgram.h"

#include "platform/forms/Clipboard.h"
#include "RunState.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

void endProgram() {
  // A copied field must not outlive the program; what the user copied since stays.
  platform::clipboard::forgetOurs();
  if (app::appRunState().terminator) {
    app::appRunState().terminator();
    return;
  }
  for (const auto& step : app::appRunState().lastSteps) step();
  std::fflush(nullptr);
  std::_Exit(0);
}

void setProgramTerminatorForTests(std::function<void()> terminator) {
  app::appRunState().terminator = std::move(terminator);
}

void atProgramEnd(std::function<void()> step) { app::appRunState().lastSteps.push_back(std::move(step)); }

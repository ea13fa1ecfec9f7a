#pragma once
// Makes a lookup of a window name that no window has a failure of the running test: in the
// program such a slip only gives nullptr.
#include "platform/forms/Forms.h"

#include <gtest/gtest.h>

namespace testing_support {

inline void failOnUnknownWindowNames() {
  platform::forms::setUnknownNameHookForTests(
      [](const QString& name) { ADD_FAILURE() << "No window is named " << name.toStdString(); });
}

}  // namespace testing_support

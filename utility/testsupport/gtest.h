#pragma once
// The GoogleTest side of the test support.

#include <gtest/gtest.h>

#include "utility/testsupport/testsupport.h"

// Ends the test when the outside program is missing: skipped on a
// developer's machine, failed under CI (which installs everything from
// scripts/deps, so a skip there would hide a missing install step).
// Only for test bodies and functions returning void.
#define REQUIRE_PROGRAM(name)                                                  \
  do {                                                                         \
    const std::string required_program_(name);                                 \
    if (!::testsupport::have_program(required_program_)) {                     \
      if (::testsupport::under_ci())                                           \
        FAIL() << required_program_ << " is not installed (see scripts/deps)"; \
      else                                                                     \
        GTEST_SKIP() << required_program_ << " is not installed";              \
    }                                                                          \
  } while (0)

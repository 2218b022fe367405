#pragma once
// Shared by the tests that need an X display: without one they are
// skipped, except under CI, where every test must run.

#include <gtest/gtest.h>

#include <cstdlib>

namespace viewertest {

inline bool have_display() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

inline bool in_ci() { return std::getenv("CI") != nullptr; }

}  // namespace viewertest

// In a test body: returns (skipping) when there is no display.
#define VIEWER_REQUIRE_DISPLAY()                                  \
  do {                                                            \
    if (!viewertest::have_display()) {                            \
      if (viewertest::in_ci()) FAIL() << "no X display under CI"; \
      GTEST_SKIP() << "no X display";                             \
    }                                                             \
  } while (0)

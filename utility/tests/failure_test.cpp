// The failure helper: one flushed line of all its pieces, manipulators
// included, on the stream given or on standard error, and false.

#include "utility/failure.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(Failure, WritesOneLineOfItsPiecesAndReturnsFalse) {
  std::ostringstream log;
  EXPECT_FALSE(libutils::fail_to(log, "a.jpg", ": ", 3, " levels, tag ", std::hex, 0x927c, std::dec,
                                 " at ", 10, "."));
  EXPECT_EQ(log.str(), "a.jpg: 3 levels, tag 927c at 10.\n");

  testing::internal::CaptureStderr();
  EXPECT_FALSE(libutils::fail(std::string("b.jpg"), ": write error."));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "b.jpg: write error.\n");
}

}  // namespace

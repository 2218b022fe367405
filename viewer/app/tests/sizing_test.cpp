// The window-size limits and the projection box, without a display.

#include <gtest/gtest.h>

#include "utility/option.h"
#include "viewer/app/viewer3.h"
#include "viewer/app/viewmatrix.h"

namespace {

using libgr::direction2l_t;
using plimlib::g_option;
using plimzev2::ViewWindow;

class WindowLimits : public ::testing::Test {
 protected:
  void SetUp() override { plimlib::option_reset(); }
  void TearDown() override { plimlib::option_reset(); }
  static direction2l_t limit(direction2l_t want, direction2l_t now) {
    return ViewWindow::limit_window_size(want, now, now);
  }
};

TEST_F(WindowLimits, FlagsOnlySwitchTheLimitOn) {
  // No limit: the request as it is, growing or shrinking.
  direction2l_t n = limit(direction2l_t(2000, 1500), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 2000);
  EXPECT_EQ(n.y, 1500);
  g_option.sizelimit = 2;
  n = limit(direction2l_t(2000, 1500), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 1500);
  EXPECT_EQ(n.y, 1000);
  // Shrinking with resize_shrink off: not limited.
  n = limit(direction2l_t(100, 50), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 100);
  EXPECT_EQ(n.y, 50);
  // sizelimit 1: a growing side becomes the window's side minus the margin.
  g_option.sizelimit = 1;
  n = limit(direction2l_t(2000, 700), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 790);
  EXPECT_EQ(n.y, 568);
}

TEST_F(WindowLimits, NoSideBelowOne) {
  direction2l_t n = limit(direction2l_t(0, 1), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 1);
  EXPECT_EQ(n.y, 1);
  n = limit(direction2l_t(-20, -1), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 1);
  EXPECT_EQ(n.y, 1);
  // A margin as large as the window.
  g_option.sizelimit = 1;
  g_option.maxmargin = {800, 900};
  n = limit(direction2l_t(1000, 1000), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 1);
  EXPECT_EQ(n.y, 1);
  g_option.sizelimit = 2;
  g_option.maxsize = {0, -5};
  n = limit(direction2l_t(1000, 1000), direction2l_t(800, 600));
  EXPECT_EQ(n.x, 1);
  EXPECT_EQ(n.y, 1);
}

TEST(ViewProjection, HalfPixelOffsetsForOddAgainstEven) {
  const direction2l_t image(101, 100);
  plimlib::view_projection_t p = plimlib::view_projection(640, 480, 16384, 16384, &image);
  EXPECT_FLOAT_EQ(p.left, -320.5f);
  EXPECT_FLOAT_EQ(p.right, 319.5f);
  EXPECT_FLOAT_EQ(p.bottom, -240);
  EXPECT_FLOAT_EQ(p.top, 240);
  // Without an image no offset; beyond the largest viewport the maximum.
  p = plimlib::view_projection(641, 20000, 1000, 8192, nullptr);
  EXPECT_EQ(p.width, 641u);
  EXPECT_EQ(p.height, 8192u);
  EXPECT_FLOAT_EQ(p.left, -320.5f);
  EXPECT_FLOAT_EQ(p.top, 4096);
  const direction2l_t odd(3, 3);
  p = plimlib::view_projection(641, 481, 16384, 16384, &odd);
  EXPECT_FLOAT_EQ(p.offset_x, 0);
  EXPECT_FLOAT_EQ(p.offset_y, 0);
}

}  // namespace

// The view operations: composed in screen space (M x V), checked by where
// they send image points, and the resets with their refusal of views that
// have no usable scale.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "viewer/app/viewmatrix.h"

namespace {

using libgr::direction3_t;
using libgr::matrix3w_t;

// Where the view sends the image point (x, y, 0): the column-major matrix
// applied to a column vector, written out independently of the library.
struct point_t {
  double x, y, z;
};
point_t apply(const matrix3w_t& v, double x, double y, double z = 0) {
  return {v[0] * x + v[4] * y + v[8] * z + v[12], v[1] * x + v[5] * y + v[9] * z + v[13],
          v[2] * x + v[6] * y + v[10] * z + v[14]};
}

#define EXPECT_POINT(p, ex, ey)   \
  do {                            \
    const point_t q = (p);        \
    EXPECT_NEAR(q.x, (ex), 1e-4); \
    EXPECT_NEAR(q.y, (ey), 1e-4); \
  } while (0)

void expect_matrix_near(const matrix3w_t& a, const matrix3w_t& b, double eps = 1e-5) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], eps) << "element " << i;
}

TEST(ViewMatrix, TurnsZoomsAndMovesActInScreenSpaceAfterTheView) {
  matrix3w_t v = libgr::Imtx;
  plimlib::view_rotate(v, 90);
  // Counter-clockwise: image point (1, 0) goes up the screen.
  EXPECT_POINT(apply(v, 1, 0), 0, 1);

  // A move after a turn is along the screen's axes, and a turn after a
  // move turns about the screen centre.
  v = libgr::Imtx;
  plimlib::view_move(v, direction3_t(10, 0, 0));
  plimlib::view_rotate(v, 90);
  EXPECT_POINT(apply(v, 0, 0), 0, 10);
  plimlib::view_move(v, direction3_t(0, -10, 0));
  EXPECT_POINT(apply(v, 0, 0), 0, 0);

  // Zoom about the screen centre scales the offset too.
  plimlib::view_move(v, direction3_t(3, 4, 0));
  plimlib::view_zoom(v, 1);
  EXPECT_POINT(apply(v, 0, 0), 6, 8);
  EXPECT_POINT(apply(v, 1, 0), 6, 10);
}

TEST(ViewMatrix, ZoomStepsAddUp) {
  matrix3w_t v = libgr::Imtx;
  plimlib::view_zoom(v, 1);
  plimlib::view_zoom(v, -1);
  expect_matrix_near(v, libgr::Imtx, 0);
  matrix3w_t quarters = libgr::Imtx;
  for (int i = 0; i < 4; ++i) plimlib::view_zoom(quarters, 0.25f);
  matrix3w_t once = libgr::Imtx;
  plimlib::view_zoom(once, 1);
  expect_matrix_near(quarters, once, 1e-5);
  plimlib::view_scale(once, 0.5f);
  expect_matrix_near(once, libgr::Imtx, 0);
}

TEST(ViewMatrix, ClearZoomKeepsTurnAndShrinksTheOffset) {
  matrix3w_t v = libgr::Imtx;
  plimlib::view_zoom(v, 2);
  plimlib::view_move(v, direction3_t(8, 0, 0));
  ASSERT_TRUE(plimlib::view_clear_zoom(v));
  EXPECT_POINT(apply(v, 0, 0), 2, 0);
  EXPECT_POINT(apply(v, 1, 0), 3, 0);

  // The digit keys: clear, then Zoom(-digit / 2) whatever the fit made.
  v = libgr::Imtx;
  plimlib::view_scale(v, 0.37f);
  plimlib::view_rotate(v, 30);
  ASSERT_TRUE(plimlib::view_clear_zoom(v));
  plimlib::view_zoom(v, -1);
  float s = 0;
  ASSERT_TRUE(plimlib::view_scale_of(v, s));
  EXPECT_NEAR(s, 0.5, 1e-5);
  EXPECT_POINT(apply(v, 1, 0), 0.5 * std::cos(M_PI / 6), 0.5 * std::sin(M_PI / 6));
}

TEST(ViewMatrix, ClearRotateUndoesTheTurnAboutTheScreenCentre) {
  matrix3w_t v = libgr::Imtx;
  plimlib::view_rotate(v, 30);
  plimlib::view_zoom(v, 1);
  plimlib::view_move(v, direction3_t(10, 0, 0));
  libgr::rotation3_t inverse;
  ASSERT_TRUE(plimlib::view_clear_rotate(v, inverse));
  EXPECT_NEAR(inverse.angle, -30, 1e-3);
  EXPECT_NEAR(inverse.axis.z, 1, 1e-5);
  // Scale 2 left, no turn, the offset turned by -30 degrees.
  const double c = std::cos(M_PI / 6);
  const double s = std::sin(M_PI / 6);
  EXPECT_POINT(apply(v, 0, 0), 10 * c, -10 * s);
  EXPECT_POINT(apply(v, 1, 0), 10 * c + 2, -10 * s);
  EXPECT_POINT(apply(v, 0, 1), 10 * c, -10 * s + 2);
}

TEST(ViewMatrix, ClearRotateTurnsBackFromHalfATurn) {
  // At half a turn the skew part of the matrix vanishes; the key must
  // still undo it, and never mirror the view.
  for (float angle : {180.0f, -180.0f, 179.99f, 185.0f}) {
    matrix3w_t v = libgr::Imtx;
    for (int i = 0; i < 36; ++i) plimlib::view_rotate(v, angle / 36);
    plimlib::view_zoom(v, 0.5f);
    libgr::rotation3_t inverse;
    ASSERT_TRUE(plimlib::view_clear_rotate(v, inverse)) << angle;
    EXPECT_POINT(apply(v, 1, 0), std::sqrt(2.0), 0);
    EXPECT_POINT(apply(v, 0, 1), 0, std::sqrt(2.0));
    EXPECT_NEAR(v[10], std::sqrt(2.0), 1e-4) << angle;
  }
}

TEST(ViewMatrix, ResetsLeaveAViewWithoutUsableScaleUnchanged) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  matrix3w_t zero = libgr::Imtx;
  zero[0] = 0;
  matrix3w_t mirrored = libgr::Imtx;
  mirrored[0] = -1;
  matrix3w_t with_nan = libgr::Imtx;
  with_nan[5] = nan;
  matrix3w_t huge = libgr::Imtx;
  huge[0] = huge[5] = huge[10] = 1e30f;
  matrix3w_t with_inf = libgr::Imtx;
  with_inf[0] = inf;
  for (const matrix3w_t& bad : {zero, mirrored, with_nan, huge, with_inf}) {
    matrix3w_t v = bad;
    float s = 0;
    EXPECT_FALSE(plimlib::view_scale_of(v, s));
    EXPECT_FALSE(plimlib::view_clear_zoom(v));
    libgr::rotation3_t inverse;
    EXPECT_FALSE(plimlib::view_clear_rotate(v, inverse));
    for (int i = 0; i < 16; ++i) {
      if (std::isnan(bad[i]))
        EXPECT_TRUE(std::isnan(v[i]));
      else
        EXPECT_EQ(v[i], bad[i]);
    }
  }
}

TEST(ViewMatrix, ClearMoveRemovesOnlyTheTranslation) {
  matrix3w_t v = libgr::Imtx;
  plimlib::view_rotate(v, 45);
  plimlib::view_zoom(v, 1.5f);
  plimlib::view_move(v, direction3_t(-7, 12, 0));
  matrix3w_t expected = v;
  expected[12] = expected[13] = expected[14] = 0;
  plimlib::view_clear_move(v);
  expect_matrix_near(v, expected, 1e-5);
}

}  // namespace

// Matrix and rotation math against hand-worked matrices and a double
// precision reference.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/graphics/matrix.h"
#include "viewer/graphics/rotation.h"

namespace libgr {
namespace {

// Mathematical rows, stored column-major.
matrix3w_t from_rows(const float (&r)[4][4]) {
  matrix3w_t m;
  for (unsigned i = 0; i < 4; ++i) {
    for (unsigned j = 0; j < 4; ++j) m.at(i, j) = r[i][j];
  }
  return m;
}

void expect_near(const matrix3w_t& a, const matrix3w_t& b, float tolerance) {
  for (unsigned i = 0; i < 16; ++i) {
    EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
  }
}

// Gaussian elimination in double: an oracle independent of the cofactors.
double reference_determinant(const matrix3w_t& m) {
  double a[4][4];
  for (unsigned i = 0; i < 4; ++i) {
    for (unsigned j = 0; j < 4; ++j) a[i][j] = m.at(i, j);
  }
  double det = 1;
  for (unsigned c = 0; c < 4; ++c) {
    unsigned pivot = c;
    for (unsigned r = c + 1; r < 4; ++r) {
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    }
    if (a[pivot][c] == 0) return 0;
    if (pivot != c) {
      for (unsigned j = 0; j < 4; ++j) std::swap(a[c][j], a[pivot][j]);
      det = -det;
    }
    det *= a[c][c];
    for (unsigned r = c + 1; r < 4; ++r) {
      double f = a[r][c] / a[c][c];
      for (unsigned j = c; j < 4; ++j) a[r][j] -= f * a[c][j];
    }
  }
  return det;
}

TEST(MatrixMath, InverseOfScaleAndTranslationIsHandWorked) {
  matrix3w_t m = from_rows({{2, 0, 0, 1}, {0, 4, 0, 2}, {0, 0, 8, 3}, {0, 0, 0, 1}});
  matrix3w_t expected =
      from_rows({{0.5f, 0, 0, -0.5f}, {0, 0.25f, 0, -0.5f}, {0, 0, 0.125f, -0.375f}, {0, 0, 0, 1}});
  EXPECT_FLOAT_EQ(Determinant(m), 64);
  expect_near(Invert(m), expected, 1e-6f);
  matrix3w_t scale = getScaleMatrix(direction3_t(2, 4, 8));
  EXPECT_FLOAT_EQ(Determinant(scale), 64);
  expect_near(Invert(scale), getScaleMatrix(direction3_t(0.5f, 0.25f, 0.125f)), 1e-7f);
}

TEST(MatrixMath, InverseTimesMatrixIsIdentity) {
  const matrix3w_t cases[] = {
      from_rows({{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}),
      from_rows({{4, 7, 2, 3}, {0, 5, 1, 9}, {6, 1, 8, 2}, {3, 3, 0, 1}}),
      getRotateMatrix(rotation3_t(37, direction3_t(1, 2, 3))) *
          getTranslateMatrix(position3_t(10, -20, 5)),
  };
  for (const matrix3w_t& m : cases) {
    EXPECT_NEAR(Determinant(m), reference_determinant(m), 1e-3);
    expect_near(Invert(m) * m, Imtx, 1e-5f);
    expect_near(m * Invert(m), Imtx, 1e-5f);
  }
  // [[1, 2], [3, 4]] has the inverse [[-2, 1], [1.5, -0.5]].
  matrix3w_t inv = Invert(cases[0]);
  EXPECT_NEAR(inv.at(0, 0), -2, 1e-6);
  EXPECT_NEAR(inv.at(0, 1), 1, 1e-6);
  EXPECT_NEAR(inv.at(1, 0), 1.5, 1e-6);
  EXPECT_NEAR(inv.at(1, 1), -0.5, 1e-6);
}

TEST(MatrixMath, SingularMatrixGivesNonFiniteInverse) {
  matrix3w_t m = from_rows({{1, 2, 3, 4}, {2, 4, 6, 8}, {0, 0, 1, 0}, {0, 0, 0, 1}});
  EXPECT_EQ(Determinant(m), 0);
  EXPECT_FALSE(std::isfinite(Invert(m)[0]));
}

TEST(MatrixMath, VectorProductsAndTranspose) {
  matrix3w_t t = getTranslateMatrix(position3_t(1, 2, 3));
  EXPECT_EQ(t[12], 1);
  EXPECT_EQ(t[13], 2);
  EXPECT_EQ(t[14], 3);
  // M v moves a point; the transposed product leaves it and fills w.
  vector3w_t p = vector3w_t(5, 6, 7, 1) * t;
  EXPECT_EQ(p, vector3w_t(6, 8, 10, 1));
  vector3w_t q = t * vector3w_t(5, 6, 7, 1);
  EXPECT_EQ(q, vector3w_t(5, 6, 7, 5 + 12 + 21 + 1));
  EXPECT_EQ(Transpose(t)[3], 1);
  EXPECT_EQ(Transpose(Transpose(t))[12], 1);
}

TEST(Rotation, QuarterTurnAboutZMatchesHandWorkedMatrix) {
  matrix3w_t r = getRotateMatrix(rotation3_t(90, direction3_t(0, 0, 1)));
  matrix3w_t expected = from_rows({{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
  expect_near(r, expected, 1e-6f);
  // The x axis goes to the y axis.
  vector3w_t v = vector3w_t(1, 0, 0, 1) * r;
  EXPECT_NEAR(v.x, 0, 1e-6);
  EXPECT_NEAR(v.y, 1, 1e-6);
  // Angle 0 about a zero axis is the identity.
  expect_near(getRotateMatrix(rotation3_t(0, direction3_t(0, 0, 0))), Imtx, 0);
}

TEST(Rotation, MatrixTakenApartGivesAngleAndAxisBack) {
  const rotation3_t cases[] = {
      rotation3_t(90, direction3_t(0, 0, 1)),
      rotation3_t(30, direction3_t(1, 0, 0)),
      rotation3_t(135, direction3_t(1, 2, 2)),
      rotation3_t(10, direction3_t(-3, 1, 0.5f)),
  };
  for (const rotation3_t& r : cases) {
    rotation3_t back = getRotation3(getRotateMatrix(r));
    direction3_t axis = Normalize(r.axis);
    EXPECT_NEAR(back.angle, r.angle, 1e-3);
    EXPECT_NEAR(back.axis.x, axis.x, 1e-4);
    EXPECT_NEAR(back.axis.y, axis.y, 1e-4);
    EXPECT_NEAR(back.axis.z, axis.z, 1e-4);
  }
  // At half a turn the skew part vanishes and rounding pushes the cosine
  // below -1: the turn is still found, and turning back by it undoes it.
  for (const rotation3_t& r :
       {rotation3_t(180, direction3_t(0, 0, 1)), rotation3_t(179.99f, direction3_t(0, 0, -1)),
        rotation3_t(180, direction3_t(1, 2, 2))}) {
    matrix3w_t m = getRotateMatrix(r);
    m[0] -= 1e-6f;
    m[5] -= 1e-6f;
    const rotation3_t back = getRotation3(m);
    EXPECT_NEAR(back.angle, r.angle, 1e-2);
    expect_near(getRotateMatrix(rotation3_t(-back.angle, back.axis)) * m, Imtx, 1e-4f);
  }
  rotation3_t none = getRotation3(Imtx);
  EXPECT_EQ(none.angle, 0);
  EXPECT_EQ(none.axis, direction3_t(0, 0, 0));
}

TEST(Rotation, BetweenTwoDirections) {
  rotation3_t r = calcRotation3(direction3_t(1, 0, 0), direction3_t(0, 1, 0));
  EXPECT_NEAR(r.angle, 90, 1e-4);
  EXPECT_EQ(r.axis, direction3_t(0, 0, 1));
  rotation3_t same = calcRotation3(direction3_t(0, 1, 0), direction3_t(0, 1, 0));
  EXPECT_EQ(same.angle, Irot.angle);
  EXPECT_EQ(same.axis, Irot.axis);
  // The rotation found turns a into b.
  direction3_t a = Normalize(direction3_t(1, 1, 0));
  direction3_t b = Normalize(direction3_t(0, 1, 1));
  vector3w_t turned = vector3w_t(a, 0) * getRotateMatrix(calcRotation3(a, b));
  EXPECT_NEAR(turned.x, b.x, 1e-5);
  EXPECT_NEAR(turned.y, b.y, 1e-5);
  EXPECT_NEAR(turned.z, b.z, 1e-5);
}

}  // namespace
}  // namespace libgr

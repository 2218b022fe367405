#include "image/geometry.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace libgr;

TEST(Vectors, NormalizeAndCrossProducts) {
  EXPECT_EQ(Normalize(direction3_t(0, 0, 0)), direction3_t(0, 0, 0));
  direction3_t n = Normalize(direction3_t(3, 0, 4));
  EXPECT_FLOAT_EQ(n.x, 0.6f);
  EXPECT_FLOAT_EQ(n.y, 0);
  EXPECT_FLOAT_EQ(n.z, 0.8f);
  direction3_t w = Normalize(vector3w_t(0, -2, 0, 7));
  EXPECT_EQ(w, direction3_t(0, -1, 0));

  EXPECT_EQ(CrossProduct(direction3_t(1, 0, 0), direction3_t(0, 1, 0)), direction3_t(0, 0, 1));
  EXPECT_EQ(CrossProduct(direction3_t(0, 1, 0), direction3_t(1, 0, 0)), direction3_t(0, 0, -1));
  // Counter-clockwise points in the z = 5 plane face +z.
  const position3_t p0(1, 1, 5), p1(3, 1, 5), p2(3, 4, 5);
  EXPECT_EQ(CrossProduct(p0, p1, p2), direction3_t(0, 0, 6));
  EXPECT_EQ(CrossProductWithNormalize(p0, p1, p2), direction3_t(0, 0, 1));
  EXPECT_FLOAT_EQ(ScalarTriProduct(position3_t(0, 0, 0), position3_t(2, 0, 0), position3_t(0, 3, 0),
                                   position3_t(1, 1, 4)),
                  24);
  EXPECT_FLOAT_EQ(
      ScalarTriProduct(direction3_t(1, 0, 0), direction3_t(0, 1, 0), direction3_t(0, 0, -2)), -2);
}

TEST(Vectors, HomogeneousToPoint) {
  EXPECT_EQ(SpecializeToPos(vector3w_t(2, 4, 6, 2)), position3_t(1, 2, 3));
  EXPECT_EQ(SpecializeToPos(vector3w_t(2, 4, 6, 0)), position3_t(2, 4, 6));
  EXPECT_EQ(SpecializeToPos(vector3w_t(1, -3, 0, -0.5f)), position3_t(-2, 6, 0));
}

TEST(Vectors, QuotientRounding) {
  EXPECT_FLOAT_EQ(roundup_to_quotient(5, 4), 8);
  EXPECT_FLOAT_EQ(roundup_to_quotient(8, 4), 8);
  EXPECT_FLOAT_EQ(roundup_to_quotient(-5, 4), -4);
  EXPECT_EQ(round_to_quotient(direction3_t(-5, 5, 9), 4.0f), direction3_t(-4, 4, 8));
  EXPECT_EQ(round_to_quotient(position3_t(7, 7, 7), direction3_t(2, 3, 7)), position3_t(6, 6, 7));
  EXPECT_EQ(roundup_to_quotient(position3_t(7, -7, 0.5f), direction3_t(2, 3, 1)),
            position3_t(8, -6, 1));
}

TEST(FloatCompare, ToleranceIsTwiceTheThreshold) {
  EXPECT_TRUE(compare(1.0f, 1.00001f));
  EXPECT_FALSE(compare(1.0f, 1.0001f));
  EXPECT_FALSE(cmp_lt(1.0f, 1.00001f));
  EXPECT_TRUE(cmp_lt(1.0f, 1.0001f));
  EXPECT_TRUE(cmp_le(1.0f, 1.00001f));
  EXPECT_TRUE(cmp_le(1.00001f, 1.0f));
  EXPECT_FALSE(cmp_le(1.0001f, 1.0f));
  EXPECT_FALSE(cmp_gt(1.00001f, 1.0f));
  EXPECT_TRUE(cmp_ge(1.0f, 1.00001f));
  EXPECT_TRUE(compare(0, 0.00001f, -0.000005f));
  EXPECT_FALSE(compare(0, 0.000015f, -0.000015f));  // ends 0.00003 apart
}

TEST(Easing, CurvesRunFromZeroToOne) {
  EXPECT_NEAR(fade(0), 1, 1e-6);
  EXPECT_NEAR(fade(1), 0, 1e-6);
  EXPECT_NEAR(slope(0), 0, 1e-6);
  EXPECT_NEAR(slope(0.5f), 0.5f, 1e-6);
  EXPECT_NEAR(cosine_slope(1), 1, 1e-6);
  EXPECT_NEAR(sine_slope(0), 0, 1e-6);
  EXPECT_NEAR(sine_slope(1), 1, 1e-6);
}

TEST(ColourSpace, FullRangeYCbCr) {
  const ycbcrub_t w = ycbcrub(white3ub);
  EXPECT_EQ(w, ycbcrub_t(255, 128, 128));
  EXPECT_EQ(color3ub(w), white3ub);
  EXPECT_EQ(ycbcrub(black3ub), ycbcrub_t(0, 128, 128));
  // Pure red: y 0.299, Cb -0.16874 x 127 = -21.4, Cr 0.5 x 127 = 63.5 (half
  // away from zero).
  EXPECT_EQ(ycbcrub(color3ub_t(255, 0, 0)), ycbcrub_t(76, 107, 192));
  // Out-of-gamut values clamp.
  EXPECT_EQ(color3ub(ycbcrub_t(255, 255, 255)).r, 255);
  EXPECT_EQ(color3ub(ycbcrub_t(0, 0, 0)).b, 0);

  // The chroma scale of 127 costs some precision; a round trip stays close.
  std::srand(7);
  for (int i = 0; i < 2000; ++i) {
    color3ub_t c(static_cast<unsigned char>(std::rand()), static_cast<unsigned char>(std::rand()),
                 static_cast<unsigned char>(std::rand()));
    color3ub_t back = color3ub(ycbcrub(c));
    ASSERT_NEAR(back.r, c.r, 2) << int(c.r) << " " << int(c.g) << " " << int(c.b);
    ASSERT_NEAR(back.g, c.g, 2) << int(c.r) << " " << int(c.g) << " " << int(c.b);
    ASSERT_NEAR(back.b, c.b, 2) << int(c.r) << " " << int(c.g) << " " << int(c.b);
  }
}

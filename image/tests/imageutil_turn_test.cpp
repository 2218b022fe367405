// Quarter turns, and turns and halvings against the picture-space
// references.
#include "image/imageutil.h"

#include <gtest/gtest.h>

#include <random>

#include "image/tests/imageutil_test.h"

using namespace libgr;
using namespace imagetest;

// ---- quarter turns ------------------------------------------------------

TEST(Rotate, TurnsClockwiseAsThePictureIsShown) {
  const image2d_t src = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 3, {{1, 2, 3}, {4, 5, 6}});
  image2d_t dst;
  ASSERT_TRUE(rotate(1, dst, src));
  EXPECT_EQ(dst.width, 2u);
  EXPECT_EQ(dst.height, 3u);
  EXPECT_EQ(seen(dst), (rows_t{{4, 1}, {5, 2}, {6, 3}}));
  ASSERT_TRUE(rotate(2, dst, src));
  EXPECT_EQ(seen(dst), (rows_t{{6, 5, 4}, {3, 2, 1}}));
  ASSERT_TRUE(rotate(3, dst, src));
  EXPECT_EQ(seen(dst), (rows_t{{3, 6}, {2, 5}, {1, 4}}));
}

TEST(Rotate, MovesWholeMultiBytePixels) {
  // Left red, right blue; turned right, red is on top (row 1).
  const image2d_t src = picture(desc_of(IMAGE_FORMAT_RGB), 2, {{255, 0, 0, 0, 0, 255}});
  image2d_t dst;
  ASSERT_TRUE(rotate(1, dst, src));
  ASSERT_EQ(dst.width, 1u);
  ASSERT_EQ(dst.height, 2u);
  EXPECT_EQ(dst[1][0], 255);
  EXPECT_EQ(dst[0][2], 255);
  EXPECT_EQ(seen(dst), (rows_t{{255, 0, 0}, {0, 0, 255}}));

  const image2d_t wide = picture(desc_of(IMAGE_FORMAT_RGBA, IMAGE_BITS_16), 2,
                                 {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}});
  ASSERT_TRUE(rotate(2, dst, wide));
  EXPECT_EQ(seen(dst), (rows_t{{9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}}));
}

TEST(Rotate, ZeroSharesAndAboveThreeIsRefused) {
  const image2d_t src = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{9}});
  image2d_t dst = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 2, {{1, 2}});
  const unsigned char* before = dst.pixels.begin();
  EXPECT_FALSE(rotate(4, dst, src));
  EXPECT_EQ(dst.pixels.begin(), before);
  EXPECT_EQ(dst.width, 2u);
  ASSERT_TRUE(rotate(0, dst, src));
  EXPECT_EQ(dst.pixels.begin(), src.pixels.begin());
}

TEST(Rotate, RefusesSubBytePixelsAndShortStores) {
  image2d_t bits = picture(desc_of(IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_4), 2, {{0x12}});
  image2d_t dst;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(rotate(1, dst, bits));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "rotate(): IMAGE_BITS_4: pixels are not whole bytes.\n");

  image2d_t unallocated;
  unallocated.desc = desc_of(IMAGE_FORMAT_RGB);
  unallocated.width = 100;
  unallocated.height = 100;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(rotate(1, dst, unallocated));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "rotate(): image store is smaller than its rows.\n");
}

TEST(Rotate, SourceMayBeTheDestination) {
  image2d_t image = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 2, {{1, 2}, {3, 4}});
  ASSERT_TRUE(rotate(1, image, image));
  EXPECT_EQ(seen(image), (rows_t{{3, 1}, {4, 2}}));
}

TEST(Orientation, ExifTurnsAddToTheUserCount) {
  const unsigned long expected[4][4] = {{0, 1, 2, 3},   // 1: as shot
                                        {2, 3, 0, 1},   // 3: upside down
                                        {1, 2, 3, 0},   // 6: turn right once
                                        {3, 0, 1, 2}};  // 8: turn left once
  const unsigned long orientations[4] = {1, 3, 6, 8};
  for (int o = 0; o < 4; ++o) {
    for (unsigned long count = 0; count < 4; ++count) {
      EXPECT_EQ(mixorientandrightrotatecount(count, orientations[o]), expected[o][count])
          << "orientation " << orientations[o] << " count " << count;
    }
  }
  EXPECT_EQ(mixorientandrightrotatecount(5, 1), 5u);  // not reduced
  EXPECT_EQ(mixorientandrightrotatecount(5, 6), 2u);
  EXPECT_EQ(mixorientandrightrotatecount(2, 0), 2u);
}

TEST(CrossCheck, RotateAndScaleDownMatchReferences) {
  std::mt19937 rng(20240611);
  const struct {
    image_desc_t desc;
    int bytes;
    bool halves;
  } layouts[] = {{desc_of(IMAGE_FORMAT_GRAYSCALE), 1, true},
                 {desc_of(IMAGE_FORMAT_RGB), 3, true},
                 {desc_of(IMAGE_FORMAT_BGRA), 4, true},
                 {desc_of(IMAGE_FORMAT_GRAYSCALE_ALPHA), 2, false},
                 {desc_of(IMAGE_FORMAT_RGBA, IMAGE_BITS_32, IMAGE_TYPE_FLOAT), 16, false}};
  for (int round = 0; round < 40; ++round) {
    for (const auto& layout : layouts) {
      image2d_t src = random_image(rng, layout.desc, layout.bytes);
      SCOPED_TRACE(testing::Message() << "round " << round << " format " << layout.desc.format
                                      << " " << src.width << "x" << src.height);
      image2d_t expected = src;
      for (unsigned long count = 1; count <= 3; ++count) {
        expected = reference_turn(expected, layout.bytes);
        image2d_t turned;
        ASSERT_TRUE(rotate(count, turned, src));
        ASSERT_TRUE(same_picture(turned, expected)) << "count " << count;
      }
      if (!layout.halves) continue;
      image2d_t half;
      ASSERT_TRUE(scaledown(half, src));
      ASSERT_TRUE(same_picture(half, reference_halving(src, layout.bytes)));
    }
  }
}

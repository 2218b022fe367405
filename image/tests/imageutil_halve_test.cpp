// Halving: into a new image, in place and repeated, Bayer cells.
#include "image/imageutil.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "image/tests/imageutil_test.h"

using namespace libgr;
using namespace imagetest;

// ---- halving --------------------------------------------------------------

TEST(ScaleDown, TruncatesSizesAndRoundsDown) {
  const image2d_t src = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 5,
                                {{9, 9, 9, 9, 9}, {3, 5, 0, 4, 9}, {1, 2, 255, 254, 9}});
  image2d_t dst;
  ASSERT_TRUE(scaledown(dst, src));
  EXPECT_EQ(dst.width, 2u);
  EXPECT_EQ(dst.height, 1u);
  // Rows 0 and 1 as stored are the picture's bottom two rows.
  EXPECT_EQ(seen(dst), (rows_t{{(1 + 2 + 3 + 5) >> 2, (255 + 254 + 0 + 4) >> 2}}));

  image2d_t line;
  ASSERT_TRUE(scaledown(line, picture(desc_of(IMAGE_FORMAT_RGB), 2, {{1, 2, 3, 4, 5, 6}})));
  EXPECT_EQ(line.width, 1u);
  EXPECT_EQ(line.height, 0u);

  const image2d_t rgba = picture(desc_of(IMAGE_FORMAT_BGRA), 3,
                                 {{1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0},
                                  {9, 10, 11, 12, 13, 14, 15, 16, 0, 0, 0, 0},
                                  {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}});
  ASSERT_TRUE(scaledown(dst, rgba));
  EXPECT_EQ(dst.desc, rgba.desc);
  EXPECT_EQ(seen(dst), (rows_t{{(9 + 13 + 7 + 7) >> 2, (10 + 14 + 14) >> 2, (11 + 15 + 14) >> 2,
                                (12 + 16 + 14) >> 2}}));
}

TEST(ScaleDown, ReportsUnsupportedFormats) {
  const image2d_t index = picture(desc_of(IMAGE_FORMAT_INDEX), 2, {{0, 1}, {1, 0}});
  image2d_t dst;
  bool ok = true;
  EXPECT_EQ(stderr_of(scaledown, dst, index, &ok),
            "scaledown(): IMAGE_FORMAT_INDEX: unsupported format.\n");
  EXPECT_FALSE(ok);
  const image2d_t bgr =
      picture(desc_of(IMAGE_FORMAT_BGR), 2, {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}});
  EXPECT_EQ(stderr_of(scaledownRGGB, dst, bgr, &ok),
            "scaledown(): IMAGE_FORMAT_BGR: unsupported format.\n");
  EXPECT_FALSE(ok);
}

TEST(ScaleDown, BayerCellsPickTheirColours) {
  // Cell positions: stored row 0 (the picture's bottom row) is the first.
  const image2d_t cell = picture(desc_of(IMAGE_FORMAT_RGB), 2,
                                 {{30, 31, 32, 40, 41, 42},    // row 1
                                  {10, 11, 12, 20, 21, 22}});  // row 0
  image2d_t dst;
  ASSERT_TRUE(scaledownRGGB(dst, cell));
  EXPECT_EQ(seen(dst), (rows_t{{10, (21 + 31) >> 1, 42}}));
  ASSERT_TRUE(scaledownGRBG(dst, cell));
  EXPECT_EQ(seen(dst), (rows_t{{20, (11 + 41) >> 1, 32}}));
  ASSERT_TRUE(scaledownGBRG(dst, cell));
  EXPECT_EQ(seen(dst), (rows_t{{30, (11 + 41) >> 1, 22}}));
  ASSERT_TRUE(scaledownBGGR(dst, cell));
  EXPECT_EQ(seen(dst), (rows_t{{40, (21 + 31) >> 1, 12}}));

  const image2d_t alpha =
      picture(desc_of(IMAGE_FORMAT_RGBA), 2, {{0, 0, 0, 4, 0, 0, 0, 4}, {9, 0, 0, 1, 0, 0, 0, 2}});
  ASSERT_TRUE(scaledownRGGB(dst, alpha));
  EXPECT_EQ(seen(dst), (rows_t{{9, 0, 0, (1 + 2 + 4 + 4) >> 2}}));
}

// A ladder of in-place halvings of every layout, odd sides, alignments
// and windows: each level must be the reference halving of the one before,
// and a private unwindowed store must be reused rather than replaced.
TEST(ScaleDownInPlace, LadderMatchesReferenceAndReusesPrivateStore) {
  std::mt19937 rng(20250117);
  int in_place = 0;
  const struct {
    image_desc_t desc;
    int bytes;
  } layouts[] = {{desc_of(IMAGE_FORMAT_GRAYSCALE), 1},
                 {desc_of(IMAGE_FORMAT_RGB), 3},
                 {desc_of(IMAGE_FORMAT_BGR), 3},
                 {desc_of(IMAGE_FORMAT_RGBA), 4},
                 {desc_of(IMAGE_FORMAT_BGRA), 4}};
  for (int round = 0; round < 30; ++round) {
    for (const auto& layout : layouts) {
      image2d_t image = random_image(rng, layout.desc, layout.bytes);
      SCOPED_TRACE(testing::Message() << "round " << round << " format " << layout.desc.format
                                      << " " << image.width << "x" << image.height);
      const image_store_t* store = image.store;
      for (int level = 0; image.width >= 2 && image.height >= 2; ++level) {
        const image2d_t expected = reference_halving(image, layout.bytes);
        const bool private_store = image.pixels.use_count() == 1 && image.window.skip_rows == 0 &&
                                   image.window.skip_pixels == 0 && image.window.row_length == 0;
        const unsigned char* before = image.pixels.begin();
        ASSERT_TRUE(scaledown_inplace(image)) << "level " << level;
        ASSERT_TRUE(same_picture(image, expected)) << "level " << level;
        EXPECT_EQ(image.store, store);
        if (private_store) {
          EXPECT_EQ(image.pixels.begin(), before) << "level " << level;
          ++in_place;
        }
      }
      const uint32_t width = image.width, height = image.height;
      EXPECT_FALSE(scaledown_inplace(image));  // a side would become 0
      EXPECT_EQ(image.width, width);
      EXPECT_EQ(image.height, height);
    }
  }
  EXPECT_GT(in_place, 100);
}

// A ladder that ends in a fresh store: the pixels of repeated halvings, and
// a store of the small picture's own rows, however large the picture it
// was made from.
TEST(ScaleDownTimes, GivesTheLadderPixelsInAStoreOfTheirOwnSize) {
  std::mt19937 rng(20260203);
  for (int round = 0; round < 40; ++round) {
    const int bytes = round % 2 ? 3 : 1;
    image2d_t image =
        random_image(rng, desc_of(bytes == 3 ? IMAGE_FORMAT_RGB : IMAGE_FORMAT_GRAYSCALE), bytes);
    image2d_t expected = image;
    unsigned long halved = 0;
    for (; halved < 4 && expected.width >= 2 && expected.height >= 2; ++halved)
      expected = reference_halving(expected, bytes);
    ASSERT_TRUE(scaledown_times(image, 4));
    ASSERT_TRUE(same_picture(image, expected)) << "round " << round;
    if (halved) {
      EXPECT_EQ(image.pixels.size(), image.rowsize() * image.height);
    }
  }

  image2d_t photo;  // camera-size RGB
  photo.width = 6000;
  photo.height = 4000;
  ASSERT_TRUE(photo.allocate());
  ASSERT_TRUE(scaledown_times(photo, 5));
  EXPECT_EQ(photo.width, 187u);
  EXPECT_EQ(photo.height, 125u);
  EXPECT_LE(photo.pixels.size(), 2 * photo.rowbyte() * photo.height);
}

TEST(ScaleDownInPlace, LeavesImagesThatShareTheStoreAlone) {
  const image2d_t top =
      picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 4, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
  const rows_t top_seen = seen(top);
  image2d_t image = top;
  ASSERT_TRUE(scaledown_inplace(image));
  EXPECT_EQ(seen(image), (rows_t{{(5 + 6 + 9 + 10) >> 2, (7 + 8 + 11 + 12) >> 2}}));
  EXPECT_EQ(seen(top), top_seen);

  // A window over a store that nobody else holds still leaves the store's
  // other pixels to whoever made the window.
  image2d_t window;
  {
    image2d_t base =
        picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 4, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    ASSERT_TRUE(makewindow(window, base, 1, 0, 2, 2));
  }
  ASSERT_EQ(window.pixels.use_count(), 1);
  ASSERT_TRUE(scaledown_inplace(window));
  EXPECT_EQ(window.window.skip_pixels, 0u);
  EXPECT_EQ(seen(window), (rows_t{{(6 + 7 + 10 + 11) >> 2}}));
}

TEST(ScaleDownInPlace, ReportsUnsupportedFormatsAndKeepsTheImage) {
  image2d_t index = picture(desc_of(IMAGE_FORMAT_INDEX), 2, {{0, 1}, {1, 0}});
  const rows_t before = seen(index);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(scaledown_inplace(index));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "scaledown(): IMAGE_FORMAT_INDEX: unsupported format.\n");
  EXPECT_EQ(index.width, 2u);
  EXPECT_EQ(seen(index), before);
}

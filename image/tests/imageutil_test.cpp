#include "image/imageutil.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

using namespace libgr;

namespace {

typedef std::vector<std::vector<int>> rows_t;  // top row first, bytes

const image_store_t kAlign1(false, 1);
const image_store_t kAlign8(false, 8);

image_desc_t desc_of(e_image_format_t format, e_image_bits_t bits = IMAGE_BITS_8,
                     e_image_type_t type = IMAGE_TYPE_UINT) {
  return image_desc_t(format, type, bits);
}

// An image from its picture as seen: rows top first, each the bytes of the
// row's pixels. Rows are stored bottom-up.
image2d_t picture(const image_desc_t& desc, uint32_t width, const rows_t& top_down,
                  const image_store_t* store = nullptr) {
  image2d_t image;
  image.desc = desc;
  image.store = store;
  image.width = width;
  image.height = static_cast<uint32_t>(top_down.size());
  EXPECT_TRUE(image.allocate());
  for (uint32_t r = 0; r < image.height; ++r) {
    EXPECT_EQ(top_down[r].size(), image.rowbyte());
    for (size_t k = 0; k < top_down[r].size(); ++k) {
      image[image.height - 1 - r][k] = static_cast<unsigned char>(top_down[r][k]);
    }
  }
  return image;
}

rows_t seen(const image2d_t& image) {
  rows_t rows(image.height);
  for (uint32_t r = 0; r < image.height; ++r) {
    const unsigned char* p = image[image.height - 1 - r];
    rows[r].assign(p, p + image.rowbyte());
  }
  return rows;
}

std::string stderr_of(bool (*op)(image2d_t&, const image2d_t&), image2d_t& dst,
                      const image2d_t& src, bool* result) {
  testing::internal::CaptureStderr();
  *result = op(dst, src);
  return testing::internal::GetCapturedStderr();
}

}  // namespace

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

// ---- randomized cross-checks against picture-space references ----------

namespace {

// Pixel (x, y) of the picture as seen, y counted from the top.
const unsigned char* at(const image2d_t& image, uint32_t x, uint32_t y, int bytes) {
  return image[image.height - 1 - y] + x * bytes;
}

bool same_picture(const image2d_t& a, const image2d_t& b) {
  return a.width == b.width && a.height == b.height && seen(a) == seen(b);
}

// One clockwise quarter turn, pixel by pixel: the new top-left pixel is the
// old bottom-left one.
image2d_t reference_turn(const image2d_t& src, int bytes) {
  image2d_t dst;
  dst.desc = src.desc;
  dst.width = src.height;
  dst.height = src.width;
  EXPECT_TRUE(dst.allocate());
  for (uint32_t y = 0; y < dst.height; ++y) {
    for (uint32_t x = 0; x < dst.width; ++x) {
      const unsigned char* from = at(src, y, src.height - 1 - x, bytes);
      unsigned char* to = const_cast<unsigned char*>(at(dst, x, y, bytes));
      for (int k = 0; k < bytes; ++k) to[k] = from[k];
    }
  }
  return dst;
}

image2d_t reference_halving(const image2d_t& src, int bytes) {
  image2d_t dst;
  dst.desc = src.desc;
  dst.width = src.width / 2;
  dst.height = src.height / 2;
  EXPECT_TRUE(dst.allocate());
  for (uint32_t r = 0; r < dst.height; ++r) {
    for (uint32_t c = 0; c < dst.width; ++c) {
      for (int k = 0; k < bytes; ++k) {
        int sum = src[2 * r][2 * c * bytes + k] + src[2 * r][(2 * c + 1) * bytes + k] +
                  src[2 * r + 1][2 * c * bytes + k] + src[2 * r + 1][(2 * c + 1) * bytes + k];
        dst[r][c * bytes + k] = static_cast<unsigned char>(sum / 4);
      }
    }
  }
  return dst;
}

// A random picture, sometimes a window inside a larger one, with a random
// row alignment.
image2d_t random_image(std::mt19937& rng, const image_desc_t& desc, int bytes) {
  const image_store_t* stores[3] = {nullptr, &kAlign1, &kAlign8};
  std::uniform_int_distribution<uint32_t> size(1, 67), margin(0, 3), pick(0, 2);
  image2d_t base;
  base.desc = desc;
  base.store = stores[pick(rng)];
  base.width = size(rng);
  base.height = size(rng);
  uint32_t mx = margin(rng), my = margin(rng);
  base.width += mx;
  base.height += my;
  EXPECT_TRUE(base.allocate());
  std::uniform_int_distribution<int> byte(0, 255);
  for (uint32_t r = 0; r < base.height; ++r) {
    for (uint32_t k = 0; k < base.width * bytes; ++k) {
      base[r][k] = static_cast<unsigned char>(byte(rng));
    }
  }
  if (pick(rng) == 0) return base;
  image2d_t window;
  EXPECT_TRUE(makewindow(window, base, static_cast<int>(mx), static_cast<int>(my), base.width - mx,
                         base.height - my));
  return window;
}

}  // namespace

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

// ---- conversions ------------------------------------------------------------

TEST(Convert, ChannelOrderRoundTrips) {
  const image2d_t rgb =
      picture(desc_of(IMAGE_FORMAT_RGB), 2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}, &kAlign1);
  image2d_t bgr, back;
  ASSERT_TRUE(rgb2bgr(bgr, rgb));
  EXPECT_EQ(bgr.desc, desc_of(IMAGE_FORMAT_BGR));
  ASSERT_NE(bgr.store, nullptr);
  EXPECT_EQ(bgr.store->alignment, 4u);
  EXPECT_EQ(seen(bgr), (rows_t{{3, 2, 1, 6, 5, 4}, {9, 8, 7, 12, 11, 10}}));
  ASSERT_TRUE(bgr2rgb(back, bgr));
  EXPECT_EQ(back.desc, rgb.desc);
  EXPECT_EQ(seen(back), seen(rgb));

  const image2d_t rgba =
      picture(desc_of(IMAGE_FORMAT_RGBA, IMAGE_BITS_8, IMAGE_TYPE_SINT), 1, {{1, 2, 3, 200}});
  ASSERT_TRUE(rgb2bgr(bgr, rgba));
  EXPECT_EQ(bgr.desc, desc_of(IMAGE_FORMAT_BGRA, IMAGE_BITS_8, IMAGE_TYPE_SINT));
  EXPECT_EQ(seen(bgr), (rows_t{{3, 2, 1, 200}}));
  ASSERT_TRUE(bgr2rgb(back, bgr));
  EXPECT_EQ(seen(back), seen(rgba));

  // Other layouts pass through shared.
  const image2d_t grey = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{5}});
  ASSERT_TRUE(rgb2bgr(back, grey));
  EXPECT_EQ(back.pixels.begin(), grey.pixels.begin());
  ASSERT_TRUE(bgr2rgb(back, rgb));
  EXPECT_EQ(back.pixels.begin(), rgb.pixels.begin());
}

TEST(Convert, AlphaAddedAndDropped) {
  const image2d_t rgb = picture(desc_of(IMAGE_FORMAT_RGB), 2, {{1, 2, 3, 4, 5, 6}});
  image2d_t rgba, back;
  ASSERT_TRUE(rgb2rgba(rgba, rgb));
  EXPECT_EQ(rgba.desc, desc_of(IMAGE_FORMAT_RGBA));
  EXPECT_EQ(seen(rgba), (rows_t{{1, 2, 3, 255, 4, 5, 6, 255}}));
  ASSERT_TRUE(rgba2rgb(back, rgba));
  EXPECT_EQ(seen(back), seen(rgb));

  image2d_t same;
  EXPECT_TRUE(rgb2rgba(same, rgba));
  EXPECT_EQ(same.pixels.begin(), rgba.pixels.begin());
  EXPECT_TRUE(rgba2rgb(same, rgb));
  const image2d_t grey = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{5}});
  EXPECT_FALSE(rgb2rgba(same, grey));
  EXPECT_EQ(same.pixels.begin(), grey.pixels.begin());
  EXPECT_FALSE(rgba2rgb(same, grey));
}

TEST(Convert, GreyLevelsToRgb) {
  image2d_t rgb;
  ASSERT_TRUE(
      grayscale2rgb(rgb, picture(desc_of(IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_4), 2, {{0x3F}})));
  EXPECT_EQ(rgb.desc, desc_of(IMAGE_FORMAT_RGB));
  EXPECT_EQ(seen(rgb), (rows_t{{51, 51, 51, 255, 255, 255}}));
  ASSERT_TRUE(
      grayscale2rgb(rgb, picture(desc_of(IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1), 3, {{0xA0}})));
  EXPECT_EQ(seen(rgb), (rows_t{{255, 255, 255, 0, 0, 0, 255, 255, 255}}));
  const image2d_t grey = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 2, {{7, 200}}, &kAlign1);
  ASSERT_TRUE(grayscale2rgb(rgb, grey));
  EXPECT_EQ(seen(rgb), (rows_t{{7, 7, 7, 200, 200, 200}}));

  image2d_t mono;
  ASSERT_TRUE(
      monochrome(mono, picture(desc_of(IMAGE_FORMAT_RGB), 3, {{255, 0, 0, 0, 255, 0, 0, 0, 255}})));
  EXPECT_EQ(mono.desc, desc_of(IMAGE_FORMAT_GRAYSCALE));
  EXPECT_EQ(seen(mono), (rows_t{{76, 149, 29}}));

  bool ok = true;
  EXPECT_EQ(stderr_of(monochrome, mono, picture(desc_of(IMAGE_FORMAT_BGR), 1, {{1, 2, 3}}), &ok),
            "IMAGE_FORMAT_BGR: image format is not RGB.\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(
      stderr_of(monochrome, mono,
                picture(desc_of(IMAGE_FORMAT_RGB, IMAGE_BITS_8, IMAGE_TYPE_SINT), 1, {{1, 2, 3}}),
                &ok),
      "IMAGE_TYPE_SINT: image type is not UINT.\n");
  image2d_t deep = picture(desc_of(IMAGE_FORMAT_RGB, IMAGE_BITS_16), 1, {{1, 2, 3, 4, 5, 6}});
  EXPECT_EQ(stderr_of(monochrome, mono, deep, &ok), "IMAGE_BITS_16: image bits is not 8.\n");
}

TEST(Convert, IndexLooksUpThePaletteAndGuardsItsEnd) {
  image2d_t index = picture(desc_of(IMAGE_FORMAT_INDEX, IMAGE_BITS_4), 4, {{0x01, 0x2F}});
  ASSERT_TRUE(index.palette.resize(3));
  const unsigned short red[3] = {0x0000, 0xFF00, 0x1234};
  for (int i = 0; i < 3; ++i) {
    index.palette.red[i] = red[i];
    index.palette.green[i] = static_cast<unsigned short>(i * 0x1000);
    index.palette.blue[i] = 0x8000;
  }
  image2d_t rgb;
  ASSERT_TRUE(index2rgb(rgb, index));
  EXPECT_EQ(rgb.desc, desc_of(IMAGE_FORMAT_RGB));
  // Indices 0, 1, 2 and 15; 15 lies beyond the palette and is black.
  EXPECT_EQ(seen(rgb), (rows_t{{0, 0, 128, 255, 16, 128, 0x12, 32, 128, 0, 0, 0}}));

  image2d_t bits = picture(desc_of(IMAGE_FORMAT_INDEX, IMAGE_BITS_1), 2, {{0x40}});
  bits.palette = index.palette;
  ASSERT_TRUE(index2rgb(rgb, bits));
  EXPECT_EQ(seen(rgb), (rows_t{{0, 0, 128, 255, 16, 128}}));

  // Two-bit indices, as PNG palettes of four colours give them.
  image2d_t quarters = picture(desc_of(IMAGE_FORMAT_INDEX, IMAGE_BITS_2), 3, {{0x9C}});
  quarters.palette = index.palette;
  ASSERT_TRUE(index2rgb(rgb, quarters));
  EXPECT_EQ(seen(rgb), (rows_t{{0x12, 32, 128, 255, 16, 128, 0, 0, 0}}));

  image2d_t bytes = picture(desc_of(IMAGE_FORMAT_INDEX), 2, {{2, 255}});
  bytes.palette = index.palette;
  ASSERT_TRUE(index2rgb(rgb, bytes));
  EXPECT_EQ(seen(rgb), (rows_t{{0x12, 32, 128, 0, 0, 0}}));

  const image2d_t grey = picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{5}});
  ASSERT_TRUE(index2rgb(rgb, grey));
  EXPECT_EQ(rgb.pixels.begin(), grey.pixels.begin());
}

TEST(Convert, OneBitGreyThroughTwoColours) {
  image2d_t bits = picture(desc_of(IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1), 2, {{0x80}});
  image2d_t rgb;
  ASSERT_TRUE(grayscale(rgb, bits));
  EXPECT_EQ(seen(rgb), (rows_t{{255, 255, 255, 0, 0, 0}}));
  ASSERT_TRUE(bits.palette.resize(2));
  bits.palette.red[0] = 0x1000;
  bits.palette.green[0] = 0x2000;
  bits.palette.blue[0] = 0x3000;
  bits.palette.red[1] = 0xA000;
  bits.palette.green[1] = 0xB000;
  bits.palette.blue[1] = 0xC000;
  ASSERT_TRUE(grayscale(rgb, bits));
  EXPECT_EQ(seen(rgb), (rows_t{{0xA0, 0xB0, 0xC0, 0x10, 0x20, 0x30}}));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(grayscale(rgb, picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{1}})));
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
}

// ---- copies and windows ----------------------------------------------------

TEST(Convert, LowBitGreyWidensToEightBits) {
  for (const auto& [bits, per_byte, packed, want] :
       {std::make_tuple(IMAGE_BITS_2, 4, 0x1Bu, std::vector<int>{0, 85, 170, 255}),
        std::make_tuple(IMAGE_BITS_4, 2, 0xF3u, std::vector<int>{255, 51})}) {
    image2d_t grey;
    grey.desc = desc_of(IMAGE_FORMAT_GRAYSCALE, bits);
    grey.width = static_cast<uint32_t>(per_byte);
    grey.height = 2;
    ASSERT_TRUE(grey.allocate());
    grey[1][0] = static_cast<unsigned char>(packed);
    image2d_t out;
    ASSERT_TRUE(grayscale_to_8bit(out, grey));
    EXPECT_EQ(out.desc.bits, IMAGE_BITS_8);
    for (int x = 0; x < per_byte; ++x) {
      EXPECT_EQ(out[1][x], want[static_cast<std::size_t>(x)]);
      EXPECT_EQ(out[0][x], 0);
    }
    // A window that starts within a byte, through both grey widenings.
    image2d_t window, rgb;
    ASSERT_TRUE(makewindow(window, grey, 1, 1, static_cast<unsigned>(per_byte - 1), 1));
    ASSERT_TRUE(grayscale_to_8bit(out, window));
    ASSERT_TRUE(grayscale2rgb(rgb, window));
    for (int x = 1; x < per_byte; ++x) {
      EXPECT_EQ(out[0][x - 1], want[static_cast<std::size_t>(x)]);
      EXPECT_EQ(rgb[0][3 * (x - 1)], want[static_cast<std::size_t>(x)]);
    }
  }
  // Other images pass through shared.
  image2d_t image, out;
  image.desc = desc_of(IMAGE_FORMAT_RGB);
  image.width = image.height = 4;
  ASSERT_TRUE(image.allocate());
  ASSERT_TRUE(grayscale_to_8bit(out, image));
  EXPECT_EQ(out.pixels.begin(), image.pixels.begin());
}

TEST(CopyFlip, CopiesThroughTheWindowIntoACompactStore) {
  image2d_t src =
      picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 3, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, &kAlign8);
  image2d_t window;
  ASSERT_TRUE(makewindow(window, src, 1, 1, 5, 5));
  image2d_t dst;
  ASSERT_TRUE(copy(dst, window));
  EXPECT_EQ(dst.window.skip_rows, 0u);
  EXPECT_EQ(dst.window.skip_pixels, 0u);
  EXPECT_EQ(dst.window.row_length, 0u);
  EXPECT_EQ(dst.store, &kAlign8);
  EXPECT_EQ(dst.pixels.size(), 16u);
  EXPECT_EQ(seen(dst), (rows_t{{2, 3}, {5, 6}}));
  EXPECT_EQ(dst[0][0], window[0][0]);
  dst[0][0] = 0;
  EXPECT_EQ(src[1][1], 5);  // a copy, not a share

  ASSERT_TRUE(flip(dst, src));
  EXPECT_EQ(seen(dst), (rows_t{{7, 8, 9}, {4, 5, 6}, {1, 2, 3}}));
}

TEST(MakeWindow, ClampsToTheSourceWithoutCountingSkipsTwice) {
  image2d_t src =
      picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 4, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
  image2d_t inner;
  ASSERT_TRUE(makewindow(inner, src, 1, 1, 10, 10));
  EXPECT_EQ(inner.width, 3u);   // 4 - 1
  EXPECT_EQ(inner.height, 2u);  // 3 - 1
  EXPECT_EQ(seen(inner), (rows_t{{2, 3, 4}, {6, 7, 8}}));

  // A window of a window: its skips add up once, its size is bounded by
  // the window it is cut from.
  image2d_t nested;
  ASSERT_TRUE(makewindow(nested, inner, 1, 0, 10, 1));
  EXPECT_EQ(nested.window.skip_pixels, 2u);
  EXPECT_EQ(nested.width, 2u);
  EXPECT_EQ(nested.height, 1u);
  EXPECT_EQ(seen(nested), (rows_t{{7, 8}}));
  nested[0][0] = 70;
  EXPECT_EQ(src[1][2], 70);  // writes go to the source

  image2d_t past;
  ASSERT_TRUE(makewindow(past, inner, 5, 7, 2, 2));
  EXPECT_EQ(past.width, 0u);
  EXPECT_EQ(past.height, 0u);
  image2d_t copied;
  ASSERT_TRUE(copy(copied, past));
  EXPECT_EQ(copied.width, 0u);

  image2d_t untouched = src;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(makewindow(untouched, src, -1, 0, 1, 1));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(untouched.width, 4u);
  src.compressed = true;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(makewindow(untouched, src, 0, 0, 1, 1));
  testing::internal::GetCapturedStderr();
}

// ---- colours and normal maps ------------------------------------------------

TEST(Colour, FillAndAddClampEachComponent) {
  image2d_t image = picture(desc_of(IMAGE_FORMAT_RGBA), 2, {{10, 20, 30, 0, 250, 0, 128, 9}});
  ASSERT_TRUE(addcolor(image, color3a_t(0.1f, -1.0f, NAN, 0.5f)));
  // 10/255 + 0.1 = 0.139 -> 36; 250/255 + 0.1 caps at 1; NaN counts as 1.
  EXPECT_EQ(seen(image), (rows_t{{36, 0, 255, 0, 255, 0, 255, 255}}));
  ASSERT_TRUE(fillcolor(image, color3a_t(0.5f, 2.0f, -1.0f, NAN)));
  EXPECT_EQ(seen(image), (rows_t{{128, 255, 0, 255, 128, 255, 0, 255}}));

  image2d_t bgr = picture(desc_of(IMAGE_FORMAT_BGR), 1, {{1, 2, 3}});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(fillcolor(bgr, white));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "not support format.\n");
  image2d_t sint =
      picture(desc_of(IMAGE_FORMAT_BGR, IMAGE_BITS_16, IMAGE_TYPE_SINT), 1, {{1, 2, 3, 4, 5, 6}});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(addcolor(sint, white));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "not support image type.\n");
  sint.desc.type = IMAGE_TYPE_UINT;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(addcolor(sint, white));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "not support image bits.\n");
}

TEST(NormalMap, SlopesTiltTheNormal) {
  image2d_t normals;
  ASSERT_TRUE(
      heightmap2normalmap(normals, picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 2, {{0, 255}}), 1.0f));
  EXPECT_EQ(normals.desc, desc_of(IMAGE_FORMAT_RGB, IMAGE_BITS_8, IMAGE_TYPE_SINT));
  // Rising to the right: (1, 0, 1) / sqrt 2; falling back (wrap): (-1, 0, 1).
  EXPECT_EQ(seen(normals), (rows_t{{90, 0, 90, 256 - 90, 0, 90}}));
  ASSERT_TRUE(heightmap2normalmap(normals,
                                  picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{40}, {40}}), 1.0f));
  EXPECT_EQ(seen(normals), (rows_t{{0, 0, 127}, {0, 0, 127}}));

  const image2d_t rgb = picture(desc_of(IMAGE_FORMAT_RGB), 1, {{1, 2, 3}});
  ASSERT_TRUE(heightmap2normalmap(normals, rgb, 1.0f));
  EXPECT_EQ(normals.pixels.begin(), rgb.pixels.begin());
  const image2d_t bgr = picture(desc_of(IMAGE_FORMAT_BGR), 1, {{1, 2, 3}});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(heightmap2normalmap(normals, bgr, 1.0f));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "normalmap(): image type not supported.\n");
  EXPECT_EQ(normals.pixels.begin(), bgr.pixels.begin());
}

TEST(NormalMap, CubeFacesPointAlongTheirAxes) {
  image2d_t faces[6];
  ASSERT_TRUE(makenormalcubemap(faces));
  const int centre[6][3] = {{255, 128, 128}, {0, 128, 128},   {128, 255, 128},
                            {128, 0, 128},   {128, 128, 255}, {128, 128, 0}};
  for (int f = 0; f < 6; ++f) {
    ASSERT_EQ(faces[f].width, 256u);
    ASSERT_EQ(faces[f].height, 256u);
    const unsigned char* p = faces[f][127] + 127 * 3;
    EXPECT_EQ(p[0], centre[f][0]) << "face " << f;
    EXPECT_EQ(p[1], centre[f][1]) << "face " << f;
    EXPECT_EQ(p[2], centre[f][2]) << "face " << f;
  }
  // +Z at row 0, column 255: s = 1.008, t = -1: (s, 1, 1) normalised.
  const unsigned char* corner = faces[4][0] + 255 * 3;
  EXPECT_NEAR(corner[0], 201, 1);
  EXPECT_NEAR(corner[1], 201, 1);
  EXPECT_NEAR(corner[2], 201, 1);
}

TEST(RowAccess, EditorAndReaderUseFourByteRows) {
  image2d_t image = picture(desc_of(IMAGE_FORMAT_RGB), 3,
                            {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 0, 0, 0, 0, 0, 0, 0, 0}});
  image2d_editor_t<color3ub_t> editor;
  ASSERT_TRUE(editor.setimage(image));
  EXPECT_EQ(
      reinterpret_cast<unsigned char*>(editor[1]) - reinterpret_cast<unsigned char*>(editor[0]),
      12);
  editor[1][2] = color3ub_t(70, 80, 90);
  EXPECT_EQ(image[1][6], 70);
  image2d_reader_t<unsigned char> reader;
  ASSERT_TRUE(reader.setimage(image));
  EXPECT_EQ(reader[1][8], 90);
  image.compressed = true;
  EXPECT_FALSE(reader.setimage(image));
  EXPECT_EQ(reader.width(), 0u);
}

// Conversions between layouts, copies, flips and windows.
#include "image/imageutil.h"

#include <gtest/gtest.h>

#include <tuple>

#include "image/tests/imageutil_test.h"

using namespace libgr;
using namespace imagetest;

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

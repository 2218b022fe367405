// Tiling arithmetic without a GL context: tile counts, sides, coverages and
// the windows each tile makes onto the image.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "image/imagetype.h"
#include "utility/option.h"
#include "viewer/app/image_handling.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using plimlib::multi_square_image_t;
using plimlib::multi_texture_object_t;

struct tile_t {
  uint32_t x, y, w, h;
};

// Where tile i sits in the image: its window's skipped pixels and rows.
tile_t where(const multi_square_image_t& t, std::size_t i) {
  const libgr::image2d_t& tile = t.m_images[i];
  return tile_t{tile.window.skip_pixels, tile.window.skip_rows, tile.width, tile.height};
}

TEST(Tiling, CountsSidesAndCoverages) {
  // width, height, maxsize -> columns, rows, column coverage, row coverage
  const std::vector<std::tuple<uint32_t, uint32_t, unsigned long, uint32_t, uint32_t, float, float>>
      cases = {
          {256, 256, 256, 1, 1, 1.0f, 1.0f},
          {257, 100, 256, 2, 1, 257 / 256.0f, 100 / 256.0f},
          {64, 1000, 256, 1, 4, 0.25f, 3.90625f},
          {200, 100, 256, 1, 1, 0.78125f, 0.390625f},
          {512, 512, 256, 2, 2, 2.0f, 2.0f},
          {512, 512, 128, 4, 4, 4.0f, 4.0f},
          {600, 300, 256, 3, 2, 600 / 256.0f, 300 / 256.0f},
          {1, 1, 256, 1, 1, 1.0f, 1.0f},
          {3, 5, 256, 1, 1, 3 / 8.0f, 5 / 8.0f},
      };
  for (const auto& [w, h, max, columns, rows, cc, rc] : cases) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " max " + std::to_string(max));
    libgr::image2d_t image = grtest::uint_image(w, h);
    multi_square_image_t tiles;
    ASSERT_TRUE(plimlib::rectangle_to_squares(tiles, image, max, true));
    EXPECT_EQ(tiles.m_columns, columns);
    EXPECT_EQ(tiles.m_rows, rows);
    EXPECT_FLOAT_EQ(tiles.m_column_coverage, cc);
    EXPECT_FLOAT_EQ(tiles.m_row_coverage, rc);
    ASSERT_EQ(tiles.m_images.size(), static_cast<std::size_t>(columns) * rows);
    // The tiles cover the image exactly once, and share its pixels.
    uint64_t area = 0;
    for (std::size_t i = 0; i < tiles.m_images.size(); ++i) {
      const tile_t t = where(tiles, i);
      area += uint64_t{t.w} * t.h;
      EXPECT_LE(t.x + t.w, w);
      EXPECT_LE(t.y + t.h, h);
      EXPECT_EQ(tiles.m_images[i].pixels.begin(), image.pixels.begin());
    }
    EXPECT_EQ(area, uint64_t{w} * h);
  }
}

TEST(Tiling, TileWindowsInRowOrderFromTheBottom) {
  libgr::image2d_t image = grtest::uint_image(257, 100);
  multi_square_image_t tiles;
  ASSERT_TRUE(plimlib::rectangle_to_squares(tiles, image, 256, true));
  const tile_t a = where(tiles, 0), b = where(tiles, 1);
  EXPECT_EQ(std::make_tuple(a.x, a.y, a.w, a.h), std::make_tuple(0u, 0u, 256u, 100u));
  EXPECT_EQ(std::make_tuple(b.x, b.y, b.w, b.h), std::make_tuple(256u, 0u, 1u, 100u));

  // 64 x 1000: three full rows of 256 and one of 232, every tile 64 wide
  // (the requested side clipped to the image).
  libgr::image2d_t tall = grtest::uint_image(64, 1000);
  ASSERT_TRUE(plimlib::rectangle_to_squares(tiles, tall, 256, true));
  for (std::size_t i = 0; i < 4; ++i) {
    const tile_t t = where(tiles, i);
    EXPECT_EQ(t.x, 0u);
    EXPECT_EQ(t.y, 256u * i);
    EXPECT_EQ(t.w, 64u);
    EXPECT_EQ(t.h, i < 3 ? 256u : 232u);
  }

  // 600 x 300: the corner tile is the remainder of both axes.
  libgr::image2d_t wide = grtest::uint_image(600, 300);
  ASSERT_TRUE(plimlib::rectangle_to_squares(tiles, wide, 256, true));
  const tile_t corner = where(tiles, 5), top_left = where(tiles, 3);
  EXPECT_EQ(std::make_tuple(corner.x, corner.y, corner.w, corner.h),
            std::make_tuple(512u, 256u, 88u, 44u));
  EXPECT_EQ(std::make_tuple(top_left.x, top_left.y, top_left.w, top_left.h),
            std::make_tuple(0u, 256u, 256u, 44u));
}

TEST(Tiling, CopiedTilesOwnTheirPixels) {
  libgr::image2d_t image = grtest::uint_image(300, 20);
  image[7][3 * 260 + 1] = 99;  // pixel (260, 7), green
  multi_square_image_t tiles;
  ASSERT_TRUE(plimlib::rectangle_to_squares(tiles, image, 256, false));
  ASSERT_EQ(tiles.m_images.size(), 2u);
  const libgr::image2d_t& right = tiles.m_images[1];
  EXPECT_NE(right.pixels.begin(), image.pixels.begin());
  EXPECT_EQ(right.width, 44u);
  EXPECT_EQ(right[7][3 * 4 + 1], 99);
}

TEST(Tiling, CompressedImageIsRefused) {
  libgr::image2d_t image = grtest::uint_image(8, 8);
  image.compressed = true;
  multi_square_image_t tiles;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(plimlib::rectangle_to_squares(tiles, image, 256, true));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "rectangle_to_squares(): compressed format not supported.\n");
}

TEST(Tiling, TexturesAreSquaresOfTheLargestTile) {
  libgr::image2d_t image = grtest::uint_image(257, 100);
  multi_square_image_t tiles;
  ASSERT_TRUE(plimlib::rectangle_to_squares(tiles, image, 256, true));
  multi_texture_object_t textures;
  ASSERT_TRUE(plimlib::squares_to_texobjs(textures, tiles));
  ASSERT_EQ(textures.m_textures.size(), 2u);
  EXPECT_EQ(textures.m_columns, 2u);
  EXPECT_EQ(textures.m_rows, 1u);
  EXPECT_FLOAT_EQ(textures.m_column_coverage, 257 / 256.0f);
  for (const libgr::grTexture2D& t : textures.m_textures) {
    EXPECT_EQ(t.size(), 256u);
    ASSERT_EQ(t.images().size(), 1u);
  }
  EXPECT_EQ(textures.m_textures[1].images()[0].width, 1u);
  // No tiles, no textures; nothing preloaded counts as resident.
  multi_square_image_t none;
  ASSERT_TRUE(plimlib::squares_to_texobjs(textures, none));
  EXPECT_TRUE(textures.m_textures.empty());
  EXPECT_TRUE(textures.isResident());
}

}  // namespace

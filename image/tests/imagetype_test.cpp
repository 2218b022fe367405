#include "image/imagetype.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace libgr;

namespace {

image2d_t make_image(e_image_format_t format, e_image_bits_t bits, uint32_t width, uint32_t height,
                     const image_store_t* store = nullptr) {
  image2d_t image;
  image.desc = image_desc_t(format, IMAGE_TYPE_UINT, bits);
  image.store = store;
  image.width = width;
  image.height = height;
  return image;
}

template <class T>
std::string text(T value) {
  std::ostringstream os;
  os << value;
  return os.str();
}

}  // namespace

TEST(ImageDesc, PixelBitsPerLayout) {
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8).getPixelBits(), 24u);
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_RGBA, IMAGE_TYPE_SINT, IMAGE_BITS_8).getPixelBits(), 32u);
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_INDEX, IMAGE_TYPE_UINT, IMAGE_BITS_4).getPixelBits(), 4u);
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_R5G6B5).getPixelBits(), 16u);
  EXPECT_EQ(
      image_desc_t(IMAGE_FORMAT_GRAYSCALE_ALPHA, IMAGE_TYPE_UINT, IMAGE_BITS_16).getPixelBits(),
      32u);
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_YCbCr422, IMAGE_TYPE_UINT, IMAGE_BITS_8).getPixelBits(), 16u);
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_DEPTH, IMAGE_TYPE_UINT, IMAGE_BITS_D24S8).getPixelBits(), 0u);
  // End markers and stray values are no layouts.
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_MAX, IMAGE_TYPE_UINT, IMAGE_BITS_8).getPixelBits(), 0u);
  EXPECT_EQ(image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_MAX).getPixelBits(), 0u);
  EXPECT_EQ(
      image_desc_t(static_cast<e_image_format_t>(-3), IMAGE_TYPE_UINT, IMAGE_BITS_8).getPixelBits(),
      0u);
}

TEST(ImageDesc, NamesAndUnknownValues) {
  EXPECT_EQ(text(IMAGE_FORMAT_YCbCr), "IMAGE_FORMAT_YCbCr");
  EXPECT_EQ(text(IMAGE_FORMAT_INDEX), "IMAGE_FORMAT_INDEX");
  EXPECT_EQ(text(static_cast<e_image_format_t>(42)), "unknown: 42");
  EXPECT_EQ(text(static_cast<e_image_type_t>(2)), "IMAGE_TYPE_FLOAT");
  EXPECT_EQ(text(static_cast<e_image_type_t>(-1)), "unknown: -1");
  EXPECT_EQ(text(IMAGE_BITS_D24S8), "IMAGE_BITS_D24S8");
  EXPECT_EQ(text(static_cast<e_image_bits_t>(17)), "unknown: 17");
  EXPECT_TRUE(image_desc_t() == image_desc_t());
  EXPECT_FALSE(image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8) ==
               image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8));
}

TEST(ImageRows, RowSizeFollowsAlignmentAndRowLength) {
  const image_store_t align1(false, 1), align8(false, 8), align0(false, 0);
  image2d_t rgb = make_image(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 3, 2);
  EXPECT_EQ(rgb.rowbyte(), 9u);
  EXPECT_EQ(rgb.rowsize(), 12u);
  rgb.store = &align1;
  EXPECT_EQ(rgb.rowsize(), 9u);
  rgb.store = &align8;
  EXPECT_EQ(rgb.rowsize(), 16u);
  rgb.store = &align0;  // 0 means 4
  EXPECT_EQ(rgb.rowsize(), 12u);
  rgb.store = nullptr;
  rgb.window.row_length = 5;
  EXPECT_EQ(rgb.rowsize(), 16u);
  EXPECT_EQ(rgb.rowbyte(), 9u);  // the row length pads, the width fills

  image2d_t bits1 = make_image(IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1, 10, 1);
  EXPECT_EQ(bits1.rowbyte(), 2u);
  EXPECT_EQ(bits1.rowsize(), 4u);
  bits1.store = &align1;
  EXPECT_EQ(bits1.rowsize(), 2u);
  bits1.width = 8;
  EXPECT_EQ(bits1.rowsize(), 1u);
  bits1.width = 9;
  bits1.store = &align8;
  EXPECT_EQ(bits1.rowsize(), 8u);

  image2d_t nibbles = make_image(IMAGE_FORMAT_INDEX, IMAGE_BITS_4, 3, 1, &align1);
  EXPECT_EQ(nibbles.rowbyte(), 2u);
  EXPECT_EQ(nibbles.rowsize(), 2u);
}

TEST(ImageRows, SizesAreComputedIn64Bits) {
  image2d_t huge = make_image(IMAGE_FORMAT_RGBA, IMAGE_BITS_64, 0xFFFFFFFFu, 2);
  EXPECT_EQ(huge.rowbyte(), 32ull * 0xFFFFFFFFull);
  EXPECT_EQ(huge.rowsize(), 32ull * 0xFFFFFFFFull);
}

TEST(ImageRows, AllocateRefusesSizesThatOverflow) {
  image2d_t image = make_image(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 2, 2);
  ASSERT_TRUE(image.allocate());
  unsigned char* before = image.pixels.begin();

  // (2^32 - 1) rows of 2^37 bytes: more than 64 bits can count.
  image.desc = image_desc_t(IMAGE_FORMAT_RGBA, IMAGE_TYPE_UINT, IMAGE_BITS_64);
  image.width = 0xFFFFFFFFu;
  image.height = 0xFFFFFFFFu;
  EXPECT_FALSE(image.allocate());
  EXPECT_EQ(image.pixels.begin(), before);
  EXPECT_EQ(image.pixels.size(), 16u);

  // Fits 64 bits but no system maps it.
  image.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  image.width = 0xFFFFFFFFu;
  image.height = 0x7FFFFFFFu;
  EXPECT_FALSE(image.allocate());
  EXPECT_EQ(image.pixels.size(), 16u);
}

TEST(ImageRows, RowsAreStoredBottomUpThroughTheWindow) {
  // A 2 x 3 grey picture whose rows, top to bottom, are 10 11 / 20 21 /
  // 30 31: the top-left pixel is the first byte of the last stored row.
  image2d_t image = make_image(IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8, 2, 3);
  ASSERT_TRUE(image.allocate());
  ASSERT_EQ(image.pixels.size(), 12u);
  const unsigned char top_down[3][2] = {{10, 11}, {20, 21}, {30, 31}};
  for (unsigned r = 0; r < 3; ++r) {
    image[2 - r][0] = top_down[r][0];
    image[2 - r][1] = top_down[r][1];
  }
  EXPECT_EQ(image.pixels[8], 10);  // last stored row, first byte
  EXPECT_EQ(image.pixels[0], 30);  // first stored row is the bottom
  EXPECT_EQ(image.pixels[5], 21);

  image2d_t windowed = make_image(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 2, 2);
  windowed.window.skip_rows = 2;
  windowed.window.skip_pixels = 1;
  ASSERT_TRUE(windowed.allocate());
  EXPECT_EQ(windowed.pixels.size(), 4 * windowed.rowsize());
  EXPECT_EQ(windowed[0] - windowed.pixels.begin(),
            static_cast<ptrdiff_t>(2 * windowed.rowsize() + 3));
  EXPECT_EQ(windowed[1] - windowed[0], 8);
}

TEST(ImageSharing, CopiesShareUntilAllocate) {
  image2d_t first = make_image(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 2, 2);
  ASSERT_TRUE(first.allocate());
  first[0][0] = 7;
  ASSERT_TRUE(first.palette.resize(2));
  first.palette.red[1] = 0xAB00;

  image2d_t second(first);
  EXPECT_EQ(second.pixels.begin(), first.pixels.begin());
  EXPECT_EQ(second.palette.size, 2u);
  EXPECT_EQ(second.palette.red[1], 0xAB00);
  second[0][1] = 9;
  EXPECT_EQ(first[0][1], 9);

  image2d_t third;
  third = first;
  ASSERT_TRUE(third.allocate());
  EXPECT_NE(third.pixels.begin(), first.pixels.begin());
  EXPECT_EQ(third[0][0], 7);  // the new store starts with the old bytes
  third[0][0] = 1;
  EXPECT_EQ(first[0][0], 7);
  EXPECT_EQ(first.pixels.use_count(), 2);

  third.clear();
  EXPECT_EQ(third.width, 0u);
  EXPECT_TRUE(third.pixels.empty());
  EXPECT_EQ(third.palette.size, 0u);
  EXPECT_EQ(first.palette.red[1], 0xAB00);
  EXPECT_EQ(third.desc, first.desc);  // cleared records keep their layout
  third.width = 5;
  third.height = 1;
  ASSERT_TRUE(third.allocate());
  EXPECT_EQ(third.pixels.size(), 16u);
  EXPECT_EQ(third[0][14], 0);
}

TEST(ImageSharing, PaletteResizeKeepsEntries) {
  palette_t palette;
  EXPECT_FALSE(palette.resize(0));
  ASSERT_TRUE(palette.resize(4));
  for (int i = 0; i < 4; ++i) palette.green[i] = static_cast<unsigned short>(i * 100);
  palette_t copy(palette);
  ASSERT_TRUE(palette.resize(8));
  EXPECT_EQ(palette.size, 8u);
  EXPECT_EQ(palette.blue.size(), 8u);
  EXPECT_EQ(palette.green[3], 300);
  EXPECT_EQ(copy.green.size(), 4u);
  palette.clear();
  EXPECT_TRUE(palette.red.empty());
  EXPECT_EQ(copy.green[2], 200);
}

TEST(ImageOtherDimensions, CopiesInVectorsShareAndAllocateCoversTheWindow) {
  std::vector<image1d_t> levels(2);
  levels[0].desc = image_desc_t(IMAGE_FORMAT_RGBA, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  levels[0].width = 5;
  levels[0].window.skip_pixels = 1;
  ASSERT_TRUE(levels[0].allocate());
  EXPECT_EQ(levels[0].pixels.size(), 24u);
  *levels[0][3] = 5;
  levels.push_back(levels[0]);
  EXPECT_EQ(*levels[2][3], 5);
  EXPECT_EQ(levels[2].pixels.begin(), levels[0].pixels.begin());

  image3d_t cube;
  cube.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  cube.width = 3;
  cube.height = 2;
  cube.depth = 2;
  cube.window.skip_images = 1;
  cube.window.skip_rows = 1;
  ASSERT_TRUE(cube.allocate());
  // rows of 4 bytes; images of 2 rows; 2 images skipped or stored before
  // the last, which needs its skipped and its 2 rows.
  EXPECT_EQ(cube.pixels.size(), (2 * 2 + 1 + 2) * 4u);
  EXPECT_EQ(cube.address(1, 1) - cube.pixels.begin(), (2 * 2 + 1 + 1) * 4);
  cube.address(1, 1)[2] = 1;  // the last addressed byte lies inside
  std::vector<image3d_t> volumes(1, cube);
  EXPECT_EQ(volumes[0].address(1, 1)[2], 1);
}

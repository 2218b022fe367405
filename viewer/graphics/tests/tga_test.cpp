// The TGA reader and writer: the conformance images and the ftrvxmtrx set
// against ImageMagick, forged headers and round trips.
#include <sstream>

#include "image/imageutil.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/loader_tga.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using namespace libgr;
using grtest::bytes_t;

TEST(TgaFiles, UncompressedFilesHaveTheirReferencePixels) {
  if (!grtest::have_imagemagick()) GTEST_SKIP() << "no ImageMagick";
  grtest::scratch_t scratch;
  struct expected_t {
    const char* name;
    e_image_format_t format;
  } files[] = {
      {"ucm8.tga", IMAGE_FORMAT_INDEX},
      {"utc16.tga", IMAGE_FORMAT_BGRA},
      {"utc24.tga", IMAGE_FORMAT_BGR},
      {"utc32.tga", IMAGE_FORMAT_BGRA},
      {"rgb24_top_left.tga", IMAGE_FORMAT_BGR},
      {"rgb24_top_left_colormap.tga", IMAGE_FORMAT_INDEX},
      {"rgb32_bottom_left.tga", IMAGE_FORMAT_BGRA},
  };
  for (const expected_t& e : files) {
    SCOPED_TRACE(e.name);
    const std::string path = grtest::data_file(std::string("tga/") + e.name);
    image2d_t image;
    image_tga_t object;
    ASSERT_TRUE(object.load(image, path.c_str()));
    EXPECT_EQ(image.desc.format, e.format);
    EXPECT_EQ(object.rightrotatecount, 0u);
    // 5-bit channels and colour-map entries compare at 8 bits.
    EXPECT_TRUE(grtest::same_pixels(
        grtest::rgba16(image), grtest::imagemagick_rgba16(path, scratch / "ref.rgba"),
        e.format == IMAGE_FORMAT_BGRA && image.desc.bits == IMAGE_BITS_8, true));
  }
}

TEST(TgaFiles, RunLengthAndGreyTypesAreRefused) {
  for (const char* name :
       {"cbw8.tga", "ccm8.tga", "ctc24.tga", "ubw8.tga", "monochrome8_bottom_left.tga",
        "monochrome16_top_left.tga", "monochrome8_bottom_left_rle.tga", "rgb24_bottom_left_rle.tga",
        "rgb32_top_left_rle.tga", "rgb32_top_left_rle_colormap.tga"}) {
    SCOPED_TRACE(name);
    image2d_t image;
    image_tga_t object;
    EXPECT_FALSE(object.load(image, grtest::data_file(std::string("tga/") + name).c_str()));
  }
}

bytes_t make_tga(uint16_t width, uint16_t height, uint8_t depth, uint8_t type = 2,
                 uint8_t descriptor = 0) {
  bytes_t b(18, 0);
  b[2] = type;
  b[12] = static_cast<unsigned char>(width);
  b[13] = static_cast<unsigned char>(width >> 8);
  b[14] = static_cast<unsigned char>(height);
  b[15] = static_cast<unsigned char>(height >> 8);
  b[16] = depth;
  b[17] = descriptor;
  for (uint64_t i = 0; i < uint64_t(width) * height * depth / 8; ++i) {
    b.push_back(static_cast<unsigned char>(i * 11));
  }
  return b;
}

bool load_bytes(image2d_t& image, const bytes_t& bytes) {
  std::istringstream is(std::string(bytes.begin(), bytes.end()));
  tgaimage_t tga;
  return tga.load(is) && convert(image, tga);
}

TEST(TgaRead, RowsAreUnpaddedInTheFile) {
  // 3 pixels of 24 bits: 9 bytes a row in the file, 12 in memory.
  bytes_t b = make_tga(3, 2, 24);
  ASSERT_EQ(b.size(), 18u + 18u);
  image2d_t image;
  ASSERT_TRUE(load_bytes(image, b));
  EXPECT_EQ(image.rowsize(), 12u);
  EXPECT_EQ(image[1][0], static_cast<unsigned char>(9 * 11));
  // One byte short: refused.
  b.pop_back();
  EXPECT_FALSE(load_bytes(image, b));
}

TEST(TgaRead, TopLeftOriginIsTurned) {
  bytes_t up = make_tga(4, 3, 32, 2, 0);
  bytes_t down = up;
  down[17] = 0x20;
  for (int r = 0; r < 3; ++r) {
    std::copy(up.begin() + 18 + (2 - r) * 16, up.begin() + 18 + (3 - r) * 16,
              down.begin() + 18 + r * 16);
  }
  image2d_t a, b;
  ASSERT_TRUE(load_bytes(a, up));
  ASSERT_TRUE(load_bytes(b, down));
  EXPECT_EQ(grtest::rgba16(a), grtest::rgba16(b));
}

TEST(TgaRead, ForgedHeadersAreRefused) {
  std::vector<std::pair<const char*, bytes_t>> cases = {
      {"type 3", make_tga(4, 4, 8, 3)},
      {"type 10", make_tga(4, 4, 24, 10)},
      {"right to left", make_tga(4, 4, 24, 2, 0x10)},
      {"depth 12", make_tga(4, 4, 12)},
      {"width 0", make_tga(0, 4, 24)},
      {"colour map without map", make_tga(4, 4, 8, 1)},
      {"header only", bytes_t(10, 0)},
  };
  bytes_t map_past_end = make_tga(2, 2, 8, 1);
  map_past_end[1] = 1;
  map_past_end[5] = 0xFF;  // 255 entries
  map_past_end[7] = 24;
  cases.push_back({"colour map past the end", map_past_end});
  bytes_t huge = make_tga(2, 2, 32);
  huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
  cases.push_back({"too large", huge});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    image2d_t image;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_bytes(image, c.second));
    testing::internal::GetCapturedStderr();
  }
}

TEST(TgaRead, ColourMapBecomesThePalette) {
  bytes_t b = make_tga(2, 1, 8, 1);
  b[1] = 1;
  b[3] = 10;  // first entry 10
  b[5] = 2;   // two entries
  b[7] = 24;
  const unsigned char map[] = {1, 2, 3, 4, 5, 6};
  b.insert(b.begin() + 18, map, map + 6);
  b[24] = 11;  // pixel 0: entry 1
  b[25] = 3;   // pixel 1: not in the map
  image2d_t image;
  ASSERT_TRUE(load_bytes(image, b));
  ASSERT_EQ(image.desc.format, IMAGE_FORMAT_INDEX);
  std::vector<uint16_t> rgba = grtest::rgba16(image);
  EXPECT_EQ(rgba[0], 6 * 257);
  EXPECT_EQ(rgba[1], 5 * 257);
  EXPECT_EQ(rgba[2], 4 * 257);
  EXPECT_EQ(rgba[4], 0);
}

TEST(TgaSave, RoundTripsAndOthersReadWhatIsWritten) {
  grtest::scratch_t scratch;
  const std::string path = scratch / "out.tga";
  struct layout_t {
    e_image_format_t format;
    e_image_bits_t bits;
    uint8_t depth;
  } layouts[] = {
      {IMAGE_FORMAT_RGB, IMAGE_BITS_8, 24},      {IMAGE_FORMAT_BGR, IMAGE_BITS_8, 24},
      {IMAGE_FORMAT_RGBA, IMAGE_BITS_8, 32},     {IMAGE_FORMAT_BGRA, IMAGE_BITS_8, 32},
      {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8, 8}, {IMAGE_FORMAT_BGRA, IMAGE_BITS_R5G5B5A1, 16},
  };
  for (const layout_t& l : layouts) {
    SCOPED_TRACE(testing::Message() << l.format << " " << l.bits);
    image2d_t image = grtest::pattern(l.format, l.bits, 5, 3, 40, 9, 1);
    const std::vector<uint16_t> before = grtest::rgba16(image);
    image_tga_t object;
    ASSERT_TRUE(object.save(image, path.c_str()));
    EXPECT_EQ(grtest::rgba16(image), before);  // the image itself is not changed
    bytes_t file = grtest::read_file(path);
    EXPECT_EQ(file.size(), 18u + 5 * 3 * l.depth / 8);
    EXPECT_EQ(file[16], l.depth);
    image2d_t back;
    ASSERT_TRUE(object.load(back, path.c_str()));
    EXPECT_EQ(grtest::rgba16(back), before);
    if (grtest::have_imagemagick() && l.depth != 8) {
      EXPECT_TRUE(grtest::same_pixels(grtest::imagemagick_rgba16(path, scratch / "ref.rgba"),
                                      before, l.depth == 32, l.depth == 16));
    }
  }
}

TEST(TgaSave, WindowsAndSizes) {
  grtest::scratch_t scratch;
  image2d_t big = grtest::pattern(IMAGE_FORMAT_BGR, IMAGE_BITS_8, 10, 10, 40, 9, 1), part;
  ASSERT_TRUE(makewindow(part, big, 3, 1, 4, 6));
  image_tga_t object;
  ASSERT_TRUE(object.save(part, (scratch / "part.tga").c_str()));
  image2d_t back;
  ASSERT_TRUE(object.load(back, (scratch / "part.tga").c_str()));
  EXPECT_EQ(grtest::rgba16(back), grtest::rgba16(part));
  // A side above 16 bits has no TGA form.
  image2d_t wide;
  wide.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  wide.width = 70000;
  wide.height = 1;
  ASSERT_TRUE(wide.allocate());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(object.save(wide, (scratch / "wide.tga").c_str()));
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(std::filesystem::exists(scratch / "wide.tga"));
  image2d_t index = grtest::pattern(IMAGE_FORMAT_INDEX, IMAGE_BITS_8, 2, 2, 40, 9, 1);
  EXPECT_FALSE(object.save(index, (scratch / "index.tga").c_str()));
}

}  // namespace

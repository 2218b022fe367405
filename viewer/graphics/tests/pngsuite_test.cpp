// The PNG reader and writer against PngSuite, with ImageMagick as the
// independent decoder.
#include <png.h>
#include <sys/resource.h>

#include <cstring>
#include <sstream>

#include "image/imageutil.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/loader_png.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using namespace libgr;

bool has_alpha(const image2d_t& image) {
  return image.desc.format == IMAGE_FORMAT_RGBA ||
         image.desc.format == IMAGE_FORMAT_GRAYSCALE_ALPHA;
}

TEST(PngSuite, EveryValidFileHasItsReferencePixels) {
  if (!grtest::have_imagemagick()) GTEST_SKIP() << "no ImageMagick";
  grtest::scratch_t scratch;
  int checked = 0;
  for (const std::string& name : grtest::data_files("pngsuite", ".png")) {
    if (name[0] == 'x') continue;
    SCOPED_TRACE(name);
    const std::string path = grtest::data_file("pngsuite/" + name);
    image2d_t image;
    ASSERT_EQ(loadpng(path.c_str(), image), PNG_OK);
    std::vector<uint16_t> theirs = grtest::imagemagick_rgba16(path, scratch / "ref.rgba");
    ASSERT_FALSE(theirs.empty());
    // Transparency chunks are not applied by the loader: alpha is compared
    // only where the image carries it.
    EXPECT_TRUE(grtest::same_pixels(grtest::rgba16(image), theirs, has_alpha(image)));
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

TEST(PngSuite, EveryBrokenFileIsRefused) {
  int refused = 0;
  for (const std::string& name : grtest::data_files("pngsuite", ".png")) {
    if (name[0] != 'x') continue;
    SCOPED_TRACE(name);
    image2d_t image;
    EXPECT_FALSE(loader_png(image, grtest::data_file("pngsuite/" + name).c_str()));
    ++refused;
  }
  EXPECT_GE(refused, 14);
}

TEST(PngLoad, LayoutsOfTheFile) {
  image2d_t image;
  // 16-bit samples stay big-endian, and the image says so.
  ASSERT_TRUE(loader_png(image, grtest::data_file("pngsuite/basn2c16.png").c_str()));
  EXPECT_EQ(image.desc, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_16));
  ASSERT_NE(image.store, nullptr);
  EXPECT_EQ(image.store->swap_bytes, __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
  // 1-bit grey: eight pixels a byte.
  ASSERT_TRUE(loader_png(image, grtest::data_file("pngsuite/basn0g01.png").c_str()));
  EXPECT_EQ(image.desc, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_1));
  EXPECT_EQ(image.rowsize(), 4u);
  // A palette of 2 to the bits entries.
  ASSERT_TRUE(loader_png(image, grtest::data_file("pngsuite/basn3p04.png").c_str()));
  EXPECT_EQ(image.desc.format, IMAGE_FORMAT_INDEX);
  EXPECT_EQ(image.palette.size, 16u);
  // Interlaced files are read whole.
  image2d_t plain, interlaced;
  ASSERT_TRUE(loader_png(plain, grtest::data_file("pngsuite/basn6a08.png").c_str()));
  ASSERT_TRUE(loader_png(interlaced, grtest::data_file("pngsuite/basi6a08.png").c_str()));
  EXPECT_EQ(grtest::rgba16(plain), grtest::rgba16(interlaced));
}

TEST(PngLoad, RefusesWhatIsNoPng) {
  grtest::scratch_t scratch;
  image2d_t image;
  // A JPEG named .png fails the signature test silently.
  const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'};
  ASSERT_TRUE(grtest::write_file(scratch / "photo.png", grtest::bytes_t(jpeg, jpeg + sizeof jpeg)));
  testing::internal::CaptureStderr();
  EXPECT_EQ(loadpng((scratch / "photo.png").c_str(), image), PNG_NOT_OPENED);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  // A missing file says so.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(loader_png(image, (scratch / "missing.png").c_str()));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("missing.png: file open error, "),
            std::string::npos);
}

TEST(PngLoad, CutFileEndsInTheErrorPath) {
  grtest::bytes_t whole = grtest::read_file(grtest::data_file("pngsuite/basn2c08.png"));
  for (size_t keep : {size_t(8), size_t(30), whole.size() / 2, whole.size() - 20}) {
    SCOPED_TRACE(keep);
    std::istringstream is(std::string(whole.begin(), whole.begin() + keep));
    image2d_t image;
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadpng(is, image), PNG_FAILED);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("FAIL"), std::string::npos);
  }
}

// A few bytes of file claiming a metadata chunk of 1.6 GB: refused as cut
// short without the reader taking that much memory first.
TEST(PngLoad, HugeClaimedMetadataChunkTakesNoMemory) {
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  image2d_t image;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(
      loader_png(image, grtest::data_file("regress/pngload_splt_claims_gigabytes.png").c_str()));
  testing::internal::GetCapturedStderr();
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kB of peak memory taken";
}

TEST(PngSave, RoundTripsEveryLayout) {
  grtest::scratch_t scratch;
  const std::string path = scratch / "out.png";
  struct layout_t {
    e_image_format_t format;
    e_image_bits_t bits;
  } layouts[] = {
      {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1},
      {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_2},
      {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8},
      {IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_16},
      {IMAGE_FORMAT_GRAYSCALE_ALPHA, IMAGE_BITS_8},
      {IMAGE_FORMAT_RGB, IMAGE_BITS_8},
      {IMAGE_FORMAT_RGB, IMAGE_BITS_16},
      {IMAGE_FORMAT_RGBA, IMAGE_BITS_8},
      {IMAGE_FORMAT_RGBA, IMAGE_BITS_16},
      {IMAGE_FORMAT_INDEX, IMAGE_BITS_4},
  };
  for (const layout_t& l : layouts) {
    SCOPED_TRACE(testing::Message() << l.format << " " << l.bits);
    image2d_t image = grtest::pattern(l.format, l.bits, 13, 5, 31, 7);
    if (l.format == IMAGE_FORMAT_INDEX) {
      ASSERT_TRUE(image.palette.resize(16));
      for (unsigned i = 0; i < 16; ++i) {
        image.palette.red[i] = static_cast<unsigned short>(i * 17 * 257);
        image.palette.green[i] = static_cast<unsigned short>((255 - i * 5) * 257);
        image.palette.blue[i] = static_cast<unsigned short>(i * 3 * 257);
      }
    }
    ASSERT_TRUE(saver_png(image, path.c_str()));
    image2d_t back;
    ASSERT_TRUE(loader_png(back, path.c_str()));
    EXPECT_EQ(back.desc, image.desc);
    EXPECT_EQ(grtest::rgba16(back), grtest::rgba16(image));
    if (grtest::have_imagemagick()) {
      EXPECT_TRUE(grtest::same_pixels(grtest::imagemagick_rgba16(path, scratch / "ref.rgba"),
                                      grtest::rgba16(image), has_alpha(image)));
    }
  }
}

TEST(PngSave, SixteenBitSamplesInHostOrderAreWrittenRight) {
  grtest::scratch_t scratch;
  image2d_t image;  // no store record: samples in host order
  image.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_16);
  image.width = 2;
  image.height = 1;
  ASSERT_TRUE(image.allocate());
  const uint16_t samples[2] = {0x1234, 0xFEDC};
  std::memcpy(image[0], samples, sizeof samples);
  ASSERT_TRUE(saver_png(image, (scratch / "g16.png").c_str()));
  image2d_t back;
  ASSERT_TRUE(loader_png(back, (scratch / "g16.png").c_str()));
  EXPECT_EQ(back[0][0], 0x12);
  EXPECT_EQ(back[0][1], 0x34);
  EXPECT_EQ(back[0][2], 0xFE);
}

TEST(PngSave, WritesTheWindowAndTheTitle) {
  grtest::scratch_t scratch;
  image2d_t big = grtest::pattern(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 10, 10, 31, 7);
  image2d_t part;
  ASSERT_TRUE(makewindow(part, big, 2, 3, 4, 5));
  const std::string path = scratch / "part.png";
  ASSERT_EQ(savepng(path.c_str(), part, "A title", nullptr), PNG_OK);
  image2d_t back;
  ASSERT_TRUE(loader_png(back, path.c_str()));
  EXPECT_EQ(back.width, 4u);
  EXPECT_EQ(back.height, 5u);
  EXPECT_EQ(grtest::rgba16(back), grtest::rgba16(part));
  grtest::bytes_t bytes = grtest::read_file(path);
  EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(std::string("tEXtTitle\0A title", 17)),
            std::string::npos);
}

TEST(PngSave, LayoutWithoutPngFormCreatesNoFile) {
  grtest::scratch_t scratch;
  image2d_t bgr = grtest::pattern(IMAGE_FORMAT_BGR, IMAGE_BITS_8, 4, 4, 31, 7);
  EXPECT_FALSE(saver_png(bgr, (scratch / "bgr.png").c_str()));
  image2d_t index = grtest::pattern(IMAGE_FORMAT_INDEX, IMAGE_BITS_8, 4, 4, 31, 7);  // no palette
  EXPECT_FALSE(saver_png(index, (scratch / "index.png").c_str()));
  image2d_t empty;
  EXPECT_FALSE(saver_png(empty, (scratch / "empty.png").c_str()));
  EXPECT_FALSE(std::filesystem::exists(scratch / "bgr.png"));
  EXPECT_FALSE(std::filesystem::exists(scratch / "index.png"));
  EXPECT_FALSE(std::filesystem::exists(scratch / "empty.png"));
}

TEST(PngSave, PaletteOfThreeReadsBackAsFour) {
  grtest::scratch_t scratch;
  image2d_t image = grtest::pattern(IMAGE_FORMAT_INDEX, IMAGE_BITS_2, 3, 3, 31, 7);
  for (uint32_t r = 0; r < 3; ++r) image[r][0] = 0x24;  // indices 0, 2, 1
  ASSERT_TRUE(image.palette.resize(3));
  for (unsigned i = 0; i < 3; ++i) {
    image.palette.red[i] = image.palette.green[i] = image.palette.blue[i] =
        static_cast<unsigned short>((i + 1) * 80 * 257);
  }
  ASSERT_TRUE(saver_png(image, (scratch / "p3.png").c_str()));
  image2d_t back;
  ASSERT_TRUE(loader_png(back, (scratch / "p3.png").c_str()));
  ASSERT_EQ(back.palette.size, 4u);
  EXPECT_EQ(back.palette.red[2], 240 * 257);
  EXPECT_EQ(back.palette.red[3], 0);
}

}  // namespace

// The image file objects: the EXIF turn of JPEG files, the objects that
// cannot save, and imagetool's load and save over all four formats.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstring>
#include <utility>

#include "utility/testsupport/testsupport.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using namespace libgr;
using grtest::bytes_t;

// An APP1 payload: "Exif", a little-endian TIFF block, one IFD with the
// orientation.
jpeg_bytes_t exif_orientation(uint16_t orientation) {
  const unsigned char payload[] = {'E',
                                   'x',
                                   'i',
                                   'f',
                                   0,
                                   0,
                                   'I',
                                   'I',
                                   42,
                                   0,
                                   8,
                                   0,
                                   0,
                                   0,
                                   1,
                                   0,  // one entry
                                   0x12,
                                   0x01,
                                   3,
                                   0,
                                   1,
                                   0,
                                   0,
                                   0,  // 0x112, SHORT, 1
                                   static_cast<unsigned char>(orientation),
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0};  // no next IFD
  jpeg_bytes_t b;
  b.resize(sizeof payload);
  std::memcpy(b.begin(), payload, sizeof payload);
  return b;
}

// A small JPEG file with the given APPn markers.
void write_jpeg(const std::string& path, const std::list<jpeginfo_t::marker_t>& markers) {
  image2d_t image;
  image.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  image.width = 16;
  image.height = 8;
  ASSERT_TRUE(image.allocate());
  jpeginfo_t info;
  info.markers = markers;
  jpegdata_t data;
  ASSERT_TRUE(info.compress(data, image, 90, true));
  ASSERT_TRUE(data.save(path.c_str()));
}

TEST(ImageObject, JpegOrientationGivesTheRightTurns) {
  grtest::scratch_t scratch;
  const std::string path = scratch / "photo.jpg";
  struct case_t {
    int orientation;  // 0: no APP1; -1: an APP1 that is not EXIF
    uint64_t turns;
  } cases[] = {{6, 1}, {8, 3}, {3, 2}, {1, 0}, {0, 0}, {8, 3}, {-1, 0}};
  // One object for all: a turn never carries over to the next file.
  image_jpeg1_t object;
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.orientation);
    std::list<jpeginfo_t::marker_t> markers;
    if (c.orientation > 0) markers.push_back({0xE1, exif_orientation(c.orientation)});
    if (c.orientation < 0) {
      jpeg_bytes_t xmp;
      xmp.resize(30);
      std::memcpy(xmp.begin(), "http://ns.example.com/xap/1.0/", 30);
      markers.push_back({0xE1, xmp});
    }
    write_jpeg(path, markers);
    image2d_t image;
    ASSERT_TRUE(object.load(image, path.c_str()));
    EXPECT_EQ(object.rightrotatecount, c.turns);
    EXPECT_EQ(image.width, 16u);
    EXPECT_EQ(image.desc.format, IMAGE_FORMAT_RGB);
  }
}

TEST(ImageObject, JpegSaveKeepsTheMarkersOfTheLastLoad) {
  grtest::scratch_t scratch;
  write_jpeg(scratch / "in.jpg", {{0xE1, exif_orientation(6)}});
  image_jpeg1_t object;
  image2d_t image;
  ASSERT_TRUE(object.load(image, (scratch / "in.jpg").c_str()));
  ASSERT_TRUE(object.save(image, (scratch / "out.jpg").c_str()));
  image_jpeg1_t again;
  ASSERT_TRUE(again.load(image, (scratch / "out.jpg").c_str()));
  EXPECT_EQ(again.rightrotatecount, 1u);
  image2d_t bgr;
  bgr.desc = image_desc_t(IMAGE_FORMAT_BGR, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  bgr.width = bgr.height = 4;
  ASSERT_TRUE(bgr.allocate());
  EXPECT_FALSE(again.save(bgr, (scratch / "bgr.jpg").c_str()));
}

TEST(ImageObject, MissingFilesFailEveryObject) {
  grtest::scratch_t scratch;
  image_jpeg1_t jpeg;
  image_bmp_t bmp;
  image_bmp2_t bmp2;
  image_png_t png;
  image_tga_t tga;
  for (image_object_t* object :
       std::initializer_list<image_object_t*>{&jpeg, &bmp, &bmp2, &png, &tga}) {
    image2d_t image;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(object->load(image, (scratch / "missing").c_str()));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(object->rightrotatecount, 0u);
  }
}

// A FIFO under the name saved to fails at once instead of waiting for a
// reader; the same picture saves to a file.
TEST(ImageObject, SaversRefuseAFifoAtOnce) {
  grtest::scratch_t scratch;
  image2d_t image;
  image.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  image.width = image.height = 4;
  ASSERT_TRUE(image.allocate());
  image_bmp_t bmp;
  image_png_t png;
  image_tga_t tga;
  testsupport::watchdog guard(20);
  for (const auto& [object, ext] :
       {std::pair<image_object_t*, std::string>{&bmp, ".bmp"}, {&png, ".png"}, {&tga, ".tga"}}) {
    const std::string fifo = scratch / ("fifo" + ext);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(object->save(image, fifo.c_str())) << ext;
    EXPECT_TRUE(object->save(image, (scratch / ("file" + ext)).c_str())) << ext;
  }
}

std::string tool_output(const std::string& arguments, int& status) {
  grtest::scratch_t scratch;
  status = grtest::run(std::string(TEST_BIN_DIR) + "/imagetool " + arguments + " >" +
                       grtest::quote(scratch / "out.txt") + " 2>&1");
  bytes_t text = grtest::read_file(scratch / "out.txt");
  return std::string(text.begin(), text.end());
}

TEST(Imagetool, LoadsEveryFormatAndSavesWhatItLoads) {
  grtest::scratch_t scratch;
  int status = 0;
  const std::string ppm = scratch / "in.ppm";
  std::string out =
      tool_output("load " + grtest::quote(grtest::data_file("pngsuite/basn3p04.png")) + " " +
                      grtest::quote(ppm),
                  status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(out, "32x32 IMAGE_FORMAT_INDEX IMAGE_TYPE_UINT IMAGE_BITS_4 palette 16 rotate 0\n");
  const bytes_t original = grtest::read_file(ppm);
  ASSERT_EQ(original.size(), 13u + 32 * 32 * 3);  // "P6\n32 32\n255\n"
  for (const char* format : {"bmp", "tga", "png", "TGA"}) {
    SCOPED_TRACE(format);
    const std::string saved = scratch / (std::string("out.") + format);
    out = tool_output("save " + grtest::quote(saved) + " " + grtest::quote(ppm), status);
    ASSERT_EQ(status, 0) << out;
    out = tool_output("load " + grtest::quote(saved) + " " + grtest::quote(scratch / "back.ppm"),
                      status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(grtest::read_file(scratch / "back.ppm"), original);
  }
  out = tool_output("load " + grtest::quote(grtest::data_file("pngsuite/xs1n0g01.png")) + " " +
                        grtest::quote(scratch / "x.ppm"),
                    status);
  EXPECT_EQ(status, 1);
  out =
      tool_output("save " + grtest::quote(scratch / "out.gif") + " " + grtest::quote(ppm), status);
  EXPECT_EQ(status, 1);
}

}  // namespace

// The JPEG front end's encoding: against cjpeg, with marker lists, and the
// images it refuses.
#include "image/loader_jpeg.h"

#include <gtest/gtest.h>

#include "image/tests/jpeg_test_support.h"

using namespace jpegtest;

namespace {

bool encode(libgr::jpeginfo_t& info, libgr::jpegdata_t& out, const libgr::image2d_t& image,
            std::string& err) {
  testing::internal::CaptureStderr();
  bool ok = info.compress(out, image, 90, true);
  err = testing::internal::GetCapturedStderr();
  return ok;
}

libgr::image2d_t rgb_image(uint32_t width, uint32_t height) {
  libgr::image2d_t image;
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = width;
  image.height = height;
  EXPECT_TRUE(image.allocate());
  for (uint32_t r = 0; r < height; ++r)
    for (uint64_t i = 0; i < image.rowbyte(); ++i)
      image[r][i] = static_cast<unsigned char>(r * 31 + i * 7);
  return image;
}

size_t count_code(const bytes_t& jpeg, unsigned char code) {
  size_t n = 0;
  for (const segment_t& x : segments(jpeg)) n += x.code == code;
  return n;
}

}  // namespace

// --- encoding -----------------------------------------------------------------

TEST(JpegEncode, MatchesCjpegBaseline) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  struct {
    unsigned width, height;
    int channels, quality, noise;
  } cases[] = {
      {1, 1, 3, 90, 24},   {17, 13, 3, 90, 24},     {100, 75, 3, 90, 24}, {35, 21, 1, 90, 24},
      {64, 48, 3, 40, 24}, {300, 200, 3, 100, 255},  // noise at full quality outgrows the first
                                                     // output block
  };
  for (auto& c : cases) {
    std::string pnm = s.path(c.channels == 1 ? "in.pgm" : "in.ppm");
    std::string ours = s.path("ours.jpg"), theirs = s.path("theirs.jpg"),
                q = std::to_string(c.quality);
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " q" + q);
    ASSERT_TRUE(write_picture(pnm, c.width, c.height, c.channels, 3, c.noise));
    ASSERT_EQ(run(quote(imagetool()) + " encode " + q + " " + quote(pnm) + " " + quote(ours)), 0);
    ASSERT_EQ(
        run("cjpeg -quality " + q + " -baseline -outfile " + quote(theirs) + " " + quote(pnm)), 0);
    EXPECT_TRUE(read_file(ours) == read_file(theirs));
  }
}

TEST(JpegEncode, MarkerListFollowsLibjpegsOwnJfifSegment) {
  libgr::jpegdata_t data, out;
  ASSERT_TRUE(data.load(data_file("Olympus_X-2.jpg").c_str(), nullptr));
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  std::string err;
  ASSERT_TRUE(decode(info, image, data, err));
  ASSERT_EQ(info.markers.size(), 2u);
  ASSERT_TRUE(encode(info, out, image, err));
  bytes_t stream = to_bytes(out.data);
  std::vector<segment_t> apps = app_segments(segments(stream));
  ASSERT_EQ(apps.size(), 3u);
  EXPECT_EQ(apps[0].code, 0xE0);
  EXPECT_EQ(apps[1].code, 0xE0);
  EXPECT_EQ(apps[2].code, 0xE1);
  EXPECT_TRUE(apps[1].payload == to_bytes(info.markers.front().payload));
  EXPECT_TRUE(apps[2].payload == to_bytes(info.markers.back().payload));
  ASSERT_GE(stream.size(), 2u);  // exactly the stream: it ends with EOI
  EXPECT_TRUE(stream[stream.size() - 2] == 0xFF && stream.back() == 0xD9);

  info.markers.clear();
  ASSERT_TRUE(encode(info, out, image, err));
  EXPECT_EQ(app_segments(segments(to_bytes(out.data))).size(), 1u);
}

TEST(JpegEncode, ReencodeOfCameraFileKeepsExifByteForByte) {
  REQUIRE_PROGRAM("exiftool");
  scratch_t s;
  ASSERT_TRUE(s.ok());
  for (const char* name : {"FujiFilm_SP-2500.jpg", "Sony_D700.jpg"}) {
    SCOPED_TRACE(name);
    std::string in = data_file(name), out = s.path("re.jpg");
    ASSERT_EQ(run(quote(imagetool()) + " reencode " + quote(in) + " " + quote(out)), 0);
    ASSERT_EQ(run("exiftool -b -EXIF " + quote(in) + " > " + quote(s.path("a.exif"))), 0);
    ASSERT_EQ(run("exiftool -b -EXIF " + quote(out) + " > " + quote(s.path("b.exif"))), 0);
    bytes_t a = read_file(s.path("a.exif"));
    EXPECT_GT(a.size(), 1000u);
    EXPECT_TRUE(a == read_file(s.path("b.exif")));
    EXPECT_EQ(count_code(read_file(out), 0xE0), count_code(read_file(in), 0xE0) + 1);
  }
}

TEST(JpegEncode, RefusesImagesItCannotEncodeWithoutEndingTheProgram) {
  libgr::jpeginfo_t info;
  libgr::jpegdata_t out;
  out.name = "out.jpg";
  std::string err;

  libgr::image2d_t rgba = rgb_image(4, 4);
  rgba.desc.format = libgr::IMAGE_FORMAT_RGBA;
  EXPECT_FALSE(encode(info, out, rgba, err));
  EXPECT_EQ(err, "");
  EXPECT_TRUE(out.data.empty());

  // A 1 x N photo halved has no columns left; libjpeg's own error exit
  // would end the whole program here.
  EXPECT_FALSE(encode(info, out, rgb_image(0, 7), err));
  EXPECT_EQ(err, "out.jpg: jpeg compress fail, image is 0x7 pixels.\n");
  EXPECT_TRUE(out.data.empty());

  libgr::image2d_t short_store = rgb_image(8, 2);
  short_store.height = 9;
  EXPECT_FALSE(encode(info, out, short_store, err));
  EXPECT_EQ(err, "out.jpg: jpeg compress fail, image store too small.\n");

  // An error inside libjpeg: a marker longer than a segment can hold.
  libgr::jpeginfo_t::marker_t big;
  big.code = 0xE2;
  ASSERT_TRUE(big.payload.resize(70000));
  info.markers.push_back(big);
  EXPECT_FALSE(encode(info, out, rgb_image(8, 8), err));
  EXPECT_EQ(err.find("out.jpg: error detected.\n"), 0u) << err;
  EXPECT_NE(err.find("\nout.jpg: jpeg compress fail.\n"), std::string::npos) << err;
  EXPECT_TRUE(out.data.empty());
}

TEST(JpegEncode, WindowedImageEncodesItsWindow) {
  libgr::image2d_t window = rgb_image(12, 10);
  window.window.row_length = 12;
  window.window.skip_pixels = 3;
  window.window.skip_rows = 2;
  window.width = 5;
  window.height = 6;
  libgr::image2d_t packed = rgb_image(5, 6);
  for (uint32_t r = 0; r < 6; ++r) std::copy(window[r], window[r] + 15, packed[r]);
  libgr::jpeginfo_t info;
  libgr::jpegdata_t a, b;
  std::string err;
  ASSERT_TRUE(encode(info, a, window, err));
  ASSERT_TRUE(encode(info, b, packed, err));
  EXPECT_TRUE(to_bytes(a.data) == to_bytes(b.data));
}

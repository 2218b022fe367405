#include "image/transupp.h"

#include <gtest/gtest.h>

#include "image/tests/jpeg_test_support.h"

using namespace jpegtest;

namespace {

// jpegtran's file for the count, in the scratch directory.
std::string jpegtran(const scratch_t& s, const std::string& in, unsigned count) {
  std::string out = s.path("jpegtran.jpg");
  std::string rotate = count ? " -rotate " + std::to_string(count * 90) : "";
  // Status 2 means warnings only.
  EXPECT_NE(run("jpegtran -copy none" + rotate + " -outfile " + quote(out) + " " + quote(in) +
                " 2>/dev/null"),
            1);
  return out;
}

bool turn(unsigned long count, libgr::jpegdata_t& out, const libgr::jpegdata_t& in,
          std::string& err) {
  testing::internal::CaptureStderr();
  bool ok = libgr::transform(count, out, in);
  err = testing::internal::GetCapturedStderr();
  return ok;
}

// Every count gives jpegtran's pixels and size; warning is the message
// expected (a warning makes the turn fail although its stream is whole).
void expect_like_jpegtran(const scratch_t& s, const std::string& jpg,
                          const char* warning = nullptr) {
  libgr::jpegdata_t in;
  ASSERT_TRUE(in.load(jpg.c_str(), nullptr));
  unsigned width = 0, height = 0;
  ASSERT_TRUE(pnm_size(djpeg(s, jpg), width, height));
  for (unsigned count = 0; count < 4; ++count) {
    SCOPED_TRACE("count " + std::to_string(count));
    libgr::jpegdata_t out;
    std::string err;
    EXPECT_EQ(turn(count, out, in, err), warning == nullptr);
    EXPECT_EQ(err, warning ? warning : "");
    std::string ours = s.path("ours.jpg");
    ASSERT_TRUE(out.save(ours.c_str(), nullptr));
    bytes_t mine = djpeg(s, ours);
    ASSERT_FALSE(mine.empty());
    EXPECT_TRUE(mine == djpeg(s, jpegtran(s, jpg, count)));
    unsigned w = 0, h = 0;
    ASSERT_TRUE(pnm_size(mine, w, h));
    EXPECT_EQ(w, count % 2 ? height : width);
    EXPECT_EQ(h, count % 2 ? width : height);
  }
}

}  // namespace

TEST(JpegTransform, MatchesJpegtranWithEdgesOffTheMcuGrid) {
  struct {
    unsigned width, height;
    int channels;
    const char* options;
  } cases[] = {
      {100, 75, 3, ""}, {100, 75, 3, "-sample 2x1"}, {37, 23, 3, "-sample 1x1"},
      {35, 21, 1, ""},  {64, 48, 3, "-progressive"}, {7, 5, 3, ""},
  };
  scratch_t s;
  ASSERT_TRUE(s.ok());
  for (auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.options);
    expect_like_jpegtran(s, make_jpeg(s, "in", c.width, c.height, c.channels, c.options));
  }
  expect_like_jpegtran(s, data_file("Sony_D700.jpg"));
  expect_like_jpegtran(s, data_file("FujiFilm_SP-2500.jpg"));
}

TEST(JpegTransform, WarningFailsButLeavesACompleteStream) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  bytes_t whole = read_file(make_jpeg(s, "in", 120, 90, 3, ""));
  std::string cut = s.path("cut.jpg");
  ASSERT_TRUE(write_file(cut, whole.data(), whole.size() * 2 / 3));
  expect_like_jpegtran(s, cut, "Premature end of JPEG file\n");
}

TEST(JpegTransform, OutputCarriesNoMarkerOfTheSource) {
  libgr::jpegdata_t in, out;
  ASSERT_TRUE(in.load(data_file("FujiFilm_SP-2500.jpg").c_str(), nullptr));
  std::string err;
  ASSERT_TRUE(turn(0, out, in, err));
  libgr::jpeginfo_t info;
  ASSERT_TRUE(info.analyze_markers(out));
  ASSERT_EQ(info.markers.size(), 1u);  // libjpeg's own JFIF segment
  EXPECT_EQ(info.markers.front().code, 0xE0);

  // Count 0 keeps the coefficients: the pixels are those of the source.
  libgr::image2d_t a, b;
  ASSERT_TRUE(info.decompress(a, in, 0, false, libgr::black3ub));
  ASSERT_TRUE(info.decompress(b, out, 0, false, libgr::black3ub));
  ASSERT_EQ(a.pixels.size(), b.pixels.size());
  EXPECT_TRUE(std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin()));
}

TEST(JpegTransform, CountAboveThreeFailsAndTouchesNothing) {
  libgr::jpegdata_t in, out;
  ASSERT_TRUE(in.load(data_file("Olympus_X-2.jpg").c_str(), nullptr));
  set_bytes(out, bytes_t{1, 2, 3});
  std::string err;
  EXPECT_FALSE(turn(4, out, in, err));
  EXPECT_EQ(err, "4: jpeg transform rightrotate count over.\n");
  EXPECT_TRUE(to_bytes(out.data) == (bytes_t{1, 2, 3}));
}

TEST(JpegTransform, BrokenInputFailsWithEmptyOutput) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  bytes_t small = read_file(make_jpeg(s, "small", 16, 16, 3, ""));
  struct {
    const char* label;
    bytes_t bytes;
    const char* text;
  } cases[] = {
      {"empty", {}, "src.jpg: error detected.\nEmpty input file\n"},
      {"not a JPEG", {'n', 'o', 'p', 'e', 0, 0, 0, 0}, "src.jpg: error detected.\nNot a JPEG file"},
      {"cut in the header", bytes_t(small.begin(), small.begin() + 200),
       "src.jpg: error detected.\n"},
      {"forged frame size", forge_frame_size(small),
       "src.jpg: image too large, 65500x65500 pixels.\n"},
      {"endless scan list",
       repeat_last_scan(read_file(make_jpeg(s, "prog", 64, 64, 1, "-progressive")), 600),
       "src.jpg: error detected.\nProgressive JPEG image has more than 500 scans\n"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.label);
    libgr::jpegdata_t in, out;
    set_bytes(in, c.bytes);
    in.name = "src.jpg";
    set_bytes(out, bytes_t{1, 2, 3});
    std::string err;
    EXPECT_FALSE(turn(1, out, in, err));
    EXPECT_EQ(err.compare(0, std::strlen(c.text), c.text), 0) << err;
    EXPECT_TRUE(out.data.empty());
  }
}

TEST(JpegTransform, OutputMayBeTheInputObject) {
  libgr::jpegdata_t data, expected;
  ASSERT_TRUE(data.load(data_file("Sony_D700.jpg").c_str(), nullptr));
  std::string err;
  ASSERT_TRUE(turn(3, expected, data, err));
  ASSERT_TRUE(turn(3, data, data, err));
  EXPECT_TRUE(to_bytes(data.data) == to_bytes(expected.data));
}

namespace {

// Whether a turn leaves no edge block behind, as jpegtran -perfect judges
// it, for sides that are and are not whole blocks of 2x2, 2x1 and grey.
TEST(TransformIsPerfect, AgreesWithJpegtranPerfect) {
  scratch_t s;
  struct {
    unsigned w, h;
    const char* options;
  } cases[] = {{600, 391, "-sample 2x2"}, {600, 400, "-sample 2x2"}, {640, 480, "-sample 2x2"},
               {640, 392, "-sample 2x1"}, {88, 40, "-grayscale"},    {87, 41, "-grayscale"}};
  for (const auto& c : cases) {
    const std::string ppm = s.path("in.ppm");
    ASSERT_TRUE(write_picture(ppm, c.w, c.h, 3, 1));
    const std::string jpg = s.path("in.jpg");
    ASSERT_EQ(run(std::string("cjpeg ") + c.options + " -outfile " + quote(jpg) + " " + quote(ppm)),
              0);
    libgr::jpegdata_t in;
    ASSERT_TRUE(in.load(jpg.c_str(), nullptr));
    for (unsigned count = 0; count < 4; ++count) {
      SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " + c.options + " count " +
                   std::to_string(count));
      const bool perfect =
          count == 0 || run("jpegtran -perfect -rotate " + std::to_string(count * 90) +
                            " -outfile /dev/null " + quote(jpg) + " 2>/dev/null") == 0;
      EXPECT_EQ(libgr::transform_is_perfect(count, in), perfect);
    }
  }
  libgr::jpegdata_t empty;
  EXPECT_FALSE(libgr::transform_is_perfect(1, empty));
}

}  // namespace

// Pictures that must come out right on real camera files: portrait phone
// movies keep their shape, every thumbnail is upright, a turn that cannot
// be lossless keeps the whole picture, and tiny photos get their levels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"
#include "image/imageutil.h"

namespace {

using enginetest::exists;
using namespace phototest;
using tavolin::files_t;
using tavolin::path_t;

// Mean and largest absolute difference of two 8-bit pictures of one size
// and layout, over rows [first_row, last_row) (stored order).
struct difference_t {
  double mean = 1e9;
  int largest = 255;
};

difference_t compare(const libgr::image2d_t& a, const libgr::image2d_t& b, uint32_t first_row = 0,
                     uint32_t last_row = ~0u) {
  difference_t d;
  if (a.width != b.width || a.height != b.height || a.desc.format != b.desc.format) return d;
  last_row = std::min(last_row, a.height);
  const uint64_t row_bytes = a.rowbyte();
  uint64_t sum = 0, count = 0;
  d.largest = 0;
  for (uint32_t r = first_row; r < last_row; ++r) {
    for (uint64_t i = 0; i < row_bytes; ++i) {
      const int diff = std::abs(int(a[r][i]) - int(b[r][i]));
      sum += diff;
      d.largest = std::max(d.largest, diff);
      ++count;
    }
  }
  d.mean = count ? double(sum) / double(count) : 0;
  return d;
}

libgr::image2d_t turned(const libgr::image2d_t& picture, unsigned long count) {
  libgr::image2d_t out;
  EXPECT_TRUE(libgr::rotate(count, out, picture));
  return out;
}

class PictureFixes : public ::testing::Test {
 protected:
  void SetUp() override {
    enginetest::set_level_settings(1024, 90);
    enginetest::make_dirs(album_dir() + "/original");
  }
  std::string album_dir() const { return tmp / "root/album"; }
  std::string in_album(const std::string& sub, const std::string& name) const {
    return album_dir() + "/" + sub + "/" + name;
  }
  bool shrink(const std::vector<files_t>& files) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = tavolin::shrink(album, files, progress, log);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    return ok;
  }

  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
  path_t album{"", tmp / "root", "album"};
  sigc::signal<void, double> progress;
  std::ostringstream log;
};

// "WxH" of a movie's first video stream as ffprobe reads the file.
std::string probe_size(const std::string& movie) {
  const std::string command =
      "ffprobe -v error -select_streams v:0 -show_entries "
      "stream=width,height -of csv=s=x:p=0 '" +
      movie + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  char line[256] = "";
  if (!pipe || !std::fgets(line, sizeof line, pipe.get())) return "";
  std::string out(line);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

TEST_F(PictureFixes, PhoneMovieLevelsKeepThePortraitShape) {
  REQUIRE_PROGRAM("ffmpeg");
  REQUIRE_PROGRAM("ffprobe");
  ASSERT_TRUE(run("cp '" TEST_DATA_DIR "/phone-portrait.mov' '" +
                  in_album("original", "IMG_0042.MOV") + "'"));
  libgr::direction2ul_t size;
  std::string duration, stream;
  testing::internal::CaptureStdout();
  tavolin::ffidentify(in_album("original", "IMG_0042.MOV"), size, duration, stream);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(tavolin::size_text(size), "320x568");

  ASSERT_TRUE(shrink({{"IMG_0042.MOV", 0}})) << log.str();
  EXPECT_EQ(probe_size(in_album("movie0", "IMG_0042.mp4")), "320x568");
  EXPECT_EQ(probe_size(in_album("movie1", "IMG_0042.mp4")), "160x284");
  EXPECT_EQ(frame(in_album("movie0", "IMG_0042.jpg")), "320x568");
  EXPECT_EQ(frame(in_album("movie1", "IMG_0042.jpg")), "160x284");
}

TEST(FfmpegRotation, DisplayRotationLinesOfTheVideoStream) {
  double degrees = 0;
  EXPECT_TRUE(
      tavolin::ffparse_rotation("      displaymatrix: rotation of -90.00 degrees\n", degrees));
  EXPECT_EQ(degrees, -90.0);
  EXPECT_TRUE(tavolin::ffparse_rotation("      rotate          : 270\n", degrees));
  EXPECT_EQ(degrees, 270.0);
  EXPECT_FALSE(tavolin::ffparse_rotation("      rotated_by      : 90\n", degrees));
  EXPECT_FALSE(
      tavolin::ffparse_rotation("      displaymatrix: rotation of nan degrees\n", degrees));

  // Only the lines of the video stream count, up to the next stream.
  std::string text =
      "    Side data:\n      displaymatrix: rotation of 180.00 degrees\n"
      "  Stream #0:2: Video: mjpeg\n    Side data:\n      displaymatrix: rotation of 90.00 "
      "degrees\n";
  FILE* in = fmemopen(&text[0], text.size(), "r");
  ASSERT_NE(in, nullptr);
  EXPECT_FALSE(tavolin::ffscan_quarter_turn(in));
  EXPECT_TRUE(tavolin::ffscan_quarter_turn(in));
  std::fclose(in);
}

// A portrait photo without an EXIF thumbnail: its halved thumbnail is the
// upright picture (the camera's pixels turned by the orientation), like
// the upright size level halved once more.
TEST_F(PictureFixes, HalvedThumbnailOfPortraitPhotoIsUpright) {
  REQUIRE_PROGRAM("exiftool");
  const std::string original = in_album("original", "portrait.jpg");
  ASSERT_TRUE(write_photo(original, 640, 480));
  ASSERT_TRUE(add_exif(original, 6));
  ASSERT_TRUE(shrink({{"portrait.jpg", 0}})) << log.str();

  decoded_t level = decode(in_album("size1", "portrait.jpg"));
  decoded_t thumb = decode(in_album("thumb", "portrait.jpg"));
  ASSERT_TRUE(level.ok && thumb.ok);
  EXPECT_EQ(level.image.width, 320u);  // the level keeps the camera's order
  libgr::image2d_t upright_half;
  ASSERT_TRUE(libgr::scaledown(upright_half, turned(level.image, 1)));
  ASSERT_EQ(thumb.image.width, 120u);
  ASSERT_EQ(thumb.image.height, 160u);
  EXPECT_LT(compare(thumb.image, upright_half).mean, 4.0);
  // Not merely any picture of that size: the sideways one differs.
  libgr::image2d_t sideways_half;
  ASSERT_TRUE(libgr::scaledown(sideways_half, turned(level.image, 3)));
  EXPECT_GT(compare(thumb.image, sideways_half).mean, 10.0);

  // A turned import decodes an upright size0: its halved thumbnail is not
  // turned again.
  ASSERT_TRUE(write_photo(in_album("original", "turned.jpg"), 640, 480, 5));
  ASSERT_TRUE(shrink({{"turned.jpg", 1}})) << log.str();
  EXPECT_EQ(frame(in_album("thumb", "turned.jpg")), "120x160");
}

// 600 x 391 with 2x2 sampling: neither side is a whole number of 16-pixel
// blocks, so a lossless quarter turn would leave an edge untransformed.
TEST_F(PictureFixes, TurnThatCannotBeLosslessKeepsTheWholePicture) {
  REQUIRE_PROGRAM("exiftool");
  const std::string original = in_album("original", "odd.jpg");
  ASSERT_TRUE(write_photo(tmp / "exifthumb.jpg", 160, 120, 3));
  ASSERT_TRUE(write_photo(original, 600, 391));
  ASSERT_TRUE(add_exif(original, 6, tmp / "exifthumb.jpg"));
  ASSERT_TRUE(shrink({{"odd.jpg", 1}})) << log.str();

  // User turn 1 plus orientation 6: a half turn.
  decoded_t size0 = decode(in_album("size0", "odd.jpg"));
  decoded_t camera = decode(original);
  ASSERT_TRUE(size0.ok && camera.ok);
  const libgr::image2d_t expected = turned(camera.image, 2);
  ASSERT_EQ(size0.image.width, 600u);
  EXPECT_LT(compare(size0.image, expected).mean, 4.0);
  // The strips along the edges that a lossless turn leaves behind.
  EXPECT_LT(compare(size0.image, expected, 0, 16).mean, 3.0);
  EXPECT_LT(compare(size0.image, expected, 375, 391).mean, 3.0);
  EXPECT_EQ(count_markers(in_album("size0", "odd.jpg"), 0xE1), 0);

  // The EXIF thumbnail (120 is no whole number of 16-pixel blocks) turned
  // by the same half turn.
  decoded_t thumb = decode(in_album("thumb", "odd.jpg"));
  decoded_t stored = decode(tmp / "exifthumb.jpg");
  ASSERT_TRUE(thumb.ok && stored.ok);
  ASSERT_EQ(thumb.image.width, 160u);
  EXPECT_LT(compare(thumb.image, turned(stored.image, 2)).mean, 4.0);
  EXPECT_LT(compare(thumb.image, turned(stored.image, 2), 0, 8).mean, 3.0);
}

TEST_F(PictureFixes, TinyAndNarrowPhotosGetTheirLevels) {
  ASSERT_TRUE(write_photo(in_album("original", "dot.jpg"), 1, 1));
  ASSERT_TRUE(write_photo(in_album("original", "two.jpg"), 2, 2));
  ASSERT_TRUE(write_photo(in_album("original", "line.jpg"), 4000, 3));
  ASSERT_TRUE(write_photo(in_album("original", "post.jpg"), 3, 1500));
  ASSERT_TRUE(shrink({{"dot.jpg", 0}, {"two.jpg", 0}, {"line.jpg", 0}, {"post.jpg", 1}}))
      << log.str();
  EXPECT_EQ(frame(in_album("size1", "dot.jpg")), "1x1");
  EXPECT_EQ(frame(in_album("thumb", "dot.jpg")), "1x1");
  EXPECT_EQ(frame(in_album("size1", "two.jpg")), "1x1");
  EXPECT_EQ(frame(in_album("thumb", "two.jpg")), "1x1");
  const char* line[] = {"4000x3", "2000x1", "1000x1", "500x1", "250x1"};
  std::vector<std::string> levels = tavolin::size_level_dirs(2);
  for (size_t i = 0; i < levels.size(); ++i)
    EXPECT_EQ(frame(in_album(levels[i], "line.jpg")), line[i]) << levels[i];
  // Turned: 1500 x 3, level number 1.
  EXPECT_EQ(frame(in_album("size0", "post.jpg")), "1500x3");
  EXPECT_EQ(frame(in_album("size2", "post.jpg")), "375x1");
  EXPECT_EQ(frame(in_album("thumb", "post.jpg")), "187x1");
  // The halved pixels are averages of the picture, not zeros.
  decoded_t narrow = decode(in_album("size1", "line.jpg"));
  ASSERT_TRUE(narrow.ok);
  int sum = 0;
  for (uint32_t c = 0; c < narrow.image.width; ++c) sum += narrow.image[0][3 * c + 2];
  EXPECT_GT(sum, 0);
}

}  // namespace

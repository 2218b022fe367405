// Pictures for the windows: upright loading by EXIF orientation, the
// thumbnail paths, the level a button shows and the GTK picture.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "album/engine/exif.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"
#include "album/engine/thumbnail.h"
#include "image/imageutil.h"

namespace {

using namespace phototest;

class ThumbnailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tavolin::g_global.shrink_size.x = 1024;
    tavolin::g_global.shrink_size.y = 1024;
    tavolin::g_global.show_level = 1;
    tavolin::g_global.jpeg_compress = 90;
  }
  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
};

TEST_F(ThumbnailTest, ExifOrientationTurnsPhotoAndEmbeddedThumbnailUpright) {
  REQUIRE_PROGRAM("exiftool");
  ASSERT_TRUE(write_photo(tmp / "t.jpg", 32, 16, 3));
  ASSERT_TRUE(write_photo(tmp / "p.jpg", 64, 48));
  ASSERT_TRUE(add_exif(tmp / "p.jpg", 6, tmp / "t.jpg"));
  ASSERT_TRUE(write_photo(tmp / "plain.jpg", 640, 480));
  ASSERT_TRUE(add_exif(tmp / "plain.jpg", 6));

  libgr::image2d_t image;
  ASSERT_TRUE(tavolin::load_jpeg(image, tmp / "p.jpg"));
  decoded_t raw = decode(tmp / "p.jpg");
  libgr::image2d_t upright;
  ASSERT_TRUE(libgr::rotate(1, upright, raw.image));
  EXPECT_TRUE(same_pixels(image, upright));

  ASSERT_TRUE(tavolin::load_thumbnail(image, tmp / "p.jpg"));
  EXPECT_EQ(image.width, 16u);
  EXPECT_EQ(image.height, 32u);

  // Without an embedded thumbnail the halved photo is turned the same way.
  ASSERT_TRUE(tavolin::load_thumbnail(image, tmp / "plain.jpg"));
  EXPECT_EQ(image.width, 120u);
  EXPECT_EQ(image.height, 160u);
}

TEST_F(ThumbnailTest, LargePhotoHalvesToAQuarterOfTheBox) {
  ASSERT_TRUE(write_photo(tmp / "big.JPG", 4000, 3000));
  libgr::image2d_t image;
  ASSERT_TRUE(tavolin::load_thumbnail(image, tmp / "big.JPG"));
  EXPECT_EQ(image.width, 250u);
  EXPECT_EQ(image.height, 187u);
  // The decode halved four times, kept in a store of the small rows alone.
  libgr::image2d_t halved = decode(tmp / "big.JPG").image;
  for (int i = 0; i < 4; ++i) {
    libgr::image2d_t half;
    ASSERT_TRUE(libgr::scaledown(half, halved));
    halved = half;
  }
  EXPECT_TRUE(same_pixels(image, halved));
  EXPECT_EQ(image.pixels.size(), image.rowsize() * image.height);
}

// The album editor's preview of a photo whose levels hold a turn comes from
// the camera file, halved as often as the button's level; it too keeps
// only its own rows.
TEST_F(ThumbnailTest, UprightPreviewKeepsOnlyItsOwnRows) {
  const std::string album = tmp / "root/album";
  enginetest::make_dirs(album + "/original");
  enginetest::make_dirs(album + "/size0");
  ASSERT_TRUE(write_photo(album + "/original/p.jpg", 1600, 1200));
  ASSERT_TRUE(write_photo(album + "/size0/p.jpg", 1200, 1600, 2));
  libgr::image2d_t image;
  ASSERT_TRUE(
      tavolin::load_scaled_upright(image, tavolin::path_t("", tmp / "root", "album"), "p.jpg", 1));
  EXPECT_EQ(image.width, 400u);  // size2 of level number 1
  EXPECT_EQ(image.pixels.size(), image.rowsize() * image.height);
}

TEST_F(ThumbnailTest, OnlyJpegNamesAreLoaded) {
  ASSERT_TRUE(write_photo(tmp / "a.png", 8, 8));
  libgr::image2d_t image;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::load_jpeg(image, tmp / "a.png"));
  EXPECT_FALSE(tavolin::load_thumbnail(image, tmp / "a.png"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::load_jpeg(image, tmp / "gone.jpeg"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            tmp / "gone.jpeg: load_jpeg() jpegdata load fail.\n");
}

TEST_F(ThumbnailTest, ButtonLevelCountsFromTheSmallEndAndStaysInRange) {
  // Level number 2: size0 .. size3, thumb.
  EXPECT_EQ(tavolin::scaled_level_index(2, 1), 3u);  // size3
  EXPECT_EQ(tavolin::scaled_level_index(2, 2), 2u);  // size2
  EXPECT_EQ(tavolin::scaled_level_index(2, 3), 2u);
  EXPECT_EQ(tavolin::scaled_level_index(2, 4), 1u);
  tavolin::g_global.show_level = 9;
  EXPECT_EQ(tavolin::scaled_level_index(2, 1), 0u);
  tavolin::g_global.show_level = 0;
  EXPECT_EQ(tavolin::scaled_level_index(2, 1), 4u);  // thumb
  EXPECT_EQ(tavolin::scaled_level_index(2, 0), 4u);  // never past thumb
  EXPECT_EQ(tavolin::scaled_level_index(0, -1), 2u);
}

TEST_F(ThumbnailTest, ButtonPictureComesFromTheLevelElseFallsBack) {
  const std::string album = tmp / "root/album";
  enginetest::make_dirs(album + "/original");
  ASSERT_TRUE(write_jpeg(album + "/original/g.jpg", make_checkerboard(1200, 900)));
  const tavolin::path_t path("", tmp / "root", "album");
  sigc::signal<void, double> progress;
  std::ostringstream log;
  ASSERT_TRUE(tavolin::shrink(path, {{"g.jpg", 0}}, progress, log)) << log.str();

  libgr::image2d_t image;
  ASSERT_TRUE(tavolin::load_scaled_thumbnail(image, path, "g.jpg", 1));
  EXPECT_EQ(image.width, 300u);  // size2 of level number 1
  EXPECT_EQ(image.desc.format, libgr::IMAGE_FORMAT_RGB);

  ASSERT_EQ(unlink((album + "/size2/g.jpg").c_str()), 0);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(tavolin::load_scaled_thumbnail(image, path, "g.jpg", 1));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(image.width, 150u);  // thumb
  EXPECT_EQ(image.desc.format, libgr::IMAGE_FORMAT_RGB);

  // Without "thumb" the photo in "size0" is halved to a quarter of the box.
  ASSERT_EQ(unlink((album + "/thumb/g.jpg").c_str()), 0);
  ASSERT_TRUE(tavolin::load_exifthumbnail_or_thumbdir(image, path, "g.jpg"));
  EXPECT_EQ(image.width, 150u);
  EXPECT_EQ(image.height, 112u);
}

// A window's rows keep their level undecoded, with the EXIF line from one
// read of the camera file; decoded, it is the picture the level gives
// decoded at once, turned upright and RGB; a level that would not decode
// gives way to "thumb".
TEST_F(ThumbnailTest, ButtonPictureKeptUndecodedWithItsExifLineDecodesAlike) {
  REQUIRE_PROGRAM("exiftool");
  const std::string album = tmp / "root/album";
  enginetest::make_dirs(album + "/original");
  {
    std::ifstream in(TEST_SOURCE_DIR "/image/tests/data/Sony_D700.jpg", std::ios::binary);
    std::ofstream(album + "/original/c.jpg", std::ios::binary) << in.rdbuf();
  }
  const tavolin::path_t path("", tmp / "root", "album");
  sigc::signal<void, double> progress;
  std::ostringstream log;
  ASSERT_TRUE(tavolin::shrink(path, {{"c.jpg", 0}}, progress, log)) << log.str();
  std::ostringstream summary;
  ASSERT_TRUE(tavolin::writeexif(summary, path, "original", "c.jpg", false));
  const std::string level_file = album + "/size1/c.jpg";
  ASSERT_TRUE(enginetest::exists(level_file));

  // One buffer for every head, as a window's rows share theirs.
  libgr::jpeg_head_buffer_t heads;
  const auto check = [&](const char* label) {
    SCOPED_TRACE(label);
    libgr::image2d_t alone, image, decoded;
    tavolin::level_picture_t kept;
    std::string line = "old";
    ASSERT_TRUE(tavolin::load_scaled_thumbnail(alone, path, "c.jpg", 1));
    ASSERT_TRUE(tavolin::load_scaled_thumbnail(kept, image, path, "c.jpg", 1, line, heads));
    EXPECT_EQ(line, summary.str());
    EXPECT_EQ(image.width, 0u);
    EXPECT_EQ(kept.file, level_file);
    EXPECT_EQ(kept.width, alone.width);
    EXPECT_EQ(kept.height, alone.height);
    ASSERT_TRUE(kept.decode(decoded));
    EXPECT_TRUE(same_pixels(decoded, alone));
    EXPECT_EQ(decoded.desc.format, libgr::IMAGE_FORMAT_RGB);
  };
  check("level as made");
  // A grey level that its EXIF turns a quarter: kept across, decoded RGB.
  ASSERT_TRUE(write_jpeg(level_file, make_checkerboard(40, 30)));
  ASSERT_TRUE(add_exif(level_file, 6));
  check("grey and turned");

  libgr::image2d_t image;
  tavolin::level_picture_t kept;
  std::string line;
  std::ofstream(level_file, std::ios::trunc) << "no JPEG";
  testing::internal::CaptureStderr();
  ASSERT_TRUE(tavolin::load_scaled_thumbnail(kept, image, path, "c.jpg", 1, line, heads));
  EXPECT_NE(
      testing::internal::GetCapturedStderr().find("size1/c.jpg: load_jpeg() decompress fail."),
      std::string::npos);
  EXPECT_TRUE(kept.file.empty());
  EXPECT_EQ(image.width, decode(album + "/thumb/c.jpg").image.width);

  // Without the camera file: the message getshrinklevel writes, no line.
  ASSERT_EQ(unlink((album + "/original/c.jpg").c_str()), 0);
  testing::internal::CaptureStderr();
  tavolin::load_scaled_thumbnail(kept, image, path, "c.jpg", 1, line, heads);
  EXPECT_NE(
      testing::internal::GetCapturedStderr().find("c.jpg: getshrinklevel() jpegdata load fail."),
      std::string::npos);
  EXPECT_EQ(line, "");
}

TEST(ConvertToPixbuf, TopRowComesFirstAndGreyBecomesRgb) {
  libgr::image2d_t image;
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = 3;
  image.height = 2;
  ASSERT_TRUE(image.allocate());
  for (int r = 0; r < 2; ++r)
    for (int i = 0; i < 9; ++i) image[r][i] = static_cast<unsigned char>(r * 100 + i);

  Glib::RefPtr<Gdk::Pixbuf> pixbuf = tavolin::convert_to_pixbuf(image);
  ASSERT_TRUE(pixbuf);
  EXPECT_EQ(pixbuf->get_width(), 3);
  EXPECT_EQ(pixbuf->get_height(), 2);
  EXPECT_FALSE(pixbuf->get_has_alpha());
  const guint8* top = pixbuf->get_pixels();
  EXPECT_EQ(top[0], 100);  // the last stored row is the top of the picture
  EXPECT_EQ(top[8], 108);
  const guint8* bottom = top + pixbuf->get_rowstride();
  EXPECT_EQ(bottom[3], 3);

  libgr::image2d_t grey = make_checkerboard(2, 2);
  pixbuf = tavolin::convert_to_pixbuf(grey);
  ASSERT_TRUE(pixbuf);
  EXPECT_EQ(pixbuf->get_n_channels(), 3);
  const guint8* p = pixbuf->get_pixels();
  EXPECT_EQ(p[0], grey[1][0]);
  EXPECT_EQ(p[3], grey[1][1]);
  EXPECT_EQ(p[4], grey[1][1]);
}

}  // namespace

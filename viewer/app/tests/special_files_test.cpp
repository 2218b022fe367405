// Names that are no regular file where the viewer reads by name: a FIFO
// under a photo's name, its saved view's or the option file's. Opening
// one for reading would wait for a writer for good; each must fail at
// once as a file that cannot be read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "image/loader_jpeg2.h"
#include "utility/option.h"
#include "utility/tests/test_support.h"
#include "viewer/app/zevfile2.h"
#include "viewer/graphics/image_object.h"

namespace {

TEST(NamesThatAreNoRegularFile, LoadersOptionsAndSavedViewsRefuseThemAtOnce) {
  utiltest::scratch_dir dir;
  ASSERT_FALSE(dir.path().empty());
  const std::string d = dir.path();
  for (const char* name : {"x.jpg", "x.bmp", "x.png", "x.tga", "x.zev", ".plimzev3"})
    ASSERT_EQ(::mkfifo((d + "/" + name).c_str(), 0600), 0) << name;
  const std::string x = d + "/x";
  testsupport::watchdog guard(20);

  libgr::image2d_t image;
  libgr::image_jpeg1_t jpeg;
  EXPECT_FALSE(jpeg.load(image, (x + ".jpg").c_str()));
  libgr::jpegdata2_t exif_data;  // the EXIF reader's
  EXPECT_FALSE(exif_data.load((x + ".jpg").c_str()));
  libgr::image_bmp_t bmp_stream;
  EXPECT_FALSE(bmp_stream.load(image, (x + ".bmp").c_str()));
  libgr::image_bmp2_t bmp_mapped;
  EXPECT_FALSE(bmp_mapped.load(image, (x + ".bmp").c_str()));
  EXPECT_FALSE(libgr::BmpLoad(image, (x + ".bmp").c_str(), libgr::IMAGE_FORMAT_BGR));
  libgr::image_tga_t tga;
  EXPECT_FALSE(tga.load(image, (x + ".tga").c_str()));
  // The PNG reader names the file and why, as for one it cannot open.
  libgr::image_png_t png;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(png.load(image, (x + ".png").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            x + ".png: file open error, not a regular file\n");

  // No saved view: the image is fitted instead.
  plimzev2::zevfile_t zev;
  EXPECT_FALSE(zev.load((x + ".png").c_str()));
  // Read as an option file that is not there: nothing set, no error.
  EXPECT_TRUE(plimlib::option_load((d + "/.plimzev3").c_str()));
}

}  // namespace

// A photo's size0, levels and thumbnail always come from one count: a
// camera file added again to its album with a new turn takes all of them
// along, and without a turn leaves every one of them as it is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "album/engine/makealbum.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"
#include "album/engine/thumbnail.h"
#include "image/imageutil.h"

namespace {

using namespace phototest;
using enginetest::read_file;
using tavolin::files_t;
using tavolin::path_t;

// Upright: red and green above, blue and yellow below.
libgr::image2d_t four_colours(uint32_t width, uint32_t height) {
  static const unsigned char colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  libgr::image2d_t image = blank_image(libgr::IMAGE_FORMAT_RGB, width, height);
  for (uint32_t r = 0; r < height; ++r) {
    const bool bottom = height - 1 - r >= height / 2;  // rows are stored bottom-up
    for (uint32_t c = 0; c < width; ++c)
      std::memcpy(image[r] + 3 * c, colours[(bottom ? 2 : 0) + (c < width / 2 ? 0 : 1)], 3);
  }
  return image;
}

// The colours of the four quarters as shown (turned by the EXIF
// orientation): top left, top right, bottom left, bottom right.
std::string colour_order(const std::string& file) {
  libgr::image2d_t image;
  if (!tavolin::load_jpeg(image, file)) return "unreadable";
  std::string order;
  for (uint32_t y : {image.height / 4, image.height * 3 / 4}) {
    for (uint32_t x : {image.width / 4, image.width * 3 / 4}) {
      const unsigned char* p = image[image.height - 1 - y] + 3 * x;
      const bool r = p[0] > 128, g = p[1] > 128, b = p[2] > 128;
      order += r && g ? 'Y' : r ? 'R' : g ? 'G' : b ? 'B' : '?';
    }
  }
  return order;
}

// The upright order turned by 0 to 3 quarter turns to the right.
const char* const turned_order[] = {"RGBY", "BRYG", "YBGR", "GYRB"};

class TurnedImport : public ::testing::Test {
 protected:
  void SetUp() override {
    enginetest::set_level_settings(256, 95);
    enginetest::make_dirs(card());
    enginetest::make_dirs(tmp / "root/trip/txt");
    // Portrait photos of a phone: the pixels a quarter to the left, EXIF
    // orientation 6; one without and one with an EXIF thumbnail.
    libgr::image2d_t stored, small;
    ASSERT_TRUE(libgr::rotate(3, stored, four_colours(640, 480)));
    ASSERT_TRUE(libgr::rotate(3, small, four_colours(80, 60)));
    ASSERT_TRUE(write_jpeg(card() + "/plain.jpg", stored, 95));
    ASSERT_TRUE(add_exif(card() + "/plain.jpg", 6));
    ASSERT_TRUE(write_jpeg(tmp / "small.jpg", small, 95));
    ASSERT_TRUE(write_jpeg(card() + "/thumbed.jpg", stored, 95));
    ASSERT_TRUE(add_exif(card() + "/thumbed.jpg", 6, tmp / "small.jpg"));
  }
  std::string card() const { return tmp / "card"; }
  std::string file(const std::string& dir, const std::string& name) const {
    return tmp / "root/trip/" + dir + "/" + name;
  }
  bool make(unsigned long plain, unsigned long thumbed) {
    std::ostringstream log;
    testing::internal::CaptureStderr();
    const bool ok =
        tavolin::makealbumwithrotate(card(), {{"plain.jpg", plain}, {"thumbed.jpg", thumbed}},
                                     album, s[0], s[1], s[2], s[3], log);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ok) << log.str();
    return ok;
  }
  // Every level and the thumbnail of both photos show the order.
  void expect_orders(const char* order) {
    for (const char* name : {"plain.jpg", "thumbed.jpg"})
      for (const std::string& dir : tavolin::size_level_dirs(2))
        EXPECT_EQ(colour_order(file(dir, name)), order) << dir << "/" << name;
  }
  // Time, kind and content of every level and thumbnail of both photos.
  std::map<std::string, std::string> files_now() const {
    std::map<std::string, std::string> out;
    for (const char* name : {"plain.jpg", "thumbed.jpg"}) {
      for (const std::string& dir : tavolin::size_level_dirs(2)) {
        const std::string path = file(dir, name);
        struct stat st = {};
        lstat(path.c_str(), &st);
        char link[512];
        const ssize_t n = readlink(path.c_str(), link, sizeof link);
        out[dir + "/" + name] = std::to_string(st.st_mtim.tv_sec) + "." +
                                std::to_string(st.st_mtim.tv_nsec) +
                                (n >= 0 ? " link " + std::string(link, n) : read_file(path));
      }
    }
    return out;
  }

  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
  path_t album{"", tmp / "root", "trip"};
  sigc::signal<void, double> s[4];
};

TEST_F(TurnedImport, AddedAgainAPhotoKeepsOneCountForAllItsFiles) {
  REQUIRE_PROGRAM("exiftool");
  ASSERT_TRUE(make(3, 3));
  expect_orders(turned_order[3]);

  // Added again without a turn: all its files stay as they are.
  const auto before = files_now();
  ASSERT_TRUE(make(0, 0));
  EXPECT_TRUE(files_now() == before) << "a file of a photo added again changed";

  // A lost level and thumbnail are made again from size0 as it stands.
  for (const char* name : {"plain.jpg", "thumbed.jpg"}) {
    ASSERT_EQ(unlink(file("size2", name).c_str()), 0);
    ASSERT_EQ(unlink(file("thumb", name).c_str()), 0);
  }
  ASSERT_TRUE(make(0, 0));
  expect_orders(turned_order[3]);
  EXPECT_EQ(files_now()["size1/plain.jpg"], before.at("size1/plain.jpg"));

  // Added again with a new turn: size0 and everything after it follow it.
  ASSERT_TRUE(make(1, 2));
  for (const std::string& dir : tavolin::size_level_dirs(2)) {
    EXPECT_EQ(colour_order(file(dir, "plain.jpg")), turned_order[1]) << dir;
    EXPECT_EQ(colour_order(file(dir, "thumbed.jpg")), turned_order[2]) << dir;
  }
}

}  // namespace

// The view object on a real context: pictures drawn unscaled come back
// pixel for pixel across tile edges, palette and low-bit grey files match
// ImageMagick's decoding, an EXIF-turned JPEG shows as its upright twin.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/imagetype.h"
#include "utility/option.h"
#include "viewer/app/tests/app_gltest.h"
#include "viewer/app/viewobj.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using apptest::at;
using apptest::kHeight;
using apptest::kWidth;
using apptest::rgb_t;

// A scratch directory, removed with its files.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/viewobj_gltest.XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made) m_path = made;
  }
  ~ScratchDir() {
    if (m_path.empty()) return;
    for (const std::string& f : m_files) unlink(f.c_str());
    rmdir(m_path.c_str());
  }
  std::string file(const std::string& name) {
    m_files.push_back(m_path + "/" + name);
    return m_files.back();
  }
  bool ok() const { return !m_path.empty(); }

 private:
  std::string m_path;
  std::vector<std::string> m_files;
};

// An RGB picture whose colour at (x, y) (y = 0 the bottom row) is f(x, y).
template <class F>
libgr::image2d_t make_rgb(uint32_t w, uint32_t h, F f) {
  libgr::image2d_t image = grtest::uint_image(w, h);
  for (uint32_t y = 0; y < h; ++y) {
    unsigned char* row = image[y];
    for (uint32_t x = 0; x < w; ++x) {
      const rgb_t c = f(x, y);
      row[3 * x] = static_cast<unsigned char>(c.r);
      row[3 * x + 1] = static_cast<unsigned char>(c.g);
      row[3 * x + 2] = static_cast<unsigned char>(c.b);
    }
  }
  return image;
}

bool save_png(const libgr::image2d_t& image, const std::string& path) {
  libgr::image_png_t png;
  return png.save(image, path.c_str());
}

std::string str(const rgb_t& c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Draws obj unscaled with the scene's half-pixel offsets for its size and
// counts the pixels of the picture that differ from expect(x, y). The
// picture's bottom-left pixel lands on window pixel (x0, y0).
template <class F>
int mismatches(const plimlib::ViewObject& obj, F expect, int* x0_out = nullptr,
               std::string* first = nullptr, int tolerance = 0) {
  const libgr::direction2l_t size = obj.getImageSize();
  const float ox = ((size.x ^ kWidth) & 1) ? -0.5f : 0.0f;
  const float oy = ((size.y ^ kHeight) & 1) ? -0.5f : 0.0f;
  apptest::begin_frame(ox, oy);
  obj.Draw();
  const std::vector<unsigned char> px = apptest::read_all();
  // With the offsets an odd picture's left edge falls half a pixel to the
  // right of the centre's left: on a pixel edge.
  const int x0 = (kWidth - size.x + 1) / 2;
  const int y0 = (kHeight - size.y + 1) / 2;
  if (x0_out) *x0_out = x0;
  int bad = 0;
  for (int y = 0; y < size.y; ++y) {
    for (int x = 0; x < size.x; ++x) {
      const rgb_t got = at(px, x0 + x, y0 + y);
      const rgb_t want = expect(x, y);
      if (std::abs(got.r - want.r) > tolerance || std::abs(got.g - want.g) > tolerance ||
          std::abs(got.b - want.b) > tolerance) {
        if (bad == 0 && first) {
          *first = "at " + std::to_string(x) + "," + std::to_string(y) + " got " + str(got) +
                   " want " + str(want);
        }
        ++bad;
      }
    }
  }
  // One pixel outside each side is background.
  const rgb_t bg{46, 46, 46};
  for (const rgb_t& c :
       {at(px, x0 - 1, y0), at(px, x0 + size.x, y0), at(px, x0, y0 - 1), at(px, x0, y0 + size.y)}) {
    if (c.r != bg.r || c.g != bg.g || c.b != bg.b) ++bad;
  }
  return bad;
}

class ViewObjectGL : public ::testing::Test {
 protected:
  void SetUp() override {
    plimlib::option_reset();
    ASSERT_TRUE(m_dir.ok());
  }
  ScratchDir m_dir;
};

TEST_F(ViewObjectGL, FourColoursInPlaceAndNoSeamAtTileEdges) {
  // 600 x 300: tiles of 256 in 3 columns and 2 rows; the tile edges at
  // x = 256, 512 and y = 256 fall inside the quadrants.
  auto colour = [](uint32_t x, uint32_t y) {
    if (y < 150) return x < 300 ? rgb_t{255, 0, 0} : rgb_t{0, 255, 0};
    return x < 300 ? rgb_t{0, 0, 255} : rgb_t{255, 255, 0};
  };
  const std::string path = m_dir.file("four.png");
  ASSERT_TRUE(save_png(make_rgb(600, 300, colour), path));

  plimlib::ViewObject obj;
  ASSERT_TRUE(obj.setImage(path.c_str(), ""));
  EXPECT_EQ(obj.getOrientation(), 0u);
  EXPECT_EQ(obj.getImageSize().x, 600);
  EXPECT_EQ(obj.getImageSize().y, 300);
  EXPECT_EQ(obj.getTiles().m_columns, 3u);
  EXPECT_EQ(obj.getTiles().m_rows, 2u);

  // Nothing before the upload.
  apptest::begin_frame();
  obj.Draw();
  std::vector<unsigned char> px = apptest::read_all();
  EXPECT_EQ(at(px, 400, 300).r, 46);

  obj.load_texture();
  EXPECT_TRUE(obj.is_resident());
  std::string first;
  EXPECT_EQ(mismatches(obj, colour, nullptr, &first), 0) << first;

  // Red at the bottom left, yellow at the top right, as a user sees them.
  apptest::begin_frame();
  obj.Draw();
  px = apptest::read_all();
  const rgb_t bl = at(px, 110, 160), tr = at(px, 690, 440);
  EXPECT_EQ(str(bl), "255,0,0");
  EXPECT_EQ(str(tr), "255,255,0");
  // Both sides of the tile edge at x = 256 and y = 256 are one colour.
  for (int y = 150; y < 450; ++y) {
    ASSERT_EQ(str(at(px, 100 + 255, y)), str(at(px, 100 + 256, y))) << "row " << y;
  }
  for (int x = 100; x < 700; ++x) {
    ASSERT_EQ(str(at(px, x, 150 + 255)), str(at(px, x, 150 + 256))) << "column " << x;
  }

  // Released and uploaded again from the kept tiles.
  obj.free_texture();
  EXPECT_FALSE(obj.isLoaded());
  obj.load_texture();
  EXPECT_EQ(mismatches(obj, colour), 0);
  obj.free_texture();
}

TEST_F(ViewObjectGL, OddSizedPatternComesBackPixelForPixel) {
  // 601 x 301: partial last column (89 wide) and row (45 high), odd sizes
  // that need the half-pixel offsets.
  auto colour = [](uint32_t x, uint32_t y) {
    return rgb_t{static_cast<int>(x & 255), static_cast<int>(y & 255),
                 static_cast<int>(((x >> 8) * 97 + (y >> 8) * 61 + x * 3 + y * 5) & 255)};
  };
  const std::string path = m_dir.file("pattern.bmp");
  libgr::image_bmp_t bmp;
  // The BMP writer wants BGR.
  libgr::image2d_t image = make_rgb(601, 301, [&](uint32_t x, uint32_t y) {
    rgb_t c = colour(x, y);
    return rgb_t{c.b, c.g, c.r};
  });
  image.desc.format = libgr::IMAGE_FORMAT_BGR;
  ASSERT_TRUE(bmp.save(image, path.c_str()));

  plimlib::ViewObject obj;
  ASSERT_TRUE(obj.setImage(path.c_str(), ""));
  EXPECT_EQ(obj.getTiles().m_columns, 3u);
  EXPECT_EQ(obj.getTiles().m_rows, 2u);
  obj.load_texture();
  std::string first;
  EXPECT_EQ(mismatches(obj, colour, nullptr, &first), 0) << first;
  obj.free_texture();
}

// The RGB pixels ImageMagick decodes from path, top row first.
std::vector<unsigned char> magick_rgb(const std::string& path, int* w, int* h) {
  std::vector<unsigned char> out;
  const std::string cmd = "/usr/bin/convert '" + path + "' -set colorspace sRGB -depth 8 ppm:-";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char magic[3] = {};
  int maxval = 0;
  if (std::fscanf(p, "%2s %d %d %d", magic, w, h, &maxval) == 4 && std::fgetc(p) != EOF) {
    out.resize(static_cast<std::size_t>(*w) * *h * 3);
    if (std::fread(out.data(), 1, out.size(), p) != out.size()) out.clear();
  }
  pclose(p);
  return out;
}

TEST_F(ViewObjectGL, PaletteAndLowBitGreyFilesMatchImageMagick) {
  if (access("/usr/bin/convert", X_OK) != 0) {
    if (std::getenv("CI")) FAIL() << "ImageMagick convert missing under CI";
    GTEST_SKIP() << "no /usr/bin/convert";
  }
  const std::string dir = std::string(TEST_SOURCE_DIR) + "/viewer/graphics/tests/data/pngsuite/";
  for (const char* name : {"basn0g01.png", "basn0g02.png", "basn0g04.png", "basn3p01.png",
                           "basn3p08.png", "basn0g16.png"}) {
    SCOPED_TRACE(name);
    const std::string path = dir + name;
    int w = 0, h = 0;
    const std::vector<unsigned char> ref = magick_rgb(path, &w, &h);
    ASSERT_FALSE(ref.empty());
    plimlib::ViewObject obj;
    ASSERT_TRUE(obj.setImage(path.c_str(), ""));
    ASSERT_EQ(obj.getImageSize().x, w);
    obj.load_texture();
    auto expect = [&](int x, int y) {
      const unsigned char* p = &ref[(static_cast<std::size_t>(h - 1 - y) * w + x) * 3];
      return rgb_t{p[0], p[1], p[2]};
    };
    std::string first;
    // 16-bit grey: GL and ImageMagick may round to 8 bits differently.
    const int tolerance = std::string(name) == "basn0g16.png" ? 1 : 0;
    EXPECT_EQ(mismatches(obj, expect, nullptr, &first, tolerance), 0) << first;
    obj.free_texture();
  }
}

TEST_F(ViewObjectGL, LoaderChosenByExtensionInAnyCase) {
  const std::string src = std::string(TEST_DATA_DIR) + "/Landscape_1.jpg";
  const std::string upper = m_dir.file("photo.JPG");
  ASSERT_EQ(std::system(("cp '" + src + "' '" + upper + "'").c_str()), 0);
  plimlib::ViewObject obj;
  EXPECT_TRUE(obj.setImage(upper.c_str(), ""));
  EXPECT_EQ(obj.getImageSize().x, 1800);

  const std::string gif = m_dir.file("photo.gif");
  ASSERT_EQ(std::system(("cp '" + src + "' '" + gif + "'").c_str()), 0);
  plimlib::ViewObject other;
  EXPECT_FALSE(other.setImage(gif.c_str(), ""));
  EXPECT_EQ(other.getImageSize().x, 0);
  // A file that does not load leaves no image either.
  EXPECT_FALSE(other.setImage(m_dir.file("missing.png").c_str(), ""));
  EXPECT_EQ(other.getImageSize().x, 0);
}

// Draws obj scaled by s and turned by degrees (counter-clockwise), as the
// scene's view does, and reads the window back.
std::vector<unsigned char> draw_view(const plimlib::ViewObject& obj, float degrees, float s) {
  apptest::begin_frame();
  glRotatef(degrees, 0, 0, 1);
  glScalef(s, s, s);
  obj.Draw();
  return apptest::read_all();
}

double mean_difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / static_cast<double>(a.size());
}

TEST_F(ViewObjectGL, ExifOrientationSixShowsTurnedClockwise) {
  plimlib::ViewObject upright, turned;
  ASSERT_TRUE(upright.setImage((std::string(TEST_DATA_DIR) + "/Landscape_1.jpg").c_str(), ""));
  ASSERT_TRUE(turned.setImage((std::string(TEST_DATA_DIR) + "/Landscape_6.jpg").c_str(), ""));
  EXPECT_EQ(upright.getOrientation(), 0u);
  EXPECT_EQ(turned.getOrientation(), 1u);
  // Stored turned: its size is the upright one's, swapped.
  EXPECT_EQ(turned.getImageSize().x, 1200);
  EXPECT_EQ(turned.getImageSize().y, 1800);
  upright.load_texture();
  turned.load_texture();
  const std::vector<unsigned char> want = draw_view(upright, 0, 0.4f);
  // The scene turns a new image by -90 degrees per right quarter turn.
  const std::vector<unsigned char> shown =
      draw_view(turned, -90.0f * static_cast<float>(turned.getOrientation()), 0.4f);
  const std::vector<unsigned char> wrong = draw_view(turned, 90.0f, 0.4f);
  EXPECT_LT(mean_difference(want, shown), 4.0);
  EXPECT_GT(mean_difference(want, wrong), 4 * mean_difference(want, shown) + 8);
  upright.free_texture();
  turned.free_texture();
}

TEST_F(ViewObjectGL, MagnificationFilterFollowsSmoothFlag) {
  // Two pixels, black and white, magnified 100 times.
  const std::string path = m_dir.file("two.png");
  ASSERT_TRUE(save_png(make_rgb(2, 1,
                                [](uint32_t x, uint32_t) {
                                  return x ? rgb_t{255, 255, 255} : rgb_t{0, 0, 0};
                                }),
                       path));
  plimlib::ViewObject obj;
  ASSERT_TRUE(obj.setImage(path.c_str(), ""));
  EXPECT_TRUE(obj.getMagSmooth());
  EXPECT_EQ(obj.getTexParm().mag_filter, static_cast<unsigned>(GL_LINEAR));
  obj.load_texture();
  auto row = [&]() {
    apptest::begin_frame();
    glScalef(100, 100, 1);
    obj.Draw();
    const std::vector<unsigned char> px = apptest::read_all();
    std::vector<int> r;
    for (int x = 300; x < 500; x += 10) r.push_back(at(px, x, 300).r);
    return r;
  };
  const std::vector<int> smooth = row();
  obj.setMagSmooth(false);
  EXPECT_EQ(obj.getTexParm().mag_filter, static_cast<unsigned>(GL_NEAREST));
  EXPECT_EQ(obj.getTexParm().min_filter, static_cast<unsigned>(GL_LINEAR_MIPMAP_LINEAR));
  const std::vector<int> square = row();
  for (int v : square) EXPECT_TRUE(v == 0 || v == 255) << v;
  int between = 0;
  for (int v : smooth) between += (v > 10 && v < 245);
  EXPECT_GT(between, 2);
  obj.free_texture();
}

}  // namespace

// Pictures wider and higher than one of the viewer's 256-pixel tiles, in
// every layout the four loaders give, cut into windows and uploaded as the
// viewer uploads its tiles: each tile's texture must hold its own window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "image/imageutil.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/tests/gltest_util.h"
#include "viewer/graphics/tests/graphics_test_support.h"
#include "viewer/graphics/texture_gl.h"
#include "viewer/graphics/texture_image.h"

namespace libgr {
namespace {

constexpr uint32_t kTile = 256;

// The object that writes a file of the extension, and the one the viewer
// reads it with.
std::unique_ptr<image_object_t> object_for(const std::string& extension, bool reading) {
  if (extension == ".bmp" && reading) return std::make_unique<image_bmp2_t>();
  if (extension == ".bmp") return std::make_unique<image_bmp_t>();
  if (extension == ".tga") return std::make_unique<image_tga_t>();
  if (extension == ".png") return std::make_unique<image_png_t>();
  return std::make_unique<image_jpeg1_t>();
}

// A picture of random pixels (and palette) written in the layout.
bool write_random(const std::string& path, const image_desc_t& desc, uint32_t w, uint32_t h,
                  std::mt19937& random) {
  image2d_t image;
  image.desc = desc;
  image.width = w;
  image.height = h;
  if (!image.allocate()) return false;
  for (uint64_t i = 0; i < image.pixels.size(); ++i) image.pixels.begin()[i] = random() & 0xff;
  if (desc.format == IMAGE_FORMAT_INDEX) {
    const uint64_t n = uint64_t{1} << desc.getPixelBits();
    if (!image.palette.resize(n)) return false;
    for (uint64_t i = 0; i < n; ++i) {
      image.palette.red[i] = static_cast<unsigned short>(random() & 0xff00);
      image.palette.green[i] = static_cast<unsigned short>(random() & 0xff00);
      image.palette.blue[i] = static_cast<unsigned short>(random() & 0xff00);
    }
  }
  return object_for(path.substr(path.rfind('.')), false)->save(image, path.c_str());
}

// What the viewer makes of a loaded picture before it cuts it: GL keeps
// no palette textures and takes no 1-, 2- or 4-bit grey rows.
bool viewable(image2d_t& image) {
  if (image.desc.format == IMAGE_FORMAT_INDEX) return index2rgb(image, image);
  if (image.desc.format != IMAGE_FORMAT_GRAYSCALE) return true;
  if (image.desc.bits == IMAGE_BITS_1) return grayscale(image, image);
  return grayscale_to_8bit(image, image);
}

// Texels of the tile at (x, y) further than an 8-bit step from the
// picture (want: its RGBA16 values, top row first); first tells of the
// first of them.
uint64_t wrong_texels(const image2d_t& picture, const std::vector<uint16_t>& want,
                      const image2d_t& tile, uint32_t x, uint32_t y, std::string& first) {
  grTexture2D texture;
  texture.setBuildMipmap(true);
  texture.setImage(tile, kTile, 0);
  grTextureObject object;
  object.Preload(&texture);
  // Grey textures read back as luminance and alpha: as RGBA their green
  // and blue would be 0.
  const bool grey = picture.desc.format == IMAGE_FORMAT_GRAYSCALE ||
                    picture.desc.format == IMAGE_FORMAT_GRAYSCALE_ALPHA;
  const int n = grey ? 2 : 4;
  const int channel[2][4] = {{0, 3}, {0, 1, 2, 3}};
  std::vector<uint16_t> texels(size_t{kTile} * kTile * n);
  glGetTexImage(GL_TEXTURE_2D, 0, grey ? GL_LUMINANCE_ALPHA : GL_RGBA, GL_UNSIGNED_SHORT,
                texels.data());
  object.Unload();
  uint64_t wrong = 0;
  for (uint32_t j = 0; j < tile.height; ++j) {
    // Texel row j is stored row y + j of the picture.
    const uint64_t top_row = picture.height - 1 - (y + j);
    for (uint32_t i = 0; i < tile.width; ++i) {
      for (int c = 0; c < n; ++c) {
        const int got = texels[(uint64_t{j} * kTile + i) * n + c];
        const int ref = want[(top_row * picture.width + x + i) * 4 + channel[n == 4][c]];
        if (std::abs(got - ref) <= 300) continue;
        if (wrong++ == 0) {
          std::ostringstream os;
          os << "tile (" << x << ", " << y << ") texel (" << i << ", " << j << ") channel " << c
             << ": " << got << " against " << ref;
          first = os.str();
        }
        break;
      }
    }
  }
  return wrong;
}

TEST(TilesGL, EveryLoadersPictureUploadsIntoTheTilesOfItsWindows) {
  gltest::reset_gl();
  const struct {
    const char* name;
    e_image_format_t format;
    e_image_bits_t bits;
  } kinds[] = {
      {"grey1.bmp", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1},
      {"grey4.bmp", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_4},
      {"grey8.bmp", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8},
      {"bgr24.bmp", IMAGE_FORMAT_BGR, IMAGE_BITS_8},
      {"grey8.tga", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8},
      {"bgra16.tga", IMAGE_FORMAT_BGRA, IMAGE_BITS_R5G5B5A1},
      {"bgr24.tga", IMAGE_FORMAT_BGR, IMAGE_BITS_8},
      {"bgra32.tga", IMAGE_FORMAT_BGRA, IMAGE_BITS_8},
      {"grey1.png", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_1},
      {"grey2.png", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_2},
      {"grey4.png", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_4},
      {"grey8.png", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8},
      {"grey16.png", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_16},
      {"greyalpha8.png", IMAGE_FORMAT_GRAYSCALE_ALPHA, IMAGE_BITS_8},
      {"greyalpha16.png", IMAGE_FORMAT_GRAYSCALE_ALPHA, IMAGE_BITS_16},
      {"rgb8.png", IMAGE_FORMAT_RGB, IMAGE_BITS_8},
      {"rgb16.png", IMAGE_FORMAT_RGB, IMAGE_BITS_16},
      {"rgba8.png", IMAGE_FORMAT_RGBA, IMAGE_BITS_8},
      {"rgba16.png", IMAGE_FORMAT_RGBA, IMAGE_BITS_16},
      {"index1.png", IMAGE_FORMAT_INDEX, IMAGE_BITS_1},
      {"index2.png", IMAGE_FORMAT_INDEX, IMAGE_BITS_2},
      {"index4.png", IMAGE_FORMAT_INDEX, IMAGE_BITS_4},
      {"index8.png", IMAGE_FORMAT_INDEX, IMAGE_BITS_8},
      {"rgb.jpg", IMAGE_FORMAT_RGB, IMAGE_BITS_8},
      {"grey.jpg", IMAGE_FORMAT_GRAYSCALE, IMAGE_BITS_8},
  };
  grtest::scratch_t scratch;
  std::mt19937 random(20240607);
  for (const auto& kind : kinds) {
    for (const auto& [w, h] : {std::make_pair(600u, 300u), std::make_pair(300u, 600u)}) {
      const std::string path = scratch / (std::to_string(w) + "x" + std::to_string(h) + kind.name);
      SCOPED_TRACE(path);
      ASSERT_TRUE(
          write_random(path, image_desc_t(kind.format, IMAGE_TYPE_UINT, kind.bits), w, h, random));
      image2d_t picture;
      ASSERT_TRUE(object_for(path.substr(path.rfind('.')), true)->load(picture, path.c_str()));
      ASSERT_TRUE(viewable(picture)) << picture.desc.format << " " << picture.desc.bits;
      const std::vector<uint16_t> want = grtest::rgba16(picture);
      ASSERT_EQ(want.size(), size_t{w} * h * 4);
      for (uint32_t y = 0; y < h; y += kTile) {
        for (uint32_t x = 0; x < w; x += kTile) {
          image2d_t tile;
          ASSERT_TRUE(makewindow(tile, picture, int(x), int(y), kTile, kTile));
          std::string first;
          EXPECT_EQ(wrong_texels(picture, want, tile, x, y, first), 0u)
              << picture.desc.format << " " << picture.desc.bits << ": " << first;
        }
      }
    }
  }
  EXPECT_EQ(glGetError(), unsigned{GL_NO_ERROR});
}

}  // namespace
}  // namespace libgr

// Context-free parts of the GL core: the format choice, the enum tables,
// power-of-two sizes, the shared record, and the bookkeeping of nodes and
// texture levels (no GL call is made by any of them).
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "viewer/graphics/bindvar.h"
#include "viewer/graphics/bitalign.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/grtransformer.h"
#include "viewer/graphics/refobject.h"
#include "viewer/graphics/texture_format.h"
#include "viewer/graphics/texture_image.h"

namespace libgr {
namespace {

// Runs the choice with standard error captured; restores decimal output,
// which a failed choice leaves switched to hexadecimal.
bool choose(gl_loading_format_t& f, const image_desc_t& desc, bool compress,
            std::string* err = nullptr) {
  testing::internal::CaptureStderr();
  bool ok = grConvertImageFormatToGlFormatFULL(&f, desc, compress);
  std::string text = testing::internal::GetCapturedStderr();
  std::cerr << std::dec;
  if (err) *err = text;
  return ok;
}

TEST(FormatChoice, CommonLayouts) {
  gl_loading_format_t f;
  ASSERT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8), false));
  EXPECT_EQ(f.internalformat, unsigned{GL_RGB8});
  EXPECT_EQ(f.format, unsigned{GL_RGB});
  EXPECT_EQ(f.type, unsigned{GL_UNSIGNED_BYTE});
  ASSERT_TRUE(
      choose(f, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8), false));
  EXPECT_EQ(f.internalformat, unsigned{GL_LUMINANCE8});
  EXPECT_EQ(f.format, unsigned{GL_LUMINANCE});
  EXPECT_EQ(f.type, unsigned{GL_UNSIGNED_BYTE});
  ASSERT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_BGRA, IMAGE_TYPE_UINT, IMAGE_BITS_8), false));
  EXPECT_EQ(f.internalformat, unsigned{GL_RGBA});
  EXPECT_EQ(f.format, unsigned{GL_BGRA});
  ASSERT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_YCbCr, IMAGE_TYPE_UINT, IMAGE_BITS_8), false));
  EXPECT_EQ(f.format, unsigned{GL_RGB});
  ASSERT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_R5G6B5), false));
  EXPECT_EQ(f.type, 0x8364u);
  ASSERT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_INDEX, IMAGE_TYPE_UINT, IMAGE_BITS_8), false));
  EXPECT_EQ(f.format, unsigned{GL_COLOR_INDEX});
}

TEST(FormatChoice, UnsupportedLayoutWritesFourLines) {
  gl_loading_format_t f;
  std::string err;
  EXPECT_FALSE(
      choose(f, image_desc_t(IMAGE_FORMAT_RG, IMAGE_TYPE_UINT, IMAGE_BITS_8), false, &err));
  EXPECT_EQ(err,
            "Not supported image format!\nimgformat: IMAGE_FORMAT_RG\n"
            "imgtype: IMAGE_TYPE_UINT\nimgbits: IMAGE_BITS_8\n");
  EXPECT_FALSE(
      choose(f, image_desc_t(IMAGE_FORMAT_YCbCr422, IMAGE_TYPE_UINT, IMAGE_BITS_8), false));
  EXPECT_FALSE(choose(
      f, image_desc_t(IMAGE_FORMAT_DEPTH_STENCIL, IMAGE_TYPE_UINT, IMAGE_BITS_D24S8), false));
  EXPECT_FALSE(choose(f, image_desc_t(IMAGE_FORMAT_BGR, IMAGE_TYPE_FLOAT, IMAGE_BITS_32), false));
}

// 4-bit grey sent as one byte a pixel, or 12 bits as shorts, would make GL
// read past the pixel store: such layouts are refused.
TEST(FormatChoice, PackedLayoutsWiderInGlThanInStoreAreRefused) {
  gl_loading_format_t f;
  EXPECT_FALSE(
      choose(f, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_4), false));
  EXPECT_FALSE(
      choose(f, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_SINT, IMAGE_BITS_4), false));
  EXPECT_FALSE(
      choose(f, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_SINT, IMAGE_BITS_12), false));
  EXPECT_FALSE(choose(
      f, image_desc_t(IMAGE_FORMAT_GRAYSCALE_ALPHA, IMAGE_TYPE_UINT, IMAGE_BITS_L6A2), false));
  EXPECT_FALSE(choose(f, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_12), false));
  // Packed pixel types that match their bits stay usable.
  EXPECT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_RGBA, IMAGE_TYPE_UINT, IMAGE_BITS_4), false));
  EXPECT_TRUE(choose(f, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_R3G3B2), false));
  EXPECT_TRUE(
      choose(f, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_FLOAT, IMAGE_BITS_16), false));
}

// Over the whole table: GL never reads more bytes than the image stores.
TEST(FormatChoice, NoAcceptedLayoutMakesGlReadPastTheStore) {
  int accepted = 0;
  for (int fmt = 0; fmt < IMAGE_FORMAT_MAX; ++fmt) {
    for (int type = 0; type < IMAGE_TYPE_MAX; ++type) {
      for (int bits = 0; bits < IMAGE_BITS_MAX; ++bits) {
        image_desc_t desc(static_cast<e_image_format_t>(fmt), static_cast<e_image_type_t>(type),
                          static_cast<e_image_bits_t>(bits));
        gl_loading_format_t f;
        if (!choose(f, desc, false)) continue;
        ++accepted;
        unsigned gl_bits = grGlPixelBits(f.format, f.type);
        if (gl_bits != 0) {
          EXPECT_EQ(gl_bits, desc.getPixelBits()) << fmt << " " << type << " " << bits;
        }
      }
    }
  }
  EXPECT_GT(accepted, 100);
}

TEST(FormatChoice, InternalCompressionOnlyForAlpha) {
  gl_loading_format_t f;
  image_desc_t alpha(IMAGE_FORMAT_ALPHA, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  image_desc_t rgb(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  int saved = is_GL_ARB_texture_compression_supported;
  is_GL_ARB_texture_compression_supported = 1;
  ASSERT_TRUE(choose(f, alpha, true));
  EXPECT_EQ(f.internalformat, unsigned{GL_COMPRESSED_ALPHA_ARB});
  ASSERT_TRUE(choose(f, rgb, true));
  EXPECT_EQ(f.internalformat, unsigned{GL_RGB8});
  is_GL_ARB_texture_compression_supported = 0;
  ASSERT_TRUE(choose(f, alpha, true));
  EXPECT_EQ(f.internalformat, unsigned{GL_ALPHA});
  is_GL_ARB_texture_compression_supported = saved;
  EXPECT_TRUE(is_GL_SGIS_generate_mipmap_capable_format(GL_RGB8));
  EXPECT_FALSE(is_GL_SGIS_generate_mipmap_capable_format(GL_LUMINANCE8));
}

TEST(EnumTables, DimensionsComponentsAndSizes) {
  for (unsigned dim : {1u, 2u, 3u, 6u}) {
    EXPECT_EQ(grTextureEnumToDim(grTextureDimToEnum(dim)), dim);
  }
  EXPECT_EQ(grTextureDimToEnum(4), unsigned{GL_INVALID_VALUE});
  EXPECT_EQ(grTextureDimToEnum(0), unsigned{GL_INVALID_VALUE});
  EXPECT_EQ(grTextureEnumToDim(GL_TEXTURE_CUBE_MAP), 6u);
  EXPECT_EQ(grTextureEnumToDim(GL_TEXTURE_RECTANGLE), 0u);
  EXPECT_EQ(grFormatToComponents(GL_BGRA), 4u);
  EXPECT_EQ(grFormatToComponents(GL_LUMINANCE_ALPHA), 2u);
  EXPECT_EQ(grFormatToComponents(GL_STENCIL_INDEX), 0u);
  EXPECT_EQ(grTypeToSize(GL_DOUBLE), 8u);
  EXPECT_EQ(grTypeToSize(GL_3_BYTES), 0u);
  for (unsigned size : {1u, 2u, 4u, 8u}) EXPECT_EQ(grTypeToSize(grSizeToType(size)), size);
  EXPECT_EQ(grSizeToType(3), 0u);
}

TEST(CeilAlignBits, PowersOfTwo) {
  EXPECT_EQ(libutils::CeilAlignBits(0u), 0u);
  EXPECT_EQ(libutils::CeilAlignBits(1u), 1u);
  EXPECT_EQ(libutils::CeilAlignBits(200u), 256u);
  EXPECT_EQ(libutils::CeilAlignBits(256u), 256u);
  EXPECT_EQ(libutils::CeilAlignBits(257u), 512u);
  EXPECT_EQ(libutils::CeilAlignBits(0x40000001u), 0x80000000u);
  EXPECT_EQ(libutils::CeilAlignBits(300), 512);
  EXPECT_EQ(libutils::CeilAlignBits(-5), 0);
}

struct counted_t {
  static int alive;
  counted_t() { ++alive; }
  ~counted_t() { --alive; }
};
int counted_t::alive = 0;

TEST(RefObject, LastHolderDestroysTheValue) {
  {
    libutils::refobject<counted_t> a;
    EXPECT_TRUE(a.empty());
    ASSERT_TRUE(a.newobject());
    EXPECT_EQ(counted_t::alive, 1);
    libutils::refobject<counted_t> b(a);
    libutils::refobject<counted_t> c;
    c = b;
    libutils::refobject<counted_t>& same = c;
    c = same;  // self-assignment keeps the share
    EXPECT_EQ(a.use_count(), 3);
    a.relobject();
    EXPECT_TRUE(a.empty());
    b.relobject();
    EXPECT_EQ(counted_t::alive, 1);
    EXPECT_EQ(c.use_count(), 1);
  }
  EXPECT_EQ(counted_t::alive, 0);
}

class leaf_t : public grObject3D {
 public:
  using grObject3D::Draw;
  void Draw() const override {}
};

TEST(SceneNodes, ZoomAndContainerBookkeeping) {
  grZoomer zoom;
  zoom.setZoom(direction3_t(0, 0, 0));
  zoom.addZoom(direction3_t(1, 0, -1));
  EXPECT_EQ(zoom.getScale(), direction3_t(2, 1, 0.5f));

  leaf_t a, b;
  grContainer container;
  EXPECT_EQ(container.getObject(0), nullptr);
  container.resize(3);
  EXPECT_EQ(container.size(), 3u);
  EXPECT_EQ(container.getObject(2), nullptr);
  container.addObject(&a);
  container.addObject(&b);
  EXPECT_EQ(container.getObject(3), &a);
  EXPECT_EQ(container.getObject(4), &b);
  EXPECT_EQ(container.getObject(container.size()), nullptr);
  container.resize(4);
  EXPECT_EQ(container.getObject(3), &a);
  EXPECT_EQ(container.getObject(4), nullptr);
  container.clear();
  EXPECT_EQ(container.size(), 0u);
}

image2d_t sized(uint32_t w, uint32_t h) {
  image2d_t image;
  image.width = w;
  image.height = h;
  return image;
}

TEST(TextureLevels, SetImageAndSetImagesKeepLevelsAndSize) {
  grTexture2D texture;
  std::vector<image2d_t> three = {sized(8, 8), sized(4, 4), sized(2, 2)};
  texture.setImages(three, 0, 0);
  EXPECT_EQ(texture.images().size(), 3u);
  EXPECT_EQ(texture.size(), 0u);
  texture.setImage(sized(200, 120), 200, 0);
  EXPECT_EQ(texture.images().size(), 1u);
  EXPECT_EQ(texture.size(), 200u);
  texture.setImage(sized(300, 200), 100, 0);
  EXPECT_EQ(texture.size(), 300u);
  // setImages grows and never shrinks.
  texture.setImages({sized(4, 4)}, 1, 2);
  EXPECT_EQ(texture.images().size(), 3u);
  EXPECT_EQ(texture.size(), 4u);
  texture.setImages({sized(2, 2)}, 0, 0);
  EXPECT_EQ(texture.images().size(), 3u);

  grTextureCubeMap cube;
  image2d_t faces[6] = {sized(16, 16), sized(16, 16), sized(16, 16),
                        sized(16, 16), sized(16, 16), sized(32, 32)};
  cube.setImage(faces, 1, 1);
  EXPECT_EQ(cube.images().size(), 12u);
  EXPECT_EQ(cube.size(), 32u);
  EXPECT_EQ(cube.images()[11].width, 32u);
}

}  // namespace
}  // namespace libgr

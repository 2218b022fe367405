// Texture objects and texture images uploaded into the hidden window's
// context, once per mipmap path (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "viewer/graphics/buffer.h"
#include "viewer/graphics/tests/gltest_util.h"
#include "viewer/graphics/texture_gl.h"
#include "viewer/graphics/texture_image.h"

namespace libgr {
namespace {

class TextureGL : public testing::Test {
 protected:
  void SetUp() override { gltest::reset_gl(); }
  void TearDown() override {
    EXPECT_EQ(glGetError(), unsigned{GL_NO_ERROR});
    glBindTexture(GL_TEXTURE_2D, 0);
  }
};

// An RGB 8-bit image whose pixel (x, y) is (x, y, x + y) modulo 256.
image2d_t gradient(uint32_t w, uint32_t h) {
  image2d_t image;
  image.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  image.width = w;
  image.height = h;
  EXPECT_TRUE(image.allocate());
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      unsigned char* p = image[y] + 3 * x;
      p[0] = static_cast<unsigned char>(x);
      p[1] = static_cast<unsigned char>(y);
      p[2] = static_cast<unsigned char>(x + y);
    }
  }
  return image;
}

image2d_t filled(uint32_t w, uint32_t h, const image_desc_t& desc, unsigned char v) {
  image2d_t image;
  image.desc = desc;
  image.width = w;
  image.height = h;
  EXPECT_TRUE(image.allocate());
  for (uint32_t y = 0; y < h; ++y) {
    for (uint64_t i = 0; i < image.rowbyte(); ++i) image[y][i] = v;
  }
  return image;
}

GLint level_parameter(GLint level, GLenum pname) {
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, pname, &value);
  return value;
}

GLint tex_parameter(GLenum pname) {
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
  return value;
}

const texparameter2d_t kTileParameters =
    texparameter2d(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, 1.0f);

TEST_F(TextureGL, ContextOffersTheMipmapPathAskedFor) {
  if (gltest::g_path == "gl30") {
    EXPECT_TRUE(is_GL_VERSION_3_0_supported);
    EXPECT_NE(glGenerateMipmap, nullptr);
  } else {
    EXPECT_FALSE(is_GL_VERSION_3_0_supported);
    EXPECT_EQ(is_GL_SGIS_generate_mipmap_supported, gltest::g_path == "sgis");
  }
}

TEST_F(TextureGL, SharedNameIsDeletedOnlyWithTheLastCopy) {
  grTexture2D image;
  image.setImage(gradient(4, 4));
  GLuint name;
  {
    grTextureObject texture;
    texture.Preload(&image);
    EXPECT_TRUE(texture.isPreload());
    EXPECT_EQ(texture.Dimension(), 2u);
    name = texture.texname();
    EXPECT_TRUE(glIsTexture(name));
    grTextureObject copy(texture);
    {
      grTextureObject third;
      third = copy;
      EXPECT_EQ(third.texname(), name);
    }
    texture.clear();
    EXPECT_FALSE(texture.isPreload());
    EXPECT_EQ(texture.texname(), unsigned{GL_INVALID_VALUE});
    EXPECT_TRUE(glIsTexture(name));
    // A second Preload keeps the name.
    copy.Preload(&image);
    EXPECT_EQ(copy.texname(), name);
  }
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureGL, NewObjectAndEmptyImageMakeNoGlCall) {
  grTextureObject texture;
  texture.Load();
  texture.Unload();
  texture.Reload();
  texture.BindImage(0, 0, GL_READ_ONLY);
  texture.UnbindImage(0);
  EXPECT_FALSE(texture.isResident());
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  grTexture2D empty;
  empty.setTextureParameter(&kTileParameters);
  empty.Load();
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_WIDTH), 0);
  EXPECT_EQ(tex_parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
  glDeleteTextures(1, &name);
}

TEST_F(TextureGL, LoadEnablesTheTargetOnlyBelowGl30) {
  grTexture2D image;
  image.setImage(gradient(4, 4));
  grTextureObject texture;
  texture.Preload(&image);
  glBindTexture(GL_TEXTURE_2D, 0);
  texture.Load();
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), texture.texname());
  EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, !is_GL_VERSION_3_0_supported);
  texture.Unload();
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// The viewer's tile path: mipmaps on, the texture size the largest side.
TEST_F(TextureGL, ImageUploadsIntoPowerOfTwoSquareAtTheOrigin) {
  image2d_t picture = gradient(300, 200);
  grTexture2D image;
  image.setBuildMipmap(true);
  image.setTextureParameter(&kTileParameters);
  image.setImage(picture, 300);
  grTextureObject texture;
  texture.Preload(&image);
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_WIDTH), 512);
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_HEIGHT), 512);
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
  EXPECT_EQ(tex_parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(tex_parameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);

  image2d_t back;
  ASSERT_TRUE(texture.GetTexImage(GL_TEXTURE_2D, 0, back));
  ASSERT_EQ(back.width, 512u);
  ASSERT_EQ(back.height, 512u);
  EXPECT_EQ(back.desc.format, IMAGE_FORMAT_RGBA);
  int wrong = 0;
  for (uint32_t y = 0; y < 200; y += 7) {
    for (uint32_t x = 0; x < 300; x += 5) {
      const unsigned char* p = back[y] + 4 * x;
      const unsigned char* q = picture[y] + 3 * x;
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(level_parameter(1, GL_TEXTURE_WIDTH), 256);

  // Reload replaces the pixels in the same name.
  image2d_t white = filled(300, 200, picture.desc, 255);
  image.setImage(white, 300);
  texture.Reload();
  ASSERT_TRUE(texture.GetTexImage(GL_TEXTURE_2D, 0, back));
  EXPECT_EQ(back[150][4 * 250], 255);
  EXPECT_EQ(back[0][0], 255);
}

// Every mipmap path builds the whole chain down to 1 x 1 with the average.
TEST_F(TextureGL, MipmapsAreBuiltOnThisContext) {
  image2d_t half = filled(64, 64, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8), 0);
  for (uint32_t y = 0; y < 64; ++y) {
    for (uint32_t x = 0; x < 64; ++x) {
      half[y][3 * x] = (x < 32) ? 200 : 0;  // red on the left half
      half[y][3 * x + 1] = 100;
    }
  }
  grTexture2D image;
  image.setBuildMipmap(true);
  image.setTextureParameter(&kTileParameters);
  image.setImage(half, 0);
  grTextureObject texture;
  testing::internal::CaptureStderr();
  texture.Preload(&image);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(level_parameter(1, GL_TEXTURE_WIDTH), 32);
  EXPECT_EQ(level_parameter(6, GL_TEXTURE_WIDTH), 1);
  glFinish();
  unsigned char top[4] = {0, 0, 0, 0};
  glGetTexImage(GL_TEXTURE_2D, 6, GL_RGBA, GL_UNSIGNED_BYTE, top);
  EXPECT_NEAR(top[0], 100, 2);
  EXPECT_NEAR(top[1], 100, 2);

  // The minified quad shows the average colour.
  texture.Load();
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(-1 + 2.0f / 640, -1);
  glTexCoord2f(1, 1);
  glVertex2f(-1 + 2.0f / 640, -1 + 2.0f / 480);
  glTexCoord2f(0, 1);
  glVertex2f(-1, -1 + 2.0f / 480);
  glEnd();
  texture.Unload();
  glDisable(GL_TEXTURE_2D);
  image2d_t screen;
  ASSERT_TRUE(grReadPixelsRGB(screen, GL_BACK));
  EXPECT_NEAR(screen[0][0], 100, 3);
}

TEST_F(TextureGL, GreyUploadsAsLuminanceAndFourBitGreyIsRefused) {
  grTexture2D grey;
  grey.setImage(
      filled(8, 8, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8), 77));
  EXPECT_EQ(grey.GetInternalFormat(), unsigned{GL_LUMINANCE8});
  grTextureObject texture;
  texture.Preload(&grey);
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_LUMINANCE8);
  unsigned char texel[8 * 8 * 4];
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  EXPECT_EQ(texel[0], 77);

  // Two 4-bit pixels a byte: GL would read twice the bytes the store has.
  grTexture2D packed;
  packed.setImage(
      filled(8, 8, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_4), 0x55));
  grTextureObject refused;
  testing::internal::CaptureStderr();
  refused.Preload(&packed);
  std::string err = testing::internal::GetCapturedStderr();
  std::cerr << std::dec;
  EXPECT_NE(err.find("Not supported image format!"), std::string::npos);
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_WIDTH), 0);
}

TEST_F(TextureGL, WindowAndAlignmentOfTheImageAreHonoured) {
  // A 2 x 2 window at (1, 1) of a 4 x 3 image whose rows are byte-aligned.
  static const image_store_t tight(false, 1);
  image2d_t whole = gradient(4, 3);
  image2d_t packed;
  packed.desc = whole.desc;
  packed.store = &tight;
  packed.width = 4;
  packed.height = 3;
  ASSERT_TRUE(packed.allocate());
  for (uint32_t y = 0; y < 3; ++y) {
    for (uint32_t i = 0; i < 12; ++i) packed[y][i] = whole[y][i];
  }
  image2d_t window = packed;
  window.window = image_window2d_t{4, 1, 1};
  window.width = 2;
  window.height = 2;
  grTexture2D image;
  image.setImage(window);
  grTextureObject texture;
  texture.Preload(&image);
  image2d_t back;
  ASSERT_TRUE(texture.GetTexImage(GL_TEXTURE_2D, 0, back));
  ASSERT_EQ(back.width, 2u);
  EXPECT_EQ(back[0][0], 1);  // x of the window's first pixel
  EXPECT_EQ(back[0][1], 1);  // its y
  EXPECT_EQ(back[1][4], 2);
  EXPECT_EQ(back[1][5], 2);
}

TEST_F(TextureGL, IndexedImageIsMappedThroughItsPalette) {
  image2d_t indexed =
      filled(4, 1, image_desc_t(IMAGE_FORMAT_INDEX, IMAGE_TYPE_UINT, IMAGE_BITS_8), 0);
  for (unsigned i = 0; i < 4; ++i) indexed[0][i] = static_cast<unsigned char>(i);
  ASSERT_TRUE(indexed.palette.resize(4));
  const unsigned short reds[4] = {0, 0xffff, 0, 0x8080};
  for (unsigned i = 0; i < 4; ++i) {
    indexed.palette.red[i] = reds[i];
    indexed.palette.green[i] = static_cast<unsigned short>(0xffff - reds[i]);
    indexed.palette.blue[i] = 0;
  }
  grTexture2D image;
  image.setImage(indexed);
  grTextureObject texture;
  texture.Preload(&image);
  unsigned char texels[16] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  EXPECT_EQ(texels[4], 255);
  EXPECT_EQ(texels[5], 0);
  EXPECT_EQ(texels[12], 128);
  GLint map_color = 1;
  glGetIntegerv(GL_MAP_COLOR, &map_color);
  EXPECT_EQ(map_color, GL_FALSE) << "the palette mapping must end with the upload";
}

TEST_F(TextureGL, CubeMapAndOneDimensionalTexturesUpload) {
  image2d_t face = gradient(8, 8);
  image2d_t faces[6] = {face, face, face, face, face, face};
  grTextureCubeMap cube;
  cube.setBuildMipmap(true);
  cube.setImage(faces, 8);
  grTextureObject cube_texture;
  testing::internal::CaptureStderr();
  cube_texture.Preload(&cube);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(cube_texture.Dimension(), 6u);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 1, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 4);
  glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

  image1d_t line;
  line.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  line.width = 5;
  ASSERT_TRUE(line.allocate());
  grTexture1D one;
  one.setBuildMipmap(true);
  one.setImage(line, 5);
  grTextureObject one_texture;
  one_texture.Preload(&one);
  glGetTexLevelParameteriv(GL_TEXTURE_1D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 8);
  glBindTexture(GL_TEXTURE_1D, 0);
}

TEST_F(TextureGL, FixedSizeWithoutMipmapsAndReadBackByName) {
  texparameter2d_t sharp =
      texparameter2d(GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_MIRRORED_REPEAT, 4.0f);
  grTexture2D image;
  image.setTextureParameter(&sharp);
  image.setImage(gradient(200, 120), 200);
  grTextureObject texture;
  texture.Preload(&image);
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_WIDTH), 256);
  EXPECT_EQ(level_parameter(1, GL_TEXTURE_WIDTH), 0);
  EXPECT_EQ(tex_parameter(GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
  GLfloat anisotropy = 0;
  glGetTexParameterfv(GL_TEXTURE_2D, 0x84FE, &anisotropy);
  while (glGetError() != GL_NO_ERROR) {
  }
  EXPECT_EQ(anisotropy, is_GL_EXT_texture_filter_anisotropic_supported ? 4.0f : 1.0f);

  image2d_t by_name;
  testing::internal::CaptureStderr();
  bool ok = texture.GetTextureImage(0, by_name);
  std::string err = testing::internal::GetCapturedStderr();
  if (glGetTextureImage) {
    ASSERT_TRUE(ok);
    EXPECT_EQ(by_name.width, 256u);
    EXPECT_EQ(by_name[119][4 * 199], 199);
    EXPECT_EQ(by_name[119][4 * 199 + 1], 119);
  } else {
    EXPECT_FALSE(ok);
    EXPECT_EQ(err, "grTextureObject::GetTextureImage(): needs GL 4.5.\n");
  }
}

TEST_F(TextureGL, CompressedDataWithoutTheExtensionIsSkipped) {
  image2d_t data = gradient(4, 4);
  data.compressed = true;
  grTexture2D image;
  image.setImage(data);
  int saved = is_GL_ARB_texture_compression_supported;
  is_GL_ARB_texture_compression_supported = 0;
  grTextureObject texture;
  testing::internal::CaptureStderr();
  texture.Preload(&image);
  std::string err = testing::internal::GetCapturedStderr();
  is_GL_ARB_texture_compression_supported = saved;
  EXPECT_EQ(err,
            "error, ARB_texture_compression unsupported when compressed image "
            "loading, skip.\n");
  EXPECT_EQ(level_parameter(0, GL_TEXTURE_WIDTH), 0);
}

TEST_F(TextureGL, RectangleAndThreeDimensionalTexturesUpload) {
  grTextureRectangle rectangle;
  rectangle.setImage(gradient(5, 3));
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_RECTANGLE, name);
  rectangle.Load();
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 5);
  rectangle.setImage(filled(5, 3, rectangle.image().desc, 255));
  rectangle.Reload();
  unsigned char texels[5 * 3 * 4] = {};
  glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  EXPECT_EQ(texels[0], 255);
  glBindTexture(GL_TEXTURE_RECTANGLE, 0);
  glDeleteTextures(1, &name);

  image3d_t volume;
  volume.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  volume.width = 3;
  volume.height = 2;
  volume.depth = 2;
  ASSERT_TRUE(volume.allocate());
  volume.address(1, 1)[6] = 99;  // pixel (2, 1) of slice 1
  grTexture3D three;
  three.setImage(volume);
  grTextureObject texture;
  testing::internal::CaptureStderr();
  texture.Preload(&three);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(texture.Dimension(), 3u);
  if (!glTexImage3DEXT) {  // a context without GL_EXT_texture3D
    EXPECT_EQ(err, "grTexture3D: 3D textures unsupported, skip.\n");
    glBindTexture(GL_TEXTURE_3D, 0);
    return;
  }
  GLint depth = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_DEPTH, &depth);
  EXPECT_EQ(depth, 2);
  unsigned char voxels[3 * 2 * 2 * 4] = {};
  glGetTexImage(GL_TEXTURE_3D, 0, GL_RGBA, GL_UNSIGNED_BYTE, voxels);
  EXPECT_EQ(voxels[4 * (6 + 3 + 2)], 99);
  glBindTexture(GL_TEXTURE_3D, 0);
}

}  // namespace
}  // namespace libgr

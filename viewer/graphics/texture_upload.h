// Steps shared by the texture images' uploads (texture_image*.cpp only).
#pragma once

#include <cstdint>
#include <iostream>
#include <vector>

#include "image/imagetype.h"
#include "utility/futil.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/pixelstore.h"
#include "viewer/graphics/texture_format.h"

namespace libgr {
namespace upload {

extern const char* const kMipmapFallback;

// The largest of size and the image's sides, or 0 when size is 0.
uint32_t texture_size(uint32_t size, const image1d_t& image);
uint32_t texture_size(uint32_t size, const image2d_t& image);
uint32_t texture_size(uint32_t size, const image3d_t& image);

// The GL layout of desc; signed components get a signed internal format
// where the context has them (an unsigned one would clamp them at 0).
// False after the format's message when GL cannot take desc.
bool choose(gl_loading_format_t& f, const image_desc_t& desc, bool compress);

// Where GL is to read an image: the byte of its window's first pixel.
// Skipped images, rows and whole bytes of pixels are taken into this
// address instead of the pixel store, which keeps the row length (and
// image height) and a skip within that byte only: a driver that swaps
// 16-bit samples into a copy of the rows it was given applies the skips
// again to that copy (Mesa does), and reads past its end.
const unsigned char* unpack_data(const image1d_t& image);
const unsigned char* unpack_data(const image2d_t& image);
const unsigned char* unpack_data(const image3d_t& image);
image_window1d_t unpack_window(const image1d_t& image);
image_window2d_t unpack_window(const image2d_t& image);
image_window3d_t unpack_window(const image3d_t& image);

// choose, then the unpack pixel store of the image's store and window,
// whatever an earlier upload left set; the data to pass is unpack_data.
template <class Image>
bool prepare(gl_loading_format_t& f, const Image& image, bool compress) {
  if (!choose(f, image.desc, compress)) return false;
  grPixelStoreUnpack(image.store);
  grPixelStoreUnpack(unpack_window(image));
  return true;
}

template <class Image>
unsigned int internal_format(const Image& image) {
  gl_loading_format_t f;
  return choose(f, image.desc, image.compressed) ? f.internalformat : GL_INVALID_VALUE;
}

// False, after the message, when compressed data cannot be sent.
bool compression_usable();
// The side of level `level` of a texture of size `size`: the smallest power
// of two holding size less the border, plus the border, halved per level.
GLsizei level_side(uint32_t size, GLint border, GLint level);
// Level `level` of a 2D-like target: compressed data as it is, a size of 0
// as the image's own size, else a power-of-two square with the image at
// (0, 0). With reload the pixels replace those of the existing level.
void level2d(GLenum target, GLint level, const image2d_t& image, const gl_loading_format_t& f,
             GLint border, uint32_t size, bool reload);

// GLU's mipmaps of level 0. With a texture size GLU gets the image at
// (0, 0) of a zero-filled power-of-two square, as the other paths lay it
// out; given the image alone it would stretch it over the whole texture.
void glu_mipmaps2d(GLenum target, const image2d_t& image, const gl_loading_format_t& f,
                   uint32_t size);

// What a 1D, 2D or 3D texture's settings ask of its levels.
struct levels_t {
  GLenum target;
  bool mipmap;
  bool compress;         // the format choice of a mipmapped level 0
  bool compress_levels;  // that of every other level
  GLint border;          // level 0's
  uint32_t size;
  bool generate;     // GL 3.0 mipmap generation may serve
  const char* note;  // why a compressed level 0 gets no mipmaps
};

// Palette, format and pixel store per level. With mipmaps: level 0 with
// its mipmaps (GL 3.0 generation, else automatic SGIS generation with a
// capable format, else a compressed level 0 alone after the note, else
// glu(image, f, size)), then the levels above 0 as they are. Without:
// every level. level(index, image, f, border, size) uploads one.
template <class Image, class Level, class Glu>
void levels(const std::vector<Image>& images, const levels_t& t, Level level, Glu glu) {
  grPalette palette;
  if (images[0].desc.format == IMAGE_FORMAT_INDEX) palette.Load(images[0].palette);
  gl_loading_format_t f;
  size_t first = 0;
  if (t.mipmap) {
    first = 1;
    const Image& base = images[0];
    if (prepare(f, base, t.compress)) {
      if (t.generate) {
        level(0, base, f, t.border, t.size);
        glGenerateMipmap(t.target);
      } else if (is_GL_SGIS_generate_mipmap_supported &&
                 is_GL_SGIS_generate_mipmap_capable_format(f.internalformat)) {
        glTexParameteri(t.target, GL_GENERATE_MIPMAP_SGIS, 1);
        level(0, base, f, t.border, t.size);
        glTexParameteri(t.target, GL_GENERATE_MIPMAP_SGIS, 0);
      } else if (base.compressed) {
        libutils::error();
        std::cerr << t.note << std::endl;
        level(0, base, f, t.border, t.size);
      } else {
        glu(base, f, t.size);
      }
    }
  }
  for (size_t i = first; i < images.size(); ++i) {
    if (!prepare(f, images[i], t.compress_levels)) continue;
    const GLint index = static_cast<GLint>(i);
    level(index, images[i], f, index == 0 ? t.border : 0, t.mipmap ? 0 : t.size);
  }
}

}  // namespace upload
}  // namespace libgr

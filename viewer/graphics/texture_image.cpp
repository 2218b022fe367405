#include "viewer/graphics/texture_image.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "utility/futil.h"
#include "viewer/graphics/bitalign.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/pixelstore.h"
#include "viewer/graphics/texture_upload.h"

namespace libgr {

namespace upload {

const char* const kMipmapFallback =
    "Compressed 'special format' image is ablen't to build mipmaps, fallback.";

bool compression_usable() {
  if (is_GL_ARB_texture_compression_supported) return true;
  libutils::error();
  std::cerr << "error, ARB_texture_compression unsupported when compressed "
               "image loading, skip."
            << std::endl;
  return false;
}

uint32_t texture_size(uint32_t size, const image1d_t& image) {
  return size == 0 ? 0 : std::max(size, image.width);
}

uint32_t texture_size(uint32_t size, const image2d_t& image) {
  return size == 0 ? 0 : std::max({size, image.width, image.height});
}

uint32_t texture_size(uint32_t size, const image3d_t& image) {
  return size == 0 ? 0 : std::max({size, image.width, image.height, image.depth});
}

bool choose(gl_loading_format_t& f, const image_desc_t& desc, bool compress) {
  if (!grConvertImageFormatToGlFormatFULL(&f, desc, compress)) return false;
  if (is_GL_VERSION_3_1_supported || is_GL_EXT_texture_snorm_supported) {
    f.internalformat = grSignedInternalFormat(f.internalformat, f.type);
  }
  return true;
}

namespace {

// The skipped pixels of a window that GL still has to skip: those within
// its first byte (pixels of fewer than 8 bits); the address holds the rest.
uint32_t within_byte(const image_desc_t& desc, uint32_t skip_pixels) {
  const uint32_t bits = desc.getPixelBits();
  return bits > 0 && bits < 8 ? skip_pixels % (8 / bits) : 0;
}

}  // namespace

const unsigned char* unpack_data(const image1d_t& image) {
  if (image.compressed || !image.pixels.begin()) return image.pixels.begin();
  return image.pixels.begin() + uint64_t{image.window.skip_pixels} * image.desc.getPixelBits() / 8;
}

const unsigned char* unpack_data(const image2d_t& image) {
  if (image.compressed || !image.pixels.begin()) return image.pixels.begin();
  return image[0];
}

const unsigned char* unpack_data(const image3d_t& image) {
  if (image.compressed || !image.pixels.begin()) return image.pixels.begin();
  return image.address(0, 0);
}

image_window1d_t unpack_window(const image1d_t& image) {
  image_window1d_t w;
  w.skip_pixels = within_byte(image.desc, image.window.skip_pixels);
  return w;
}

image_window2d_t unpack_window(const image2d_t& image) {
  image_window2d_t w;
  w.row_length = image.window.row_length;
  w.skip_pixels = within_byte(image.desc, image.window.skip_pixels);
  return w;
}

image_window3d_t unpack_window(const image3d_t& image) {
  image_window3d_t w;
  w.row_length = image.window.row_length;
  w.image_height = image.window.image_height;
  w.skip_pixels = within_byte(image.desc, image.window.skip_pixels);
  return w;
}

GLsizei level_side(uint32_t size, GLint border, GLint level) {
  uint32_t inner = size > 2u * border ? size - 2u * border : 0;
  uint32_t side = libutils::CeilAlignBits(inner) >> level;
  if (side == 0) side = 1;
  return static_cast<GLsizei>(side + 2u * border);
}

namespace {

void report_allocation(const gl_loading_format_t& f, GLint border) {
  std::cerr << "internalformat: " << f.internalformat << '\n'
            << "m_border: " << border << '\n'
            << "format: " << f.format << '\n'
            << "type: " << f.type << std::endl;
}

void report_sub_image(GLsizei side, const image2d_t& image, const gl_loading_format_t& f) {
  std::cerr << "real_max: " << side << '\n'
            << "m_width: " << image.width << '\n'
            << "m_height: " << image.height << '\n'
            << "format: " << f.format << '\n'
            << "type: " << f.type << std::endl;
}

}  // namespace

void level2d(GLenum target, GLint level, const image2d_t& image, const gl_loading_format_t& f,
             GLint border, uint32_t size, bool reload) {
  const GLsizei w = static_cast<GLsizei>(image.width);
  const GLsizei h = static_cast<GLsizei>(image.height);
  const void* data = unpack_data(image);
  if (image.compressed) {
    if (!compression_usable()) return;
    GLsizei bytes = static_cast<GLsizei>(image.pixels.size());
    if (reload) {
      if (glCompressedTexSubImage2DARB) {
        glCompressedTexSubImage2DARB(target, level, 0, 0, w, h, f.internalformat, bytes, data);
      }
    } else if (glCompressedTexImage2DARB) {
      glCompressedTexImage2DARB(target, level, f.internalformat, w, h, border, bytes, data);
    }
    return;
  }
  if (size == 0) {
    if (reload) {
      glTexSubImage2D(target, level, 0, 0, w, h, f.format, f.type, data);
    } else {
      glTexImage2D(target, level, static_cast<GLint>(f.internalformat), w, h, border, f.format,
                   f.type, data);
    }
    return;
  }
  GLsizei side = level_side(size, border, level);
  if (!reload) {
    glTexImage2D(target, level, static_cast<GLint>(f.internalformat), side, side, border, f.format,
                 f.type, nullptr);
    if (grPrintError("before-tex-sub-image2d")) report_allocation(f, border);
  }
  glTexSubImage2D(target, level, 0, 0, w, h, f.format, f.type, data);
  if (grPrintError("after-tex-sub-image2d")) report_sub_image(side, image, f);
}

void glu_mipmaps2d(GLenum target, const image2d_t& image, const gl_loading_format_t& f,
                   uint32_t size) {
  image2d_t square;
  const image2d_t* source = &image;
  if (size > 0) {
    uint32_t side = static_cast<uint32_t>(level_side(size, 0, 0));
    square.desc = image.desc;
    // The copy's 16-bit samples are in the image's byte order.
    square.store = image.store;
    square.width = side;
    square.height = side;
    if (square.allocate()) {
      uint64_t bytes = std::min(image.rowbyte(), square.rowbyte());
      for (uint32_t y = 0; y < image.height && y < side; ++y) {
        std::memcpy(square[y], image[y], bytes);
      }
      grPixelStoreUnpack(square.store);
      grPixelStoreUnpack(square.window);
      source = &square;
    }
  }
  gluBuild2DMipmaps(target, static_cast<GLint>(f.internalformat),
                    static_cast<GLsizei>(source->width), static_cast<GLsizei>(source->height),
                    f.format, f.type, unpack_data(*source));
}

}  // namespace upload

template <class Image, class Record>
void grTextureImages<Image, Record>::setImage(const Image& image, uint32_t size,
                                              unsigned long index) {
  m_images.resize(index + 1);
  m_images[index] = image;
  this->m_size = upload::texture_size(size, image);
}

template <class Image, class Record>
void grTextureImages<Image, Record>::setImages(const std::vector<Image>& images, uint32_t size,
                                               unsigned long index) {
  if (m_images.size() < index + images.size()) m_images.resize(index + images.size());
  uint32_t s = size;
  for (size_t j = 0; j < images.size(); ++j) {
    m_images[index + j] = images[j];
    s = upload::texture_size(s, images[j]);
  }
  this->m_size = size ? s : 0;
}

template <class Image, class Record>
unsigned int grTextureImages<Image, Record>::GetInternalFormat() const {
  return m_images.empty() ? GL_INVALID_VALUE : upload::internal_format(m_images[0]);
}

template class grTextureImages<image1d_t, texparameter1d_t>;
template class grTextureImages<image2d_t, texparameter2d_t>;
template class grTextureImages<image3d_t, texparameter3d_t>;
template class grTextureImages<image2d_t, texparametercubemap_t>;

void grTexture2D::upload(bool reload) const {
  if (m_images.empty()) return;
  const upload::levels_t t{GL_TEXTURE_2D,
                           m_mipmap,
                           m_compress,
                           m_compress,
                           m_border ? 1 : 0,
                           m_size,
                           is_GL_VERSION_3_0_supported && glGenerateMipmap,
                           upload::kMipmapFallback};
  auto level = [&](GLint i, const image2d_t& image, const gl_loading_format_t& f, GLint border,
                   uint32_t size) {
    const bool checked = !m_mipmap && !image.compressed && size == 0;
    if (checked) grPrintError("before-teximage2d(not-mipmap)");
    upload::level2d(GL_TEXTURE_2D, i, image, f, border, size, reload);
    if (checked) grPrintError("after-teximage2d(not-mipmap)");
  };
  upload::levels(m_images, t, level,
                 [](const image2d_t& image, const gl_loading_format_t& f, uint32_t size) {
                   upload::glu_mipmaps2d(GL_TEXTURE_2D, image, f, size);
                 });
  grTexParameter(m_param);
  if (m_border) grTexParameter(GL_TEXTURE_2D, m_border_color);
}

unsigned int grTextureRectangle::GetInternalFormat() const {
  return m_image.pixels.begin() ? upload::internal_format(m_image) : GL_INVALID_VALUE;
}

void grTextureRectangle::upload(bool reload) const {
  if (!m_image.pixels.begin() || m_image.width == 0 || m_image.height == 0) return;
  gl_loading_format_t f;
  if (!upload::prepare(f, m_image, m_image.compressed)) return;
  const GLsizei w = static_cast<GLsizei>(m_image.width);
  const GLsizei h = static_cast<GLsizei>(m_image.height);
  const void* data = upload::unpack_data(m_image);
  if (reload) {
    glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, w, h, f.format, f.type, data);
  } else {
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, static_cast<GLint>(f.internalformat), w, h, 0, f.format,
                 f.type, data);
  }
  grTexParameter(m_param);
}

}  // namespace libgr

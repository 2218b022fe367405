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

void report_sub_image(GLsizei side, const image2d_t& image,
                      const gl_loading_format_t& f) {
  std::cerr << "real_max: " << side << '\n'
            << "m_width: " << image.width << '\n'
            << "m_height: " << image.height << '\n'
            << "format: " << f.format << '\n'
            << "type: " << f.type << std::endl;
}

}  // namespace

void level2d(GLenum target, GLint level, const image2d_t& image,
             const gl_loading_format_t& f, GLint border, uint32_t size,
             bool reload) {
  const GLsizei w = static_cast<GLsizei>(image.width);
  const GLsizei h = static_cast<GLsizei>(image.height);
  const void* data = image.pixels.begin();
  if (image.compressed) {
    if (!compression_usable()) return;
    GLsizei bytes = static_cast<GLsizei>(image.pixels.size());
    if (reload) {
      if (glCompressedTexSubImage2DARB) {
        glCompressedTexSubImage2DARB(target, level, 0, 0, w, h, f.internalformat,
                                     bytes, data);
      }
    } else if (glCompressedTexImage2DARB) {
      glCompressedTexImage2DARB(target, level, f.internalformat, w, h, border,
                                bytes, data);
    }
    return;
  }
  if (size == 0) {
    if (reload) {
      glTexSubImage2D(target, level, 0, 0, w, h, f.format, f.type, data);
    } else {
      glTexImage2D(target, level, static_cast<GLint>(f.internalformat), w, h,
                   border, f.format, f.type, data);
    }
    return;
  }
  GLsizei side = level_side(size, border, level);
  if (!reload) {
    glTexImage2D(target, level, static_cast<GLint>(f.internalformat), side, side,
                 border, f.format, f.type, nullptr);
    if (grPrintError("before-tex-sub-image2d")) report_allocation(f, border);
  }
  glTexSubImage2D(target, level, 0, 0, w, h, f.format, f.type, data);
  if (grPrintError("after-tex-sub-image2d")) report_sub_image(side, image, f);
}

void glu_mipmaps2d(GLenum target, const image2d_t& image,
                   const gl_loading_format_t& f, uint32_t size) {
  image2d_t square;
  const image2d_t* source = &image;
  if (size > 0) {
    uint32_t side = static_cast<uint32_t>(level_side(size, 0, 0));
    square.desc = image.desc;
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
                    static_cast<GLsizei>(source->width),
                    static_cast<GLsizei>(source->height), f.format, f.type,
                    source->pixels.begin());
}

}  // namespace upload

void grTexture2D::setImage(const image2d_t& image, uint32_t size,
                           unsigned long index) {
  m_images.resize(index + 1);
  m_images[index] = image;
  m_size = texture_size(size, image.width, image.height);
}

void grTexture2D::setImages(const std::vector<image2d_t>& images, uint32_t size,
                            unsigned long index) {
  if (m_images.size() < index + images.size()) {
    m_images.resize(index + images.size());
  }
  uint32_t s = size;
  for (size_t j = 0; j < images.size(); ++j) {
    m_images[index + j] = images[j];
    s = texture_size(s, images[j].width, images[j].height);
  }
  m_size = size ? s : 0;
}

unsigned int grTexture2D::GetInternalFormat() const {
  gl_loading_format_t f;
  if (m_images.empty() ||
      !grConvertImageFormatToGlFormatFULL(&f, m_images[0].desc,
                                          m_images[0].compressed)) {
    return GL_INVALID_VALUE;
  }
  return f.internalformat;
}

void grTexture2D::upload(bool reload) const {
  if (m_images.empty()) return;
  grPalette palette;
  if (m_images[0].desc.format == IMAGE_FORMAT_INDEX) {
    palette.Load(m_images[0].palette);
  }
  const GLint border = m_border ? 1 : 0;
  gl_loading_format_t f;
  if (m_mipmap) {
    const image2d_t& base = m_images[0];
    if (grConvertImageFormatToGlFormatFULL(&f, base.desc, m_compress)) {
      grPixelStoreUnpack(base.store);
      grPixelStoreUnpack(base.window);
      if (is_GL_VERSION_3_0_supported && glGenerateMipmap) {
        upload::level2d(GL_TEXTURE_2D, 0, base, f, border, m_size, reload);
        glGenerateMipmap(GL_TEXTURE_2D);
      } else if (is_GL_SGIS_generate_mipmap_supported &&
                 is_GL_SGIS_generate_mipmap_capable_format(f.internalformat)) {
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 1);
        upload::level2d(GL_TEXTURE_2D, 0, base, f, border, m_size, reload);
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 0);
      } else if (base.compressed) {
        libutils::error();
        std::cerr << upload::kMipmapFallback << std::endl;
        upload::level2d(GL_TEXTURE_2D, 0, base, f, border, m_size, reload);
      } else {
        upload::glu_mipmaps2d(GL_TEXTURE_2D, base, f, m_size);
      }
    }
    for (size_t i = 1; i < m_images.size(); ++i) {
      const image2d_t& image = m_images[i];
      if (!grConvertImageFormatToGlFormatFULL(&f, image.desc, m_compress)) continue;
      grPixelStoreUnpack(image.store);
      grPixelStoreUnpack(image.window);
      upload::level2d(GL_TEXTURE_2D, static_cast<GLint>(i), image, f, 0, 0, reload);
    }
  } else {
    for (size_t i = 0; i < m_images.size(); ++i) {
      const image2d_t& image = m_images[i];
      if (!grConvertImageFormatToGlFormatFULL(&f, image.desc, m_compress)) continue;
      grPixelStoreUnpack(image.store);
      grPixelStoreUnpack(image.window);
      const GLint level = static_cast<GLint>(i);
      const GLint b = level == 0 ? border : 0;
      if (image.compressed || m_size > 0) {
        upload::level2d(GL_TEXTURE_2D, level, image, f, b, m_size, reload);
      } else {
        grPrintError("before-teximage2d(not-mipmap)");
        upload::level2d(GL_TEXTURE_2D, level, image, f, b, 0, reload);
        grPrintError("after-teximage2d(not-mipmap)");
      }
    }
  }
  grTexParameter(m_param);
  if (m_border) grTexParameter(GL_TEXTURE_2D, m_border_color);
}

unsigned int grTextureRectangle::GetInternalFormat() const {
  gl_loading_format_t f;
  if (!m_image.pixels.begin() ||
      !grConvertImageFormatToGlFormatFULL(&f, m_image.desc, m_image.compressed)) {
    return GL_INVALID_VALUE;
  }
  return f.internalformat;
}

void grTextureRectangle::upload(bool reload) const {
  if (!m_image.pixels.begin() || m_image.width == 0 || m_image.height == 0) return;
  gl_loading_format_t f;
  if (!grConvertImageFormatToGlFormatFULL(&f, m_image.desc, m_image.compressed)) {
    return;
  }
  // The image's own layout, whatever an earlier upload left set.
  grPixelStoreUnpack(m_image.store);
  grPixelStoreUnpack(m_image.window);
  const GLsizei w = static_cast<GLsizei>(m_image.width);
  const GLsizei h = static_cast<GLsizei>(m_image.height);
  if (reload) {
    glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, w, h, f.format, f.type,
                    m_image.pixels.begin());
  } else {
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, static_cast<GLint>(f.internalformat), w,
                 h, 0, f.format, f.type, m_image.pixels.begin());
  }
  grTexParameter(m_param);
}

}  // namespace libgr

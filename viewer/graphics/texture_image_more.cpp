// The 1D, 3D and cube-map members of the texture family; the 2D texture and
// the shared steps are in texture_image.cpp.
#include <algorithm>
#include <cstring>
#include <iostream>

#include "utility/futil.h"
#include "viewer/graphics/bitalign.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/pixelstore.h"
#include "viewer/graphics/texture_image.h"
#include "viewer/graphics/texture_upload.h"

namespace libgr {

namespace {

// 1D: compressed data as it is; size 0 the image's width; else a power of
// two with the image at 0.
void level1d(GLint level, const image1d_t& image, const gl_loading_format_t& f, GLint border,
             uint32_t size) {
  const GLsizei w = static_cast<GLsizei>(image.width);
  const void* data = upload::unpack_data(image);
  if (image.compressed) {
    if (upload::compression_usable() && glCompressedTexImage1DARB) {
      glCompressedTexImage1DARB(GL_TEXTURE_1D, level, f.internalformat, w, border,
                                static_cast<GLsizei>(image.pixels.size()), data);
    }
    return;
  }
  if (size == 0) {
    glTexImage1D(GL_TEXTURE_1D, level, static_cast<GLint>(f.internalformat), w, border, f.format,
                 f.type, data);
    return;
  }
  uint32_t side = libutils::CeilAlignBits(size) >> level;
  GLsizei allocated = static_cast<GLsizei>((side ? side : 1) + 2u * border);
  glTexImage1D(GL_TEXTURE_1D, level, static_cast<GLint>(f.internalformat), allocated, border,
               f.format, f.type, nullptr);
  glTexSubImage1D(GL_TEXTURE_1D, level, 0, w, f.format, f.type, data);
}

// GLU's mipmaps of a 1D level 0, with a texture size laid out as the other
// paths do: the image at 0 of a zero-filled power-of-two line.
void glu_mipmaps1d(const image1d_t& image, const gl_loading_format_t& f, uint32_t size) {
  image1d_t line;
  const image1d_t* source = &image;
  if (size > 0) {
    line.desc = image.desc;
    line.store = image.store;
    line.width = libutils::CeilAlignBits(size);
    if (line.allocate()) {
      uint64_t bytes = (uint64_t{image.desc.getPixelBits()} * image.width + 7) / 8;
      uint64_t room = (uint64_t{line.desc.getPixelBits()} * line.width + 7) / 8;
      std::memcpy(line[0], upload::unpack_data(image), std::min(bytes, room));
      grPixelStoreUnpack(line.store);
      grPixelStoreUnpack(line.window);
      source = &line;
    }
  }
  gluBuild1DMipmaps(GL_TEXTURE_1D, static_cast<GLint>(f.internalformat),
                    static_cast<GLsizei>(source->width), f.format, f.type,
                    upload::unpack_data(*source));
}

bool texture3d_usable() {
  if (glTexImage3DEXT && glTexSubImage3DEXT) return true;
  libutils::error();
  std::cerr << "grTexture3D: 3D textures unsupported, skip." << std::endl;
  return false;
}

// 3D: always allocated first, then filled at (0, 0, 0). Without a texture
// size the level has the image's own size.
void level3d(GLint level, const image3d_t& image, const gl_loading_format_t& f, GLint border,
             uint32_t size) {
  const GLsizei w = static_cast<GLsizei>(image.width);
  const GLsizei h = static_cast<GLsizei>(image.height);
  const GLsizei d = static_cast<GLsizei>(image.depth);
  const void* data = upload::unpack_data(image);
  if (image.compressed) {
    if (upload::compression_usable() && glCompressedTexImage3DARB) {
      glCompressedTexImage3DARB(GL_TEXTURE_3D, level, f.internalformat, w, h, d, border,
                                static_cast<GLsizei>(image.pixels.size()), data);
    }
    return;
  }
  if (!texture3d_usable()) return;
  GLsizei sw = w + 2 * border, sh = h + 2 * border, sd = d + 2 * border;
  if (size > 0) sw = sh = sd = upload::level_side(size, border, level);
  glTexImage3DEXT(GL_TEXTURE_3D, level, f.internalformat, sw, sh, sd, border, f.format, f.type,
                  nullptr);
  glTexSubImage3DEXT(GL_TEXTURE_3D, level, 0, 0, 0, w, h, d, f.format, f.type, data);
}

void glu_mipmaps3d(const image3d_t& image, const gl_loading_format_t& f, uint32_t) {
  gluBuild3DMipmaps(GL_TEXTURE_3D, static_cast<GLint>(f.internalformat),
                    static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height),
                    static_cast<GLsizei>(image.depth), f.format, f.type,
                    upload::unpack_data(image));
}

}  // namespace

void grTexture1D::Load() const {
  if (m_images.empty()) return;
  upload::levels(m_images,
                 {GL_TEXTURE_1D, m_mipmap, m_compress, false, m_border ? 1 : 0, m_size, false,
                  upload::kMipmapFallback},
                 level1d, glu_mipmaps1d);
  grTexParameter(m_param);
  grTexParameter(GL_TEXTURE_1D, m_border_color);
}

void grTexture3D::Load() const {
  if (m_images.empty()) return;
  const char* note = is_GL_SGIS_generate_mipmap_supported
                         ? upload::kMipmapFallback
                         : "Compressed image are can't build mipmaps in this environment.";
  upload::levels(
      m_images,
      {GL_TEXTURE_3D, m_mipmap, m_compress, m_compress, m_border ? 1 : 0, m_size, false, note},
      level3d, glu_mipmaps3d);
  grTexParameter(m_param);
  grTexParameter(GL_TEXTURE_3D, m_border_color);
}

// Cube map.

void grTextureCubeMap::setImage(const image2d_t (&faces)[6], uint32_t size, unsigned long index) {
  m_images.resize(6 * (index + 1));
  uint32_t s = size;
  for (unsigned f = 0; f < 6; ++f) {
    m_images[6 * index + f] = faces[f];
    s = upload::texture_size(s, faces[f]);
  }
  m_size = size ? s : 0;
}

void grTextureCubeMap::setImages(const std::vector<std::vector<image2d_t>>& levels, uint32_t size,
                                 unsigned long index) {
  if (m_images.size() < 6 * (index + levels.size())) {
    m_images.resize(6 * (index + levels.size()));
  }
  uint32_t s = size;
  for (size_t j = 0; j < levels.size(); ++j) {
    for (size_t f = 0; f < 6 && f < levels[j].size(); ++f) {
      m_images[6 * (index + j) + f] = levels[j][f];
      s = upload::texture_size(s, levels[j][f]);
    }
  }
  m_size = size ? s : 0;
}

void grTextureCubeMap::Load() const {
  if (m_images.empty()) return;
  grPalette palette;
  if (m_images[0].desc.format == IMAGE_FORMAT_INDEX) {
    palette.Load(m_images[0].palette);
  }
  const GLint border = m_border ? 1 : 0;
  const size_t levels = m_images.size() / 6;
  gl_loading_format_t f;
  // Uploads the six faces of a level, each with its own layout.
  auto faces = [&](size_t level, GLint b, bool compress) {
    for (unsigned face = 0; face < 6; ++face) {
      const image2d_t& image = m_images[6 * level + face];
      if (!upload::prepare(f, image, compress)) continue;
      upload::level2d(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, static_cast<GLint>(level), image, f, b,
                      level ? 0 : m_size, false);
    }
  };
  if (m_mipmap && levels > 0) {
    gl_loading_format_t base;
    bool sgis = is_GL_SGIS_generate_mipmap_supported &&
                upload::choose(base, m_images[0].desc, m_compress) &&
                is_GL_SGIS_generate_mipmap_capable_format(base.internalformat);
    if (is_GL_VERSION_3_0_supported && glGenerateMipmap) {
      faces(0, 0, m_compress);
      grPrintError("before-generate_mipmap");
      glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
      grPrintError("after-generate_mipmap");
    } else if (sgis) {
      glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_GENERATE_MIPMAP_SGIS, 1);
      grPrintError("after-texparameter_cubemap-sgis-true");
      faces(0, 0, m_compress);
      grPrintError("before-texparameter_cubemap-sgis-false");
      glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_GENERATE_MIPMAP_SGIS, 0);
      grPrintError("after-texparameter_cubemap-sgis-false");
    } else {
      for (unsigned face = 0; face < 6; ++face) {
        const image2d_t& image = m_images[face];
        if (!upload::prepare(f, image, m_compress)) continue;
        grPrintError("after-unpack_window_subset");
        if (image.compressed) {
          libutils::error();
          std::cerr << upload::kMipmapFallback << std::endl;
          upload::level2d(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, image, f, 0, m_size, false);
          continue;
        }
        upload::glu_mipmaps2d(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, image, f, m_size);
        grPrintError("after-gluBuild2DMipmaps");
      }
    }
    for (size_t level = 1; level < levels; ++level) faces(level, 0, m_compress);
  } else {
    for (size_t level = 0; level < levels; ++level) {
      faces(level, level == 0 ? border : 0, m_compress);
    }
  }
  grTexParameter(m_param);
}

}  // namespace libgr

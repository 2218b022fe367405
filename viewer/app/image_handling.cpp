#include "viewer/app/image_handling.h"

#include <algorithm>
#include <iostream>

#include "image/imageutil.h"
#include "utility/futil.h"
#include "utility/option.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/geometry_stream.h"
#include "viewer/graphics/gl_api.h"

namespace plimlib {

namespace {

// Tiles along one axis of length L: full ones of side maxsize, and one
// partial; side is the tile side this axis asks for.
struct axis_t {
  unsigned long full = 0;
  unsigned long partial = 0;
  unsigned long side = 0;
};

axis_t split_axis(unsigned long length, unsigned long maxsize) {
  axis_t a;
  if (length > maxsize) {
    a.full = length / maxsize;
    a.partial = (length % maxsize) ? 1 : 0;
    a.side = maxsize;
  } else if (length != 0 && (length & (length - 1)) == 0) {
    a.full = 1;
    a.side = length;
  } else {
    a.partial = 1;
    unsigned long side = 0;
    if (length != 0) {
      side = 1;
      while (side <= length) side <<= 1;
    }
    a.side = side;
  }
  return a;
}

void fail(const char* what) {
  libutils::error();
  std::cerr << "rectangle_to_squares()" << what << std::endl;
}

}  // namespace

bool multi_square_image_t::allocate() {
  m_images.clear();
  const std::size_t n = static_cast<std::size_t>(m_columns) * m_rows;
  m_images.resize(n);
  return m_images.size() == n;
}

void multi_square_image_t::clear() {
  m_images.clear();
  m_columns = 0;
  m_rows = 0;
}

bool rectangle_to_squares(multi_square_image_t& outimg, libgr::image2d_t& inimg,
                          unsigned long maxsize, bool window) {
  if (g_option.debug) {
    std::cerr << "rectangle_to_squares()\n"
              << "inimg: " << inimg.width << ", " << inimg.height << '\n'
              << "maxsize: " << maxsize << std::endl;
  }
  if (inimg.compressed) {
    fail(": compressed format not supported.");
    return false;
  }
  if (maxsize == 0) maxsize = 1;
  const axis_t ax = split_axis(inimg.width, maxsize);
  const axis_t ay = split_axis(inimg.height, maxsize);
  const unsigned long side = std::max(ax.side, ay.side);
  outimg.m_desc = inimg.desc;
  outimg.m_columns = static_cast<std::uint32_t>(ax.full + ax.partial);
  outimg.m_rows = static_cast<std::uint32_t>(ay.full + ay.partial);
  const float inv = side ? 1.0f / static_cast<float>(side) : 0.0f;
  outimg.m_column_coverage = static_cast<float>(inimg.width) * inv;
  outimg.m_row_coverage = static_cast<float>(inimg.height) * inv;
  if (!outimg.allocate()) {
    fail(": outimg allocate failed.");
    return false;
  }
  const unsigned long columns = outimg.m_columns;
  const unsigned int S = static_cast<unsigned int>(side);
  // One tile: a window onto inimg, or its own copy of that window.
  auto make = [&](unsigned long index, unsigned long x, unsigned long y, unsigned int w,
                  unsigned int h) {
    libgr::image2d_t& tile = outimg.m_images[index];
    if (window) {
      if (!libgr::makewindow(tile, inimg, static_cast<int>(x), static_cast<int>(y), w, h)) {
        fail(": makewindow() failed.");
        return false;
      }
      return true;
    }
    libgr::image2d_t temp;
    if (!libgr::makewindow(temp, inimg, static_cast<int>(x), static_cast<int>(y), w, h)) {
      fail(": makewindow() failed.");
      return false;
    }
    if (!libgr::copy(tile, temp)) {
      fail(": copy() failed.");
      return false;
    }
    return true;
  };
  const unsigned int wrest = inimg.width % (S ? S : 1);
  const unsigned int hrest = inimg.height % (S ? S : 1);
  for (unsigned long r = 0; r < ay.full; ++r) {
    for (unsigned long c = 0; c < ax.full; ++c) {
      if (!make(r * columns + c, c * S, r * S, S, S)) return false;
    }
    if (ax.partial && !make(r * columns + ax.full, ax.full * S, r * S, wrest, S)) {
      return false;
    }
  }
  if (ay.partial) {
    for (unsigned long c = 0; c < ax.full; ++c) {
      if (!make(ay.full * columns + c, c * S, ay.full * S, S, hrest)) return false;
    }
    if (ax.partial && !make(ay.full * columns + ax.full, ax.full * S, ay.full * S, wrest, hrest)) {
      return false;
    }
  }
  return true;
}

bool squares_to_texobjs(multi_texture_object_t& textures, const multi_square_image_t& tiles) {
  textures.m_textures.resize(tiles.m_images.size());
  static_cast<tile_grid_t&>(textures) = tiles;
  if (tiles.m_images.empty()) return true;
  std::uint32_t size = 0;
  for (const libgr::image2d_t& tile : tiles.m_images) {
    size = std::max({size, tile.width, tile.height});
  }
  for (std::size_t i = 0; i < tiles.m_images.size(); ++i) {
    libgr::grTexture2D& t = textures.m_textures[i];
    t.setInternalCompression(false);
    t.setBuildMipmap(true);
    t.setBorder(false);
    t.setImage(tiles.m_images[i], size, 0);
  }
  return true;
}

void multi_texture_object_t::Preload() {
  m_texobjs.resize(m_textures.size());
  for (std::size_t i = 0; i < m_textures.size(); ++i) {
    m_texobjs[i].Preload(&m_textures[i]);
  }
}

void multi_texture_object_t::Unload() {
  for (const libgr::grTextureObject& t : m_texobjs) t.Unload();
  m_texobjs.clear();
}

bool multi_texture_object_t::isResident() const {
  bool resident = true;
  for (std::size_t i = 0; i < m_texobjs.size(); ++i) {
    const libgr::grTextureObject& t = m_texobjs[i];
    if (!t.isPreload()) {
      if (g_option.debug) {
        std::cerr << "multi_texture_object_t::isResident()\n"
                  << "m_texobjs[" << i << "] is not loaded." << std::endl;
      }
      continue;
    }
    if (!t.isResident()) resident = false;
  }
  return resident;
}

void multi_texture_object_t::draw_image(const libgr::position2_t& btm_lft,
                                        const libgr::position2_t& top_rit) const {
  if (g_option.debug) {
    std::cerr << "multi_texture_object_t::draw_image()\n"
              << "btm_lft: " << btm_lft << '\n'
              << "top_rit: " << top_rit << std::endl;
  }
  // A tile's share of the rectangle; coverages of 0 (no image) draw
  // nothing below.
  const float tw = (top_rit.x - btm_lft.x) * (1.0f / m_column_coverage);
  const float th = (top_rit.y - btm_lft.y) * (1.0f / m_row_coverage);
  libgr::grPrintError("before-glenable-tex2d");
  glEnable(GL_TEXTURE_2D);
  libgr::grPrintError("after-glenable-tex2d");
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  libgr::grPrintError("after-gltexenv");
  for (std::uint32_t r = 0; r < m_rows; ++r) {
    for (std::uint32_t c = 0; c < m_columns; ++c) {
      const std::size_t n = static_cast<std::size_t>(r) * m_columns + c;
      if (n >= m_texobjs.size()) continue;
      const float s = std::min(m_column_coverage - static_cast<float>(c), 1.0f);
      const float t = std::min(m_row_coverage - static_cast<float>(r), 1.0f);
      libgr::grPrintError("before m_texobjs[n].Load().");
      m_texobjs[n].Load();
      libgr::grPrintError("after m_texobjs[n].Load().");
      libgr::grTexParameter(m_parm);
      libgr::grPrintError("after grTexParameter().");
      const float x0 = btm_lft.x + static_cast<float>(c) * tw;
      const float x1 = btm_lft.x + (static_cast<float>(c) + s) * tw;
      const float y0 = btm_lft.y + static_cast<float>(r) * th;
      const float y1 = btm_lft.y + (static_cast<float>(r) + t) * th;
      glBegin(GL_TRIANGLE_FAN);
      glTexCoord2f(0, 0);
      glVertex2f(x0, y0);
      glTexCoord2f(s, 0);
      glVertex2f(x1, y0);
      glTexCoord2f(s, t);
      glVertex2f(x1, y1);
      glTexCoord2f(0, t);
      glVertex2f(x0, y1);
      glEnd();
    }
  }
  libgr::grPrintError("before-gldisable-tex2d");
  glDisable(GL_TEXTURE_2D);
  libgr::grPrintError("after-gldisable-tex2d");
}

}  // namespace plimlib

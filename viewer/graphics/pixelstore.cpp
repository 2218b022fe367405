#include "viewer/graphics/pixelstore.h"

#include <algorithm>

#include "viewer/graphics/gl_api.h"

namespace libgr {

namespace {

GLint gl_int(uint32_t v) { return static_cast<GLint>(std::min<uint32_t>(v, 0x7fffffff)); }

void store(const image_store_t* s, GLenum swap, GLenum alignment) {
  glPixelStorei(swap, s && s->swap_bytes ? GL_TRUE : GL_FALSE);
  glPixelStorei(alignment, s && s->alignment ? gl_int(s->alignment) : 4);
}

// The unpack or the pack names of the window's parameters.
struct window_names_t {
  GLenum row_length, image_height, skip_pixels, skip_rows, skip_images;
};
constexpr window_names_t kUnpack{GL_UNPACK_ROW_LENGTH, GL_UNPACK_IMAGE_HEIGHT,
                                 GL_UNPACK_SKIP_PIXELS, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_IMAGES};
constexpr window_names_t kPack{GL_PACK_ROW_LENGTH, GL_PACK_IMAGE_HEIGHT, GL_PACK_SKIP_PIXELS,
                               GL_PACK_SKIP_ROWS, GL_PACK_SKIP_IMAGES};

void window(const image_window1d_t& w, const window_names_t& n) {
  glPixelStorei(n.skip_pixels, gl_int(w.skip_pixels));
}

void window(const image_window2d_t& w, const window_names_t& n) {
  glPixelStorei(n.row_length, gl_int(w.row_length));
  glPixelStorei(n.skip_pixels, gl_int(w.skip_pixels));
  glPixelStorei(n.skip_rows, gl_int(w.skip_rows));
}

void window(const image_window3d_t& w, const window_names_t& n) {
  glPixelStorei(n.row_length, gl_int(w.row_length));
  glPixelStorei(n.image_height, gl_int(w.image_height));
  glPixelStorei(n.skip_pixels, gl_int(w.skip_pixels));
  glPixelStorei(n.skip_rows, gl_int(w.skip_rows));
  glPixelStorei(n.skip_images, gl_int(w.skip_images));
}

}  // namespace

void grPixelStoreUnpack(const image_store_t* s) {
  store(s, GL_UNPACK_SWAP_BYTES, GL_UNPACK_ALIGNMENT);
}

void grPixelStorePack(const image_store_t* s) { store(s, GL_PACK_SWAP_BYTES, GL_PACK_ALIGNMENT); }

void grPixelStoreUnpack(const image_window1d_t& w) { window(w, kUnpack); }
void grPixelStoreUnpack(const image_window2d_t& w) { window(w, kUnpack); }
void grPixelStoreUnpack(const image_window3d_t& w) { window(w, kUnpack); }
void grPixelStorePack(const image_window1d_t& w) { window(w, kPack); }
void grPixelStorePack(const image_window2d_t& w) { window(w, kPack); }
void grPixelStorePack(const image_window3d_t& w) { window(w, kPack); }

grPalette::~grPalette() {
  if (m_loaded) glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
}

void grPalette::Load(const palette_t& palette) {
  if (palette.size == 0) return;
  // GL takes at most GL_MAX_PIXEL_MAP_TABLE entries, as a power of two.
  GLint max_entries = 0;
  glGetIntegerv(GL_MAX_PIXEL_MAP_TABLE, &max_entries);
  uint64_t n = std::min<uint64_t>(palette.size, max_entries > 0 ? max_entries : 256);
  n = std::min<uint64_t>(n, palette.red.size());
  n = std::min<uint64_t>(n, palette.green.size());
  n = std::min<uint64_t>(n, palette.blue.size());
  glPixelTransferi(GL_MAP_COLOR, GL_TRUE);
  GLsizei count = static_cast<GLsizei>(n);
  glPixelMapusv(GL_PIXEL_MAP_I_TO_R, count, palette.red.begin());
  glPixelMapusv(GL_PIXEL_MAP_I_TO_G, count, palette.green.begin());
  glPixelMapusv(GL_PIXEL_MAP_I_TO_B, count, palette.blue.begin());
  m_loaded = true;
}

}  // namespace libgr

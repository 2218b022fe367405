// GL pixel-store settings from the image records, and the colour map that
// turns indexed pixels into colours during an upload. Need a current GL
// context.
#pragma once

#include "image/imagetype.h"

namespace libgr {

// Swap flag and alignment. A null record sets what the image library
// assumes without one (no swap, alignment 4), so that a record left by an
// earlier upload never makes GL read or write past a store.
void grPixelStoreUnpack(const image_store_t* store);
void grPixelStorePack(const image_store_t* store);
// The window: skipped pixels (1D); row length, skipped pixels, skipped rows
// (2D); row length, image height, skipped pixels, rows and images (3D).
void grPixelStoreUnpack(const image_window1d_t& window);
void grPixelStoreUnpack(const image_window2d_t& window);
void grPixelStoreUnpack(const image_window3d_t& window);
void grPixelStorePack(const image_window1d_t& window);
void grPixelStorePack(const image_window2d_t& window);
void grPixelStorePack(const image_window3d_t& window);

// Maps colour indices through a palette while it is loaded; the
// destructor switches the mapping off again.
class grPalette {
 public:
  grPalette() = default;
  grPalette(const grPalette&) = delete;
  grPalette& operator=(const grPalette&) = delete;
  ~grPalette();
  // Nothing for an empty palette.
  void Load(const palette_t& palette);
  bool isLoaded() const { return m_loaded; }

 private:
  bool m_loaded = false;
};

}  // namespace libgr

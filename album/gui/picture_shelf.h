#pragma once
// The shelf on which an album dialog keeps the thumbnails it decodes.

#include <cstddef>

#include "album/gui/decoded_budget.h"
#include "image/imagetype.h"
#include "image/loader_jpeg.h"

namespace tavolin {

// Where a dialog's thumbnails of movies, and of photos without a level,
// are decoded and kept, up to a thousand of them. Each is decoded into one scratch picture, whose
// pages serve again and again, and kept next to the others in large blocks, which the kernel backs
// with huge pages: a few hundred page faults for all of them instead of some seventy thousand, each
// of which takes microseconds.
class picture_shelf_t {
 public:
  // decoded holds the level pictures of the dialog's buttons.
  explicit picture_shelf_t(decoded_budget_t& decoded) : decoded(decoded) {}
  decoded_budget_t& decoded;
  // What the thumbnail loaders decode into, and read photos' heads into.
  libgr::image2d_t scratch;
  libgr::jpeg_head_buffer_t heads;
  // picture's pixels copied onto the shelf: an image sharing a block with
  // the others kept. picture itself when it has no pixels or too many.
  libgr::image2d_t keep(const libgr::image2d_t& picture);

 private:
  libgr::pixel_store_t m_block;
  size_t m_used = 0;
};

}  // namespace tavolin

#include "album/gui/picture_shelf.h"

#include <cstdint>
#include <cstring>

namespace tavolin {

libgr::image2d_t picture_shelf_t::keep(const libgr::image2d_t& picture) {
  // Blocks of 16 MB: some sixty thumbnails of a camera photo each; only the
  // pages written are taken.
  constexpr size_t block_bytes = size_t{16} << 20;
  const uint64_t need = (uint64_t{picture.height} + picture.window.skip_rows) * picture.rowsize();
  if (need == 0 || need > picture.pixels.size() || need > block_bytes) return picture;
  const size_t bytes = static_cast<size_t>(need);
  if (m_block.empty() || m_used + bytes > m_block.size()) {
    libgr::pixel_store_t fresh;
    if (!fresh.resize(block_bytes)) return picture;
    m_block = fresh;
    m_used = 0;
  }
  libgr::image2d_t kept = picture;
  kept.pixels.setwindow(m_block, m_used, bytes);
  std::memcpy(kept.pixels.begin(), picture.pixels.begin(), bytes);
  m_used += (bytes + 63) & ~size_t{63};
  return kept;
}

}  // namespace tavolin

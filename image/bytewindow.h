// Byte windows on mapped JPEG data and the bounded reads the marker and
// TIFF parsers make through them. Every offset and length that comes from a
// file is checked here in 64 bits, so that no sum wraps.
#pragma once

#include <cstdint>
#include <cstring>

#include "utility/alloc_mmap_unix.h"
#include "utility/byteorder.h"
#include "utility/refvector.h"

namespace libgr {

typedef libutils::ofsvector<unsigned char, libutils::alloc_mmap_unix> byte_window_t;

// True when w holds the length bytes from offset on.
inline bool holds(const byte_window_t& w, uint64_t offset, uint64_t length) {
  uint64_t size = w.size();
  return offset <= size && length <= size - offset;
}

// out becomes the window (offset, length) on source, cut where source's own
// window ends (the vector's setwindow only stops at the end of the block).
inline void subwindow(byte_window_t& out, const byte_window_t& source, uint64_t offset,
                      uint64_t length) {
  uint64_t size = source.size();
  if (offset > size) offset = size;
  if (length > size - offset) length = size - offset;
  out.setwindow(source, static_cast<size_t>(offset), static_cast<size_t>(length));
}

// Raw reads in host order; the caller has checked the bounds.
inline unsigned short load16(const unsigned char* p) {
  unsigned short v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline unsigned int load32(const unsigned char* p) {
  unsigned int v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Big-endian reads of JPEG segment fields.
inline unsigned short be16(const unsigned char* p) { return libutils::mtohs(load16(p)); }

}  // namespace libgr

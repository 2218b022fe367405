// One 12-byte entry of a TIFF IFD, as the EXIF and maker-note walks read it.
#pragma once

#include "image/exif_types.h"

namespace libgr {

struct ifd_entry_t {
  unsigned short tag = 0;
  unsigned short type = 0;
  uint32_t count = 0;
  uint64_t length = 0;  // count times the type's size, in 64 bits: never wraps
  uint64_t field = 0;   // position of the 4-byte value field in the IFD window

  bool inline_value() const { return length <= 4; }
};

// The entry whose first byte is at position at of ifd; the caller has
// checked that ifd holds its 12 bytes. A type above 13 gives length 0.
inline ifd_entry_t read_ifd_entry(const libutils::byteorder& order, const byte_window_t& ifd,
                                  uint64_t at) {
  const unsigned char* p = ifd.begin() + at;
  ifd_entry_t e;
  e.tag = order.tohs(load16(p));
  e.type = order.tohs(load16(p + 2));
  e.count = order.tohl(load32(p + 4));
  e.field = at + 8;
  if (e.type <= 13) e.length = uint64_t(e.count) * exiftypesize[e.type];
  return e;
}

// The u32 in the entry's value field: the offset of a value over 4 bytes.
inline uint32_t ifd_value_offset(const libutils::byteorder& order, const byte_window_t& ifd,
                                 const ifd_entry_t& e) {
  return order.tohl(load32(ifd.begin() + e.field));
}

// The u16 at byte at of w, 0 when w does not hold it.
inline unsigned short read_u16(const libutils::byteorder& order, const byte_window_t& w,
                               uint64_t at) {
  return holds(w, at, 2) ? order.tohs(load16(w.begin() + at)) : 0;
}

}  // namespace libgr

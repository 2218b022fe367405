// Checks shared by the BMP readers: what a header must hold before any of
// its sizes is used.
#pragma once

#include <cstdint>

#include "image/imagetype.h"
#include "utility/bmpheader.h"
#include "utility/refvector.h"

namespace libgr {
namespace bmp {

constexpr uint16_t file_type = 0x4D42;  // "BM" read little-endian
constexpr uint32_t headers_size = 14 + 40;

// The header fields in host order.
struct fields_t {
  uint16_t type = 0;
  uint32_t file_size = 0;
  uint32_t offset = 0;  // of the pixel data
  uint32_t header_size = 0;
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top-down
  uint16_t planes = 0;
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t image_size = 0;
  int32_t xppm = 0;
  int32_t yppm = 0;
  uint32_t colours_used = 0;
  uint32_t colours_important = 0;
};

inline uint32_t le32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The first 54 bytes of a file.
inline fields_t parse(const unsigned char* h) {
  fields_t f;
  f.type = le16(h);
  f.file_size = le32(h + 2);
  f.offset = le32(h + 10);
  f.header_size = le32(h + 14);
  f.width = static_cast<int32_t>(le32(h + 18));
  f.height = static_cast<int32_t>(le32(h + 22));
  f.planes = le16(h + 26);
  f.bits = le16(h + 28);
  f.compression = le32(h + 30);
  f.image_size = le32(h + 34);
  f.xppm = static_cast<int32_t>(le32(h + 38));
  f.yppm = static_cast<int32_t>(le32(h + 42));
  f.colours_used = le32(h + 46);
  f.colours_important = le32(h + 50);
  return f;
}

// "BM", an information header of at least 40 bytes (the 12-byte OS/2 one
// has other fields) and pixels after the headers.
inline bool headers_valid(const fields_t& f) {
  return f.type == file_type && f.header_size >= 40 &&
         uint64_t(f.offset) >= 14 + uint64_t(f.header_size);
}

inline uint64_t rows(const fields_t& f) {
  return f.height < 0 ? uint64_t(-int64_t(f.height)) : uint64_t(f.height);
}

// Bytes of one stored row: padded to 4.
inline uint64_t rowbytes(uint64_t width, uint64_t bits) {
  return libutils::UpAlign<uint64_t>((width * bits + 7) / 8, 4);
}

// A size that may be allocated: width above 0, height not 0, a BMP depth,
// within image_pixel_limit.
inline bool size_valid(const fields_t& f, const char* name) {
  if (f.width <= 0 || f.height == 0) return false;
  switch (f.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return false;
  }
  return check_image_size(name, uint64_t(f.width), rows(f));
}

inline void store(libutils::tagBITMAPFILEHEADER& file, libutils::tagBITMAPINFOHEADER& info,
                  const fields_t& f) {
  file.bfType = f.type;
  file.bfSize = f.file_size;
  file.bfReserved1 = 0;
  file.bfReserved2 = 0;
  file.bfOffBits = f.offset;
  info.biSize = f.header_size;
  info.biWidth = f.width;
  info.biHeight = f.height;
  info.biPlanes = f.planes;
  info.biBitCount = f.bits;
  info.biCompression = f.compression;
  info.biSizeImage = f.image_size;
  info.biXPelsPerMeter = f.xppm;
  info.biYPelsPerMeter = f.yppm;
  info.biClrUsed = f.colours_used;
  info.biClrImportant = f.colours_important;
}

}  // namespace bmp
}  // namespace libgr

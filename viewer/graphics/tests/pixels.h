// Any image the loaders produce as 16-bit RGBA values, top row first: the
// independent unpacking the tests compare and imagetool writes out.
#pragma once

#include <cstdint>
#include <vector>

#include "image/imagetype.h"

namespace grtest {

// Sample x of a row of packed samples of depth bits (most significant
// first), scaled to 16 bits.
inline uint16_t sample16(const unsigned char* row, uint64_t x, unsigned bits, bool big_endian) {
  switch (bits) {
    case 16: {
      const unsigned char* p = row + 2 * x;
      return static_cast<uint16_t>(big_endian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    }
    case 8: return static_cast<uint16_t>(row[x] * 257);
    default: {
      uint64_t bit = x * bits;
      unsigned v = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
      return static_cast<uint16_t>(v * 65535 / ((1u << bits) - 1));
    }
  }
}

inline unsigned packed_index(const unsigned char* row, uint64_t x, unsigned bits) {
  uint64_t bit = x * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

inline bool component_bits(libgr::e_image_bits_t b, unsigned& bits) {
  switch (b) {
    case libgr::IMAGE_BITS_1: bits = 1; return true;
    case libgr::IMAGE_BITS_2: bits = 2; return true;
    case libgr::IMAGE_BITS_4: bits = 4; return true;
    case libgr::IMAGE_BITS_8: bits = 8; return true;
    case libgr::IMAGE_BITS_16: bits = 16; return true;
    default: return false;
  }
}

// Empty for a layout it does not know.
inline std::vector<uint16_t> rgba16(const libgr::image2d_t& image) {
  using namespace libgr;
  std::vector<uint16_t> out;
  const bool big_endian =
      (image.store && image.store->swap_bytes) == (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
  const e_image_format_t f = image.desc.format;
  const bool packed555 = image.desc.bits == IMAGE_BITS_R5G5B5A1;
  unsigned bits = 0;
  if (!packed555 && !component_bits(image.desc.bits, bits)) return out;
  out.reserve(uint64_t(image.width) * image.height * 4);
  for (uint32_t r = image.height; r-- > 0;) {
    const unsigned char* row = image[r];
    for (uint64_t x = 0; x < image.width; ++x) {
      uint16_t c[4] = {0, 0, 0, 65535};
      if (packed555) {
        unsigned v = row[2 * x] | row[2 * x + 1] << 8;
        c[0] = static_cast<uint16_t>(((v >> 10) & 31) * 65535 / 31);
        c[1] = static_cast<uint16_t>(((v >> 5) & 31) * 65535 / 31);
        c[2] = static_cast<uint16_t>((v & 31) * 65535 / 31);
        c[3] = (v & 0x8000) ? 65535 : 0;
      } else if (f == IMAGE_FORMAT_INDEX) {
        unsigned i = bits == 8 ? row[x] : packed_index(row, x, bits);
        if (i < image.palette.size) {
          c[0] = image.palette.red[i];
          c[1] = image.palette.green[i];
          c[2] = image.palette.blue[i];
        }
      } else {
        unsigned n = getFormatComponents(f);
        uint16_t s[4];
        for (unsigned k = 0; k < n && k < 4; ++k) s[k] = sample16(row, x * n + k, bits, big_endian);
        switch (f) {
          case IMAGE_FORMAT_GRAYSCALE: c[0] = c[1] = c[2] = s[0]; break;
          case IMAGE_FORMAT_GRAYSCALE_ALPHA:
            c[0] = c[1] = c[2] = s[0];
            c[3] = s[1];
            break;
          case IMAGE_FORMAT_RGB:
            c[0] = s[0];
            c[1] = s[1];
            c[2] = s[2];
            break;
          case IMAGE_FORMAT_RGBA:
            c[0] = s[0];
            c[1] = s[1];
            c[2] = s[2];
            c[3] = s[3];
            break;
          case IMAGE_FORMAT_BGR:
            c[0] = s[2];
            c[1] = s[1];
            c[2] = s[0];
            break;
          case IMAGE_FORMAT_BGRA:
            c[0] = s[2];
            c[1] = s[1];
            c[2] = s[0];
            c[3] = s[3];
            break;
          default: return {};
        }
      }
      out.insert(out.end(), c, c + 4);
    }
  }
  return out;
}

}  // namespace grtest

// Byte-order converters for reading TIFF data written in either order.
#pragma once

#include <cstdint>

namespace libutils {

namespace detail {

constexpr bool host_is_little_endian() { return __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__; }

}  // namespace detail

// Little-endian data to host order.
inline unsigned short itohs(unsigned short v) {
  return detail::host_is_little_endian() ? v : __builtin_bswap16(v);
}
inline unsigned int itohl(unsigned int v) {
  return detail::host_is_little_endian() ? v : __builtin_bswap32(v);
}
inline unsigned long long itohll(unsigned long long v) {
  return detail::host_is_little_endian() ? v : __builtin_bswap64(v);
}

// Big-endian data to host order.
inline unsigned short mtohs(unsigned short v) {
  return detail::host_is_little_endian() ? __builtin_bswap16(v) : v;
}
inline unsigned int mtohl(unsigned int v) {
  return detail::host_is_little_endian() ? __builtin_bswap32(v) : v;
}
inline unsigned long long mtohll(unsigned long long v) {
  return detail::host_is_little_endian() ? __builtin_bswap64(v) : v;
}

// The byte order of one TIFF stream, chosen once from its header.
class byteorder {
 public:
  virtual unsigned short tohs(unsigned short v) const = 0;
  virtual unsigned int tohl(unsigned int v) const = 0;
  virtual unsigned long long tohll(unsigned long long v) const = 0;
  virtual ~byteorder();
};

// The order of a stream's header mark: "II" little-endian (intel), "MM"
// big-endian (motorola).
template <bool Little>
class fixed_byteorder final : public byteorder {
 public:
  unsigned short tohs(unsigned short v) const override { return Little ? itohs(v) : mtohs(v); }
  unsigned int tohl(unsigned int v) const override { return Little ? itohl(v) : mtohl(v); }
  unsigned long long tohll(unsigned long long v) const override {
    return Little ? itohll(v) : mtohll(v);
  }
};

using intel_byteorder = fixed_byteorder<true>;
using motorola_byteorder = fixed_byteorder<false>;

}  // namespace libutils

// What the image operations of imageutil_*.cpp share: row planes, the
// checks of a source's store and the making of a destination. Private to
// the image library.
#pragma once

#include <cmath>
#include <cstdint>

#include "image/imagetype.h"
#include "utility/failure.h"

namespace libgr {
namespace imageutil_detail {

// The pixel-store record of the converters' own results.
inline const image_store_t s_store_4(false, 4);

// A plane of rows: row r starts at base + r x stride. Taken once per image
// so that the loops below need no per-pixel addressing.
template <class Byte>
struct plane_t {
  Byte* base;
  uint64_t stride;
  Byte* operator[](uint64_t r) const { return base + r * stride; }
};

inline plane_t<unsigned char> rows_of(image2d_t& image) {
  if (image.width == 0 || image.height == 0) return {nullptr, 0};
  return {image[0], image.rowsize()};
}

inline plane_t<const unsigned char> rows_of(const image2d_t& image) {
  if (image.width == 0 || image.height == 0) return {nullptr, 0};
  return {image[0], image.rowsize()};
}

// True when the pixel store holds every byte the rows address, so that a
// record whose store is missing or short is refused instead of overrun.
inline bool store_covers(const image2d_t& image, const char* function) {
  if (image.width == 0 || image.height == 0) return true;
  uint64_t last_row = uint64_t{image.window.skip_rows} + image.height - 1;
  uint64_t need = last_row * image.rowsize() +
                  uint64_t{image.window.skip_pixels} * image.desc.getPixelBits() / 8 +
                  image.rowbyte();
  if (image.pixels.begin() && image.pixels.size() >= need) return true;
  libutils::fail(function, "(): image store is smaller than its rows.");
  return false;
}

// dst made anew with its own store and window kept.
inline bool prepare(image2d_t& dst, const image_desc_t& desc, uint32_t width, uint32_t height) {
  dst.clear();
  dst.desc = desc;
  dst.width = width;
  dst.height = height;
  dst.compressed = false;
  return dst.allocate();
}

inline bool prepare_or_report(image2d_t& dst, const image_desc_t& desc, uint32_t width,
                              uint32_t height, const char* message) {
  if (prepare(dst, desc, width, height)) return true;
  libutils::fail(message);
  return false;
}

inline bool integer_type(e_image_type_t type) {
  return type == IMAGE_TYPE_SINT || type == IMAGE_TYPE_UINT;
}

inline bool byte_layout(const image2d_t& image, e_image_format_t format) {
  return image.desc.format == format && integer_type(image.desc.type) &&
         image.desc.bits == IMAGE_BITS_8 && !image.compressed;
}

// Clamped to [0, 1], a NaN counting as 1, as int(v x 255 + 0.5).
inline unsigned char unit_byte(float v) {
  if (std::isnan(v) || v > 1) v = 1;
  if (v < 0) v = 0;
  return static_cast<unsigned char>(static_cast<int>(v * 255 + 0.5f));
}

}  // namespace imageutil_detail
}  // namespace libgr

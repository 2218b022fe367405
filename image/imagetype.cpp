#include "image/imagetype.h"

#include <iostream>

#include "utility/futil.h"

namespace libgr {

bool check_image_size(const char* name, uint64_t width, uint64_t height) {
  if (width != 0 && height > image_pixel_limit / width) {
    return libutils::fail(name ? name : "", ": image too large, ", width, "x", height, " pixels.");
  }
  return true;
}

const char* const image_format_string[IMAGE_FORMAT_MAX + 1] = {
    "IMAGE_FORMAT_GRAYSCALE", "IMAGE_FORMAT_GRAYSCALE_ALPHA",
    "IMAGE_FORMAT_INTENSITY", "IMAGE_FORMAT_RED",
    "IMAGE_FORMAT_GREEN",     "IMAGE_FORMAT_BLUE",
    "IMAGE_FORMAT_ALPHA",     "IMAGE_FORMAT_RG",
    "IMAGE_FORMAT_RGB",       "IMAGE_FORMAT_RGBA",
    "IMAGE_FORMAT_BGR",       "IMAGE_FORMAT_BGRA",
    "IMAGE_FORMAT_DEPTH",     "IMAGE_FORMAT_DEPTH_STENCIL",
    "IMAGE_FORMAT_YCbCr",     "IMAGE_FORMAT_YCbCrA",
    "IMAGE_FORMAT_YCbCr422",  "IMAGE_FORMAT_INDEX",
    "IMAGE_FORMAT_MAX",
};

const char* const image_type_string[IMAGE_TYPE_MAX + 1] = {
    "IMAGE_TYPE_SINT",
    "IMAGE_TYPE_UINT",
    "IMAGE_TYPE_FLOAT",
    "IMAGE_TYPE_MAX",
};

const char* const image_bits_string[IMAGE_BITS_MAX + 1] = {
    "IMAGE_BITS_1",           "IMAGE_BITS_2",      "IMAGE_BITS_4",      "IMAGE_BITS_8",
    "IMAGE_BITS_12",          "IMAGE_BITS_16",     "IMAGE_BITS_24",     "IMAGE_BITS_32",
    "IMAGE_BITS_64",          "IMAGE_BITS_R3G3B2", "IMAGE_BITS_R5G6B5", "IMAGE_BITS_R5G5B5A1",
    "IMAGE_BITS_R10G10B10A2", "IMAGE_BITS_L6A2",   "IMAGE_BITS_L12A4",  "IMAGE_BITS_D24S8",
    "IMAGE_BITS_MAX",
};

namespace {

const unsigned char s_image_format_components_list[IMAGE_FORMAT_MAX] = {
    1, 2, 1, 1, 1, 1, 1, 2, 3, 4, 3, 4, 1, 2, 3, 4, 2, 1,
};

// {bits per component, packed bits per pixel}; one of them is 0.
const unsigned char s_image_bits_list[IMAGE_BITS_MAX][2] = {
    {1, 0},  {2, 0}, {4, 0},  {8, 0},  {12, 0}, {16, 0}, {24, 0}, {32, 0},
    {64, 0}, {0, 8}, {0, 16}, {0, 16}, {0, 32}, {0, 8},  {0, 16}, {0, 0},
};

template <class E>
std::ostream& write_name(std::ostream& os, E v, const char* const* table, int count) {
  int i = static_cast<int>(v);
  if (i >= 0 && i < count) return os << table[i];
  return os << "unknown: " << i;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, e_image_format_t v) {
  return write_name(os, v, image_format_string, IMAGE_FORMAT_MAX + 1);
}

std::ostream& operator<<(std::ostream& os, e_image_type_t v) {
  return write_name(os, v, image_type_string, IMAGE_TYPE_MAX + 1);
}

std::ostream& operator<<(std::ostream& os, e_image_bits_t v) {
  return write_name(os, v, image_bits_string, IMAGE_BITS_MAX + 1);
}

unsigned int getFormatComponents(e_image_format_t format) {
  if (format < 0 || format >= IMAGE_FORMAT_MAX) return 0;
  return s_image_format_components_list[format];
}

unsigned int image_desc_t::getPixelBits() const {
  if (bits < 0 || bits >= IMAGE_BITS_MAX) return 0;
  unsigned int per_component = s_image_bits_list[bits][0];
  if (per_component == 0) return s_image_bits_list[bits][1];
  return per_component * getFormatComponents(format);
}

bool operator==(const image_desc_t& a, const image_desc_t& b) {
  return a.format == b.format && a.type == b.type && a.bits == b.bits;
}

void palette_t::clear() {
  size = 0;
  red.clear();
  green.clear();
  blue.clear();
}

bool palette_t::resize(size_t n) {
  if (n == 0) {
    clear();
    return false;
  }
  if (!red.resize(n) || !green.resize(n) || !blue.resize(n)) {
    clear();
    return false;
  }
  size = n;
  return true;
}

uint64_t image_rowsize(const image_desc_t& desc, const image_store_t* store, uint64_t n) {
  uint64_t bytes = (uint64_t{desc.getPixelBits()} * n + 7) / 8;
  uint32_t alignment = store && store->alignment ? store->alignment : 4;
  return libutils::UpAlign<uint64_t>(bytes, alignment);
}

namespace {

// rows x rowsize as a size_t, false when it does not fit.
bool store_bytes(uint64_t rows, uint64_t rowsize, size_t& bytes) {
  uint64_t total;
  if (__builtin_mul_overflow(rows, rowsize, &total) || total > SIZE_MAX) {
    return false;
  }
  bytes = static_cast<size_t>(total);
  return true;
}

}  // namespace

uint64_t image2d_t::rowbyte() const { return (uint64_t{desc.getPixelBits()} * width + 7) / 8; }

unsigned char* image2d_t::operator[](unsigned int r) {
  return pixels.begin() + (uint64_t{r} + window.skip_rows) * rowsize() +
         uint64_t{window.skip_pixels} * desc.getPixelBits() / 8;
}

const unsigned char* image2d_t::operator[](unsigned int r) const {
  return pixels.begin() + (uint64_t{r} + window.skip_rows) * rowsize() +
         uint64_t{window.skip_pixels} * desc.getPixelBits() / 8;
}

bool image2d_t::allocate() {
  size_t bytes;
  if (!store_bytes(uint64_t{height} + window.skip_rows, rowsize(), bytes)) {
    return false;
  }
  return pixels.resize(bytes);
}

void image2d_t::clear() {
  pixels.clear();
  palette.clear();
  width = 0;
  height = 0;
}

uint64_t image1d_t::rowsize() const {
  return (uint64_t{desc.getPixelBits()} * (uint64_t{width} + window.skip_pixels) + 7) / 8;
}

bool image1d_t::allocate() {
  size_t bytes;
  if (!store_bytes(1, rowsize(), bytes)) return false;
  return pixels.resize(bytes);
}

void image1d_t::clear() {
  pixels.clear();
  palette.clear();
  width = 0;
}

unsigned char* image3d_t::address(unsigned int r, unsigned int d) {
  return pixels.begin() + (uint64_t{d} + window.skip_images) * imagesize() +
         (uint64_t{r} + window.skip_rows) * rowsize() +
         uint64_t{window.skip_pixels} * desc.getPixelBits() / 8;
}

const unsigned char* image3d_t::address(unsigned int r, unsigned int d) const {
  return pixels.begin() + (uint64_t{d} + window.skip_images) * imagesize() +
         (uint64_t{r} + window.skip_rows) * rowsize() +
         uint64_t{window.skip_pixels} * desc.getPixelBits() / 8;
}

bool image3d_t::allocate() {
  // Every image but the last takes a whole stride; the last needs only its
  // skipped and addressed rows.
  uint64_t rows = 0;
  if (depth != 0) {
    uint64_t images = uint64_t{depth} + window.skip_images - 1;
    uint64_t strides;
    if (__builtin_mul_overflow(images, uint64_t{imageheight()}, &strides) ||
        __builtin_add_overflow(strides, uint64_t{height} + window.skip_rows, &rows)) {
      return false;
    }
  }
  size_t bytes;
  if (!store_bytes(rows, rowsize(), bytes)) return false;
  return pixels.resize(bytes);
}

void image3d_t::clear() {
  pixels.clear();
  palette.clear();
  width = 0;
  height = 0;
  depth = 0;
}

}  // namespace libgr

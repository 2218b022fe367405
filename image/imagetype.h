// Image records: the pixel layout description, the pixel-store record, the
// windows, the palette and the 1D/2D/3D images. The layout follows OpenGL's
// pixel-store conventions so that a store can be handed to GL unchanged.
// Row 0 is the row at the lowest address and is the BOTTOM row of the
// picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

#include "utility/refvector.h"

namespace libgr {

enum e_image_format_t : int32_t {
  IMAGE_FORMAT_GRAYSCALE = 0,
  IMAGE_FORMAT_GRAYSCALE_ALPHA = 1,
  IMAGE_FORMAT_INTENSITY = 2,
  IMAGE_FORMAT_RED = 3,
  IMAGE_FORMAT_GREEN = 4,
  IMAGE_FORMAT_BLUE = 5,
  IMAGE_FORMAT_ALPHA = 6,
  IMAGE_FORMAT_RG = 7,
  IMAGE_FORMAT_RGB = 8,
  IMAGE_FORMAT_RGBA = 9,
  IMAGE_FORMAT_BGR = 10,
  IMAGE_FORMAT_BGRA = 11,
  IMAGE_FORMAT_DEPTH = 12,
  IMAGE_FORMAT_DEPTH_STENCIL = 13,
  IMAGE_FORMAT_YCbCr = 14,
  IMAGE_FORMAT_YCbCrA = 15,
  IMAGE_FORMAT_YCbCr422 = 16,
  IMAGE_FORMAT_INDEX = 17,
  IMAGE_FORMAT_MAX = 18,  // end marker
};

enum e_image_type_t : int32_t {
  IMAGE_TYPE_SINT = 0,
  IMAGE_TYPE_UINT = 1,
  IMAGE_TYPE_FLOAT = 2,
  IMAGE_TYPE_MAX = 3,  // end marker
};

enum e_image_bits_t : int32_t {
  IMAGE_BITS_1 = 0,
  IMAGE_BITS_2 = 1,
  IMAGE_BITS_4 = 2,
  IMAGE_BITS_8 = 3,
  IMAGE_BITS_12 = 4,
  IMAGE_BITS_16 = 5,
  IMAGE_BITS_24 = 6,
  IMAGE_BITS_32 = 7,
  IMAGE_BITS_64 = 8,
  IMAGE_BITS_R3G3B2 = 9,
  IMAGE_BITS_R5G6B5 = 10,
  IMAGE_BITS_R5G5B5A1 = 11,
  IMAGE_BITS_R10G10B10A2 = 12,
  IMAGE_BITS_L6A2 = 13,
  IMAGE_BITS_L12A4 = 14,
  IMAGE_BITS_D24S8 = 15,
  IMAGE_BITS_MAX = 16,  // end marker
};

// Name tables, indexed by value, end markers included.
extern const char* const image_format_string[IMAGE_FORMAT_MAX + 1];
extern const char* const image_type_string[IMAGE_TYPE_MAX + 1];
extern const char* const image_bits_string[IMAGE_BITS_MAX + 1];

// The name, or "unknown: " and the number for a value outside the table.
std::ostream& operator<<(std::ostream& os, e_image_format_t v);
std::ostream& operator<<(std::ostream& os, e_image_type_t v);
std::ostream& operator<<(std::ostream& os, e_image_bits_t v);

// Components of a pixel of the format; 0 outside 0..17.
unsigned int getFormatComponents(e_image_format_t format);

struct image_desc_t {
  e_image_format_t format = IMAGE_FORMAT_RGB;
  e_image_type_t type = IMAGE_TYPE_UINT;
  e_image_bits_t bits = IMAGE_BITS_8;

  image_desc_t() = default;
  image_desc_t(e_image_format_t f, e_image_type_t t, e_image_bits_t b)
      : format(f), type(t), bits(b) {}

  // Bits per pixel: the size per component times the components, or the
  // packed size of the layout; 0 for values outside the tables and for
  // IMAGE_BITS_D24S8.
  unsigned int getPixelBits() const;
};

bool operator==(const image_desc_t& a, const image_desc_t& b);
inline bool operator!=(const image_desc_t& a, const image_desc_t& b) { return !(a == b); }

// Pixel-store record, owned elsewhere (as a rule a function-local static of
// the producer); images point at it.
struct image_store_t {
  bool swap_bytes = false;
  uint32_t alignment = 4;  // row padding in bytes; 0 means 4

  image_store_t() = default;
  image_store_t(bool swap, uint32_t align) : swap_bytes(swap), alignment(align) {}
};

struct image_window1d_t {
  uint32_t skip_pixels = 0;
};

struct image_window2d_t {
  uint32_t row_length = 0;  // pixels per stored row; 0 means the width
  uint32_t skip_pixels = 0;
  uint32_t skip_rows = 0;
};

struct image_window3d_t {
  uint32_t row_length = 0;
  uint32_t image_height = 0;  // rows per stored image; 0 means the height
  uint32_t skip_pixels = 0;
  uint32_t skip_rows = 0;
  uint32_t skip_images = 0;
};

typedef libutils::ofsvector<unsigned char, libutils::alloc_mmap_unix> pixel_store_t;

// The largest image, in pixels, that any loader or decoder allocates for
// (about 268 million pixels: far above any camera, far below what a forged
// header can claim). Every reader checks it before allocating.
constexpr uint64_t image_pixel_limit = uint64_t(1) << 28;

// True when a width x height image may be allocated. Otherwise the error
// hook and one line on standard error: name (may be null), ": image too
// large, ", width, "x", height, " pixels." and false.
bool check_image_size(const char* name, uint64_t width, uint64_t height);

// Colour table of INDEX images: 16-bit channels, the 8-bit colour of an
// entry is its top byte. Copies share the channel vectors.
struct palette_t {
  uint64_t size = 0;
  libutils::refvector<unsigned short, libutils::alloc_new> red;
  libutils::refvector<unsigned short, libutils::alloc_new> green;
  libutils::refvector<unsigned short, libutils::alloc_new> blue;

  void clear();
  // size = n and every channel n entries long, keeping the first values;
  // true when n is not 0 and the memory could be had.
  bool resize(size_t n);
};

// The bytes of one stored row of n pixels of the description, padded to
// the store's alignment (4 without a store); computed in 64 bits.
uint64_t image_rowsize(const image_desc_t& desc, const image_store_t* store, uint64_t n);

// Copies are shallow: they share the pixel store and the palette channels.
// allocate() gives the image a private store.
class image2d_t {
 public:
  pixel_store_t pixels;
  image_desc_t desc;
  const image_store_t* store = nullptr;  // not owned; null: alignment 4
  image_window2d_t window;
  uint32_t width = 0;
  uint32_t height = 0;
  bool compressed = false;  // GL-compressed layout without rows
  palette_t palette;

  // window.row_length, or width when that is 0.
  uint32_t rowlength() const { return window.row_length ? window.row_length : width; }
  // Bytes of the pixels of one row, no padding.
  uint64_t rowbyte() const;
  // Bytes from one stored row to the next.
  uint64_t rowsize() const { return image_rowsize(desc, store, rowlength()); }
  // Address of row r through the window; no bounds check.
  unsigned char* operator[](unsigned int r);
  const unsigned char* operator[](unsigned int r) const;

  // A new private zero-filled store of (height + skip_rows) x rowsize()
  // bytes holding the start of the old one; sharing ends. False (image
  // unchanged) when the size does not fit 64 bits or the memory cannot be
  // had. Set desc, store, window, width and height first.
  bool allocate();
  // Drops the store and the palette; width and height become 0; desc,
  // store and window stay.
  void clear();
};

class image1d_t {
 public:
  pixel_store_t pixels;
  image_desc_t desc;
  const image_store_t* store = nullptr;
  image_window1d_t window;
  uint32_t width = 0;
  bool compressed = false;
  palette_t palette;

  // Byte i after the window's skipped pixels (byte offsets).
  unsigned char* operator[](unsigned int i) { return pixels.begin() + i + window.skip_pixels; }
  const unsigned char* operator[](unsigned int i) const {
    return pixels.begin() + i + window.skip_pixels;
  }
  // The bytes of skip_pixels + width pixels.
  uint64_t rowsize() const;
  bool allocate();
  void clear();
};

class image3d_t {
 public:
  pixel_store_t pixels;
  image_desc_t desc;
  const image_store_t* store = nullptr;
  image_window3d_t window;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 0;
  bool compressed = false;
  palette_t palette;

  uint32_t rowlength() const { return window.row_length ? window.row_length : width; }
  uint32_t imageheight() const { return window.image_height ? window.image_height : height; }
  uint64_t rowsize() const { return image_rowsize(desc, store, rowlength()); }
  // Bytes from one stored image to the next.
  uint64_t imagesize() const { return imageheight() * rowsize(); }
  // Address of row r of image d through the window; no bounds check.
  unsigned char* address(unsigned int r, unsigned int d);
  const unsigned char* address(unsigned int r, unsigned int d) const;
  // A private zero-filled store that holds every addressed row.
  bool allocate();
  void clear();
};

}  // namespace libgr

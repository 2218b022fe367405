#include "image/imageutil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>

#include "utility/failure.h"

namespace libgr {

using libutils::fail;

namespace {

// The pixel-store record of the converters' own results.
const image_store_t s_store_4(false, 4);

// A plane of rows: row r starts at base + r x stride. Taken once per image
// so that the loops below need no per-pixel addressing.
template <class Byte>
struct plane_t {
  Byte* base;
  uint64_t stride;
  Byte* operator[](uint64_t r) const { return base + r * stride; }
};

plane_t<unsigned char> rows_of(image2d_t& image) {
  if (image.width == 0 || image.height == 0) return {nullptr, 0};
  return {image[0], image.rowsize()};
}

plane_t<const unsigned char> rows_of(const image2d_t& image) {
  if (image.width == 0 || image.height == 0) return {nullptr, 0};
  return {image[0], image.rowsize()};
}

// True when the pixel store holds every byte the rows address, so that a
// record whose store is missing or short is refused instead of overrun.
bool store_covers(const image2d_t& image, const char* function) {
  if (image.width == 0 || image.height == 0) return true;
  uint64_t last_row = uint64_t{image.window.skip_rows} + image.height - 1;
  uint64_t need = last_row * image.rowsize() +
                  uint64_t{image.window.skip_pixels} * image.desc.getPixelBits() / 8 +
                  image.rowbyte();
  if (image.pixels.begin() && image.pixels.size() >= need) return true;
  fail(function, "(): image store is smaller than its rows.");
  return false;
}

// dst made anew with its own store and window kept.
bool prepare(image2d_t& dst, const image_desc_t& desc, uint32_t width,
             uint32_t height) {
  dst.clear();
  dst.desc = desc;
  dst.width = width;
  dst.height = height;
  dst.compressed = false;
  return dst.allocate();
}

bool prepare_or_report(image2d_t& dst, const image_desc_t& desc,
                       uint32_t width, uint32_t height, const char* message) {
  if (prepare(dst, desc, width, height)) return true;
  fail(message);
  return false;
}

bool integer_type(e_image_type_t type) {
  return type == IMAGE_TYPE_SINT || type == IMAGE_TYPE_UINT;
}

bool byte_layout(const image2d_t& image, e_image_format_t format) {
  return image.desc.format == format && integer_type(image.desc.type) &&
         image.desc.bits == IMAGE_BITS_8 && !image.compressed;
}

// Clamped to [0, 1], a NaN counting as 1, as int(v x 255 + 0.5).
unsigned char unit_byte(float v) {
  if (std::isnan(v) || v > 1) v = 1;
  if (v < 0) v = 0;
  return static_cast<unsigned char>(static_cast<int>(v * 255 + 0.5f));
}

// ---- channel order and component count -------------------------------

// dst pixel = src pixel with the bytes reordered: out[k] = in[order[k]],
// order value 255 meaning the byte 255.
template <int IN, int OUT>
void reorder(image2d_t& dst, const image2d_t& src, const int (&order)[OUT]) {
  plane_t<const unsigned char> s = rows_of(src);
  plane_t<unsigned char> d = rows_of(dst);
  for (uint32_t r = 0; r < src.height; ++r) {
    const unsigned char* __restrict in = s[r];
    unsigned char* __restrict out = d[r];
    for (uint32_t j = 0; j < src.width; ++j, in += IN, out += OUT) {
      for (int k = 0; k < OUT; ++k) {
        out[k] = order[k] == 255 ? 255 : in[order[k]];
      }
    }
  }
}

// R and B exchanged: a byte-layout source of format three (3 bytes) or
// four (4 bytes) becomes three_to or four_to; the three-byte result gets
// the static store when static_three. Any other source passes through.
bool swap_red_blue(image2d_t& dst, const image2d_t& src, e_image_format_t three,
                   e_image_format_t four, e_image_format_t three_to,
                   e_image_format_t four_to, bool static_three, const char* name) {
  const image2d_t s(src);
  const bool is_three = byte_layout(s, three);
  if (!is_three && !byte_layout(s, four)) {
    dst = s;
    return true;
  }
  if (!store_covers(s, name)) return false;
  if (is_three && static_three) dst.store = &s_store_4;
  image_desc_t desc(is_three ? three_to : four_to, s.desc.type, IMAGE_BITS_8);
  if (!prepare(dst, desc, s.width, s.height)) {
    fail(name, "(): allocate() fail.");
    return false;
  }
  if (is_three) {
    reorder<3, 3>(dst, s, {2, 1, 0});
  } else {
    reorder<4, 4>(dst, s, {2, 1, 0, 3});
  }
  return true;
}

// A byte-layout source of format from to format to (IN to OUT bytes a
// pixel, the static store). Any other source passes through, true only
// when it already is a byte layout of format to.
template <int IN, int OUT>
bool change_components(image2d_t& dst, const image2d_t& src, e_image_format_t from,
                       e_image_format_t to, const int (&order)[OUT], const char* name) {
  const image2d_t s(src);
  if (!byte_layout(s, from)) {
    dst = s;
    return byte_layout(s, to);
  }
  if (!store_covers(s, name)) return false;
  dst.store = &s_store_4;
  if (!prepare(dst, image_desc_t(to, s.desc.type, IMAGE_BITS_8), s.width, s.height)) {
    fail(name, "(): allocate() fail.");
    return false;
  }
  reorder<IN, OUT>(dst, s, order);
  return true;
}

// Values a byte holds at 1, 4 and 8 bits a pixel; 0 for other bits.
int values_per_byte(e_image_bits_t bits) {
  switch (bits) {
    case IMAGE_BITS_1: return 8;
    case IMAGE_BITS_4: return 2;
    case IMAGE_BITS_8: return 1;
    default: return 0;
  }
}

// Every pixel's value (per_byte a byte, the most significant first)
// through table into the RGB destination.
void unpack_rgb(image2d_t& dst, const image2d_t& src, int per_byte,
                const unsigned char (&table)[256][3]) {
  const int bits = 8 / per_byte;
  const unsigned mask = (1u << bits) - 1;
  plane_t<const unsigned char> in = rows_of(src);
  plane_t<unsigned char> out = rows_of(dst);
  for (uint32_t r = 0; r < src.height; ++r) {
    const unsigned char* p = in[r];
    unsigned char* q = out[r];
    for (uint32_t j = 0; j < src.width; ++j, q += 3) {
      unsigned shift = 8 - bits * (j % per_byte + 1);
      const unsigned char* rgb = table[(p[j / per_byte] >> shift) & mask];
      q[0] = rgb[0];
      q[1] = rgb[1];
      q[2] = rgb[2];
    }
  }
}

// ---- rotation ---------------------------------------------------------

template <int B>
inline void put_pixel(unsigned char* __restrict to,
                      const unsigned char* __restrict from, int bytes) {
  if (B > 0) {
    std::memcpy(to, from, B);  // a fixed size: inlined, no call
  } else {
    for (int k = 0; k < bytes; ++k) to[k] = from[k];
  }
}

// Blocks keep the strided side of a quarter turn inside the cache, and
// each block is assembled in a local buffer first: a fresh store's lines are
// not cached, and narrow pixel stores into them stall, while whole segment
// copies do not.
const uint32_t kTile = 64;
const int kBufferedPixel = 8;  // largest pixel assembled in the buffer

template <int B>
void turn_half(const plane_t<const unsigned char>& s,
               const plane_t<unsigned char>& d, uint32_t width,
               uint32_t height, int pb, unsigned char* buffer) {
  // Source row i goes reversed to destination row height - 1 - i, in runs
  // of kTile x kTile pixels.
  const uint32_t run = kTile * kTile;
  for (uint32_t i = 0; i < height; ++i) {
    unsigned char* row = d[height - 1 - i];
    for (uint32_t j0 = 0; j0 < width; j0 += run) {
      uint32_t n = std::min(width - j0, run);
      const unsigned char* in = s[i] + uint64_t{j0} * pb;
      unsigned char* out = buffer + uint64_t{n - 1} * pb;
      for (uint32_t j = 0; j < n; ++j, in += pb, out -= pb) {
        put_pixel<B>(out, in, pb);
      }
      std::memcpy(row + uint64_t{width - j0 - n} * pb, buffer, uint64_t{n} * pb);
    }
  }
}

template <int B>
void turn_quarter(unsigned long count, const plane_t<const unsigned char>& s,
                  const plane_t<unsigned char>& d, uint32_t width,
                  uint32_t height, int pb, unsigned char* buffer) {
  // Source row i, column j goes to: count 1: row width - 1 - j, column i;
  // count 3: row j, column height - 1 - i. A block reads kTile source row
  // segments in order and scatters their pixels into the buffer, which
  // then holds kTile destination row segments.
  for (uint32_t i0 = 0; i0 < height; i0 += kTile) {
    uint32_t i1 = std::min(height, i0 + kTile);
    uint64_t segment = uint64_t{i1 - i0} * pb;
    for (uint32_t j0 = 0; j0 < width; j0 += kTile) {
      uint32_t j1 = std::min(width, j0 + kTile);
      for (uint32_t i = i0; i < i1; ++i) {
        const unsigned char* in = s[i] + uint64_t{j0} * pb;
        unsigned char* out =
            buffer + (count == 1 ? uint64_t{i - i0} : uint64_t{i1 - 1 - i}) * pb;
        for (uint32_t j = j0; j < j1; ++j, in += pb, out += segment) {
          put_pixel<B>(out, in, pb);
        }
      }
      for (uint32_t j = j0; j < j1; ++j) {
        unsigned char* to = count == 1 ? d[width - 1 - j] + uint64_t{i0} * pb
                                       : d[j] + uint64_t{height - i1} * pb;
        std::memcpy(to, buffer + (j - j0) * segment, segment);
      }
    }
  }
}

// Pixels larger than kBufferedPixel go straight to the destination.
void turn_direct(unsigned long count, const plane_t<const unsigned char>& s,
                 const plane_t<unsigned char>& d, uint32_t width,
                 uint32_t height, int pb) {
  for (uint32_t i = 0; i < height; ++i) {
    const unsigned char* in = s[i];
    for (uint32_t j = 0; j < width; ++j, in += pb) {
      unsigned char* out =
          count == 1 ? d[width - 1 - j] + uint64_t{i} * pb
          : count == 2 ? d[height - 1 - i] + uint64_t{width - 1 - j} * pb
                       : d[j] + uint64_t{height - 1 - i} * pb;
      put_pixel<0>(out, in, pb);
    }
  }
}

template <int B>
void turn(unsigned long count, const plane_t<const unsigned char>& s,
          const plane_t<unsigned char>& d, uint32_t width, uint32_t height,
          int bytes) {
  const int pb = B > 0 ? B : bytes;
  if (pb > kBufferedPixel) {
    turn_direct(count, s, d, width, height, pb);
    return;
  }
  unsigned char buffer[kTile * kTile * kBufferedPixel];
  if (count == 2) {
    turn_half<B>(s, d, width, height, pb, buffer);
  } else {
    turn_quarter<B>(count, s, d, width, height, pb, buffer);
  }
}

// ---- halving ----------------------------------------------------------

int halving_bytes(e_image_format_t format, bool bayer) {
  switch (format) {
    case IMAGE_FORMAT_GRAYSCALE:
      return 1;
    case IMAGE_FORMAT_RGB:
      return 3;
    case IMAGE_FORMAT_RGBA:
      return 4;
    case IMAGE_FORMAT_BGR:
      return bayer ? 0 : 3;
    case IMAGE_FORMAT_BGRA:
      return bayer ? 0 : 4;
    default:
      return 0;
  }
}

// One destination row from two source rows: each byte the sum of the 2x2
// cell shifted right by 2. Written over whole byte runs so that the
// compiler vectorises it.
template <int B>
void halve_row(const unsigned char* __restrict s0,
               const unsigned char* __restrict s1, unsigned char* __restrict d,
               uint32_t width) {
  // 64-bit indices: 32-bit ones may wrap, which keeps the loop scalar.
  for (uint64_t j = 0; j < width; ++j) {
    for (uint64_t k = 0; k < B; ++k) {
      unsigned sum = s0[2 * B * j + k] + s0[2 * B * j + B + k] +
                     s1[2 * B * j + k] + s1[2 * B * j + B + k];
      d[B * j + k] = static_cast<unsigned char>(sum >> 2);
    }
  }
}

// RGB rows: pairs of 3-byte pixels defeat the vectoriser. Every byte is
// first averaged with the same byte of the next pixel (contiguous runs,
// vectorised) into a scratch row, then every other pixel is kept, each
// moved as one 4-byte word whose fourth byte the next pixel overwrites.
// Returns the kept pixels, still in scratch: the caller copies them out
// with one wide copy (a fresh store's lines are not cached, and narrow
// stores into them stall). The source rows are read whole first, so the
// destination row may lie over them.
const unsigned char* halve_row3(const unsigned char* __restrict s0,
                                const unsigned char* __restrict s1, uint32_t width,
                                unsigned char* __restrict scratch) {
  const uint64_t n = 6 * uint64_t{width} - 3;
  for (uint64_t m = 0; m < n; ++m) {
    unsigned sum = s0[m] + s0[m + 3] + s1[m] + s1[m + 3];
    scratch[m] = static_cast<unsigned char>(sum >> 2);
  }
  unsigned char* __restrict kept = scratch + 6 * uint64_t{width};
  for (uint64_t j = 0; j < width; ++j) {
    uint32_t word;
    std::memcpy(&word, scratch + 6 * j, 4);
    std::memcpy(kept + 3 * j, &word, 4);
  }
  return kept;
}

// Halves the rows of s into d. In place (d over s's own store, row i at
// i x d's stride), destination row i never reaches source row 2i once i
// is 1 or more, so only row 0, which lies over its own source, goes
// through scratch. False when that scratch row cannot be had.
template <int B>
bool halve(const plane_t<const unsigned char>& s, const plane_t<unsigned char>& d,
           uint32_t width, uint32_t height, bool in_place) {
  // RGB: the averaged row and the kept pixels (plus a spare byte).
  const uint64_t room = B == 3 ? 9 * uint64_t{width} + 1 : in_place ? B * uint64_t{width} : 0;
  std::unique_ptr<unsigned char[]> scratch;
  if (room) scratch.reset(new (std::nothrow) unsigned char[room]);
  if (in_place && !scratch) return false;
  const uint64_t bytes = B * uint64_t{width};
  for (uint32_t i = 0; i < height; ++i) {
    const unsigned char* s0 = s[2 * uint64_t{i}];
    const unsigned char* s1 = s[2 * uint64_t{i} + 1];
    if (B == 3 && scratch) {
      std::memcpy(d[i], halve_row3(s0, s1, width, scratch.get()), bytes);
    } else if (in_place && i == 0 && scratch) {
      halve_row<B>(s0, s1, scratch.get(), width);
      std::memcpy(d[i], scratch.get(), bytes);
    } else {
      halve_row<B>(s0, s1, d[i], width);
    }
  }
  return true;
}

bool halve_rows(int bytes, const plane_t<const unsigned char>& s,
                const plane_t<unsigned char>& d, uint32_t width, uint32_t height,
                bool in_place) {
  switch (bytes) {
    case 1: return halve<1>(s, d, width, height, in_place);
    case 3: return halve<3>(s, d, width, height, in_place);
    default: return halve<4>(s, d, width, height, in_place);
  }
}

// Cell positions of a Bayer pattern: 0 row 2i column 2j, 1 row 2i column
// 2j + 1, 2 row 2i + 1 column 2j, 3 row 2i + 1 column 2j + 1.
struct bayer_t {
  int red, green1, green2, blue;
};

void halve_bayer(const plane_t<const unsigned char>& s,
                 const plane_t<unsigned char>& d, uint32_t width,
                 uint32_t height, int bytes, const bayer_t& cell) {
  for (uint32_t i = 0; i < height; ++i) {
    const unsigned char* s0 = s[2 * uint64_t{i}];
    const unsigned char* s1 = s[2 * uint64_t{i} + 1];
    unsigned char* out = d[i];
    for (uint64_t j = 0; j < width; ++j, out += bytes) {
      const uint64_t left = 2 * j * bytes;
      const unsigned char* c[4] = {s0 + left, s0 + left + bytes, s1 + left,
                                   s1 + left + bytes};
      if (bytes == 1) {
        out[0] = static_cast<unsigned char>((c[0][0] + c[1][0] + c[2][0] + c[3][0]) >> 2);
        continue;
      }
      out[0] = c[cell.red][0];
      out[1] = static_cast<unsigned char>((c[cell.green1][1] + c[cell.green2][1]) >> 1);
      out[2] = c[cell.blue][2];
      if (bytes == 4) {
        out[3] = static_cast<unsigned char>((c[0][3] + c[1][3] + c[2][3] + c[3][3]) >> 2);
      }
    }
  }
}

// Shared front of every halving: dst prepared, format checked.
bool halving(image2d_t& dst, const image2d_t& src, const bayer_t* cell) {
  const image2d_t s(src);
  if (s.compressed) {
    fail("scaledown(): compressed image not supported.");
    return false;
  }
  if (!store_covers(s, "scaledown")) return false;
  if (!prepare(dst, s.desc, s.width / 2, s.height / 2)) {
    fail("scaledown(): allocate() fail.");
    return false;
  }
  int bytes = halving_bytes(s.desc.format, cell != nullptr);
  if (bytes == 0) {
    fail("scaledown(): ", s.desc.format, ": unsupported format.");
    return false;
  }
  if (dst.width == 0 || dst.height == 0) return true;
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  if (cell) {
    halve_bayer(in, out, dst.width, dst.height, bytes, *cell);
  } else {
    halve_rows(bytes, in, out, dst.width, dst.height, false);
  }
  return true;
}

// ---- colour fills -------------------------------------------------------

// Components per pixel of a fillable image, 0 after the report.
int colour_target(const image2d_t& image) {
  if (image.desc.type != IMAGE_TYPE_UINT) {
    fail("not support image type.");
    return 0;
  }
  if (image.desc.bits != IMAGE_BITS_8) {
    fail("not support image bits.");
    return 0;
  }
  if ((image.desc.format != IMAGE_FORMAT_RGB &&
       image.desc.format != IMAGE_FORMAT_RGBA) ||
      image.compressed) {
    fail("not support format.");
    return 0;
  }
  return image.desc.format == IMAGE_FORMAT_RGB ? 3 : 4;
}

// Every byte of the image through one table per component.
void map_bytes(image2d_t& image, int components,
               const unsigned char (*table)[256]) {
  plane_t<unsigned char> d = rows_of(image);
  for (uint32_t r = 0; r < image.height; ++r) {
    unsigned char* p = d[r];
    for (uint32_t j = 0; j < image.width; ++j, p += components) {
      for (int k = 0; k < components; ++k) p[k] = table[k][p[k]];
    }
  }
}

signed char normal_byte(float c) {
  return static_cast<signed char>(
      static_cast<int>(c < 0 ? c * 127 - 0.5f : c * 127 + 0.5f));
}

}  // namespace

bool rgb2bgr(image2d_t& dst, const image2d_t& src) {
  return swap_red_blue(dst, src, IMAGE_FORMAT_RGB, IMAGE_FORMAT_RGBA, IMAGE_FORMAT_BGR,
                       IMAGE_FORMAT_BGRA, true, "rgb2bgr");
}

bool bgr2rgb(image2d_t& dst, const image2d_t& src) {
  return swap_red_blue(dst, src, IMAGE_FORMAT_BGR, IMAGE_FORMAT_BGRA, IMAGE_FORMAT_RGB,
                       IMAGE_FORMAT_RGBA, false, "bgr2rgb");
}

bool rgb2rgba(image2d_t& dst, const image2d_t& src) {
  return change_components<3, 4>(dst, src, IMAGE_FORMAT_RGB, IMAGE_FORMAT_RGBA, {0, 1, 2, 255},
                                 "rgb2rgba");
}

bool rgba2rgb(image2d_t& dst, const image2d_t& src) {
  return change_components<4, 3>(dst, src, IMAGE_FORMAT_RGBA, IMAGE_FORMAT_RGB, {0, 1, 2},
                                 "rgba2rgb");
}

bool index2rgb(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  if (s.desc.format != IMAGE_FORMAT_INDEX) {
    dst = s;
    return true;
  }
  if (s.compressed) {
    fail("index2rgb(): compressed image not supported.");
    return false;
  }
  if (!store_covers(s, "index2rgb")) return false;
  if (!prepare_or_report(dst, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                         s.width, s.height, "index2rgb(): allocate() fail.")) {
    return false;
  }
  const int per_byte = values_per_byte(s.desc.bits);
  if (per_byte == 0) {
    fail("index2rgb(): ", s.desc.bits, ": unsupported bits.");
    return false;
  }
  // Indices past the palette (or past a shorter channel) give black.
  unsigned char table[256][3] = {};
  uint64_t entries = std::min<uint64_t>(
      {s.palette.size, s.palette.red.size(), s.palette.green.size(),
       s.palette.blue.size(), 256});
  for (uint64_t i = 0; i < entries; ++i) {
    table[i][0] = static_cast<unsigned char>(s.palette.red[i] >> 8);
    table[i][1] = static_cast<unsigned char>(s.palette.green[i] >> 8);
    table[i][2] = static_cast<unsigned char>(s.palette.blue[i] >> 8);
  }
  unpack_rgb(dst, s, per_byte, table);
  return true;
}

bool grayscale2rgb(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  if (s.desc.format != IMAGE_FORMAT_GRAYSCALE) {
    dst = s;
    return true;
  }
  const int per_byte = values_per_byte(s.desc.bits);
  if (per_byte == 0) {
    fail("grayscale2rgb(): ", s.desc.bits, ": unsupported bits.");
    return false;
  }
  if (s.compressed) {
    fail("grayscale2rgb(): compressed image not supported.");
    return false;
  }
  if (!store_covers(s, "grayscale2rgb")) return false;
  if (!prepare_or_report(dst, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                         s.width, s.height, "grayscale2rgb(): allocate() fail.")) {
    return false;
  }
  // Values spread over 0 .. 255: times 255, 17 or 1.
  const unsigned mask = (1u << (8 / per_byte)) - 1;
  unsigned char table[256][3];
  for (unsigned v = 0; v < 256; ++v) {
    const unsigned char grey = static_cast<unsigned char>((v & mask) * (255 / mask));
    table[v][0] = table[v][1] = table[v][2] = grey;
  }
  unpack_rgb(dst, s, per_byte, table);
  return true;
}

bool monochrome(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  if (s.desc.format != IMAGE_FORMAT_RGB) {
    fail(s.desc.format, ": image format is not RGB.");
    return false;
  }
  if (s.desc.type != IMAGE_TYPE_UINT) {
    fail(s.desc.type, ": image type is not UINT.");
    return false;
  }
  if (s.desc.bits != IMAGE_BITS_8) {
    fail(s.desc.bits, ": image bits is not 8.");
    return false;
  }
  if (s.compressed) {
    fail("monochrome(): compressed image not supported.");
    return false;
  }
  if (!store_covers(s, "monochrome")) return false;
  if (!prepare_or_report(dst, image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                         s.width, s.height, "monochrome(): allocate() fail.")) {
    return false;
  }
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  for (uint32_t r = 0; r < s.height; ++r) {
    const unsigned char* p = in[r];
    unsigned char* q = out[r];
    for (uint32_t j = 0; j < s.width; ++j, p += 3) {
      float v = 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
      q[j] = static_cast<unsigned char>(static_cast<int>(v));
    }
  }
  return true;
}

bool grayscale(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  if (s.desc.format != IMAGE_FORMAT_GRAYSCALE || s.desc.type != IMAGE_TYPE_UINT ||
      s.desc.bits != IMAGE_BITS_1 || s.compressed) {
    fail("grayscale(): image is not a 1-bit GRAYSCALE UINT image.");
    return false;
  }
  if (!store_covers(s, "grayscale")) return false;
  color3ub_t colours[2] = {black3ub, white3ub};
  const palette_t& pal = s.palette;
  if (pal.size >= 2 && pal.red.size() >= 2 && pal.green.size() >= 2 &&
      pal.blue.size() >= 2) {
    for (int i = 0; i < 2; ++i) {
      colours[i] = color3ub_t(static_cast<unsigned char>(pal.red[i] >> 8),
                              static_cast<unsigned char>(pal.green[i] >> 8),
                              static_cast<unsigned char>(pal.blue[i] >> 8));
    }
  }
  if (!prepare_or_report(dst, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                         s.width, s.height, "grayscale(): allocate() fail.")) {
    return false;
  }
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  for (uint32_t r = 0; r < s.height; ++r) {
    const unsigned char* p = in[r];
    unsigned char* q = out[r];
    for (uint32_t j = 0; j < s.width; ++j, q += 3) {
      const color3ub_t& c = colours[(p[j / 8] >> (7 - j % 8)) & 1];
      q[0] = c.r;
      q[1] = c.g;
      q[2] = c.b;
    }
  }
  return true;
}

namespace {

bool copy_rows(image2d_t& dst, const image2d_t& src, bool upside_down,
               const char* name) {
  const image2d_t s(src);
  if (s.compressed) {
    fail(name, "(): compressed image not supported.");
    return false;
  }
  if (!store_covers(s, name)) return false;
  dst.store = s.store;
  dst.window = image_window2d_t();
  if (!prepare(dst, s.desc, s.width, s.height)) {
    fail(name, "(): allocate() fail.");
    return false;
  }
  if (s.width == 0 || s.height == 0) return true;
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  const uint64_t bytes = s.rowbyte();
  for (uint32_t r = 0; r < s.height; ++r) {
    std::memcpy(out[upside_down ? s.height - 1 - r : r], in[r], bytes);
  }
  return true;
}

}  // namespace

bool copy(image2d_t& dst, const image2d_t& src) {
  return copy_rows(dst, src, false, "copy");
}

bool flip(image2d_t& dst, const image2d_t& src) {
  return copy_rows(dst, src, true, "flip");
}

bool makewindow(image2d_t& dst, const image2d_t& src, int x, int y,
                unsigned int w, unsigned int h) {
  if (src.compressed) {
    fail("makewindow(): compressed image not supported.");
    return false;
  }
  if (x < 0 || y < 0) {
    fail("makewindow(): negative offset.");
    return false;
  }
  const image2d_t s(src);
  // Offsets past the source give an empty window at its edge.
  uint32_t ux = std::min<uint32_t>(static_cast<uint32_t>(x), s.width);
  uint32_t uy = std::min<uint32_t>(static_cast<uint32_t>(y), s.height);
  dst = s;
  dst.compressed = false;
  dst.window.row_length = s.rowlength();
  dst.window.skip_pixels = s.window.skip_pixels + ux;
  dst.window.skip_rows = s.window.skip_rows + uy;
  dst.width = std::min(w, s.width - ux);
  dst.height = std::min(h, s.height - uy);
  return true;
}

bool rotate(unsigned long count, image2d_t& dst, const image2d_t& src) {
  if (count == 0) {
    dst = src;
    return true;
  }
  if (count > 3) return false;
  const image2d_t s(src);
  unsigned bits = s.desc.getPixelBits();
  if (s.compressed) {
    fail("rotate(): compressed image not supported.");
    return false;
  }
  if (bits == 0 || bits % 8 != 0) {
    fail("rotate(): ", s.desc.bits, ": pixels are not whole bytes.");
    return false;
  }
  if (!store_covers(s, "rotate")) return false;
  bool swap = count != 2;
  if (!prepare(dst, s.desc, swap ? s.height : s.width, swap ? s.width : s.height)) {
    fail("rotate(): allocate() fail.");
    return false;
  }
  if (s.width == 0 || s.height == 0) return true;
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  int bytes = static_cast<int>(bits / 8);
  switch (bytes) {
    case 1: turn<1>(count, in, out, s.width, s.height, bytes); break;
    case 2: turn<2>(count, in, out, s.width, s.height, bytes); break;
    case 3: turn<3>(count, in, out, s.width, s.height, bytes); break;
    case 4: turn<4>(count, in, out, s.width, s.height, bytes); break;
    case 6: turn<6>(count, in, out, s.width, s.height, bytes); break;
    case 8: turn<8>(count, in, out, s.width, s.height, bytes); break;
    default: turn<0>(count, in, out, s.width, s.height, bytes); break;
  }
  return true;
}

unsigned long mixorientandrightrotatecount(unsigned long count,
                                           unsigned long orientation) {
  switch (orientation) {
    case 6: return (count + 1) % 4;
    case 8: return (count + 3) % 4;
    case 3: return (count + 2) % 4;
    default: return count;
  }
}

bool scaledown(image2d_t& dst, const image2d_t& src) {
  return halving(dst, src, nullptr);
}

bool scaledown_inplace(image2d_t& image) {
  const uint32_t width = image.width / 2, height = image.height / 2;
  if (width == 0 || height == 0) return false;
  const int bytes = halving_bytes(image.desc.format, false);
  const image_window2d_t& w = image.window;
  if (bytes == 0 || image.desc.bits != IMAGE_BITS_8 || image.compressed ||
      image.pixels.use_count() != 1 || w.row_length != 0 || w.skip_pixels != 0 ||
      w.skip_rows != 0) {
    image2d_t half;
    half.store = image.store;
    if (!halving(half, image, nullptr)) return false;
    image = half;
    return true;
  }
  if (!store_covers(image, "scaledown")) return false;
  const plane_t<const unsigned char> in = rows_of(static_cast<const image2d_t&>(image));
  const uint32_t old_width = image.width, old_height = image.height;
  image.width = width;
  image.height = height;
  if (!halve_rows(bytes, in, rows_of(image), width, height, true)) {
    image.width = old_width;
    image.height = old_height;
    fail("scaledown(): allocate() fail.");
    return false;
  }
  return true;
}

bool scaledownGRBG(image2d_t& dst, const image2d_t& src) {
  const bayer_t cell = {1, 0, 3, 2};
  return halving(dst, src, &cell);
}

bool scaledownGBRG(image2d_t& dst, const image2d_t& src) {
  const bayer_t cell = {2, 0, 3, 1};
  return halving(dst, src, &cell);
}

bool scaledownRGGB(image2d_t& dst, const image2d_t& src) {
  const bayer_t cell = {0, 1, 2, 3};
  return halving(dst, src, &cell);
}

bool scaledownBGGR(image2d_t& dst, const image2d_t& src) {
  const bayer_t cell = {3, 1, 2, 0};
  return halving(dst, src, &cell);
}

bool fillcolor(image2d_t& image, const color3a_t& colour) {
  int components = colour_target(image);
  if (components == 0) return false;
  if (!store_covers(image, "fillcolor")) return false;
  const unsigned char value[4] = {unit_byte(colour.r), unit_byte(colour.g),
                                  unit_byte(colour.b), unit_byte(colour.a)};
  plane_t<unsigned char> d = rows_of(image);
  for (uint32_t r = 0; r < image.height; ++r) {
    unsigned char* p = d[r];
    for (uint32_t j = 0; j < image.width; ++j, p += components) {
      std::memcpy(p, value, components);
    }
  }
  return true;
}

bool addcolor(image2d_t& image, const color3a_t& colour) {
  int components = colour_target(image);
  if (components == 0) return false;
  if (!store_covers(image, "addcolor")) return false;
  unsigned char table[4][256];
  const float add[3] = {colour.r, colour.g, colour.b};
  for (int k = 0; k < 3; ++k) {
    for (int v = 0; v < 256; ++v) {
      float sum = v / 255.0f + add[k];
      table[k][v] = unit_byte(sum > 1 ? 1 : sum);
    }
  }
  // The colour's alpha is not added: any alpha but 0 becomes opaque.
  for (int v = 0; v < 256; ++v) table[3][v] = v ? 255 : 0;
  map_bytes(image, components, table);
  return true;
}

bool heightmap2normalmap(image2d_t& dst, const image2d_t& src, float) {
  const image2d_t s(src);
  if (s.compressed) {
    fail("normalmap(): compressed format not supported.");
    dst = s;
    return false;
  }
  if (byte_layout(s, IMAGE_FORMAT_RGB)) {
    dst = s;
    return true;
  }
  if (s.desc.format != IMAGE_FORMAT_GRAYSCALE || s.desc.type != IMAGE_TYPE_UINT ||
      s.desc.bits != IMAGE_BITS_8) {
    fail("normalmap(): image type not supported.");
    dst = s;
    return false;
  }
  if (!store_covers(s, "normalmap")) return false;
  dst.store = s.store;
  if (!prepare_or_report(dst, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8),
                         s.width, s.height, "normalmap allocate() fail.")) {
    return false;
  }
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  for (uint32_t y = 0; y < s.height; ++y) {
    const unsigned char* row = in[y];
    const unsigned char* above = in[(y + 1) % s.height];
    unsigned char* q = out[y];
    for (uint32_t x = 0; x < s.width; ++x, q += 3) {
      float h = row[x] / 255.0f;
      float dx = row[(x + 1) % s.width] / 255.0f - h;
      float dy = above[x] / 255.0f - h;
      direction3_t n = Normalize(direction3_t(
          dx, dy, std::sqrt(1 - dx * dx) + std::sqrt(1 - dy * dy)));
      if (compare(n.x, 0) && compare(n.y, 0) && compare(n.z, 0)) {
        q[0] = 0;
        q[1] = 0;
        q[2] = 127;
        continue;
      }
      q[0] = static_cast<unsigned char>(normal_byte(n.x));
      q[1] = static_cast<unsigned char>(normal_byte(n.y));
      q[2] = static_cast<unsigned char>(normal_byte(n.z));
    }
  }
  return true;
}

bool makenormalcubemap(image2d_t* faces) {
  const image_desc_t desc(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8);
  for (int f = 0; f < 6; ++f) {
    if (!prepare_or_report(faces[f], desc, 256, 256,
                           "makenormalcubemap(): allocate() fail.")) {
      return false;
    }
  }
  for (int f = 0; f < 6; ++f) {
    plane_t<unsigned char> out = rows_of(faces[f]);
    for (int i = 0; i < 256; ++i) {
      unsigned char* q = out[i];
      float t = i / 127.0f - 1;
      for (int j = 0; j < 256; ++j, q += 3) {
        float s = j / 127.0f - 1;
        direction3_t d;
        switch (f) {
          case 0: d = direction3_t(1, -t, -s); break;
          case 1: d = direction3_t(-1, -t, s); break;
          case 2: d = direction3_t(s, 1, t); break;
          case 3: d = direction3_t(s, -1, -t); break;
          case 4: d = direction3_t(s, -t, 1); break;
          default: d = direction3_t(-s, -t, -1); break;
        }
        d = Normalize(d);
        q[0] = unit_byte(d.x * 0.5f + 0.5f);
        q[1] = unit_byte(d.y * 0.5f + 0.5f);
        q[2] = unit_byte(d.z * 0.5f + 0.5f);
      }
    }
  }
  return true;
}

}  // namespace libgr

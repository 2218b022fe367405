// Channel order and format conversions, copies and windows.
#include "image/imageutil.h"

#include <algorithm>
#include <cstring>

#include "image/imageutil_common.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;
using namespace imageutil_detail;

namespace {

// row(source row, destination row, width in pixels) for each row, bottom
// to top. The width comes as a value so that the row's stores, which may
// alias anything, do not make it read again for every pixel.
template <class Row>
void each_row(image2d_t& dst, const image2d_t& src, Row row) {
  plane_t<const unsigned char> in = rows_of(src);
  plane_t<unsigned char> out = rows_of(dst);
  const uint32_t width = src.width;
  for (uint32_t r = 0; r < src.height; ++r) row(in[r], out[r], width);
}

// ---- channel order and component count -------------------------------

// dst pixel = src pixel with the bytes reordered: out[k] = in[order[k]],
// order value 255 meaning the byte 255.
template <int IN, int OUT>
void reorder(image2d_t& dst, const image2d_t& src, const int (&order)[OUT]) {
  each_row(dst, src,
           [&](const unsigned char* __restrict in, unsigned char* __restrict out, uint32_t width) {
             for (uint32_t j = 0; j < width; ++j, in += IN, out += OUT) {
               for (int k = 0; k < OUT; ++k) {
                 out[k] = order[k] == 255 ? 255 : in[order[k]];
               }
             }
           });
}

// R and B exchanged: a byte-layout source of format three (3 bytes) or
// four (4 bytes) becomes three_to or four_to; the three-byte result gets
// the static store when static_three. Any other source passes through.
bool swap_red_blue(image2d_t& dst, const image2d_t& src, e_image_format_t three,
                   e_image_format_t four, e_image_format_t three_to, e_image_format_t four_to,
                   bool static_three, const char* name) {
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
    return fail(name, "(): allocate() fail.");
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
    return fail(name, "(): allocate() fail.");
  }
  reorder<IN, OUT>(dst, s, order);
  return true;
}

// Values a byte holds at 1, 4 and 8 bits a pixel; 0 for other bits.
int values_per_byte(e_image_bits_t bits) {
  switch (bits) {
    case IMAGE_BITS_1: return 8;
    case IMAGE_BITS_2: return 4;
    case IMAGE_BITS_4: return 2;
    case IMAGE_BITS_8: return 1;
    default: return 0;
  }
}

// Every pixel's value (per_byte a byte, the most significant first)
// through table into the N-byte pixels of the destination. A window may
// start within a byte: rows_of gives that byte, first the pixel in it.
template <int N>
void unpack(image2d_t& dst, const image2d_t& src, int per_byte,
            const unsigned char (&table)[256][N]) {
  const int bits = 8 / per_byte;
  const unsigned mask = (1u << bits) - 1;
  const unsigned first = src.window.skip_pixels % static_cast<unsigned>(per_byte);
  each_row(dst, src, [&](const unsigned char* p, unsigned char* q, uint32_t width) {
    for (uint32_t j = 0; j < width; ++j, q += N) {
      const unsigned i = first + j;
      const unsigned shift = 8 - bits * (i % per_byte + 1);
      const unsigned char* value = table[(p[i / per_byte] >> shift) & mask];
      for (int k = 0; k < N; ++k) q[k] = value[k];
    }
  });
}

// Grey values of per_byte a byte spread over 0 .. 255 (times 255, 85, 17
// or 1) in each of the N bytes.
template <int N>
void grey_levels(unsigned char (&table)[256][N], int per_byte) {
  const unsigned mask = (1u << (8 / per_byte)) - 1;
  for (unsigned v = 0; v < 256; ++v)
    for (int k = 0; k < N; ++k) table[v][k] = static_cast<unsigned char>((v & mask) * (255 / mask));
}

// What the converters to 8-bit UINT pixels start with: a compressed source
// or one whose store is short is refused, then dst is made in the format.
bool start_converting(image2d_t& dst, const image2d_t& s, const char* name,
                      e_image_format_t format) {
  if (s.compressed) return fail(name, "(): compressed image not supported.");
  if (!store_covers(s, name)) return false;
  if (prepare(dst, image_desc_t(format, IMAGE_TYPE_UINT, IMAGE_BITS_8), s.width, s.height))
    return true;
  return fail(name, "(): allocate() fail.");
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
  if (!start_converting(dst, s, "index2rgb", IMAGE_FORMAT_RGB)) return false;
  const int per_byte = values_per_byte(s.desc.bits);
  if (per_byte == 0) {
    return fail("index2rgb(): ", s.desc.bits, ": unsupported bits.");
  }
  // Indices past the palette (or past a shorter channel) give black.
  unsigned char table[256][3] = {};
  uint64_t entries = std::min<uint64_t>(
      {s.palette.size, s.palette.red.size(), s.palette.green.size(), s.palette.blue.size(), 256});
  for (uint64_t i = 0; i < entries; ++i) {
    table[i][0] = static_cast<unsigned char>(s.palette.red[i] >> 8);
    table[i][1] = static_cast<unsigned char>(s.palette.green[i] >> 8);
    table[i][2] = static_cast<unsigned char>(s.palette.blue[i] >> 8);
  }
  unpack(dst, s, per_byte, table);
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
    return fail("grayscale2rgb(): ", s.desc.bits, ": unsupported bits.");
  }
  if (!start_converting(dst, s, "grayscale2rgb", IMAGE_FORMAT_RGB)) return false;
  unsigned char table[256][3];
  grey_levels(table, per_byte);
  unpack(dst, s, per_byte, table);
  return true;
}

bool monochrome(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  if (s.desc.format != IMAGE_FORMAT_RGB) {
    return fail(s.desc.format, ": image format is not RGB.");
  }
  if (s.desc.type != IMAGE_TYPE_UINT) {
    return fail(s.desc.type, ": image type is not UINT.");
  }
  if (s.desc.bits != IMAGE_BITS_8) {
    return fail(s.desc.bits, ": image bits is not 8.");
  }
  if (!start_converting(dst, s, "monochrome", IMAGE_FORMAT_GRAYSCALE)) return false;
  each_row(dst, s, [&](const unsigned char* p, unsigned char* q, uint32_t width) {
    for (uint32_t j = 0; j < width; ++j, p += 3) {
      float v = 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
      q[j] = static_cast<unsigned char>(static_cast<int>(v));
    }
  });
  return true;
}

bool grayscale(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  if (s.desc.format != IMAGE_FORMAT_GRAYSCALE || s.desc.type != IMAGE_TYPE_UINT ||
      s.desc.bits != IMAGE_BITS_1 || s.compressed) {
    return fail("grayscale(): image is not a 1-bit GRAYSCALE UINT image.");
  }
  color3ub_t colours[2] = {black3ub, white3ub};
  const palette_t& pal = s.palette;
  if (pal.size >= 2 && pal.red.size() >= 2 && pal.green.size() >= 2 && pal.blue.size() >= 2) {
    for (int i = 0; i < 2; ++i) {
      colours[i] = color3ub_t(static_cast<unsigned char>(pal.red[i] >> 8),
                              static_cast<unsigned char>(pal.green[i] >> 8),
                              static_cast<unsigned char>(pal.blue[i] >> 8));
    }
  }
  if (!start_converting(dst, s, "grayscale", IMAGE_FORMAT_RGB)) return false;
  each_row(dst, s, [&](const unsigned char* p, unsigned char* q, uint32_t width) {
    for (uint32_t j = 0; j < width; ++j, q += 3) {
      const color3ub_t& c = colours[(p[j / 8] >> (7 - j % 8)) & 1];
      q[0] = c.r;
      q[1] = c.g;
      q[2] = c.b;
    }
  });
  return true;
}

bool grayscale_to_8bit(image2d_t& dst, const image2d_t& src) {
  const image2d_t s(src);
  const int per_byte = values_per_byte(s.desc.bits);
  if (s.desc.format != IMAGE_FORMAT_GRAYSCALE || s.desc.type != IMAGE_TYPE_UINT ||
      (per_byte != 2 && per_byte != 4) || s.compressed) {
    dst = s;
    return true;
  }
  if (!start_converting(dst, s, "grayscale_to_8bit", IMAGE_FORMAT_GRAYSCALE)) return false;
  unsigned char table[256][1];
  grey_levels(table, per_byte);
  unpack(dst, s, per_byte, table);
  return true;
}

namespace {

bool copy_rows(image2d_t& dst, const image2d_t& src, bool upside_down, const char* name) {
  const image2d_t s(src);
  if (s.compressed) {
    return fail(name, "(): compressed image not supported.");
  }
  if (!store_covers(s, name)) return false;
  dst.store = s.store;
  dst.window = image_window2d_t();
  if (!prepare(dst, s.desc, s.width, s.height)) {
    return fail(name, "(): allocate() fail.");
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

bool copy(image2d_t& dst, const image2d_t& src) { return copy_rows(dst, src, false, "copy"); }

bool flip(image2d_t& dst, const image2d_t& src) { return copy_rows(dst, src, true, "flip"); }

bool makewindow(image2d_t& dst, const image2d_t& src, int x, int y, unsigned int w,
                unsigned int h) {
  if (src.compressed) {
    return fail("makewindow(): compressed image not supported.");
  }
  if (x < 0 || y < 0) {
    return fail("makewindow(): negative offset.");
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

}  // namespace libgr

// Halving, whole-pixel and Bayer mosaics.
#include "image/imageutil.h"

#include <cstring>
#include <memory>
#include <new>

#include "image/imageutil_common.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;
using namespace imageutil_detail;

namespace {

// ---- halving ----------------------------------------------------------

int halving_bytes(e_image_format_t format, bool bayer) {
  switch (format) {
    case IMAGE_FORMAT_GRAYSCALE: return 1;
    case IMAGE_FORMAT_RGB: return 3;
    case IMAGE_FORMAT_RGBA: return 4;
    case IMAGE_FORMAT_BGR: return bayer ? 0 : 3;
    case IMAGE_FORMAT_BGRA: return bayer ? 0 : 4;
    default: return 0;
  }
}

// One destination row from two source rows: each byte the sum of the 2x2
// cell shifted right by 2. Written over whole byte runs so that the
// compiler vectorises it.
template <int B>
void halve_row(const unsigned char* __restrict s0, const unsigned char* __restrict s1,
               unsigned char* __restrict d, uint32_t width) {
  // 64-bit indices: 32-bit ones may wrap, which keeps the loop scalar.
  for (uint64_t j = 0; j < width; ++j) {
    for (uint64_t k = 0; k < B; ++k) {
      unsigned sum =
          s0[2 * B * j + k] + s0[2 * B * j + B + k] + s1[2 * B * j + k] + s1[2 * B * j + B + k];
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
bool halve(const plane_t<const unsigned char>& s, const plane_t<unsigned char>& d, uint32_t width,
           uint32_t height, bool in_place) {
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

bool halve_rows(int bytes, const plane_t<const unsigned char>& s, const plane_t<unsigned char>& d,
                uint32_t width, uint32_t height, bool in_place) {
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

void halve_bayer(const plane_t<const unsigned char>& s, const plane_t<unsigned char>& d,
                 uint32_t width, uint32_t height, int bytes, const bayer_t& cell) {
  for (uint32_t i = 0; i < height; ++i) {
    const unsigned char* s0 = s[2 * uint64_t{i}];
    const unsigned char* s1 = s[2 * uint64_t{i} + 1];
    unsigned char* out = d[i];
    for (uint64_t j = 0; j < width; ++j, out += bytes) {
      const uint64_t left = 2 * j * bytes;
      const unsigned char* c[4] = {s0 + left, s0 + left + bytes, s1 + left, s1 + left + bytes};
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
    return fail("scaledown(): compressed image not supported.");
  }
  if (!store_covers(s, "scaledown")) return false;
  if (!prepare(dst, s.desc, s.width / 2, s.height / 2)) {
    return fail("scaledown(): allocate() fail.");
  }
  int bytes = halving_bytes(s.desc.format, cell != nullptr);
  if (bytes == 0) {
    return fail("scaledown(): ", s.desc.format, ": unsupported format.");
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

// image halved into a new store of the half's size, with image's store
// record; the old store goes with the last image that holds it.
bool halve_into_own_store(image2d_t& image) {
  image2d_t half;
  half.store = image.store;
  if (!halving(half, image, nullptr)) return false;
  image = half;
  return true;
}

}  // namespace

bool scaledown(image2d_t& dst, const image2d_t& src) { return halving(dst, src, nullptr); }

bool scaledown_inplace(image2d_t& image) {
  const uint32_t width = image.width / 2, height = image.height / 2;
  if (width == 0 || height == 0) return false;
  const int bytes = halving_bytes(image.desc.format, false);
  const image_window2d_t& w = image.window;
  if (bytes == 0 || image.desc.bits != IMAGE_BITS_8 || image.compressed ||
      image.pixels.use_count() != 1 || w.row_length != 0 || w.skip_pixels != 0 ||
      w.skip_rows != 0) {
    return halve_into_own_store(image);
  }
  if (!store_covers(image, "scaledown")) return false;
  const plane_t<const unsigned char> in = rows_of(static_cast<const image2d_t&>(image));
  const uint32_t old_width = image.width, old_height = image.height;
  image.width = width;
  image.height = height;
  if (!halve_rows(bytes, in, rows_of(image), width, height, true)) {
    image.width = old_width;
    image.height = old_height;
    return fail("scaledown(): allocate() fail.");
  }
  return true;
}

bool scaledown_times(image2d_t& image, unsigned long times) {
  unsigned long halvings = 0;
  for (uint32_t w = image.width, h = image.height; halvings < times && w >= 2 && h >= 2;
       w /= 2, h /= 2)
    ++halvings;
  if (halvings == 0) return true;
  for (; halvings > 1; --halvings) {
    if (!scaledown_inplace(image)) return false;
  }
  return halve_into_own_store(image);
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

}  // namespace libgr

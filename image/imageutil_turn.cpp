// Quarter turns.
#include "image/imageutil.h"

#include <cstring>

#include "image/imageutil_common.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;
using namespace imageutil_detail;

namespace {

// ---- rotation ---------------------------------------------------------

template <int B>
inline void put_pixel(unsigned char* __restrict to, const unsigned char* __restrict from,
                      int bytes) {
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
void turn_half(const plane_t<const unsigned char>& s, const plane_t<unsigned char>& d,
               uint32_t width, uint32_t height, int pb, unsigned char* buffer) {
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
                  const plane_t<unsigned char>& d, uint32_t width, uint32_t height, int pb,
                  unsigned char* buffer) {
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
        unsigned char* out = buffer + (count == 1 ? uint64_t{i - i0} : uint64_t{i1 - 1 - i}) * pb;
        for (uint32_t j = j0; j < j1; ++j, in += pb, out += segment) {
          put_pixel<B>(out, in, pb);
        }
      }
      for (uint32_t j = j0; j < j1; ++j) {
        unsigned char* to =
            count == 1 ? d[width - 1 - j] + uint64_t{i0} * pb : d[j] + uint64_t{height - i1} * pb;
        std::memcpy(to, buffer + (j - j0) * segment, segment);
      }
    }
  }
}

// Pixels larger than kBufferedPixel go straight to the destination.
void turn_direct(unsigned long count, const plane_t<const unsigned char>& s,
                 const plane_t<unsigned char>& d, uint32_t width, uint32_t height, int pb) {
  for (uint32_t i = 0; i < height; ++i) {
    const unsigned char* in = s[i];
    for (uint32_t j = 0; j < width; ++j, in += pb) {
      unsigned char* out = count == 1   ? d[width - 1 - j] + uint64_t{i} * pb
                           : count == 2 ? d[height - 1 - i] + uint64_t{width - 1 - j} * pb
                                        : d[j] + uint64_t{height - 1 - i} * pb;
      put_pixel<0>(out, in, pb);
    }
  }
}

template <int B>
void turn(unsigned long count, const plane_t<const unsigned char>& s,
          const plane_t<unsigned char>& d, uint32_t width, uint32_t height, int bytes) {
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

}  // namespace

bool rotate(unsigned long count, image2d_t& dst, const image2d_t& src) {
  if (count == 0) {
    dst = src;
    return true;
  }
  if (count > 3) return false;
  const image2d_t s(src);
  unsigned bits = s.desc.getPixelBits();
  if (s.compressed) {
    return fail("rotate(): compressed image not supported.");
  }
  if (bits == 0 || bits % 8 != 0) {
    return fail("rotate(): ", s.desc.bits, ": pixels are not whole bytes.");
  }
  if (!store_covers(s, "rotate")) return false;
  bool swap = count != 2;
  if (!prepare(dst, s.desc, swap ? s.height : s.width, swap ? s.width : s.height)) {
    return fail("rotate(): allocate() fail.");
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

unsigned long mixorientandrightrotatecount(unsigned long count, unsigned long orientation) {
  switch (orientation) {
    case 6: return (count + 1) % 4;
    case 8: return (count + 3) % 4;
    case 3: return (count + 2) % 4;
    default: return count;
  }
}

}  // namespace libgr

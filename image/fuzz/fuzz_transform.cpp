// Arbitrary bytes through the lossless turn: the last byte picks the count
// (0 to 3), the rest is the stream. A result that claims success must be a
// stream that the front end reads back with the turned frame size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "image/fuzz/fuzz_guarded.h"
#include "image/loader_jpeg.h"
#include "image/transupp.h"

namespace {

// Keeps each run short; the library's own limit is far larger.
constexpr uint64_t turn_pixels = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 1) return 0;
  unsigned long count = bytes[size - 1] % 4;
  libgr::jpegdata_t in;
  if (!in.data.resize(size - 1)) return 0;
  if (size > 1) std::memcpy(in.data.begin(), bytes, size - 1);
  in.name = "fuzz";
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(in) || uint64_t{info.width} * info.height > turn_pixels) return 0;
  unsigned long width = info.width, height = info.height;
  libgr::jpegdata_t out;
  if (!libgr::transform(count, out, in)) return 0;
  if (count % 2) std::swap(width, height);
  if (!info.analyze_markers(out) || info.width != width || info.height != height) std::abort();
  return 0;
}

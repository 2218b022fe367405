// Arbitrary bytes through the JPEG front end: markers, decoding, and
// encoding the result again with the markers read. The bytes sit in a
// block of exactly their size (small blocks are heap memory, so the
// sanitizer sees any read past the data).
#include <cstdint>
#include <cstring>

#include "image/fuzz/fuzz_guarded.h"
#include "image/loader_jpeg.h"

namespace {

// Keeps each run short; the library's own limit is far larger.
constexpr uint64_t decode_pixels = 1 << 20;
constexpr uint64_t encode_pixels = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  libgr::jpegdata_t data;
  if (!data.data.resize(size)) return 0;
  if (size) std::memcpy(data.data.begin(), bytes, size);
  data.name = "fuzz";
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(data) || uint64_t{info.width} * info.height > decode_pixels) return 0;
  info.get_marker(libgr::jpeginfo_t::MARKER_APP1);
  libgr::image2d_t image;
  if (info.decompress(image, data, 0, false, libgr::black3ub) &&
      uint64_t{image.width} * image.height <= encode_pixels) {
    libgr::jpegdata_t out;
    info.compress(out, image, 75, true);
  }
  return 0;
}

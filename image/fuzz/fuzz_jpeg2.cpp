// Arbitrary bytes as a JPEG file through the baseline segment reader, and
// its first APP1 segment through the EXIF reader.
#include "image/fuzz/fuzz_guarded.h"
#include "image/loader_jpeg2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzzutil::guarded_bytes input(bytes, size);
  if (!input.ok()) return 0;
  libgr::jpegdata2_t data;
  data.bytes = input.window;
  libgr::jpeginfo2_t info("fuzz");
  info.analyze(data);
  libgr::byte_window_t app1 = info.get_marker(libgr::marker_APP1);
  if (!app1.empty()) {
    libgr::app1_marker_t marker;
    fuzzutil::parse_app1(marker, app1);
  }
  return 0;
}

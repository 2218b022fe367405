// Arbitrary bytes as a JPEG file through the baseline segment reader, and
// its first APP1 segment through the EXIF reader.
#include <iostream>

#include "image/exif.h"
#include "image/fuzz/fuzz_guarded.h"
#include "image/loader_jpeg2.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.rdbuf(nullptr);  // the library's message lines
  return 0;
}

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
    marker.set_app1_buffer(app1);
    marker.parse();
  }
  return 0;
}

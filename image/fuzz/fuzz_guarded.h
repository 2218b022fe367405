// What the fuzz targets share: the fuzz input as a byte window on a block
// of exactly its size, an APP1 payload through the EXIF reader, and the
// initializer that silences the library's message lines, which a run
// would drown in. A target is one translation unit, so this header defines
// the initializer once per program: include it in one file of each.
#pragma once

#include <cstdint>
#include <cstring>
#include <iostream>

#include "image/bytewindow.h"
#include "image/exif.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.rdbuf(nullptr);
  return 0;
}

namespace fuzzutil {

// The block ends where the data does. Blocks below the allocator's mapping
// size (far above any fuzz input) are heap memory, so the address
// sanitizer reports any read past the data. (A guard page cannot be put
// behind heap memory: mprotect refuses an address that does not start a
// page, which left every small input unread.)
class guarded_bytes {
 public:
  guarded_bytes(const uint8_t* bytes, size_t size) {
    if (!window.resize(size)) return;
    if (size) std::memcpy(window.begin(), bytes, size);
    ok_ = true;
  }
  bool ok() const { return ok_; }

  libgr::byte_window_t window;

 private:
  bool ok_ = false;
};

// payload through the EXIF reader, maker notes included; its result.
inline bool parse_app1(libgr::app1_marker_t& marker, libgr::byte_window_t& payload) {
  marker.set_app1_buffer(payload);
  return marker.parse();
}

}  // namespace fuzzutil

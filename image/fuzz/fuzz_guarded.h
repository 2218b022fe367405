// What the image fuzz targets share beyond the common fuzz support: the
// fuzz input as a byte window on a block of exactly its size, and an APP1
// payload through the EXIF reader. Include it in one file of each target
// (it brings the initializer of utility/testsupport/fuzz.h).
#pragma once

#include "image/bytewindow.h"
#include "image/exif.h"
#include "utility/testsupport/fuzz.h"

namespace fuzzutil {

using guarded_bytes = testsupport::guarded_input<libgr::byte_window_t>;

// payload through the EXIF reader, maker notes included; its result.
inline bool parse_app1(libgr::app1_marker_t& marker, libgr::byte_window_t& payload) {
  marker.set_app1_buffer(payload);
  return marker.parse();
}

}  // namespace fuzzutil

// Arbitrary bytes as an APP1 payload through the EXIF reader and, when it
// accepts them, through the summary the pages and dialogs show, as HTML
// and as plain lines.
#include <sstream>

#include "album/engine/exif.h"
#include "image/fuzz/fuzz_guarded.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzzutil::guarded_bytes input(bytes, size);
  if (!input.ok()) return 0;
  libgr::app1_marker_t marker;
  if (!fuzzutil::parse_app1(marker, input.window)) return 0;
  for (bool html : {true, false}) {
    std::ostringstream out;
    tavolin::writeexif(out, marker.tiff_header, html);
  }
  return 0;
}

// Arbitrary bytes as an APP1 payload through the EXIF reader, maker notes
// included; every window the record keeps is read to its end.
#include "image/fuzz/fuzz_guarded.h"

namespace {

unsigned sum(const libgr::byte_window_t& w) {
  unsigned s = 0;
  const unsigned char* p = w.begin();
  for (size_t i = 0, n = w.size(); i < n; ++i) s += p[i];
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzzutil::guarded_bytes input(bytes, size);
  if (!input.ok()) return 0;
  libgr::app1_marker_t marker;
  fuzzutil::parse_app1(marker, input.window);
  const libgr::app1_marker_t::tiff_header_t& t = marker.tiff_header;
  volatile unsigned s = sum(t.thumbnail) + sum(t.tag_exif.maker_note) + sum(t.ifd_makernote) +
                        sum(t.ifd_olympus3_equipment) + sum(t.ifd_olympus3_camerasettings) +
                        sum(t.ifd_olympus3_focusinfo) + sum(t.ifd_gps) + sum(t.ifd_1st);
  (void)s;
  return 0;
}

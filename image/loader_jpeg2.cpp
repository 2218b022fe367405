#include "image/loader_jpeg2.h"

#include <sys/stat.h>

#include "image/loader_jpeg.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;

bool jpegdata2_t::load(const char* path) {
  struct stat st;
  if (!path || ::stat(path, &st) != 0) return false;
  // An empty file maps as empty bytes; size 0 would mean "the whole file".
  bool ok = bytes.load(static_cast<size_t>(st.st_size), path, libutils::E_PROT_READ);
  if (ok) name = path;
  return ok;
}

bool jpegdata2_t::load_head(const char* path) {
  if (!path || !load_jpeg_head(bytes, path)) return false;
  name = path;
  return true;
}

jpeginfo2_t::jpeginfo2_t(const char*) {}

jpeginfo2_t::~jpeginfo2_t() = default;

bool jpeginfo2_t::analyze(jpegdata2_t& data) {
  const byte_window_t& bytes = data.bytes;
  const uint64_t size = bytes.size();
  const unsigned char* b = bytes.begin();
  if (size < 8) return fail("too few size of JPEG.");
  if (b[0] != 0xFF || b[1] != 0xD8) return fail("not JPEG data.");
  const char broken[] = "broken JPEG data.";
  for (uint64_t p = 2;;) {
    if (p + 2 >= size) return true;
    if (b[p] == 0xFF && b[p + 1] == 0xD9) return false;
    if (size - p < 4) return fail(broken);
    unsigned short code = be16(b + p);
    uint64_t length = be16(b + p + 2);
    if (length < 2 || p + 2 + length > size) return fail(broken);
    markers.push_back(marker_t{code, byte_window_t()});
    byte_window_t& payload = markers.back().payload;
    subwindow(payload, bytes, p + 4, length - 2);
    switch (code) {
      case 0xFFC0:
        sof0_marker.set_sof0_buffer(payload);
        if (!sof0_marker.parse()) return false;
        break;
      case 0xFFC4:
        dht_marker.set_dht_buffer(payload);
        if (!dht_marker.parse()) return false;
        break;
      case 0xFFDB:
        dqt_marker.set_dqt_buffer(payload);
        if (!dqt_marker.parse()) return false;
        break;
      case 0xFFDD:
        dri_marker.set_dri_buffer(payload);
        dri_marker.parse();
        break;
      case 0xFFDA:
        sos_marker.set_sos_buffer(payload);
        sos_marker.set_dht_marker(&dht_marker);
        if (!sos_marker.parse()) return fail("sos_marker.parse() fail.");
        subwindow(scan, bytes, p + 2 + length, size);
        markers.push_back(marker_t{0, scan});
        return true;
      default: break;
    }
    p += 2 + length;
  }
}

byte_window_t jpeginfo2_t::get_marker(unsigned short code) {
  for (marker_t& m : markers) {
    if (m.code == code) return m.payload;
  }
  return byte_window_t();
}

}  // namespace libgr

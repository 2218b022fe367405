// Arbitrary bytes through the head walker: it reads nothing past them, an
// end it finds is an end again, and the readers that are given heads make
// of the head what they make of the whole bytes.
#include <cstdint>
#include <cstring>

#include "image/fuzz/fuzz_guarded.h"
#include "image/jpeg_head.h"
#include "image/loader_jpeg.h"
#include "image/loader_jpeg2.h"

namespace {

using libgr::jpeg_head_end_t;

struct reading_t {
  bool analyzed, walked;
  unsigned long width, height;
  std::list<libgr::jpeginfo_t::marker_t> markers;
  std::list<libgr::jpeginfo2_t::marker_t> segments;
};

reading_t read_as_the_readers_do(const libgr::byte_window_t& bytes) {
  reading_t r;
  libgr::jpegdata_t data;
  data.data = bytes;
  libgr::jpeginfo_t info;
  r.analyzed = info.analyze_markers(data);
  r.width = info.width;
  r.height = info.height;
  r.markers = info.markers;
  libgr::jpegdata2_t data2;
  data2.bytes = bytes;
  libgr::jpeginfo2_t info2;
  r.walked = info2.analyze(data2);
  r.segments = info2.markers;
  return r;
}

bool same_bytes(const libgr::byte_window_t& a, const libgr::byte_window_t& b) {
  return a.size() == b.size() &&
         (a.size() == 0 || std::memcmp(a.begin(), b.begin(), a.size()) == 0);
}

bool same(const reading_t& a, const reading_t& b) {
  if (a.analyzed != b.analyzed || a.walked != b.walked || a.width != b.width ||
      a.height != b.height || a.markers.size() != b.markers.size())
    return false;
  for (auto x = a.markers.begin(), y = b.markers.begin(); x != a.markers.end(); ++x, ++y)
    if (x->code != y->code || !same_bytes(x->payload, y->payload)) return false;
  if (!a.walked) return true;
  // The last node holds the scan, which the head lacks.
  if (a.segments.size() != b.segments.size()) return false;
  for (auto x = a.segments.begin(), y = b.segments.begin(); x != a.segments.end(); ++x, ++y)
    if (x->code != y->code || (x->code != 0 && !same_bytes(x->payload, y->payload))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  fuzzutil::guarded_bytes input(bytes, size);
  if (!input.ok()) return 0;
  const jpeg_head_end_t end = libgr::find_jpeg_head_end(input.window.begin(), size);
  if (end.state == jpeg_head_end_t::HEAD_NEEDS_MORE && end.size <= size) __builtin_trap();
  if (end.state != jpeg_head_end_t::HEAD_FOUND) return 0;
  if (end.size > size) __builtin_trap();
  fuzzutil::guarded_bytes head(bytes, static_cast<size_t>(end.size));
  if (!head.ok()) return 0;
  const jpeg_head_end_t again = libgr::find_jpeg_head_end(head.window.begin(), end.size);
  if (again.state != jpeg_head_end_t::HEAD_FOUND || again.size != end.size) __builtin_trap();
  if (!same(read_as_the_readers_do(head.window), read_as_the_readers_do(input.window)))
    __builtin_trap();
  return 0;
}

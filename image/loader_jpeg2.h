// A JPEG segment reader of the library's own, independent of libjpeg: it
// walks the marker segments of a mapped file from SOI up to the first scan,
// keeps each as a window on the file's bytes and checks the frame, table and
// scan headers with the records of jpeg_marker.h. Only 8-bit sequential
// (baseline) files pass.
#pragma once

#include <list>

#include "image/jpeg_marker.h"

namespace libgr {

const unsigned short marker_SOF0 = 0xFFC0;
const unsigned short marker_SOF4 = 0xFFC4;
const unsigned short marker_APP1 = 0xFFE1;
const unsigned short marker_COM = 0xFFFE;

// The bytes of one JPEG file, mapped read-only.
class jpegdata2_t {
 public:
  byte_window_t bytes;
  const char* name = nullptr;  // the path given to load, not a copy

  jpegdata2_t() = default;
  // False without a message when the file is missing or cannot be mapped.
  bool load(const char* path);
  // The same for the head of the file only: its segments up to the scan
  // (see load_jpeg_head in loader_jpeg.h), enough for analyze and the EXIF.
  bool load_head(const char* path);
};

class jpeginfo2_t {
 public:
  struct marker_t {
    unsigned short code;    // as written, e.g. 0xFFE1; 0 for the scan data
    byte_window_t payload;  // the bytes after the segment's length field
  };

  std::list<marker_t> markers;  // file order; the last node holds the scan
  byte_window_t scan;           // from the first byte after SOS to the end
  dqt_marker_t dqt_marker;
  dht_marker_t dht_marker;
  sof0_marker_t sof0_marker;
  dri_marker_t dri_marker;
  sos_marker_t sos_marker;

  explicit jpeginfo2_t(const char* name = nullptr);
  ~jpeginfo2_t();

  // Appends the segments of data up to the first scan; call once.
  bool analyze(jpegdata2_t& data);
  // The payload of the first segment with code (code 0: the scan data), or
  // an empty window.
  byte_window_t get_marker(unsigned short code);
};

}  // namespace libgr

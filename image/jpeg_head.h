// Where the head of a JPEG stream ends: its segments from SOI through the
// header of the first scan (SOS), which hold the frame and every marker
// that a look at a photo's size and EXIF needs. A walk over bytes alone,
// trusting no length it reads: the file readers feed it what they have
// read so far and read on while it asks for more.
#pragma once

#include <cstdint>

namespace libgr {

struct jpeg_head_end_t {
  enum e_state_t {
    HEAD_FOUND,       // size: the bytes of the head, SOI through the SOS segment
    HEAD_NEEDS_MORE,  // size: the bytes the walk must see before it can go on
    HEAD_NOT_PLAIN,   // the segments do not follow one another plainly
  };
  e_state_t state;
  uint64_t size;
};

// Walks the segments of the size bytes at bytes (an in-memory block). Not
// plain: no SOI at the start, a byte other than 0xFF where a segment
// begins, a fill byte, a marker without a length (TEM, RSTn, SOI, EOI) or
// a length below 2 before the first scan; the decoders judge such streams
// from their whole bytes.
jpeg_head_end_t find_jpeg_head_end(const unsigned char* bytes, uint64_t size);

}  // namespace libgr

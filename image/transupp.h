// Lossless quarter turns of a JPEG stream in the DCT domain: the
// coefficients are moved, never decoded to pixels and encoded again.
#pragma once

#include "image/loader_jpeg.h"

namespace libgr {

// Turns in right_rotate_count quarter turns clockwise (0 copies the
// coefficients unchanged). Edge blocks that do not fill a whole MCU stay
// where they are, untransformed; the output has the full turned size and
// carries no marker of the source (no EXIF, no comments). A count above 3
// writes "COUNT: jpeg transform rightrotate count over." and returns false
// with out untouched. An error clears out.data and returns false; a
// warning (from either side) also returns false, but out.data then holds a
// complete stream.
bool transform(unsigned long right_rotate_count, jpegdata_t& out, const jpegdata_t& in);

// Whether transform turns in by the count without leaving an edge block
// untransformed: the sides the turn moves are whole numbers of MCUs. False
// when the header cannot be read or the sampling is not a common one.
bool transform_is_perfect(unsigned long right_rotate_count, const jpegdata_t& in);

}  // namespace libgr

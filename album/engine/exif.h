#pragma once
// The EXIF summary of a photo: a few short lines on capture time, camera and
// lens, exposure, focus, white balance and flash, tone and colour space, and
// the live-composite frame count of OM cameras. The pages write it as HTML
// below each photo, the dialogs as plain lines.

#include <ostream>
#include <string>

#include "album/engine/album.h"
#include "image/exif.h"
#include "image/loader_jpeg2.h"

namespace tavolin {

// One row of a lookup table; a table ends with the row {-1, "Unknown"}.
struct desc_t {
  long id;
  const char* text;
};

extern const desc_t colorspace[];
extern const desc_t pex5focusmode[];
extern const desc_t olym3whitebal[];
extern const desc_t olym3focusmode1[];  // bit masks
extern const desc_t olym3focusmode0[];

// Texts by index.
extern const char* const saturation[4];
extern const char* const processrange[3];
extern const char* const contrast[3];
extern const char* const olympus_contrast[3];
extern const char* const sharpness[3];
extern const char* const whitebalance_preset[9];
extern const char* const whitebalance_code[3];
extern const char* const whitebal[3];
extern const char* const focusmode[2];
// Entries 2 and 3 take catalog texts in initexif().
extern const char* meteringmode[8];
// The letter of exposure programs 0 to 8.
extern const char expprogs[10];

// The text of the first row whose id is id, else the end row's text.
const char* search_desc(const desc_t* table, unsigned long id);

// Greatest common divisor (Euclid); gcd(a, 0) is a.
unsigned gcd(unsigned a, unsigned b);

// Puts the catalog's texts for centre-weighted (MSG_METERING_CENTER_WEIGHTED)
// and spot (MSG_METERING_SPOT) metering into meteringmode. Call once the catalog is loaded;
// both arguments are ignored.
void initexif(const char* dir, const char* name);

// Writes the summary of path.make(dir, name); with html every line gets a
// TAB or TAB "<br>" prefix and the camera's texts are HTML-escaped. False,
// with nothing written, when the file is not a baseline JPEG with parsable
// EXIF data. The stream keeps the fixed notation, precision 0 and decimal
// base that the f-number leaves on it, so later photos on the same page are
// written the same way.
bool writeexif(std::ostream& out, const path_t& path, const std::string& dir,
               const std::string& name, bool html);

// The same from the bytes of the file (its head is enough: see
// libgr::load_jpeg_head).
bool writeexif(std::ostream& out, libgr::jpegdata2_t& data, bool html);

// The same lines from a parsed record (used by writeexif and its tests).
void writeexif(std::ostream& out, const libgr::app1_marker_t::tiff_header_t& exif, bool html);

}  // namespace tavolin

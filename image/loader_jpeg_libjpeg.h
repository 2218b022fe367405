// What the JPEG front end's decoder and encoder share inside the library:
// the pixel layouts exchanged with libjpeg and the error record whose exit
// names the stream and jumps back into the call that failed.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "image/loader_jpeg.h"

namespace libgr {
namespace detail {

// libjpeg's own objects are released before every return; longjmp only
// ever crosses libjpeg frames and frames without destructors.
struct error_record_t {
  jpeg_error_mgr pub;
  jmp_buf jump;
  const jpegdata_t* data;  // whose name the messages use
};

struct desc_row_t {
  e_image_format_t format;
  e_image_type_t type;
  e_image_bits_t bits;
  J_COLOR_SPACE color_space;
  int components;
};

// Rows handed to libjpeg in one call.
constexpr size_t rows_per_call = 16;

// The message code of the decoder's scan limit, past libjpeg's own.
constexpr int JERR_SCAN_LIMIT = 1000;

// The text put in front of messages about data: its name, else nothing.
const char* nameof(const jpegdata_t* data);
// Keeps libjpeg's text of an error for last_jpeg_error() on this thread.
void note_jpeg_error(const char* text);

// Fills err for data: libjpeg's standard record with an exit that writes
// the name's "error detected." line and libjpeg's own, then jumps to
// err.jump; returns the record for the object's err.
jpeg_error_mgr* set_error_record(error_record_t& err, const jpegdata_t* data);

// The table row of an image layout, or of what libjpeg decodes; null for
// a layout the front end does not exchange.
const desc_row_t* find_row(const image_desc_t& desc);
const desc_row_t* find_row(int components, J_COLOR_SPACE space);

}  // namespace detail
}  // namespace libgr

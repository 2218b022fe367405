// Small pieces around libpng: the signature test and the read callback on
// an input stream.
#pragma once

#include <png.h>

#include "utility/regular_ifstream.h"

namespace libgr {

// libpng's read callback: length bytes from the std::istream held as the
// I/O pointer. A stream that ends early raises libpng's error, so that a
// cut file never decodes from stale buffer bytes.
void png_read(png_struct* png, unsigned char* data, png_size_t length);

// Opens stream on path and tests the first four signature bytes. A file
// that cannot be opened, or is no regular file, gives the error hook and
// "PATH: file open error, " with the reason; a short or other file gives
// false silently.
bool check_if_png(const char* path, libutils::regular_ifstream& stream);

}  // namespace libgr

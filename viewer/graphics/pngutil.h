// Small pieces around libpng: the signature test and the read callback on
// an input stream.
#pragma once

#include <png.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "utility/futil.h"

namespace libgr {

// libpng's read callback: length bytes from the std::istream held as the
// I/O pointer. A stream that ends early raises libpng's error, so that a
// cut file never decodes from stale buffer bytes.
void png_read(png_struct* png, unsigned char* data, png_size_t length);

// Opens stream on path and tests the first four signature bytes. A file
// that cannot be opened gives the error hook and "PATH: file open error,
// " with the system's text; a short or other file gives false silently.
template <class Stream>
bool check_if_png(const char* path, Stream& stream) {
  stream.open(path, std::ios::in | std::ios::binary);
  if (!stream) {
    int e = errno;
    libutils::error();
    std::cerr << path << ": file open error, " << std::strerror(e) << std::endl;
    return false;
  }
  unsigned char bytes[4];
  stream.read(reinterpret_cast<char*>(bytes), sizeof bytes);
  if (stream.gcount() == sizeof bytes) {
    return png_sig_cmp(bytes, 0, sizeof bytes) == 0;
  }
  stream.close();
  return false;
}

}  // namespace libgr

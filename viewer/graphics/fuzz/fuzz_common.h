// What the graphics fuzz targets share: silenced message lines, the input
// as a window on a block of exactly its size (so that the address
// sanitizer sees any read past it) or as a stream, and a pass over every
// pixel of a loaded image. One target is one translation unit: include
// this header in one file of each.
#pragma once

#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "image/imagetype.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.rdbuf(nullptr);
  return 0;
}

namespace grfuzz {

inline bool window(libgr::pixel_store_t& out, const uint8_t* bytes, size_t size) {
  if (!out.resize(size)) return false;
  if (size) std::memcpy(out.begin(), bytes, size);
  return true;
}

inline std::istringstream stream(const uint8_t* bytes, size_t size) {
  return std::istringstream(std::string(reinterpret_cast<const char*>(bytes), size));
}

// Reads the first and last byte of every row the image claims (a row past
// the store shows there), and every byte of the first megabyte of rows.
inline void touch(const libgr::image2d_t& image) {
  if (image.compressed || image.width == 0) return;
  volatile unsigned sum = 0;
  const uint64_t bytes = image.rowbyte();
  uint64_t budget = uint64_t(1) << 20;
  for (uint32_t r = 0; r < image.height; ++r) {
    const unsigned char* row = image[r];
    sum = sum + row[0] + row[bytes - 1];
    for (uint64_t i = 0; i < bytes && budget; ++i, --budget) sum = sum + row[i];
  }
  for (uint64_t i = 0; i < image.palette.size && i < image.palette.red.size(); ++i) {
    sum = sum + image.palette.red[i];
  }
}

}  // namespace grfuzz

#pragma once
// What the benchmarks share: a generated camera-sized photo and the
// removal of their scratch trees.
#include <ftw.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/imagetype.h"

namespace benchphoto {

constexpr uint32_t photo_width = 6000;
constexpr uint32_t photo_height = 4000;

// Gradients, a fine texture and sensor-like noise: about what a camera
// file costs to decode. Each seed gives another picture.
inline libgr::image2d_t make_photo(uint32_t seed = 0) {
  libgr::image2d_t image;
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = photo_width;
  image.height = photo_height;
  if (!image.allocate()) std::abort();
  uint32_t state = 12345 + seed * 7919;
  for (uint32_t r = 0; r < image.height; ++r) {
    unsigned char* p = image[r];
    for (uint32_t c = 0; c < image.width; ++c, p += 3) {
      state = state * 1664525u + 1013904223u;
      const uint32_t noise = (state >> 26) & 7;
      const uint32_t texture = ((c / (9 + seed) + r / 7) & 1) * 12;
      p[0] = static_cast<unsigned char>(c * 220 / image.width + noise + texture);
      p[1] = static_cast<unsigned char>(r * 200 / image.height + noise + 20 + seed * 5);
      p[2] = static_cast<unsigned char>((c + r) * 150 / (image.width + image.height) + noise +
                                        texture + 40);
    }
  }
  return image;
}

inline int remove_one(const char* path, const struct stat*, int, struct FTW*) {
  return std::remove(path);
}

// Removes dir and everything below it, links not followed.
inline void remove_tree(const std::string& dir) {
  nftw(dir.c_str(), remove_one, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace benchphoto

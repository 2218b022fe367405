// Uncompressed TGA files of image type 1 (colour-mapped) and 2 (true
// colour). Rows are unpadded in the file and padded to 4 bytes in memory,
// always bottom-up there: a top-left origin is turned when read.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <vector>

#include "image/imagetype.h"
#include "utility/alloc_mmap_unix.h"

namespace libgr {

class tgaimage_t {
 public:
  uint8_t id_length = 0;
  uint8_t colormap_type = 0;  // 0 none, 1 present
  uint8_t image_type = 0;     // 1 colour-mapped, 2 true colour
  uint16_t colormap_first = 0;
  uint16_t colormap_length = 0;
  uint8_t colormap_entry_size = 0;  // bits
  uint16_t x_origin = 0;
  uint16_t y_origin = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t pixel_depth = 0;  // bits
  uint8_t descriptor = 0;   // bit 5: top-left origin; bit 4: right-to-left

  std::vector<unsigned char> id;
  std::vector<unsigned char> colormap;
  // Row 0 is the bottom row; rows are row_stride bytes apart.
  pixel_store_t pixels;
  uint64_t row_stride = 0;
  const char* name = nullptr;  // for messages; not owned

  // False for a file that cannot be opened or ends early, an image type
  // other than 1 or 2 (run-length coded files among them), right-to-left
  // rows, a depth other than 8, 15, 16, 24 or 32, a size of 0 or above
  // image_pixel_limit.
  bool load(const char* path, libutils::android_app* app = nullptr);
  bool load(std::istream& is);
  // Header, ID, colour map and unpadded rows, bottom row first.
  bool save(const char* path, libutils::android_app* app = nullptr);
  bool save(std::ostream& os);
};

// The image shares the rows: GRAYSCALE 8 bits, BGRA R5G5B5A1, BGR or BGRA
// 8 bits for true colour; INDEX 8 bits with the colour map as palette for
// a colour-mapped file. False for anything else.
bool convert(image2d_t& image, const tgaimage_t& tga);
// A true-colour TGA of BGRA, BGR, GRAYSCALE 8 bits or BGRA R5G5B5A1 (RGB
// and RGBA 8 bits turned into BGR order first), sharing the image's rows
// otherwise. False for other layouts and sides above 65535.
bool convert(tgaimage_t& tga, const image2d_t& image);

}  // namespace libgr

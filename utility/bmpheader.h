// The fixed records at the start of a BMP file, laid out as the file has
// them (little-endian fields). All three are packed: windows put them at
// any byte offset of a mapped file.
#pragma once

#include <cstdint>

namespace libutils {

#pragma pack(push, 1)

struct tagBITMAPFILEHEADER {
  uint16_t bfType;  // "BM"
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;  // offset of the pixel data from the file's start
};

struct tagBITMAPINFOHEADER {
  uint32_t biSize;  // 40
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;  // 0: none
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

struct tagRGBQUAD {
  uint8_t rgbBlue;
  uint8_t rgbGreen;
  uint8_t rgbRed;
  uint8_t rgbReserved;
};

#pragma pack(pop)

static_assert(sizeof(tagBITMAPFILEHEADER) == 14, "file header is 14 bytes");
static_assert(sizeof(tagBITMAPINFOHEADER) == 40, "info header is 40 bytes");
static_assert(sizeof(tagRGBQUAD) == 4, "colour entry is 4 bytes");

}  // namespace libutils

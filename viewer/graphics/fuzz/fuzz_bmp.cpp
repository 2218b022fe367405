// Arbitrary bytes through the three BMP readers; every row a reader
// accepts is read to its end.
#include "viewer/graphics/fuzz/fuzz_common.h"
#include "viewer/graphics/loader_bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  libgr::pixel_store_t input;
  if (!grfuzz::window(input, bytes, size)) return 0;
  {
    libgr::bmpimage2_t bmp;
    libgr::image2d_t image;
    if (bmp.load(input) && libgr::convert(image, bmp)) grfuzz::touch(image);
  }
  {
    std::istringstream is = grfuzz::stream(bytes, size);
    libgr::bmpimage_t bmp;
    libgr::image2d_t image;
    if (bmp.load(is) && libgr::convert(image, bmp)) grfuzz::touch(image);
  }
  {
    std::istringstream is = grfuzz::stream(bytes, size);
    libgr::image2d_t image;
    if (libgr::BmpLoad(image, is, libgr::IMAGE_FORMAT_RGB)) grfuzz::touch(image);
  }
  return 0;
}

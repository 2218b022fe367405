// Arbitrary bytes through the PNG reader (after the signature, so that
// the fuzzer spends its time inside the chunks).
#include "viewer/graphics/fuzz/fuzz_common.h"
#include "viewer/graphics/loader_png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::istringstream is = grfuzz::stream(bytes, size);
  libgr::image2d_t image;
  if (libgr::loadpng(is, image) == libgr::PNG_OK) grfuzz::touch(image);
  return 0;
}

// Arbitrary bytes through the TGA reader, and what it accepts back out
// through the writer.
#include "viewer/graphics/fuzz/fuzz_common.h"
#include "viewer/graphics/loader_tga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::istringstream is = grfuzz::stream(bytes, size);
  libgr::tgaimage_t tga;
  libgr::image2d_t image;
  if (!tga.load(is) || !libgr::convert(image, tga)) return 0;
  grfuzz::touch(image);
  libgr::tgaimage_t out;
  std::ostringstream os;
  if (libgr::convert(out, image)) out.save(os);
  return 0;
}

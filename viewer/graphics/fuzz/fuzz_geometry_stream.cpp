// Arbitrary text through the tagged-value reader until the stream fails
// or ends, and through the readers the saved-view file uses.
#include "viewer/graphics/fuzz/fuzz_common.h"
#include "viewer/graphics/streamtype.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  {
    std::istringstream is = grfuzz::stream(bytes, size);
    libgr::mtype_reader value;
    std::ostringstream os;
    // Each read takes at least one character or fails the stream.
    for (int i = 0; i < 10000 && is && !is.eof(); ++i) {
      is >> value;
      os << value;
    }
  }
  {
    std::istringstream is = grfuzz::stream(bytes, size);
    libgr::direction2l_t size2;
    libgr::matrix3w_t matrix;
    libgr::posture3w_t posture;
    libgr::line3d_t line;
    is >> size2 >> matrix >> posture >> line;
  }
  return 0;
}

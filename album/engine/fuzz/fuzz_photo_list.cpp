// Arbitrary bytes as a photo list ("txt/best.txt" of an album): every
// name read must be a whole line, not empty and without a line end.
#include <cstdlib>
#include <string>

#include "album/engine/album.h"
#include "utility/testsupport/fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  tavolin::best_t list;
  list.parse(std::string(reinterpret_cast<const char*>(bytes), size));
  for (const std::string& name : list.names) {
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) std::abort();
  }
  return 0;
}

// Arbitrary bytes as the settings file, read over the defaults; whatever
// was read must come back the same once written and read again.
#include <cstdlib>
#include <sstream>
#include <string>

#include "album/engine/global.h"
#include "utility/testsupport/fuzz.h"

namespace {

std::string dump(const tavolin::global_t& g) {
  std::ostringstream out;
  tavolin::dumpini(out, g, "\n");
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  // Taken once: the default html_header follows LANG, which stays put.
  static const tavolin::global_t defaults;
  tavolin::global_t g = defaults;
  tavolin::parseini(g, std::string(reinterpret_cast<const char*>(bytes), size));
  if (g.horizontal_items == 0) std::abort();  // every dialog divides by it
  const std::string read = dump(g);
  std::ostringstream written;
  tavolin::writeini(written, g);
  // Read over what was read, as the program does: a html_header left out
  // while its check is off keeps its value.
  tavolin::global_t again = g;
  tavolin::parseini(again, written.str());
  if (dump(again) != read) std::abort();
  return 0;
}

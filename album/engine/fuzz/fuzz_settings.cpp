// Arbitrary bytes as the settings file in the home directory, read over
// the defaults; whatever was read must come back the same once saved and
// read again.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "album/engine/global.h"
#include "image/fuzz/fuzz_guarded.h"

namespace {

// A home directory of its own, removed at exit; the defaults are taken
// with it in place.
struct home_t {
  std::string dir;
  std::string file;
  tavolin::global_t defaults;
  home_t() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_settings.XXXXXX";
    if (!mkdtemp(&pattern[0])) std::abort();
    dir = pattern;
    setenv("HOME", dir.c_str(), 1);
    file = tavolin::inifile("", "tavolin");
    defaults = tavolin::global_t();
  }
  ~home_t() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
};

std::string dump() {
  std::ostringstream out;
  tavolin::dumpini(out, tavolin::g_global, "\n");
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const home_t home;
  tavolin::g_global = home.defaults;
  {
    std::ofstream out(home.file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }
  if (!tavolin::loadini("", "tavolin")) std::abort();
  if (tavolin::g_global.horizontal_items == 0) std::abort();  // every dialog divides by it
  const std::string read = dump();
  tavolin::saveini("", "tavolin");
  if (!tavolin::loadini("", "tavolin") || dump() != read) std::abort();
  return 0;
}

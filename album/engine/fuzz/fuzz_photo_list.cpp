// Arbitrary bytes as a photo list ("txt/best.txt" of an album): every
// name read must be a whole line, not empty and without a line end.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "album/engine/album.h"
#include "image/fuzz/fuzz_guarded.h"

namespace {

// An album directory with its "txt" folder, removed at exit.
struct album_dir_t {
  std::string dir;
  album_dir_t() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_photo_list.XXXXXX";
    if (!mkdtemp(&pattern[0])) std::abort();
    dir = pattern;
    if (mkdir((dir + "/txt").c_str(), 0755) != 0) std::abort();
  }
  ~album_dir_t() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const album_dir_t album;
  {
    std::ofstream out(album.dir + "/txt/best.txt", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }
  const tavolin::path_t path("", album.dir, "");
  tavolin::best_t list;
  if (!list.load(path, "best.txt")) std::abort();
  for (const std::string& name : list.names) {
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) std::abort();
  }
  return 0;
}

// Helpers shared by the engine tests: scratch directories, files, HOME and
// the settings object put back after each test.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "album/engine/global.h"
#include "image/tests/jpeg_test_support.h"
#include "utility/testsupport/gtest.h"

namespace enginetest {

// A fresh directory below the temporary directory, removed with
// everything in it afterwards; dir / "name" is a path inside it.
using scratch_dir = testsupport::scratch_dir;

inline void write_file(const std::string& path, const std::string& content) {
  ASSERT_TRUE(testsupport::write_file(path, content)) << path;
}

using testsupport::read_file;

inline bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// mkdir -p with mode 0755.
inline void make_dirs(const std::string& path) {
  for (std::string::size_type pos = 1; pos != std::string::npos;) {
    pos = path.find('/', pos + 1);
    mkdir(path.substr(0, pos).c_str(), 0755);
  }
}

// Sets HOME (or unsets it for a null value) and puts it back afterwards.
using testsupport::home_guard;

// A fast movie encoder for tests: ffmpeg's own, without a GPU.
constexpr const char* quick_encoder = "-c:v libx264 -preset ultrafast -crf 23";

// The settings the level tests run with: photo levels down to side x side
// at the quality, movies through the encoder without hardware decoding.
inline void set_level_settings(uint32_t side, unsigned long quality,
                               const char* encoder = quick_encoder) {
  tavolin::g_global.shrink_size = {side, side};
  tavolin::g_global.jpeg_compress = quality;
  tavolin::g_global.hwaccel = "";
  tavolin::g_global.ffmpeg = encoder;
}

// Keeps g_global as it was before the test.
class settings_guard {
 public:
  settings_guard() : m_saved(tavolin::g_global) {}
  ~settings_guard() { tavolin::g_global = m_saved; }
  settings_guard(const settings_guard&) = delete;
  settings_guard& operator=(const settings_guard&) = delete;

 private:
  tavolin::global_t m_saved;
};

}  // namespace enginetest

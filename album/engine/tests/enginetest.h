// Helpers shared by the engine tests: scratch directories, files, HOME and
// the settings object put back after each test.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "album/engine/global.h"
#include "image/tests/jpeg_test_support.h"

namespace enginetest {

// A fresh directory below the temporary directory, removed with
// everything in it afterwards; dir / "name" is a path inside it.
using scratch_dir = jpegtest::scratch_t;

inline void write_file(const std::string& path, const std::string& content) {
  ASSERT_TRUE(jpegtest::write_file(path, reinterpret_cast<const unsigned char*>(content.data()),
                                   content.size()))
      << path;
}

inline std::string read_file(const std::string& path) {
  std::ifstream ifs(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(ifs)),
                     std::istreambuf_iterator<char>());
}

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
class home_guard {
 public:
  explicit home_guard(const char* value) {
    const char* old = std::getenv("HOME");
    m_had = old != nullptr;
    if (m_had) m_old = old;
    if (value) setenv("HOME", value, 1);
    else unsetenv("HOME");
  }
  ~home_guard() {
    if (m_had) setenv("HOME", m_old.c_str(), 1);
    else unsetenv("HOME");
  }
  home_guard(const home_guard&) = delete;
  home_guard& operator=(const home_guard&) = delete;

 private:
  bool m_had = false;
  std::string m_old;
};

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

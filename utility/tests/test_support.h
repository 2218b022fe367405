#pragma once
// Helpers of the utility library's tests: locales, sockets and file times,
// beside the shared test support.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "utility/testsupport/testsupport.h"

namespace utiltest {

using testsupport::cwd_guard;
using testsupport::env_guard;
using testsupport::scratch_dir;

// Switches one locale category, restoring the old one.
class locale_guard {
 public:
  locale_guard(int category, const char* name) : m_category(category) {
    if (const char* old = std::setlocale(category, nullptr)) m_old = old;
    m_ok = std::setlocale(category, name) != nullptr;
  }
  ~locale_guard() { std::setlocale(m_category, m_old.c_str()); }
  bool ok() const { return m_ok; }

 private:
  int m_category;
  std::string m_old;
  bool m_ok = false;
};

// Compiles a locale with localedef into its own directory and points
// LOCPATH there, so that tests can use locales the machine does not have
// installed. ok() is false when localedef or the locale sources are absent.
class compiled_locale {
 public:
  compiled_locale(const char* input, const char* charmap, const char* name)
      : m_locpath("LOCPATH", m_dir.path()) {
    const std::string cmd = std::string("localedef -c -i ") + input + " -f " + charmap + " '" +
                            (m_dir / name) + "' >/dev/null 2>&1";
    m_ok = !m_dir.path().empty() && std::system(cmd.c_str()) == 0 &&
           std::filesystem::exists(m_dir / name);
  }
  bool ok() const { return m_ok; }

 private:
  scratch_dir m_dir;
  env_guard m_locpath;
  bool m_ok = false;
};

// Leaves a unix socket file at path; false when that fails.
inline bool bind_socket(const std::string& path) {
  sockaddr_un addr{};
  if (path.size() >= sizeof addr.sun_path) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return ok;
}

using testsupport::read_file;
using testsupport::write_file;

// Sets both file times of path to the given seconds and nanoseconds.
inline bool set_times(const std::string& path, time_t sec, long nsec) {
  struct timespec t[2];
  t[0].tv_sec = t[1].tv_sec = sec;
  t[0].tv_nsec = t[1].tv_nsec = nsec;
  return ::utimensat(AT_FDCWD, path.c_str(), t, 0) == 0;
}

inline struct timespec mtime_of(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mtim;
}

}  // namespace utiltest

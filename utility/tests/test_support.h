#pragma once
// Helpers shared by the utility library's tests: scratch directories,
// locales, environment variables and file times.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace utiltest {

// A fresh directory below the system's temporary directory, removed with
// everything in it at the end of the test.
class scratch_dir {
 public:
  scratch_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "utiltest.XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~scratch_dir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

// Changes the working directory for the lifetime of the object.
class cwd_guard {
 public:
  explicit cwd_guard(const std::string& dir) : m_old(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~cwd_guard() {
    std::error_code ec;
    std::filesystem::current_path(m_old, ec);
  }

 private:
  std::filesystem::path m_old;
};

// Sets (or with nullopt unsets) an environment variable, restoring it.
class env_guard {
 public:
  env_guard(const char* name, std::optional<std::string> value) : m_name(name) {
    if (const char* old = ::getenv(name)) m_old = old;
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ~env_guard() {
    if (m_old)
      ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
      ::unsetenv(m_name.c_str());
  }

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};

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

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::string();
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

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

#include "utility/testsupport/testsupport.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace testsupport {

scratch_dir::scratch_dir(const char* prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + ".XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
}

scratch_dir::~scratch_dir() {
  std::error_code ignored;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

env_guard::env_guard(const char* name, std::optional<std::string> value) : m_name(name) {
  if (const char* old = std::getenv(name)) m_old = old;
  if (value)
    ::setenv(name, value->c_str(), 1);
  else
    ::unsetenv(name);
}

env_guard::~env_guard() {
  if (m_old)
    ::setenv(m_name.c_str(), m_old->c_str(), 1);
  else
    ::unsetenv(m_name.c_str());
}

watchdog::watchdog(unsigned seconds) {
  ::signal(SIGALRM, [](int) {
    static const char text[] = "watchdog: the test waited for good\n";
    const ssize_t written = ::write(2, text, sizeof text - 1);
    (void)written;
    ::_exit(1);
  });
  ::alarm(seconds);
}

watchdog::~watchdog() {
  ::alarm(0);
  ::signal(SIGALRM, SIG_DFL);
}

cwd_guard::cwd_guard(const std::string& dir) : m_old(std::filesystem::current_path().string()) {
  std::filesystem::current_path(dir);
}

cwd_guard::~cwd_guard() {
  std::error_code ignored;
  std::filesystem::current_path(m_old, ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

namespace {

bool executable(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool have_program(const std::string& name) {
  if (name.empty()) return false;
  if (name.find('/') != std::string::npos) return executable(name);
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::string::size_type start = 0;;) {
    const std::string::size_type end = dirs.find(':', start);
    std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
    if (dir.empty()) dir = ".";
    if (executable(dir + "/" + name)) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

bool under_ci() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0';
}

}  // namespace testsupport

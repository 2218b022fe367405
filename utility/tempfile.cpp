// The temporary file beside a target that every replacing writer of both
// programs goes through: its name is decided here only.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "utility/futil.h"

namespace libutils {

namespace {

std::atomic<unsigned long> temp_counter{0};

// Names taken by files a crash left behind are passed over this often.
constexpr int max_temp_attempts = 100;

// The unique part: the process and a count, each as eight hex digits, so
// that the name has one length whatever the target's.
constexpr int unique_digits = 8;
constexpr std::size_t unique_size = 2 * unique_digits + 2;  // "-" between, NUL after

// Longest target extension a temporary name keeps; a longer one gives
// ".part" (no format is chosen by such an extension).
constexpr std::size_t max_kept_extension = 16;

// The extension of the last path component, with its dot; "" without one
// and for a name that is a dot and a word alone.
std::string extension_of(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  const std::string::size_type dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  if (dot == (slash == std::string::npos ? 0 : slash + 1)) return "";
  return path.substr(dot);
}

}  // namespace

std::string make_temp_beside(const std::string& target, int* fd_out, bool keep_extension) {
  const std::string::size_type slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string suffix = keep_extension ? extension_of(target) : "";
  if (suffix.empty() || suffix.size() > max_kept_extension) suffix = temp_suffix;
  const unsigned long pid = static_cast<unsigned long>(::getpid());
  for (int attempt = 0; attempt < max_temp_attempts; ++attempt) {
    char unique[unique_size];
    std::snprintf(unique, sizeof unique, "%0*lx-%0*lx", unique_digits, pid & 0xFFFFFFFFul,
                  unique_digits, temp_counter.fetch_add(1) & 0xFFFFFFFFul);
    const std::string temp = dir + "." + unique + suffix;
    // O_EXCL: a name that exists, even as a link, is never written through.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return "";
    }
    if (fd_out)
      *fd_out = fd;
    else
      ::close(fd);
    return temp;
  }
  errno = EEXIST;
  return "";
}

}  // namespace libutils

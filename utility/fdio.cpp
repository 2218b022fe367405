// Whole reads and writes on a descriptor: the one place where a call cut
// short by a signal is made again.
#include <unistd.h>

#include <cerrno>

#include "utility/futil.h"

namespace libutils {

bool read_all(int fd, void* bytes, std::size_t size, std::size_t& got) {
  char* p = static_cast<char*>(bytes);
  got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, p + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool write_all(int fd, const void* bytes, std::size_t size) {
  const char* p = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace libutils

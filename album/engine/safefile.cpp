#include "album/engine/safefile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "utility/futil.h"

namespace tavolin {

namespace {

// Closes fd, keeping the errno of an earlier failure.
bool close_keeping_errno(int fd, bool ok) {
  const int saved = errno;
  const bool closed = ::close(fd) == 0;
  if (ok && !closed) return false;
  if (!ok) errno = saved;
  return ok;
}

// Removes path, keeping errno.
void discard(const std::string& path) {
  const int saved = errno;
  ::unlink(path.c_str());
  errno = saved;
}

// Copies in to out; on false, reading marks whether in failed.
bool copy_descriptor(int in, int out, bool& reading) {
  const std::size_t piece = 1u << 20;
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[piece]);
  if (!buffer) {
    errno = ENOMEM;
    return false;
  }
  for (;;) {
    std::size_t got = 0;
    reading = true;
    if (!libutils::read_all(in, buffer.get(), piece, got)) return false;
    reading = false;
    if (got != 0 && !libutils::write_all(out, buffer.get(), got)) return false;
    if (got < piece) return true;
  }
}

}  // namespace

bool replace_with(const std::string& temp, const std::string& target) {
  struct stat st;
  if (::stat(temp.c_str(), &st) != 0) return false;
  if (st.st_size == 0) {
    ::unlink(temp.c_str());
    errno = ENODATA;
    return false;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    discard(temp);
    return false;
  }
  return true;
}

bool write_replacing(const std::string& target, const void* bytes, std::size_t size) {
  int fd = -1;
  const std::string temp = make_temp_beside(target, &fd);
  if (temp.empty()) return false;
  const bool written = libutils::write_all(fd, bytes, size);
  if (!close_keeping_errno(fd, written)) {
    discard(temp);
    return false;
  }
  return replace_with(temp, target);
}

bool copy_replacing(const std::string& source, const std::string& target, bool* source_failed) {
  bool reading = true;
  if (!source_failed) source_failed = &reading;
  *source_failed = true;
  // A directory, FIFO or device has no bytes to copy (and opening a FIFO
  // would wait for a writer).
  const int in = libutils::open_regular(source);
  if (in < 0) return false;
  struct stat st;
  if (::fstat(in, &st) != 0) {
    close_keeping_errno(in, false);
    return false;
  }
  *source_failed = false;
  int out = -1;
  const std::string temp = make_temp_beside(target, &out);
  if (temp.empty()) {
    close_keeping_errno(in, false);
    return false;
  }
  bool ok = copy_descriptor(in, out, *source_failed);
  // A file cut short by a pulled card reads as a short copy.
  struct stat copied;
  if (ok && ::fstat(out, &copied) == 0 && copied.st_size != st.st_size) {
    errno = EIO;
    ok = false;
    *source_failed = true;
  }
  if (ok) {
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ok = ::futimens(out, times) == 0 && ::fsync(out) == 0;
  }
  close_keeping_errno(in, true);
  if (!close_keeping_errno(out, ok)) {
    discard(temp);
    return false;
  }
  // An empty camera file is copied as it is.
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    discard(temp);
    return false;
  }
  return true;
}

bool same_bytes(const std::string& a, const std::string& b) {
  // Only regular files are compared: opening a FIFO would wait for good.
  const int fa = libutils::open_regular(a);
  if (fa < 0) return false;
  const int fb = libutils::open_regular(b);
  if (fb < 0) {
    ::close(fa);
    return false;
  }
  struct stat sa, sb;
  bool same = ::fstat(fa, &sa) == 0 && ::fstat(fb, &sb) == 0 && S_ISREG(sa.st_mode) &&
              S_ISREG(sb.st_mode) && sa.st_size == sb.st_size;
  // One file under two names (a link): nothing to read.
  const bool one_file = same && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  const std::size_t piece = 1u << 16;
  std::unique_ptr<char[]> ba(new char[piece]), bb(new char[piece]);
  while (same && !one_file) {
    const ssize_t na = ::read(fa, ba.get(), piece);
    if (na <= 0) {
      same = na == 0;
      break;
    }
    ssize_t nb = 0;
    while (nb < na) {
      const ssize_t n = ::read(fb, bb.get() + nb, static_cast<std::size_t>(na - nb));
      if (n <= 0) break;
      nb += n;
    }
    same = nb == na && std::memcmp(ba.get(), bb.get(), static_cast<std::size_t>(na)) == 0;
  }
  ::close(fa);
  ::close(fb);
  return same;
}

bool is_missing_or_empty(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) != 0 || st.st_size == 0;
}

bool is_stale(const std::string& source, const std::string& target) {
  struct stat st;
  if (::stat(source.c_str(), &st) != 0) return false;
  return libutils::need_update(source, target) || is_missing_or_empty(target);
}

}  // namespace tavolin

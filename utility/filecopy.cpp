#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>

#include "utility/futil.h"
#include "utility/regular_ifstream.h"
#include "utility/regular_ofstream.h"

namespace libutils {

namespace {

// Whole pieces of this size are read and written.
constexpr std::size_t copy_piece = 16u << 20;

// Copies size bytes between the open streams; false when either failed.
bool copy_bytes(std::istream& ifs, regular_ofstream& ofs, unsigned long long size,
                const char* source, const char* target) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[copy_piece]);
  if (!buffer) return fail(source, ": no memory for the copy buffer.");
  unsigned long long done = 0;
  while (ifs.good() && ofs.good() && done < size) {
    const std::size_t piece =
        static_cast<std::size_t>(std::min<unsigned long long>(copy_piece, size - done));
    ifs.read(buffer.get(), static_cast<std::streamsize>(piece));
    const std::size_t got = static_cast<std::size_t>(ifs.gcount());
    ofs.write(buffer.get(), static_cast<std::streamsize>(got));
    done += got;
    if (got < piece) {
      fail(source, ": ", piece, ": ifs read failed.");
      break;
    }
  }
  // Closing flushes, so a full disk shows up as a failed output stream.
  ofs.close();
  if (ifs.fail()) return fail(source, ": ifs failed.");
  if (ofs.fail()) return fail(target, ": ofs failed.");
  return true;
}

}  // namespace

bool replace_file(const std::string& target, const std::string& bytes, bool* made) {
  if (made) *made = false;
  int fd = -1;
  const std::string temp = make_temp_beside(target, &fd);
  if (temp.empty()) return false;
  if (made) *made = true;
  // The mode a newly created file would get: the old file's, else 0666
  // under the umask.
  struct stat st;
  mode_t mode = 0;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode = ::umask(0);
    ::umask(mode);
    mode = 0666 & ~mode;
  }
  // The first failure's reason; a full disk may show only at close.
  int cause = 0;
  if (!write_all(fd, bytes.data(), bytes.size()) || ::fchmod(fd, mode) != 0) cause = errno;
  if (::close(fd) != 0 && cause == 0) cause = errno;
  if (cause == 0 && ::rename(temp.c_str(), target.c_str()) != 0) cause = errno;
  if (cause == 0) return true;
  ::unlink(temp.c_str());
  errno = cause;
  return false;
}

bool filecopy(const char* source, const char* target) {
  struct stat src;
  if (::stat(source, &src) != 0) return fail(source, ": stat(2) error.");
  // A directory, FIFO or device has no bytes to copy (opening a FIFO
  // would even wait for a writer).
  if (!S_ISREG(src.st_mode)) return fail(source, ": not a regular file, not copied.");
  // Opening the target truncates it: when it is the source itself (a hard
  // link, or the same path spelt differently) that would destroy it.
  struct stat dst;
  if (::stat(target, &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino)
    return fail(target, ": is the same file as the source, not copied.");

  // Opened without waiting, in case the name was replaced since stat().
  regular_ifstream ifs(source);
  if (!ifs) return fail(source, ": ", ifs.why());
  // A FIFO under the target's name would wait for a reader.
  regular_ofstream ofs(target);
  if (!ofs) return fail(target, ": ", ofs.why());

  const bool ok =
      copy_bytes(ifs, ofs, static_cast<unsigned long long>(src.st_size), source, target);
  ifs.close();
  copydate(source, target);
  return ok;
}

}  // namespace libutils

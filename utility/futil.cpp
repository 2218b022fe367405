#include "utility/futil.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "utility/mbchar.h"
#include "utility/strutil.h"

namespace libutils {

namespace {

constexpr std::size_t npos = std::string::npos;

bool is_separator(wchar_t wc) { return wc == L'/' || wc == L'\\'; }

// Offset just past the last separator of s[0, len); 0 when there is none.
std::size_t after_last_separator(const char* s, std::size_t len) {
  std::size_t after = 0;
  detail::for_each_mbchar(s, len, [&](std::size_t off, std::size_t n, wchar_t wc) {
    if (is_separator(wc)) after = off + n;
    return true;
  });
  return after;
}

// Offset of the last '.' of s[0, len); npos when there is none.
std::size_t last_dot(const char* s, std::size_t len) {
  std::size_t dot = npos;
  detail::for_each_mbchar(s, len, [&](std::size_t off, std::size_t, wchar_t wc) {
    if (wc == L'.') dot = off;
    return true;
  });
  return dot;
}

// Offset just past the first ':' of s[0, len); 0 when there is none.
std::size_t after_first_colon(const char* s, std::size_t len) {
  std::size_t after = 0;
  detail::for_each_mbchar(s, len, [&](std::size_t off, std::size_t n, wchar_t wc) {
    if (wc != L':') return true;
    after = off + n;
    return false;
  });
  return after;
}

// Length of the file-name part without its extension.
std::size_t stem_length(const char* name, std::size_t len) {
  const std::size_t dot = last_dot(name, len);
  return dot == npos ? len : dot;
}

// Copies s[0, len) into dst of max bytes: whole characters only, always
// terminated. dst may overlap s.
std::size_t copy_part(char* dst, std::size_t max, const char* s, std::size_t len) {
  if (dst == nullptr || max == 0) return 0;
  const std::size_t n = detail::fit_mbchars(s, len, max - 1);
  std::memmove(dst, s, n);
  dst[n] = '\0';
  return n;
}

void clear_part(char* dst) {
  if (dst != nullptr) dst[0] = '\0';
}

const char* or_empty(const char* s) { return s != nullptr ? s : ""; }

bool list_entries(std::list<std::string>& out, const char* dir, bool want_dirs) {
  out.clear();
  DIR* d = ::opendir(dir == nullptr || *dir == '\0' ? "." : dir);
  if (d == nullptr) return false;
  while (const struct dirent* e = ::readdir(d)) {
    // The type code's directory bit decides, so sockets and block
    // devices list as directories, symbolic links as files.
    const bool is_dir = (e->d_type & DT_DIR) != 0;
    if (is_dir != want_dirs) continue;
    if (is_dir && (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)) continue;
    out.emplace_back(e->d_name);
  }
  ::closedir(d);
  out.sort();
  return true;
}

}  // namespace

std::string dirname(const std::string& path) {
  return path.substr(0, after_last_separator(path.data(), path.size()));
}

std::size_t dirname(char* dst, const char* src, std::size_t max) {
  src = or_empty(src);
  const std::size_t len = std::strlen(src);
  return copy_part(dst, max, src, after_last_separator(src, len));
}

std::string basename(const std::string& path) {
  const std::size_t after = after_last_separator(path.data(), path.size());
  return path.substr(after, stem_length(path.data() + after, path.size() - after));
}

std::size_t basename(char* dst, const char* src, std::size_t max) {
  src = or_empty(src);
  const std::size_t len = std::strlen(src);
  const std::size_t after = after_last_separator(src, len);
  return copy_part(dst, max, src + after, stem_length(src + after, len - after));
}

std::string basename2(const std::string& path) {
  return path.substr(after_last_separator(path.data(), path.size()));
}

const char* baseptr(const char* path) {
  if (path == nullptr) return path;
  return path + after_last_separator(path, std::strlen(path));
}

char* baseptr(char* path) {
  if (path == nullptr) return path;
  return path + after_last_separator(path, std::strlen(path));
}

int extcasecmp(const std::string& s, const char* suffix) {
  return extcasecmp(s.data(), s.size(), suffix);
}

int extcasecmp(const char* s, std::size_t length, const char* suffix) {
  suffix = or_empty(suffix);
  const std::size_t n = std::strlen(suffix);
  if (length < n) return -1;
  return ::strncasecmp(s + length - n, suffix, n);
}

void splitpath(const char* path, char* drive, char* dir, char* name, char* ext) {
  clear_part(drive);
  clear_part(dir);
  clear_part(name);
  clear_part(ext);
  if (path == nullptr) return;
  const std::size_t len = std::strlen(path);
  const std::size_t drive_len = after_first_colon(path, len);
  const char* rest = path + drive_len;
  const std::size_t rest_len = len - drive_len;
  const std::size_t dir_len = after_last_separator(rest, rest_len);
  const char* file = rest + dir_len;
  const std::size_t file_len = rest_len - dir_len;
  const std::size_t name_len = stem_length(file, file_len);
  copy_part(drive, path_buffer_size, path, drive_len);
  copy_part(dir, path_buffer_size, rest, dir_len);
  copy_part(name, path_buffer_size, file, name_len);
  copy_part(ext, path_buffer_size, file + name_len, file_len - name_len);
}

void split(splitpath_t& parts, const char* path) {
  splitpath(path, parts.drive, parts.dir, parts.name, parts.ext);
}

std::string concatpath(const char* drive, const char* dir, const char* name, const char* ext) {
  std::string path(or_empty(drive));
  path += or_empty(dir);
  path += or_empty(name);
  path += or_empty(ext);
  return path;
}

bool concatpath(char* dst, std::size_t max, const char* drive, const char* dir, const char* name,
                const char* ext) {
  // Joined first, so a part may live in dst itself.
  const std::string path = concatpath(drive, dir, name, ext);
  if (dst == nullptr || path.size() >= max) {
    if (dst != nullptr && max > 0) dst[0] = '\0';
    return fail("concatpath: path of ", path.size(), " bytes does not fit in ", max, " bytes.");
  }
  std::memcpy(dst, path.c_str(), path.size() + 1);
  return true;
}

bool concat(char* dst, std::size_t max, const splitpath_t& parts) {
  return concatpath(dst, max, parts.drive, parts.dir, parts.name, parts.ext);
}

std::string concat(const splitpath_t& parts) {
  return concatpath(parts.drive, parts.dir, parts.name, parts.ext);
}

std::string delimconvert(const std::string& path) { return wstr2str(str2wstr(path)); }

std::string deliminvert(const std::string& path) { return wstr2str(str2wstr(path)); }

std::string getcwd() {
  char buffer[path_buffer_size] = {};
  if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return std::string(buffer);
}

std::string realpath(const std::string& path) {
  // PATH_MAX is 4096 here, so the buffer always holds the result.
  char buffer[path_buffer_size] = {};
  (void)::realpath(path.c_str(), buffer);
  return std::string(buffer);
}

std::string searchpath(const std::string& name, const char* hint) {
  struct stat st;
  if (::stat(name.c_str(), &st) == 0) return name;
  std::list<std::string> dirs{"./"};
  if (const char* env = std::getenv("PATH")) separate_token(dirs, env, ":");
  if (hint != nullptr) {
    auto parts = std::make_unique<splitpath_t>();
    split(*parts, hint);
    dirs.push_back(std::string(parts->drive) + parts->dir);
  }
  for (const std::string& dir : dirs) {
    const std::string candidate = dir + "/" + name;
    if (::stat(candidate.c_str(), &st) == 0) return candidate;
  }
  return name;
}

bool getdirs(std::list<std::string>& out, const char* dir) { return list_entries(out, dir, true); }

bool getfiles(std::list<std::string>& out, const char* dir) {
  return list_entries(out, dir, false);
}

namespace {

constexpr const char* not_regular_text = "not a regular file";

int refuse_not_regular(const mode_t mode, const char** why) {
  errno = S_ISDIR(mode) ? EISDIR : ENXIO;
  if (why) *why = not_regular_text;
  return -1;
}

// fd, made blocking again, when it is a regular file; otherwise it is
// closed and -1 returned (fd < 0: open() failed).
int keep_if_regular(const int fd, const char** why) {
  if (fd < 0) {
    if (why) *why = std::strerror(errno);
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    if (why) *why = std::strerror(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return refuse_not_regular(st.st_mode, why);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (why) *why = "";
  return fd;
}

}  // namespace

int open_regular(const char* path, const char** why) {
  // Checked by name first, so that a device is never opened at all (some
  // act on open), and again on the descriptor, in case the name was
  // replaced in between; O_NONBLOCK keeps that second open from waiting.
  struct stat st;
  if (::stat(path, &st) != 0) {
    if (why) *why = std::strerror(errno);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) return refuse_not_regular(st.st_mode, why);
  return keep_if_regular(::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC), why);
}

int open_for_writing(const char* path, const char** why) {
  // Refused by name first, as in open_regular(); a FIFO put there since
  // fails at once under O_NONBLOCK instead of waiting for a reader, or
  // opens (it has one) and is refused on the descriptor.
  struct stat st;
  if (::stat(path, &st) == 0 && !S_ISREG(st.st_mode)) return refuse_not_regular(st.st_mode, why);
  return keep_if_regular(
      ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666), why);
}

bool is_regular_file(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool need_update(const std::string& source, const std::string& target) {
  struct stat src, dst;
  if (::stat(source.c_str(), &src) != 0) return false;
  if (::stat(target.c_str(), &dst) != 0) return true;
  if (dst.st_mtim.tv_sec != src.st_mtim.tv_sec) return dst.st_mtim.tv_sec < src.st_mtim.tv_sec;
  return dst.st_mtim.tv_nsec < src.st_mtim.tv_nsec;
}

bool copydate(const char* source, const char* target) {
  struct stat st;
  if (::stat(source, &st) != 0) return fail(source, ": stat(2) error.");
  struct timeval times[2] = {};
  times[0].tv_sec = st.st_atim.tv_sec;
  times[1].tv_sec = st.st_mtim.tv_sec;
  if (::utimes(target, times) != 0) {
    const int err = errno;
    return fail(target, ": ", std::strerror(err));
  }
  return true;
}

}  // namespace libutils

#pragma once
// Path, directory and file helpers shared by both programs.
//
// Paths are multibyte text in the encoding of the current locale
// (LC_CTYPE). Separators ('/' and '\\'), the extension dot and the drive
// colon are found as whole characters, never as a byte inside a multibyte
// character; bytes that are not valid text in the locale count as single
// characters, so any input is safe.

#include <cstddef>
#include <list>
#include <string>

#include "utility/failure.h"

namespace libutils {

// Size of every part buffer of splitpath_t and of the path buffers used by
// getcwd() and realpath().
constexpr std::size_t path_buffer_size = 4096;

// The path up to and including its last separator; "" when it has none.
std::string dirname(const std::string& path);
// The same part written to dst: at most max - 1 bytes of whole characters,
// always NUL-terminated (nothing is written when max is 0). Returns the
// number of bytes written without the NUL.
std::size_t dirname(char* dst, const char* src, std::size_t max);
inline std::string dirname(const char* path) {
  return dirname(std::string(path != nullptr ? path : ""));
}
inline std::string dirname(char* path) { return dirname(static_cast<const char*>(path)); }

// The part after the last separator without its last extension
// ("a/b.c.d" gives "b.c", "a/.profile" gives "").
std::string basename(const std::string& path);
// Buffer form, bounded and terminated as the dirname buffer form.
std::size_t basename(char* dst, const char* src, std::size_t max);
// With "using namespace libutils" a C string argument would otherwise
// pick the C library's basename() or dirname() without a word; with these
// overloads such a call is ambiguous and fails to compile instead.
inline std::string basename(const char* path) {
  return basename(std::string(path != nullptr ? path : ""));
}
inline std::string basename(char* path) { return basename(static_cast<const char*>(path)); }

// The part after the last separator, extension kept.
std::string basename2(const std::string& path);

// Pointer into path just after its last separator; path itself when none.
const char* baseptr(const char* path);
char* baseptr(char* path);

// -1 when s is shorter than suffix; otherwise strncasecmp of the last
// strlen(suffix) bytes of s with suffix (0: s ends with suffix).
int extcasecmp(const std::string& s, const char* suffix);
int extcasecmp(const char* s, std::size_t length, const char* suffix);

// A path split into drive ("c:"), directory (with its trailing
// separator), name and extension (with its dot); each part NUL-terminated,
// at most path_buffer_size - 1 bytes, cut only between characters.
struct splitpath_t {
  char drive[path_buffer_size];
  char dir[path_buffer_size];
  char name[path_buffer_size];
  char ext[path_buffer_size];
};

// Splits path into four caller buffers of path_buffer_size bytes each.
void splitpath(const char* path, char* drive, char* dir, char* name, char* ext);
void split(splitpath_t& parts, const char* path);

// drive + dir + name + ext (no separator added) into dst of max bytes.
// When the whole path does not fit, dst becomes "" (a cut path could name
// another, existing file), a message is written and false is returned.
// Null parts count as "".
bool concatpath(char* dst, std::size_t max, const char* drive, const char* dir, const char* name,
                const char* ext);
std::string concatpath(const char* drive, const char* dir, const char* name, const char* ext);

// concatpath of the record's four parts.
bool concat(char* dst, std::size_t max, const splitpath_t& parts);
template <std::size_t N>
bool concat(char (&dst)[N], const splitpath_t& parts) {
  return concat(dst, N, parts);
}
std::string concat(const splitpath_t& parts);

// Both return the path unchanged (after a round trip through wide
// characters).
std::string delimconvert(const std::string& path);
std::string deliminvert(const std::string& path);

// The current working directory; "" when it cannot be read.
std::string getcwd();
// The platform's realpath() into a zeroed buffer; for a path that does not
// resolve, whatever the system left there (no message).
std::string realpath(const std::string& path);

// name when it exists; else the first existing of "./" + "/" + name, each
// PATH entry + "/" + name, and (hint given) hint's drive and directory +
// "/" + name; else name itself.
std::string searchpath(const std::string& name, const char* hint);

// Clear out and list the entries of dir ("" or null: ".") that count as
// directories (the directory bit of the entry type is set; "." and ".."
// left out), or all others, sorted byte-wise. False when dir cannot be
// opened (out empty, no message).
bool getdirs(std::list<std::string>& out, const char* dir);
bool getfiles(std::list<std::string>& out, const char* dir);
inline bool getdirs(std::list<std::string>& out, const std::string& dir) {
  return getdirs(out, dir.c_str());
}
inline bool getfiles(std::list<std::string>& out, const std::string& dir) {
  return getfiles(out, dir.c_str());
}

// True when target must be made again from source: source exists and the
// target is missing or its modification time (to the nanosecond) is older.
bool need_update(const std::string& source, const std::string& target);

// Gives target the access and modification times of source in whole
// seconds.
bool copydate(const char* source, const char* target);
inline bool copydate(const std::string& source, const std::string& target) {
  return copydate(source.c_str(), target.c_str());
}

// Reads from the descriptor until size bytes are held or the file ends,
// again after an interruption; got is the count read, less than size only
// at the end of the file. False with errno set on a read error (got: the
// bytes read before it).
bool read_all(int fd, void* bytes, std::size_t size, std::size_t& got);
// Writes all size bytes to the descriptor, again after an interruption;
// false with errno set (ENOSPC for a write that takes nothing).
bool write_all(int fd, const void* bytes, std::size_t size);

// The ending of a temporary file beside its target (make_temp_beside).
constexpr const char* temp_suffix = ".part";

// Creates an empty file under a fresh name beside target (in its
// directory), exclusively: nothing already there, a link included, is
// ever written through. The name is short and of one length whatever
// target's, so it stays within the file system's limit for a name also
// beside the longest names: ".", the process and a count, then
// temp_suffix, or with keep_extension target's own short extension (for
// programs such as ffmpeg that choose a format by it). A file a crash
// leaves behind is thus hidden, and without keep_extension never passes
// for a photo or movie by its name. Returns its path, or "" with errno
// set. With fd given, the file stays open and *fd is its descriptor
// (close-on-exec).
std::string make_temp_beside(const std::string& target, int* fd = nullptr,
                             bool keep_extension = false);

// Replaces target by a file of the bytes, written to a temporary file
// beside it (make_temp_beside, given the old file's mode, else 0666 under
// the umask) and renamed over it only when complete: a failure keeps
// the old file. False with errno set and no temporary file left; *made
// (when given) tells whether the temporary file could be made at all.
bool replace_file(const std::string& target, const std::string& bytes, bool* made = nullptr);

// Opens a file by name for reading without ever waiting on it: open() or
// read() of a FIFO, a terminal or a socket can block for good. Only a
// regular file (or a link to one) is opened; anything else is refused
// before it is opened. Returns the descriptor (blocking, close-on-exec),
// or -1 with errno set and *why (when given) the reason for a message:
// "not a regular file" or the system's text for errno.
int open_regular(const char* path, const char** why = nullptr);
inline int open_regular(const std::string& path, const char** why = nullptr) {
  return open_regular(path.c_str(), why);
}
// Opens a file by name for writing as open(2) with O_CREAT (mode 0666
// under the umask) and O_TRUNC would, without ever waiting on it: opening
// a FIFO for writing waits for a reader. Only a regular file (or a link to
// one), or a name not there yet, is opened; anything else is refused as by
// open_regular(), before or after opening. Returns the descriptor
// (blocking, close-on-exec), or -1 with errno set and *why (when given)
// the reason: "not a regular file" or the system's text for errno.
int open_for_writing(const char* path, const char** why = nullptr);
inline int open_for_writing(const std::string& path, const char** why = nullptr) {
  return open_for_writing(path.c_str(), why);
}
// True when path names a regular file or a link to one.
bool is_regular_file(const char* path);
inline bool is_regular_file(const std::string& path) { return is_regular_file(path.c_str()); }

// Copies the regular file source to target (truncating it), then
// copydate(). Refuses a target that is the source itself (same device and
// inode).
bool filecopy(const char* source, const char* target);
inline bool filecopy(const std::string& source, const std::string& target) {
  return filecopy(source.c_str(), target.c_str());
}

}  // namespace libutils

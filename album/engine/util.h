#pragma once
// File helpers of the engine and the starting of the browser, the viewer
// program and the movie player through the shell.

#include <list>
#include <string>
#include <vector>

#include "album/engine/album.h"

namespace tavolin {

// A temporary directory below "/tmp" that is also a location: middle
// holds its path once made, so make(out, file) gives path/file. It removes
// the directory it made, and only that, when destroyed.
class temp_t : public path_t {
 public:
  temp_t() = default;
  ~temp_t();
  temp_t(const temp_t&) = delete;
  temp_t& operator=(const temp_t&) = delete;

  // Makes "/tmp/" + name (when it ends in six X) or "/tmp/" + name +
  // ".XXXXXX"; true at once when made already.
  bool init(const std::string& name);
  // Removes the directory when this object made it; returns whether it had.
  bool destroy();

  bool made = false;

 private:
  std::string m_dir;  // the directory mkdtemp made, whatever middle holds now
};

// The value of OSTYPE at start-up; null when unset.
extern const char* const ostype;
// Whether a window should iconify itself before presenting itself again:
// ostype is set and does not begin with "Win" (case ignored).
bool ostype_iconify();

// stat() of path succeeds (one trailing "/" dropped); false for "".
bool is_exist(const std::string& path);
// stat() of path as written succeeds: "file/" of a plain file does not.
bool stat_succeeds(const std::string& path);
// path names something that is not a regular file (a FIFO, device, socket
// or directory; symbolic links followed): reading it could wait for good.
// False when it names nothing.
bool is_not_regular(const std::string& path);
// Why path could not be read, for a message: open_regular's reason ("not a
// regular file", or the system's text) when it still cannot be opened,
// else the system's text for err.
const char* why_unreadable(const std::string& path, int err);
// libutils::getfiles() of dir without the names that are not a regular
// file or a link to one: the lists that decide what is a photo or a movie
// never offer a FIFO or device for reading.
bool getregularfiles(std::list<std::string>& out, const std::string& dir);
// a and b, symbolic links followed, are one file (device and inode).
bool same_inode(const std::string& a, const std::string& b);
// path/sub/name as path.make() gives it, returned.
std::string file_in(const path_t& path, const std::string& sub, const std::string& name);
// mkdir() of path/level for each of levels; one that stands already is kept.
void make_level_dirs(const path_t& path, const std::vector<std::string>& levels);
// v >> n; 0 once n reaches the width of v (the plain shift is undefined
// there).
unsigned long shr(unsigned long v, unsigned long n);

// Replaces to with a hard link to from.
bool hardlinkone(const std::string& from, const std::string& to);
// Replaces to with a symbolic link whose text is target.
bool symlinkone(const std::string& target, const std::string& to);
// Puts at to a symbolic link with the text target, else a hard link to
// from, else a copy of from.
bool copyjpeg(const std::string& from, const std::string& to, const std::string& target);

// The command lines, each argument quoted by shell_quote().
std::string browser_command(const std::string& dir);
// The same from programdir (with its trailing "/") when its browser.sh is
// there to run, as an installed or desktop-started program has no PATH to
// it; else the plain form through PATH.
std::string browser_command(const std::string& programdir, const std::string& dir);
std::string plimzev3_command(const std::string& programdir, const std::list<std::string>& args);
std::string movie_command(const std::string& file);

// The browser on dir's "index.html" by browser_command(programdir, dir),
// which goes to command; waits for it. The shell's exit status, -1 when no
// shell ran or it did not end normally (126 and 127: the shell could not
// run browser.sh).
int run_browser(const std::string& programdir, const std::string& dir, std::string& command);
// The viewer (programdir + g_global.plimzev3) in the background on one
// path, or on a list of arguments. True when the shell ran the command.
bool run_plimzev3(const std::string& programdir, const std::string& arg);
bool run_plimzev3(const std::string& programdir, const std::list<std::string>& args);
// The movie player of the settings in the background on file.
bool run_movie(const std::string& file);

// The viewer arguments of a book or the best album below root: "-S" and
// the size directory of g_global.view_size, "-C" + root, "-F" + the book's
// list file relative to root.
std::list<std::string> plimzev3_book_args(const std::string& root, const std::string& book);

}  // namespace tavolin

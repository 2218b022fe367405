#include "album/engine/util.h"

#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "album/engine/global.h"
#include "album/engine/safefile.h"
#include "album/engine/shell.h"
#include "utility/futil.h"

namespace tavolin {

const char* const ostype = std::getenv("OSTYPE");

bool ostype_iconify() { return ostype != nullptr && strncasecmp(ostype, "Win", 3) != 0; }

temp_t::~temp_t() { destroy(); }

bool temp_t::init(const std::string& name) {
  if (made) return true;
  std::string tmpl = "/tmp/" + name;
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) {
    tmpl += ".XXXXXX";
    buf.assign(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) {
      return libutils::fail(tmpl, ": mkdtemp failed.");
    }
  }
  m_dir = buf.data();
  middle = m_dir;
  made = true;
  return true;
}

bool temp_t::destroy() {
  if (!made) return false;
  made = false;
  const int rc = std::system(("rm -rf " + shell_quote(m_dir)).c_str());
  (void)rc;  // nothing more can be done about a directory that stays
  m_dir.clear();
  return true;
}

bool stat_succeeds(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool is_not_regular(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

const char* why_unreadable(const std::string& path, int err) {
  const char* why = nullptr;
  const int fd = libutils::open_regular(path, &why);
  if (fd < 0) return why;
  close(fd);
  return std::strerror(err);
}

bool getregularfiles(std::list<std::string>& out, const std::string& dir) {
  if (!libutils::getfiles(out, dir.c_str())) return false;
  // getfiles() reads an empty name as the current directory.
  const std::string prefix = dir.empty() ? "" : dir + "/";
  out.remove_if(
      [&prefix](const std::string& name) { return !libutils::is_regular_file(prefix + name); });
  return true;
}

bool same_inode(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::string file_in(const path_t& path, const std::string& sub, const std::string& name) {
  std::string out;
  path.make(out, sub, name);
  return out;
}

void make_level_dirs(const path_t& path, const std::vector<std::string>& levels) {
  for (const std::string& level : levels) {
    std::string dir;
    path.make(dir, level);
    mkdir(dir.c_str(), 0755);
  }
}

unsigned long shr(unsigned long v, unsigned long n) {
  return n >= sizeof v * CHAR_BIT ? 0 : v >> n;
}

bool is_exist(const std::string& path) {
  if (path.empty()) return false;
  std::string p = path;
  if (p.size() > 1 && p.back() == '/') p.pop_back();
  struct stat st;
  return stat(p.c_str(), &st) == 0;
}

namespace {

// Removes whatever entry is at to, a dangling symbolic link included.
void remove_entry(const std::string& to) {
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) unlink(to.c_str());
}

// b, itself not followed, is a directory entry of the file a names; links
// gets b's link count.
bool is_entry_of(const std::string& a, const std::string& b, nlink_t* links = nullptr) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || lstat(b.c_str(), &sb) != 0) return false;
  if (links) *links = sb.st_nlink;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

bool hardlinkone(const std::string& from, const std::string& to) {
  // Already that link (or the very same entry, which unlinking would lose).
  if (is_entry_of(from, to)) return true;
  remove_entry(to);
  if (link(from.c_str(), to.c_str()) != 0) {
    return libutils::fail(from, " to ", to, ": hard link fail.");
  }
  return true;
}

bool symlinkone(const std::string& target, const std::string& to) {
  remove_entry(to);
  if (symlink(target.c_str(), to.c_str()) != 0) {
    return libutils::fail(target, " to ", to, ": symlink failed.");
  }
  return true;
}

bool copyjpeg(const std::string& from, const std::string& to, const std::string& target) {
  // Without its source, replacing to would lose what it holds.
  if (!is_exist(from)) {
    return libutils::fail(from, ": copyjpeg() source missing.");
  }
  // to is the source's only name: replacing it would delete the photo.
  nlink_t links = 0;
  if (is_entry_of(from, to, &links) && links == 1) return true;
  if (symlinkone(target, to) || hardlinkone(from, to)) return true;
  // The copy replaces to only when it is whole.
  if (copy_replacing(from, to)) return true;
  const int err = errno;
  return libutils::fail(to, ": ", std::strerror(err));
}

std::string browser_command(const std::string& dir) {
  return "browser.sh -noraise --new-tab " + shell_quote(below(dir, index_page));
}

std::string browser_command(const std::string& programdir, const std::string& dir) {
  const std::string own = programdir + "browser.sh";
  if (programdir.empty() || access(own.c_str(), X_OK) != 0) return browser_command(dir);
  return shell_protect(programdir) + browser_command(dir);
}

std::string plimzev3_command(const std::string& programdir, const std::list<std::string>& args) {
  std::string cmd = shell_protect(programdir) + g_global.plimzev3;
  for (const std::string& arg : args) cmd += " " + shell_quote(arg);
  return cmd + " &";
}

std::string movie_command(const std::string& file) {
  return g_global.movie + " " + shell_quote(file) + " &";
}

int run_browser(const std::string& programdir, const std::string& dir, std::string& command) {
  command = browser_command(programdir, dir);
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool run_plimzev3(const std::string& programdir, const std::string& arg) {
  // One argument is always a path: keep the viewer from taking a name that
  // begins with "-" for an option.
  const std::string path = !arg.empty() && arg[0] == '-' ? "./" + arg : arg;
  return run_plimzev3(programdir, std::list<std::string>{path});
}

bool run_plimzev3(const std::string& programdir, const std::list<std::string>& args) {
  return std::system(plimzev3_command(programdir, args).c_str()) == 0;
}

bool run_movie(const std::string& file) { return std::system(movie_command(file).c_str()) == 0; }

std::list<std::string> plimzev3_book_args(const std::string& root, const std::string& book) {
  return {"-Ssize" + std::to_string(g_global.view_size), "-C" + root,
          "-F" + below(book, below(txt_dir, list_file))};
}

}  // namespace tavolin

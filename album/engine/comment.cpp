#include "album/engine/comment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "album/engine/util.h"
#include "utility/futil.h"
#include "utility/regular_ifstream.h"
#include "utility/strutil.h"

namespace tavolin {

namespace {

// Opens txtdir + "/" + lower, else txtdir + "/" + upper; path tells which.
// Either is taken only when it is a regular file: a FIFO under the name
// counts as missing.
bool open_either(libutils::regular_ifstream& ifs, std::string& path, const std::string& txtdir,
                 const char* lower, const char* upper) {
  path = txtdir + "/" + lower;
  if (ifs.open(path)) return true;
  path = txtdir + "/" + upper;
  return ifs.open(path);
}

std::string read_all(std::istream& is) {
  return std::string((std::istreambuf_iterator<char>(is)), std::istreambuf_iterator<char>());
}

// Line number n (from 0) of text up to its line feed; pos moves past it.
std::string next_line(const std::string& text, std::string::size_type& pos) {
  if (pos >= text.size()) return "";
  std::string::size_type end = text.find('\n', pos);
  if (end == std::string::npos) end = text.size();
  std::string line = text.substr(pos, end - pos);
  pos = end < text.size() ? end + 1 : end;
  return line;
}

// Each line of a line-feed separated text, followed by CR LF.
void write_lines(std::ostream& os, const std::string& text) {
  std::list<std::string> lines;
  libutils::separate_token(lines, text, "\n");
  for (std::string& line : lines) {
    libutils::chop(line);
    os << line << "\r\n";
  }
}

// A title is one line of the file: any line break in it becomes a blank
// instead of breaking the file's layout.
std::string one_line(std::string title) {
  libutils::chop(title);
  for (char& c : title) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return title;
}

bool open_fail(std::ostream& log, const std::string& path) {
  const int err = errno;
  return libutils::fail_to(log, path, ": file open fail, ", std::strerror(err));
}

bool write_fail(std::ostream& log, const std::string& path) {
  return libutils::fail_to(log, path, ": file write error.");
}

}  // namespace

bool loadcommenttxt(const path_t& path, std::string& title, std::string& head, std::string& last) {
  std::string txtdir;
  path.make(txtdir, txt_dir);
  struct stat st;
  if (stat(txtdir.c_str(), &st) != 0) {
    const int err = errno;
    return libutils::fail(txtdir, ": stat fail, ", std::strerror(err));
  }
  loadcomment(txtdir, title, head, last);
  return true;
}

void loadcomment(const std::string& txtdir, std::string& title, std::string& head,
                 std::string& last) {
  libutils::regular_ifstream ifs;
  std::string path;
  if (open_either(ifs, path, txtdir, head_file, "HEAD.TXT")) {
    const std::string text = read_all(ifs);
    std::string::size_type pos = 0;
    std::string line1 = next_line(text, pos);
    const std::string line2 = next_line(text, pos);
    if (line1 != line2) {
      libutils::fail(path, ": title different.\n", line1, "\n", line2);
    }
    if (!line1.empty()) {
      libutils::chop(line1);
      title = line1;
    }
    head = text.substr(pos);
  }
  if (open_either(ifs, path, txtdir, last_file, "LAST.TXT")) last = read_all(ifs);
}

bool savecommenttxt(const path_t& path, const std::string& title, const std::string& head,
                    const std::string& last, std::ostream& log) {
  std::string txtdir;
  path.make(txtdir, txt_dir);
  mkdir(txtdir.c_str(), 0755);

  const std::string headfile = below(txtdir, head_file);
  unlink(headfile.c_str());
  std::ofstream ofs(headfile, std::ios::binary | std::ios::trunc);
  if (!ofs) return open_fail(log, headfile);
  const std::string line = one_line(title);
  ofs << line << "\r\n" << line << "\r\n";
  write_lines(ofs, head);
  ofs.close();
  if (ofs.fail()) return write_fail(log, headfile);

  const std::string lastfile = below(txtdir, last_file);
  unlink(lastfile.c_str());
  ofs.clear();
  ofs.open(lastfile, std::ios::binary | std::ios::trunc);
  if (!ofs) return open_fail(log, lastfile);
  write_lines(ofs, last);
  ofs.close();
  if (ofs.fail()) return write_fail(log, lastfile);
  return true;
}

bool loadphotocomment(std::string& comment, const path_t& path, const std::string& file) {
  const std::string base = libutils::basename(file);
  std::string name;
  path.make(name, txt_dir, base + comment_extension);
  if (!stat_succeeds(name)) {
    path.make(name, txt_dir, base + ".TXT");
    if (!stat_succeeds(name)) return false;
  }
  libutils::regular_ifstream ifs(name);
  std::string text;
  if (ifs) text = read_all(ifs);
  if (!ifs || ifs.bad()) {
    const int err = errno;
    const char* why = ifs.is_open() ? std::strerror(err) : ifs.why();
    return libutils::fail(name, ": comment text load fail, ", why);
  }
  comment = std::move(text);
  return true;
}

bool loadphotocommentlines(std::list<std::string>& lines, const path_t& path,
                           const std::string& file) {
  std::string comment;
  if (!loadphotocomment(comment, path, file)) return false;
  libutils::separate_token(lines, comment, "\n");
  return true;
}

bool savephotocomment(const std::string& comment, const std::string& albumdir,
                      const std::string& file) {
  return savephotocomment(comment, albumdir, file, std::cerr);
}

bool savephotocomment(const std::string& comment, const std::string& albumdir,
                      const std::string& file, std::ostream& log) {
  const std::string stem = below(albumdir, below(txt_dir, libutils::basename(file)));
  const std::string name = stem + comment_extension;
  unlink(name.c_str());
  if (comment.empty()) {
    // The reader falls back to the upper-case name: remove that too, or
    // the deleted comment would come back.
    unlink((stem + ".TXT").c_str());
    return true;
  }
  std::ofstream ofs(name, std::ios::binary | std::ios::trunc);
  if (!ofs) {
    const int err = errno;
    return libutils::fail_to(log, name, ": write open error, ", std::strerror(err));
  }
  write_lines(ofs, comment);
  ofs.close();
  if (ofs.fail()) {
    return libutils::fail_to(log, name, ": file write error.");
  }
  return true;
}

void writephotocomment(std::ostream& os, std::list<std::string>& lines, unsigned long indent) {
  bool after_empty = false;
  for (const std::string& line : lines) {
    if (line.empty()) {
      os << libutils::_putcn('\t', static_cast<long>(indent)) << "<p>";
      after_empty = true;
      continue;
    }
    if (!after_empty) os << libutils::_putcn('\t', static_cast<long>(indent)) << "<br>";
    os << line << '\n';
    after_empty = false;
  }
}

}  // namespace tavolin

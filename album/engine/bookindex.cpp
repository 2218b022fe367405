#include "album/engine/bookindex.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <list>
#include <string>

#include "album/engine/comment.h"
#include "album/engine/html.h"
#include "album/engine/scan.h"
#include "album/engine/util.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"
#include "utility/message.h"
#include "utility/regular_ifstream.h"
#include "utility/strutil.h"

namespace tavolin {

namespace {

// What one entry's row shows, read from its "txt" directory.
struct entry_t {
  std::string count;
  bool has_count = false;
  bool has_list = false;
  std::string title;
  std::string comment;  // the first line of the head comment
  bool has_comment = false;
};

// False when the entry is left out: private, or without a head file.
bool read_entry(const std::string& dir, entry_t& entry) {
  if (is_private(dir)) return false;
  libutils::regular_ifstream head(below(dir, below(txt_dir, head_file)));
  if (!head) return false;
  std::getline(head, entry.title);
  libutils::chop(entry.title);
  std::string repeated;  // the head file holds the title twice
  std::getline(head, repeated);
  entry.has_comment = static_cast<bool>(std::getline(head, entry.comment));
  libutils::chop(entry.comment);
  libutils::regular_ifstream count(below(dir, below(txt_dir, count_file)));
  if (count) {
    std::getline(count, entry.count);
    libutils::chop2(entry.count);
    entry.has_count = true;
  }
  entry.has_list = is_exist(below(dir, list_page));
  return true;
}

void write_row(std::ostream& out, const std::string& name, const entry_t& entry) {
  const std::string url = html_url(name);
  out << "\t<tr><td>" << html_text(name) << "<td>" << entry.count << "<td>";
  if (entry.has_list)
    out << "<a href=\"" << below(url, list_page) << "\">" << plimlib::getmsg(MSG_OPEN_ALBUM)
        << "</a> ";
  out << "<td><a href=\"" << below(url, index_page) << "\">" << entry.title << "</a>";
  if (entry.has_comment) out << "<td>" << entry.comment;
  out << "\n";
}

}  // namespace

bool makehtmlbook(const path_t& path, std::ostream& log) {
  std::string dir;
  path.make(dir);
  std::list<std::string> names;
  if (!libutils::getdirs(names, dir)) {
    return libutils::fail_to(log, dir, ": getdirs() fail.");
  }
  names.reverse();
  std::string title, headtext, lasttext;
  loadcommenttxt(path, title, headtext, lasttext);
  std::list<std::string> head = commentlines(headtext);
  std::list<std::string> last = commentlines(lasttext);

  std::string file;
  path.make(file, index_page);
  unlink(file.c_str());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) {
    const int err = errno;
    return libutils::fail_to(log, file, ": write open error, ", std::strerror(err));
  }
  writehtmlhead(out, title);
  writephotocomment(out, head, 0);
  out << "\n<p><table>\n";
  out << "\t<tr><th>" << plimlib::getmsg(MSG_NAME_COLUMN) << "<th>"
      << plimlib::getmsg(MSG_COUNT_COLUMN) << "<th>" << plimlib::getmsg(MSG_OPEN_ALBUM) << "<th>"
      << plimlib::getmsg(MSG_TITLE_CAPTION) << "<th>" << plimlib::getmsg(MSG_COMMENT_COLUMN)
      << "\n";
  for (const std::string& name : names) {
    entry_t entry;
    if (read_entry(dir + "/" + name, entry)) write_row(out, name, entry);
  }
  out << "</table>\n";
  writephotocomment(out, last, 0);
  out << "<p><center><a href=\"../index.html\">UP</a></center>\n";
  writehtmlfoot(out);
  return closepage(out, file, log);
}

}  // namespace tavolin

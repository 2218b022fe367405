#include "album/engine/collectionedit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <list>

#include "album/engine/best.h"
#include "album/engine/book.h"
#include "album/engine/bookindex.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/engine/makealbum.h"
#include "album/engine/util.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

bool refuse(std::ostream& log, const std::string& what, const char* why) {
  return libutils::fail_to(log, what, ": ", why);
}

bool refuse_errno(std::ostream& log, const std::string& what, const char* why, int err) {
  return libutils::fail_to(log, what, ": ", why, ", ", std::strerror(err));
}

bool is_child_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

e_newalbum_t check_newalbum(const std::vector<files_t>& files, const std::string& from,
                            const path_t& to, const std::string& title, bool into_existing) {
  if (files.empty()) return NEWALBUM_NO_FILES;
  if (from.empty()) return NEWALBUM_NO_SOURCE;
  if (to.album.empty()) return NEWALBUM_NO_NAME;
  std::string dir;
  to.make(dir);
  if (!into_existing && is_exist(dir)) return NEWALBUM_EXISTS;
  if (title.empty()) return NEWALBUM_NO_TITLE;
  return NEWALBUM_OK;
}

plimlib::e_message_t newalbum_message(e_newalbum_t check) {
  switch (check) {
    case NEWALBUM_NO_FILES: return MSG_ERROR_NO_FILES;
    case NEWALBUM_NO_SOURCE: return MSG_ERROR_NO_IMPORT_DIR;
    case NEWALBUM_NO_NAME: return MSG_ERROR_NO_ALBUM_NAME;
    case NEWALBUM_EXISTS: return MSG_ASK_ALBUM_EXISTS;
    case NEWALBUM_NO_TITLE: return MSG_ERROR_NO_TITLE;
    case NEWALBUM_OK: break;
  }
  return 0;  // no check failed: nothing to show
}

bool set_private(const path_t& dir, bool on) {
  std::string marker;
  dir.make(marker, txt_dir, secret_file);
  if (on) {
    // A FIFO under the marker's name is refused at once instead of
    // waiting for a reader; it marks the directory as the file would.
    const int fd = libutils::open_for_writing(marker);
    if (fd >= 0) close(fd);
  } else {
    unlink(marker.c_str());
  }
  return get_private(dir) == on;
}

bool get_private(const path_t& dir) {
  std::string marker;
  dir.make(marker, txt_dir, secret_file);
  struct stat st;
  return stat(marker.c_str(), &st) == 0;
}

bool make_album_dir(const path_t& dir, const std::string& title, const std::string& head,
                    const std::string& last, bool is_private, std::ostream& log) {
  std::string full;
  dir.make(full);
  mkdir(full.c_str(), 0755);  // an existing directory is used as it is
  if (!savecommenttxt(dir, title, head, last, log)) return false;
  set_private(dir, is_private);
  return true;
}

bool valid_entry_name(const std::string& new_name) {
  if (new_name.empty() || new_name[0] == '/') return false;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type slash = new_name.find('/', start);
    const std::string part =
        new_name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

bool rename_entry(const std::string& collection, const std::string& name,
                  const std::string& new_name, std::ostream& log) {
  const std::string from = collection + "/" + name;
  const std::string to = collection + "/" + new_name;
  if (!is_child_name(name)) return refuse(log, from, "not an entry of the collection.");
  if (!valid_entry_name(new_name))
    return refuse(log, from, ("new name \"" + new_name + "\" refused.").c_str());
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return refuse_errno(log, from, "rename fail", errno);
  if (!S_ISDIR(st.st_mode)) return refuse(log, from, "not a directory.");
  if (lstat(to.c_str(), &st) == 0) return refuse(log, to, "exists already, not renamed.");
  if (std::rename(from.c_str(), to.c_str()) != 0)
    return refuse_errno(log, from + " -> " + to, "rename fail", errno);
  return true;
}

bool remove_entry(const std::string& collection, const std::string& name, std::ostream& log) {
  const std::string path = collection + "/" + name;
  if (!is_child_name(name)) return refuse(log, path, "not an entry of the collection.");
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return refuse_errno(log, path, "remove fail", errno);
  if (S_ISLNK(st.st_mode)) return refuse(log, path, "symbolic link, not removed.");
  if (!S_ISDIR(st.st_mode)) return refuse(log, path, "not a directory, not removed.");
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  if (ec) return refuse(log, path, ("remove fail, " + ec.message()).c_str());
  return true;
}

e_bestname_t book_kind(const std::string& name) {
  e_bestname_t kind = E_BESTNAME_BEST;
  if (!bestname_from_bookdir(name, kind)) kind = E_BESTNAME_BEST;
  return kind;
}

bool batchupdate(const path_t& location, const progress_signals_t& progress, std::ostream& log,
                 const std::function<void(const std::string&)>& before) {
  if (location.album.empty()) return true;
  std::string dir;
  location.make(dir);
  if (before) before(dir);
  if (location.album == best_dir) {
    makebesthtml(location, *progress[4], *progress[5]);
    return true;
  }
  if (location.album[0] == '_') {
    makebestbookhtml(location, book_kind(location.album), *progress[4], *progress[5]);
    return true;
  }
  struct stat st;
  if (stat((dir + "/original").c_str(), &st) != 0) {
    if (location.album == txt_dir) return true;
    std::list<std::string> names;
    if (!libutils::getdirs(names, dir)) return false;
    for (const std::string& name : names) batchupdate(path_t("", dir, name), progress, log, before);
    return makehtmlbook(location, log);
  }
  std::list<std::string> names;
  if (!getregularfiles(names, dir + "/original")) return false;
  std::vector<files_t> files;
  files.reserve(names.size());
  for (const std::string& name : names) files.emplace_back(name, 0);
  if (!updatealbum(location, files, *progress[0], *progress[1], *progress[2], *progress[3], log)) {
    libutils::fail_to(log, dir, ": updatealbum() fail.");
  }
  return true;
}

}  // namespace tavolin

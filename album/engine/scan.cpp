#include "album/engine/scan.h"

#include <sys/stat.h>

#include "utility/futil.h"

namespace tavolin {

namespace {

bool skipped_name(const std::string& name) {
  return name == txt_dir || (!name.empty() && name[0] == generated_dir_mark);
}

}  // namespace

bool is_private(const std::string& dir) {
  struct stat st;
  return stat(below(dir, below(txt_dir, secret_file)).c_str(), &st) == 0;
}

bool album_entries(std::list<std::string>& out, const std::string& dir) {
  if (!libutils::getdirs(out, dir)) return false;
  out.remove_if(
      [&](const std::string& name) { return skipped_name(name) || is_private(dir + "/" + name); });
  out.reverse();
  return true;
}

void hierar_albums(std::list<albumdir_t>& albums, const path_t& base,
                   const std::list<std::string>& names) {
  std::string middle;
  base.submake(middle);
  for (const std::string& name : names) {
    const path_t p(base.root, middle, name);
    std::string dir;
    p.make(dir);
    std::list<std::string> subs;
    libutils::getdirs(subs, dir);  // an unreadable directory counts as empty
    subs.reverse();
    std::list<std::string> kept;
    bool album = false;
    for (const std::string& sub : subs) {
      if (skipped_name(sub)) continue;
      if (sub == original_dir) {
        album = true;  // an album is never searched further
        break;
      }
      if (!is_private(dir + "/" + sub)) kept.push_back(sub);
    }
    if (album) {
      albums.emplace_back(p.middle, p.album);
    } else if (!kept.empty()) {
      hierar_albums(albums, p, kept);
    }
  }
}

bool albumdirs_compare(const albumdir_t& a, const albumdir_t& b) { return a.second < b.second; }

void sort_albums(std::list<albumdir_t>& albums) {
  albums.sort(albumdirs_compare);
  albums.reverse();
}

void load_albums(std::list<album_t>& out, const path_t& base, const std::list<albumdir_t>& albums) {
  std::string root;
  base.make(root);
  for (const albumdir_t& ref : albums) {
    out.emplace_back();
    out.back().load(path_t(root, ref.first, ref.second));
  }
}

}  // namespace tavolin

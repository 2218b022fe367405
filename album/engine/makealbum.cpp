#include "album/engine/makealbum.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "album/engine/collectionedit.h"
#include "album/engine/html.h"
#include "album/engine/layout.h"
#include "album/engine/photolevels.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

bool step_failed(std::ostream& log, const char* step) {
  return libutils::fail_to(log, step, "() fail.");
}

bool has_album_dir(const path_t& path, std::ostream& log) {
  if (!path.album.empty()) return true;
  return libutils::fail_to(log, path.album, ": album directory is empty.");
}

bool write_pages(const path_t& path, sigc::signal<void, double>& pages,
                 sigc::signal<void, double>& zoom_pages, std::ostream& log) {
  if (!makehtml(path, pages, log)) return step_failed(log, "makehtml");
  // The movies' pages do not wait on a photo's.
  const bool photos = makehtmlzoom(path, zoom_pages, log) || step_failed(log, "makehtmlzoom");
  const bool movies = makehtmlffzoom(path, zoom_pages, log) || step_failed(log, "makehtmlffzoom");
  return photos && movies;
}

// The files that got nothing, after the steps' lines.
bool tell_failed(const failed_files_t& failed, std::ostream& log) {
  failed.write(log);
  return failed.empty();
}

// The photos of files that stand in the album already and are given no
// turn: the copy skips them (it refuses other bytes under their names), and
// their levels stay as an earlier import made them.
std::set<std::string> kept_photos(const std::vector<files_t>& files, const path_t& path) {
  std::set<std::string> kept;
  for (const files_t& file : files) {
    struct stat st;
    if (file.rotation == 0 && is_photo_name(file.name) &&
        lstat(file_in(path, original_dir, file.name).c_str(), &st) == 0)
      kept.insert(file.name);
  }
  return kept;
}

}  // namespace

bool makealbumwithrotate(const std::string& from, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copying,
                         sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                         sigc::signal<void, double>& zoom_pages, std::ostream& log) {
  if (!has_album_dir(path, log)) return false;
  const std::set<std::string> kept = kept_photos(files, path);
  failed_files_t failed;
  // A camera file that cannot be read, or a FIFO or device among them,
  // costs only itself; a copy that cannot be written (a full disk) ends
  // the import.
  if (!copyfiles(from, files, path, copying, log, failed)) {
    step_failed(log, "copyfiles");
    failed.write(log);
    return false;
  }
  std::vector<files_t> copied = files;
  copied.erase(std::remove_if(copied.begin(), copied.end(),
                              [&failed](const files_t& f) { return failed.has(f.name); }),
               copied.end());
  // A camera file that cannot be read or converted gets no level, but the
  // album still gets its pages, which list it; the result tells of the
  // failure.
  const bool shrunk =
      shrink_keeping(path, copied, kept, shrinking, log, &failed) || step_failed(log, "shrink");
  const bool written = write_pages(path, pages, zoom_pages, log);
  return tell_failed(failed, log) && shrunk && written;
}

bool updatealbum(const path_t& path, const std::vector<files_t>& files, sigc::signal<void, double>&,
                 sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                 sigc::signal<void, double>& zoom_pages, std::ostream& log) {
  if (!has_album_dir(path, log)) return false;
  failed_files_t failed;
  const bool shrunk =
      shrinkupdate(path, files, shrinking, log, &failed) || step_failed(log, "shrinkupdate");
  const bool written = write_pages(path, pages, zoom_pages, log);
  return tell_failed(failed, log) && shrunk && written;
}

}  // namespace tavolin

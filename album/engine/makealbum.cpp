#include "album/engine/makealbum.h"

#include "album/engine/html.h"
#include "album/engine/shrink.h"
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
  if (!makehtmlzoom(path, zoom_pages)) return step_failed(log, "makehtmlzoom");
  if (!makehtmlffzoom(path, zoom_pages)) return step_failed(log, "makehtmlffzoom");
  return true;
}

}  // namespace

bool makealbumwithrotate(const std::string& from, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copying,
                         sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                         sigc::signal<void, double>& zoom_pages, std::ostream& log) {
  if (!has_album_dir(path, log)) return false;
  if (!copyfiles(from, files, path, copying, log)) return step_failed(log, "copyfiles");
  // A camera file that cannot be read gets no level, but the album still
  // gets its pages, which list it; the result tells of the failure.
  const bool shrunk = shrink(path, files, shrinking, log) || step_failed(log, "shrink");
  const bool written = write_pages(path, pages, zoom_pages, log);
  return shrunk && written;
}

bool updatealbum(const path_t& path, const std::vector<files_t>& files, sigc::signal<void, double>&,
                 sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                 sigc::signal<void, double>& zoom_pages, std::ostream& log) {
  if (!has_album_dir(path, log)) return false;
  const bool shrunk = shrinkupdate(path, files, shrinking, log) || step_failed(log, "shrinkupdate");
  const bool written = write_pages(path, pages, zoom_pages, log);
  return shrunk && written;
}

}  // namespace tavolin

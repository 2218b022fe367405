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
  if (!shrink(path, files, shrinking, log)) return step_failed(log, "shrink");
  return write_pages(path, pages, zoom_pages, log);
}

bool updatealbum(const path_t& path, const std::vector<files_t>& files, sigc::signal<void, double>&,
                 sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                 sigc::signal<void, double>& zoom_pages, std::ostream& log) {
  if (!has_album_dir(path, log)) return false;
  if (!shrinkupdate(path, files, shrinking)) return step_failed(log, "shrinkupdate");
  return write_pages(path, pages, zoom_pages, log);
}

}  // namespace tavolin

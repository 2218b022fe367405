#pragma once
// Making a new album from chosen camera files, and bringing an album's
// levels and pages up to date. Both report progress on four signals:
// copying, shrinking, the album pages and the zoom pages.

#include <ostream>
#include <string>
#include <vector>

#include <sigc++/sigc++.h>

#include "album/engine/album.h"

namespace tavolin {

// Copies files of directory from into the album at path (whose directory
// and "txt" the caller has made), builds their levels and writes the
// pages. A copy that cannot be written (a full disk) or a refused name ends
// it with false and its lines on log. A file that costs only itself (a
// name in from that is not a regular file, a camera file that cannot be
// read, a photo that cannot be decoded, a movie that cannot be converted)
// leaves the others to be made: the pages are written (listing the files
// in "original" without levels by their camera file), and the result is
// false. After the steps' lines, log gets one line per such file: its
// name and why, in words the user can act on.
bool makealbumwithrotate(const std::string& from, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copying,
                         sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                         sigc::signal<void, double>& zoom_pages, std::ostream& log);

// Remakes the missing levels of files (all levels of a file with a
// rotation) and rewrites the pages, as makealbumwithrotate does after its
// copy, with the same lines on log. copying is not used.
bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 sigc::signal<void, double>& copying, sigc::signal<void, double>& shrinking,
                 sigc::signal<void, double>& pages, sigc::signal<void, double>& zoom_pages,
                 std::ostream& log);

}  // namespace tavolin

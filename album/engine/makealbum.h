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
// pages. A failing copy or page step ends it with false and its line on
// log; when files fail to get their levels, their lines and the step's go
// to log, the pages are still written (listing those files too), and the
// result is false. So it is for a name in from that is not a regular file
// (a FIFO, device or socket): the copy skips it with its line on log, and
// the album is made of the other files.
bool makealbumwithrotate(const std::string& from, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copying,
                         sigc::signal<void, double>& shrinking, sigc::signal<void, double>& pages,
                         sigc::signal<void, double>& zoom_pages, std::ostream& log);

// Remakes the missing levels of files (all levels of a file with a
// rotation) and rewrites the pages, as makealbumwithrotate does after its
// copy. copying is not used.
bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 sigc::signal<void, double>& copying, sigc::signal<void, double>& shrinking,
                 sigc::signal<void, double>& pages, sigc::signal<void, double>& zoom_pages,
                 std::ostream& log);

}  // namespace tavolin

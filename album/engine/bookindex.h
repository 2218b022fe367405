#pragma once
// The index page of a collection directory: one table row per entry that
// has comments ("txt/head.txt") and is not private, with its count line, a
// link to its list page, its title linked to its index page and the first
// line of its head comment.

#include <ostream>
#include <string>

#include "album/engine/album.h"

namespace tavolin {

// The first line of dir's "txt/count.txt" without trailing blanks and line
// ends; false, with line empty, when that file cannot be opened or is empty.
bool read_count_line(const path_t& dir, std::string& line);

// Rewrites path.make()'s "index.html". False, with a line on log, when the
// directory cannot be listed or the page cannot be written.
bool makehtmlbook(const path_t& path, std::ostream& log);

}  // namespace tavolin

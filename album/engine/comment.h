#pragma once
// Title and comments of an album or collection ("txt/head.txt": the title
// twice, then the head comment; "txt/last.txt": the closing comment) and
// the comment of one photo ("txt/" + base name + ".txt"). Written with CR LF
// line ends; read with any, and under upper-case names as well.

#include <list>
#include <ostream>
#include <string>

#include "album/engine/album.h"

namespace tavolin {

// loadcomment on path's "txt" directory; false (with a message) only when
// that directory is missing.
bool loadcommenttxt(const path_t& path, std::string& title, std::string& head, std::string& last);

// Reads the comment files of a "txt" directory; an output whose file is
// missing keeps its value. Comments keep the file's line ends.
void loadcomment(const std::string& txtdir, std::string& title, std::string& head,
                 std::string& last);

// Writes both files of path's "txt" directory (made when missing); the
// comments are line-feed separated text. Failures go to log.
bool savecommenttxt(const path_t& path, const std::string& title, const std::string& head,
                    const std::string& last, std::ostream& log);

// Reads the comment of photo file of the album at path. False without a
// message when it has none; comment is then unchanged.
bool loadphotocomment(std::string& comment, const path_t& path, const std::string& file);

// loadphotocomment split at line feeds and appended to lines (each line
// keeps its carriage return).
bool loadphotocommentlines(std::list<std::string>& lines, const path_t& path,
                           const std::string& file);

// Writes the comment of photo file into albumdir's "txt" directory, or
// deletes it when the comment is empty. Failures go to log, or without one
// to standard error.
bool savephotocomment(const std::string& comment, const std::string& albumdir,
                      const std::string& file, std::ostream& log);
bool savephotocomment(const std::string& comment, const std::string& albumdir,
                      const std::string& file);

// Prints comment lines into a page: "<br>" before a line unless an empty
// line (printed as "<p>") came just before; each tag after indent tabs.
void writephotocomment(std::ostream& os, std::list<std::string>& lines, unsigned long indent);

}  // namespace tavolin

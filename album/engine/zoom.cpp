// The zoom pages in an album's "html" directory: one page per size level of
// each photo, and a normal and a double-resolution page per level of each
// movie, so that a reader steps from the small picture to larger ones.
#include <sys/stat.h>

#include <iostream>
#include <sstream>

#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/html.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

// Zoom pages carry book labels only for good items (every labelled item is
// good: loading an album counts the book lists as good).
std::string zoomlabels(const album_t& album, const std::string& name) {
  if (!album.good(name)) return "";
  const std::string labels = booklabels(album, name);
  return labels.empty() ? "" : " (" + labels + ")";
}

bool open_zoom(std::ofstream& out, const path_t& path, const std::string& page, std::string& file,
               std::ostream& log) {
  path.make(file, html_dir, page);
  if (openpage(out, file, std::ios::binary)) return true;
  return libutils::fail_to(log, file, ": write open error.");
}

bool photo_pages(const path_t& path, const album_t& album, const std::string& name,
                 std::ostream& log) {
  const unsigned long L = getshrinklevel(path, name);
  if (L == 0) return true;
  const std::vector<std::string> dirs = size_level_dirs(L);
  const std::vector<std::string> pages = zoompages(name, L);
  const std::string url = html_url(name);
  // The same comment and EXIF lines on every level's page: read once. Each
  // page starts a stream of its own, so the lines come out the same.
  std::list<std::string> lines = photocommentlines(path, name);
  std::ostringstream exif;
  writeexif(exif, path, original_dir, name, true);
  for (unsigned long m = 1; m <= L; ++m) {
    std::ofstream out;
    std::string file;
    if (!open_zoom(out, path, pages[m - 1], file, log)) return false;
    writezoomhead(out);
    out << "\t<li>" << html_text(name) << zoomlabels(album, name) << "\n";
    out << "\t<br clear=all>\n";
    // Each level links to the next larger one, level 1 to the full size.
    out << "<a href=\"" << (m == 1 ? "../" + dirs[0] + "/" + url : html_url(pages[m - 2]))
        << "\"><IMG SRC=\"../" << dirs[m] << "/" << url << "\" SRCSET=\"../" << dirs[m] << "/"
        << url << " 1x,../" << dirs[m - 1] << "/" << url << " 2x\" ALIGN=\"left\"></a>\n";
    writephotocomment(out, lines, 1);
    out << "\t<br clear=all>\n";
    out << exif.str();
    writehtmlfoot(out);
    if (!closepage(out, file, log)) return false;
  }
  return true;
}

struct movie_t {
  std::string name;
  std::string mp4;
  std::string mp4url;
  std::string labels;
  unsigned long level = 0;
  libgr::direction2ul_t size;
  std::string duration;
  std::string stream;
};

// Opens a movie's zoom page and writes its head, name and labels.
bool start_movie_page(std::ofstream& out, std::string& file, const path_t& path,
                      const movie_t& movie, const std::string& page, std::ostream& log) {
  if (!open_zoom(out, path, page, file, log)) return false;
  writezoomhead(out);
  out << "\t<li>" << html_text(movie.mp4) << movie.labels << "\n";
  out << "\t<br clear=all>\n";
  return true;
}

bool movie_normal_page(const path_t& path, const movie_t& movie, const std::string& page,
                       unsigned long m, std::ostream& log) {
  std::ofstream out;
  std::string file;
  if (!start_movie_page(out, file, path, movie, page, log)) return false;
  out << "\t<video controls>\n";
  out << "\t<source src=\"../" << below(movie_dir(m), movie.mp4url) << "\">\n";
  out << "\t</video>\t<br clear=all>\n";
  out << "\t" << movie.duration << ", " << movie.stream << "\n";
  out << "\t<p>\n";
  writehtmlfoot(out);
  return closepage(out, file, log);
}

// Page j plays level j at the display size of level j + 1.
bool movie_retina_page(const path_t& path, const movie_t& movie, const std::string& page,
                       unsigned long j, std::ostream& log) {
  std::ofstream out;
  std::string file;
  if (!start_movie_page(out, file, path, movie, page, log)) return false;
  out << "\t<video controls  width=\"" << shr(movie.size.x, j + 1) << "px\" height=\""
      << shr(movie.size.y, j + 1) << "px\" src=\"../" << below(movie_dir(j), movie.mp4url)
      << "\">\n";
  out << "\t</video>\n";
  out << "\t<br clear=all>\n";
  out << "\t" << movie.duration << ", " << movie.stream << "\n";
  writehtmlfoot(out);
  return closepage(out, file, log);
}

bool movie_pages(const path_t& path, const album_t& album, const std::string& name,
                 std::ostream& log) {
  movie_t movie;
  movie.name = name;
  movie.mp4 = replace_extension(name, ".mp4");
  movie.mp4url = html_url(movie.mp4);
  movie.labels = zoomlabels(album, name);
  movie.level =
      getffshrinklevel(path, original_dir, name, movie.size, movie.duration, movie.stream);
  const unsigned long L = movie.level;
  // Pages of levels that were never made would play nothing.
  if (!movie_is_made(path, name, L)) return true;
  const std::vector<std::string> pages1 = moviepages1(name, L);
  const std::vector<std::string> pages2 = moviepages2(name, L);
  for (unsigned long m = 1; m <= L; ++m)
    if (!movie_normal_page(path, movie, pages1[m - 1], m, log)) return false;
  for (unsigned long j = 0; j < L; ++j)
    if (!movie_retina_page(path, movie, pages2[j], j, log)) return false;
  return true;
}

// Makes "html" and lists dir; false when dir cannot be listed.
bool start(const path_t& path, const char* dir, std::list<std::string>& names, album_t& album) {
  std::string html, listed;
  path.make(html, html_dir);
  mkdir(html.c_str(), 0755);
  path.make(listed, dir);
  if (!getregularfiles(names, listed)) return false;
  album.load(path);
  return true;
}

}  // namespace

bool makehtmlzoom(const path_t& path, sigc::signal<void, double>& progress) {
  return makehtmlzoom(path, progress, std::cerr);
}

bool makehtmlffzoom(const path_t& path, sigc::signal<void, double>& progress) {
  return makehtmlffzoom(path, progress, std::cerr);
}

bool makehtmlzoom(const path_t& path, sigc::signal<void, double>& progress, std::ostream& log) {
  std::list<std::string> names;
  album_t album;
  if (!start(path, thumb_dir, names, album)) return true;
  const double n = static_cast<double>(names.size());
  unsigned long k = 0;
  // A photo whose page cannot be written (a name too long for one more
  // ending) costs only its own pages.
  bool written = true;
  for (const std::string& name : names) {
    if (!photo_pages(path, album, name, log)) written = false;
    progress.emit(++k / n);
  }
  return written;
}

bool makehtmlffzoom(const path_t& path, sigc::signal<void, double>& progress, std::ostream& log) {
  std::list<std::string> names;
  album_t album;
  if (!start(path, original_dir, names, album)) return true;
  const double n = static_cast<double>(names.size());
  unsigned long k = 0;
  for (const std::string& name : names) {
    if (is_movie_name(name) && !movie_pages(path, album, name, log)) return false;
    progress.emit(++k / n);
  }
  return true;
}

}  // namespace tavolin

// An album's own pages, written by makehtml: "index.html" with every
// photo, movie and sound and their links, "list.html" with the
// thumbnails, and the count line of "txt/count.txt".
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <list>
#include <set>
#include <string>
#include <vector>

#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/html.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "image/loader_jpeg.h"
#include "utility/failure.h"
#include "utility/option.h"

namespace tavolin {

namespace {

// What makehtml reads once and both pages use.
struct movie_info_t {
  unsigned long level = 0;
  libgr::direction2ul_t size;
  std::string duration;
  std::string stream;
};

struct album_pages_t {
  const path_t& path;
  std::ostream& log;
  album_t album;
  std::string title;
  std::list<std::string> head;
  std::list<std::string> last;
  std::list<std::string> originals;
  std::list<std::string> thumbs;
  std::set<std::string> with_thumb;
  std::set<std::string> unmade_movies;
  std::vector<movie_info_t> movies;   // per original, for the movies among them
  std::vector<unsigned long> levels;  // per thumb
  unsigned long movie_count = 0;
  unsigned long sound_count = 0;

  album_pages_t(const path_t& path, std::ostream& log) : path(path), log(log) {}
  void load();
  bool index(sigc::signal<void, double>& progress);
  bool list();
  bool count();

  // A photo of "original" without a thumbnail has no level (its camera
  // file cannot be read), nor has a movie whose levels were not all made
  // (it could not be converted): each is listed by its file alone.
  bool unleveled(const std::string& name) const {
    if (is_photo_name(name)) return with_thumb.count(name) == 0;
    return unmade_movies.count(name) != 0;
  }
  void index_sound(std::ostream& out, const std::string& name);
  void index_unleveled(std::ostream& out, const std::string& name);
  void list_file(std::ostream& out, const std::string& name);
  bool index_movie(std::ostream& out, const std::string& name, const movie_info_t& movie);
  bool index_photo(std::ostream& out, const std::string& name, unsigned long L);
  void list_movie(std::ostream& out, const std::string& name, const movie_info_t& movie);
  void list_photo(std::ostream& out, const std::string& name, unsigned long L);
  bool open(std::ofstream& out, const char* page, std::string& file);
};

void album_pages_t::load() {
  album.load(path);
  std::string headtext, lasttext;
  loadcommenttxt(path, title, headtext, lasttext);
  head = commentlines(headtext);
  last = commentlines(lasttext);
  std::string dir;
  path.make(dir, original_dir);
  getregularfiles(originals, dir);
  path.make(dir, thumb_dir);
  if (!getregularfiles(thumbs, dir) && plimlib::g_option.debug)
    log << dir << ": getfiles fail." << std::endl;
  for (const std::string& name : originals) {
    movie_info_t movie;
    if (is_movie_name(name)) {
      movie.level =
          getffshrinklevel(path, original_dir, name, movie.size, movie.duration, movie.stream);
      if (!movie_is_made(path, name, movie.level)) unmade_movies.insert(name);
    }
    movies.push_back(movie);
  }
  for (const std::string& name : thumbs) levels.push_back(getshrinklevel(path, name));
  // The size links read the head of every level shown: asked for all at
  // once, a cold disk reads them side by side.
  auto level = levels.begin();
  for (const std::string& name : thumbs) {
    const std::vector<std::string> dirs = size_level_dirs(*level);
    for (unsigned long i = 0; i < *level; ++i) {
      std::string file;
      path.make(file, dirs[i], name);
      libgr::read_jpeg_head_ahead(file.c_str());
    }
    ++level;
  }
  with_thumb.insert(thumbs.begin(), thumbs.end());
}

bool album_pages_t::open(std::ofstream& out, const char* page, std::string& file) {
  path.make(file, page);
  if (openpage(out, file)) return true;
  const int err = errno;
  return libutils::fail_to(log, file, ": open error, ", std::strerror(err));
}

void album_pages_t::index_sound(std::ostream& out, const std::string& name) {
  std::string file, duration, stream;
  path.make(file, original_dir, name);
  mpidentify(file, duration, stream);
  const bool good = album.good(name);
  out << "\t<li>" << html_text(name) << labelsuffix(album, name, false) << "\n";
  out << "\t<br>\n\t";
  if (good) out << frame_open;
  out << "<audio controls src=\"" << below(original_dir, html_url(name)) << "\">\n\t</audio>";
  if (good) out << frame_close;
  out << "\t<br clear=all>\n";
  out << "\t" << duration << ", " << stream << "\n\t<p>\n";
  ++sound_count;
}

void album_pages_t::index_unleveled(std::ostream& out, const std::string& name) {
  out << "\t<li>" << html_text(name) << labelsuffix(album, name, is_photo_name(name)) << "\n";
  out << "\t<br><a href=\"" << below(original_dir, html_url(name)) << "\">" << html_text(name)
      << "</a>\n";
  std::list<std::string> lines = photocommentlines(path, name);
  writephotocomment(out, lines, 1);
  out << "\t<br clear=all>\n\t<p>\n\n";
}

bool album_pages_t::index_movie(std::ostream& out, const std::string& name,
                                const movie_info_t& movie) {
  const unsigned long L = movie.level;
  const std::vector<std::string> dirs = movie_level_dirs(L);
  std::string duration = movie.duration, stream = movie.stream;
  const bool good = album.good(name);
  out << "\t<li>" << html_text(name) << labelsuffix(album, name, false) << "\n";
  // The camera file was identified once for both pages.
  if (!write_movie_links(out, path, "", dirs, moviepages1(name, L), moviepages2(name, L), name, L,
                         movie.size, duration, stream))
    return false;
  out << "\t<br>\n\t";
  writevideo(out, "", dirs, L, movie.size, name, good);
  std::list<std::string> lines = photocommentlines(path, name);
  writephotocomment(out, lines, 1);
  out << "\t<br clear=all>\n";
  out << "\t" << duration << ", " << stream << "\n\t<p>\n";
  ++movie_count;
  return true;
}

bool album_pages_t::index_photo(std::ostream& out, const std::string& name, unsigned long L) {
  const std::vector<std::string> dirs = size_level_dirs(L);
  const std::vector<std::string> pages = zoompages(name, L);
  const std::string url = html_url(name);
  const bool good = album.good(name);
  out << "\t<li>" << html_text(name) << labelsuffix(album, name, true) << "\n";
  if (!writelink(out, path, "", dirs, pages, name, L, log)) return false;
  out << "\t<br>";
  if (good) out << frame_open;
  if (L > 0)
    out << "<a href=\"" << (L == 1 ? dirs[0] + "/" + url : below(html_dir, html_url(pages[L - 2])))
        << "\">";
  out << "<IMG SRC=\"" << dirs[L] << "/" << url;
  if (L > 0)
    out << "\" SRCSET=\"" << dirs[L] << "/" << url << " 1x," << dirs[L - 1] << "/" << url << " 2x";
  out << "\" ALIGN=\"left\">";
  if (L > 0) out << "</a>";
  if (good) out << frame_close;
  out << "\n";
  std::list<std::string> lines = photocommentlines(path, name);
  writephotocomment(out, lines, 1);
  out << "\t<br clear=all>\n";
  writeexif(out, path, original_dir, name, true);
  out << "\t<p>\n\n";
  return true;
}

bool album_pages_t::index(sigc::signal<void, double>& progress) {
  std::ofstream out;
  std::string file;
  if (!open(out, index_page, file)) return false;
  writehtmlhead(out, title);
  writephotocomment(out, head, 0);
  out << "<p>\n";
  auto movie = movies.begin();
  for (const std::string& name : originals) {
    if (is_sound_name(name))
      index_sound(out, name);
    else if (unleveled(name))
      index_unleveled(out, name);
    else if (is_movie_name(name) && !index_movie(out, name, *movie))
      return false;
    ++movie;
  }
  const double n = static_cast<double>(thumbs.size());
  unsigned long k = 0;
  auto level = levels.begin();
  for (const std::string& name : thumbs) {
    if (!index_photo(out, name, *level++)) return false;
    progress.emit((k + 1) / n);
    ++k;
  }
  writephotocomment(out, last, 0);
  writehtmlfoot(out);
  return closepage(out, file, log);
}

void album_pages_t::list_file(std::ostream& out, const std::string& name) {
  const bool good = album.good(name);
  if (good) out << frame_open;
  out << "<a href=\"" << below(original_dir, html_url(name)) << "\">" << html_text(name) << "</a>";
  if (good) out << frame_close;
  out << "\n";
}

void album_pages_t::list_movie(std::ostream& out, const std::string& name,
                               const movie_info_t& movie) {
  const unsigned long L = movie.level;
  const std::vector<std::string> dirs = movie_level_dirs(L);
  const std::string jpg = html_url(replace_extension(name, ".jpg"));
  out << "<a href=\"" << movielisttarget(name, L, movie.size) << "\">";
  // The smallest level is the thumbnail: no level below it is made.
  out << "<IMG SRC=\"" << dirs[L + 1] << "/" << jpg << "\" SRCSET=\"" << dirs[L + 1] << "/" << jpg
      << " 1x," << dirs[L] << "/" << jpg << " 2x\"";
  if (album.good(name)) out << " border=2";
  out << "></a>\n";
}

void album_pages_t::list_photo(std::ostream& out, const std::string& name, unsigned long L) {
  const std::vector<std::string> dirs = size_level_dirs(L);
  const std::string url = html_url(name);
  out << "<a href=\""
      << (L == 0 ? dirs[0] + "/" + url : below(html_dir, html_url(zoompages(name, L)[L - 1])))
      << "\">";
  out << "<IMG SRC=\"" << dirs[L + 2] << "/" << url << "\" SRCSET=\"" << dirs[L + 1] << "/" << url
      << " 1x," << dirs[L] << "/" << url << " 2x\"";
  if (album.good(name)) out << " border=2";
  out << "></a>\n";
}

bool album_pages_t::list() {
  std::ofstream out;
  std::string file;
  if (!open(out, list_page, file)) return false;
  writehtmlhead(out, title);
  writephotocomment(out, head, 0);
  out << "<br>\n\n";
  auto movie = movies.begin();
  for (const std::string& name : originals) {
    if (is_sound_name(name) || unleveled(name))
      list_file(out, name);
    else if (is_movie_name(name))
      list_movie(out, name, *movie);
    ++movie;
  }
  auto level = levels.begin();
  for (const std::string& name : thumbs) list_photo(out, name, *level++);
  writephotocomment(out, last, 0);
  writehtmlfoot(out);
  return closepage(out, file, log);
}

bool album_pages_t::count() {
  std::string file;
  path.make(file, txt_dir, count_file);
  std::ofstream out;
  if (!openpage(out, file)) {
    const int err = errno;
    return libutils::fail_to(log, file, ": open error, ", std::strerror(err));
  }
  writecountline(out, movie_count, thumbs.size(), sound_count);
  return closepage(out, file, log);
}

}  // namespace

bool makehtml(const path_t& path, sigc::signal<void, double>& progress, std::ostream& log) {
  album_pages_t pages(path, log);
  pages.load();
  return pages.index(progress) && pages.list() && pages.count();
}

}  // namespace tavolin

#include "album/engine/html.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>
#include <set>

#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "image/loader_jpeg.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"
#include "utility/message.h"
#include "utility/option.h"
#include "utility/strutil.h"

namespace tavolin {

void writehtmlhead(std::ostream& out, const std::string& title) {
  out << "<HTML>\n<HEAD>\n";
  if (!g_global.html_header.empty()) out << "\t" << g_global.html_header << "\n";
  out << "\t<title>" << title << "</title>\n</HEAD>\n\n<BODY>\n";
  out << "\t<CENTER><h1>" << title << "</h1></CENTER>\n";
}

void writezoomhead(std::ostream& out) {
  out << "<HTML>\n<HEAD>\n";
  if (!g_global.html_header.empty()) out << "\t" << g_global.html_header << "\n";
  out << "</HEAD>\n\n<BODY>\n";
}

void writehtmlfoot(std::ostream& out) {
  out << "<hr>\n";
  if (!g_global.html_address.empty())
    out << "\t<address>" << g_global.html_address << "</address>\n";
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  out << "<!-- hhmts start -->\n";
  char stamp[100];
  if (local != nullptr && std::strftime(stamp, sizeof stamp, "%c", local) != 0)
    out << "HTML Generated: " << stamp << " (" << tzname[0] << ")\n";
  out << "<!-- hhmts end -->\n</BODY>\n</HTML>\n";
}

std::string booklabels(const album_t& album, const std::string& name) {
  const bool member[] = {album.best(name), album.apply(name), album.submit(name),
                         album.sale(name), album.print(name), album.upload(name)};
  std::string labels;
  for (std::size_t i = 0; i < MSG_BOOK_LISTS.size(); ++i) {
    if (!member[i]) continue;
    if (!labels.empty()) labels += ", ";
    labels += plimlib::getmsg(MSG_BOOK_LISTS[i]);
  }
  return labels;
}

std::string labelsuffix(const album_t& album, const std::string& name, bool failform) {
  const std::string labels = booklabels(album, name);
  if (!labels.empty()) return " (" + labels + ")";
  if (failform && album.fail(name))
    return std::string(" (") + plimlib::getmsg(MSG_JUDGE_FAIL) + ")";
  return "";
}

void writecountline(std::ostream& out, unsigned long movies, unsigned long photos,
                    unsigned long sounds) {
  if (movies != 0) out << movies;
  out << "+" << photos;
  if (sounds != 0) out << "+" << sounds;
  out << "\n";
}

std::list<std::string> commentlines(const std::string& text) {
  std::list<std::string> lines;
  libutils::separate_token(lines, text, "\n");
  for (std::string& line : lines) libutils::chop(line);
  return lines;
}

std::list<std::string> photocommentlines(const path_t& path, const std::string& name) {
  std::list<std::string> lines;
  loadphotocommentlines(lines, path, name);
  for (std::string& line : lines) libutils::chop(line);
  return lines;
}

std::vector<std::string> zoompages(const std::string& name, unsigned long L) {
  const std::string base = libutils::basename(name);
  std::vector<std::string> pages;
  for (unsigned long m = 1; m <= L; ++m) pages.push_back(base + "_" + std::to_string(m) + ".html");
  return pages;
}

std::vector<std::string> moviepages1(const std::string& name, unsigned long L) {
  const std::string base = libutils::basename(name);
  std::vector<std::string> pages;
  for (unsigned long m = 1; m <= L; ++m)
    pages.push_back(base + "_1_" + std::to_string(m) + ".html");
  return pages;
}

std::vector<std::string> moviepages2(const std::string& name, unsigned long L) {
  const std::string base = libutils::basename(name);
  std::vector<std::string> pages;
  for (unsigned long j = 0; j < L; ++j) pages.push_back(base + "_2_" + std::to_string(j) + ".html");
  return pages;
}

unsigned long playsizelevel(const libgr::direction2ul_t& size, unsigned long L) {
  unsigned long w = size.x, h = size.y, k = 0;
  // Past L no page exists to link to.
  while (k < L && (w > g_global.play_size_x || h > g_global.play_size_y)) {
    w /= 2;
    h /= 2;
    ++k;
  }
  return k;
}

std::string movielisttarget(const std::string& name, unsigned long L,
                            const libgr::direction2ul_t& size) {
  const unsigned long k = playsizelevel(size, L);
  const std::string base = html_url(libutils::basename(name));
  // Level 0 has no normal page of its own: its movie file is the target.
  if (k == 0) return below(movie_dir(0), html_url(replace_extension(name, ".mp4")));
  if (g_global.movie_thumbnail_retina)
    return below(html_dir, base + "_2_" + std::to_string(k - 1) + ".html");
  return below(html_dir, base + "_1_" + std::to_string(k) + ".html");
}

bool openpage(std::ofstream& out, const std::string& file, std::ios::openmode mode) {
  unlink(file.c_str());
  out.open(file, mode | std::ios::out | std::ios::trunc);
  return out.is_open();
}

bool closepage(std::ofstream& out, const std::string& file, std::ostream& log) {
  out.close();
  if (out.fail()) {
    return libutils::fail_to(log, file, ": write error.");
  }
  return true;
}

namespace {

unsigned long kilobytes(off_t bytes) { return static_cast<unsigned long>((bytes + 1023) / 1024); }

bool stat_size(const std::string& file, off_t& size, std::ostream& log) {
  struct stat st;
  if (stat(file.c_str(), &st) != 0) {
    const int err = errno;
    return libutils::fail_to(log, file, ": ", std::strerror(err));
  }
  size = st.st_size;
  return true;
}

}  // namespace

bool writelink(std::ostream& out, const path_t& path, const std::string& prefix,
               const std::vector<std::string>& dirs, const std::vector<std::string>& pages,
               const std::string& name, std::ostream& log) {
  const unsigned long L = getshrinklevel(path, name);
  if (L == 0) return true;
  if (dirs.size() < L || pages.size() + 1 < L) {
    return libutils::fail_to(log, name, ": writelink() level list too short.");
  }
  for (unsigned long i = 0; i < L; ++i) {
    std::string file;
    path.make(file, dirs[i], name);
    libgr::jpegdata_t data;
    if (!data.load_head(file.c_str())) {
      const int err = errno;
      return libutils::fail_to(log, file, ": ", why_unreadable(file, err));
    }
    libgr::jpeginfo_t info;
    if (!info.analyze_markers(data)) {
      return libutils::fail_to(log, file, ": jpeg analyze_markers() failed.");
    }
    off_t size = 0;
    if (!stat_size(file, size, log)) return false;
    out << "\t<br><a href=\"" << prefix
        << (i == 0 ? dirs[0] + "/" + html_url(name) : below(html_dir, html_url(pages[i - 1])))
        << "\">" << info.width << "x" << info.height << " (" << kilobytes(size) << "k)</a>\n";
  }
  return true;
}

namespace {

// The movie links once the camera file is identified (L and size).
bool write_movie_links(std::ostream& out, const path_t& path, const std::string& prefix,
                       const std::vector<std::string>& dirs, const std::vector<std::string>& pages1,
                       const std::vector<std::string>& pages2, const std::string& name,
                       unsigned long L, libgr::direction2ul_t size, std::string& duration,
                       std::string& stream) {
  std::string file;
  path.make(file, original_dir, name);
  off_t bytes = 0;
  if (!stat_size(file, bytes, std::cerr)) return false;
  out << "\t<br><a href=\"" << prefix << below(original_dir, html_url(name)) << "\">" << size.x
      << "x" << size.y << " (" << kilobytes(bytes) << "k)</a>\n";
  if (dirs.size() < L || pages1.size() + 1 < L || pages2.size() < L) {
    return libutils::fail(name, ": writefflink() level list too short.");
  }
  const std::string mp4 = replace_extension(name, ".mp4");
  for (unsigned long i = 0; i < L; ++i) {
    path.make(file, dirs[i], mp4);
    ffidentify(file, size, duration, stream);
    if (!stat_size(file, bytes, std::cerr)) return false;
    const unsigned long kb = kilobytes(bytes);
    out << "\t<br><a href=\"" << prefix
        << (i == 0 ? dirs[0] + "/" + html_url(mp4) : below(html_dir, html_url(pages1[i - 1])))
        << "\">" << size.x << "x" << size.y << " (" << kb << "k)</a>"
        << " <a href=\"" << prefix << below(html_dir, html_url(pages2[i])) << "\">Retina" << size.x
        << "x" << size.y << " (" << kb << "k)</a>\n";
  }
  return true;
}

}  // namespace

bool writefflink(std::ostream& out, const path_t& path, const std::string& prefix,
                 const std::vector<std::string>& dirs, const std::vector<std::string>& pages1,
                 const std::vector<std::string>& pages2, const std::string& name,
                 std::string& duration, std::string& stream) {
  libgr::direction2ul_t size;
  const unsigned long L = getffshrinklevel(path, original_dir, name, size, duration, stream);
  return write_movie_links(out, path, prefix, dirs, pages1, pages2, name, L, size, duration,
                           stream);
}

const char* const frame_open = "<table align=left border=5><td>";
const char* const frame_close = "</table>";

void writevideo(std::ostream& out, const std::string& prefix, const std::vector<std::string>& dirs,
                unsigned long L, const libgr::direction2ul_t& size, const std::string& name,
                bool framed) {
  if (framed) out << frame_open;
  out << "<video controls";
  const unsigned long w = size.x, h = size.y;
  if (g_global.movie_thumbnail_retina && L > 0)
    out << " width=\"" << shr(w, L) << "px\" height=\"" << shr(h, L) << "px\" src=\"" << prefix
        << dirs[L - 1];
  else if (g_global.movie_thumbnail_retina)
    out << " width=\"" << w / 2 << "px\" height=\"" << h / 2 << "px\" src=\"" << prefix << dirs[0];
  else
    out << " src=\"" << prefix << dirs[L];
  out << "/" << html_url(replace_extension(name, ".mp4")) << "\">\n\t</video>";
  if (framed) out << frame_close;
  out << "\n";
}

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
  // file cannot be read): it is listed by its file alone.
  bool unleveled(const std::string& name) const {
    return is_photo_name(name) && with_thumb.count(name) == 0;
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
    if (is_movie_name(name))
      movie.level =
          getffshrinklevel(path, original_dir, name, movie.size, movie.duration, movie.stream);
    movies.push_back(movie);
  }
  for (const std::string& name : thumbs) levels.push_back(getshrinklevel(path, name));
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
  out << "\t<li>" << html_text(name) << labelsuffix(album, name, true) << "\n";
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
  if (!writelink(out, path, "", dirs, pages, name, log)) return false;
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
    else if (is_movie_name(name) && !index_movie(out, name, *movie))
      return false;
    else if (unleveled(name))
      index_unleveled(out, name);
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

#include "album/engine/html.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>

#include "album/engine/comment.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "image/halvings.h"
#include "image/loader_jpeg.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"
#include "utility/message.h"
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
  // Past L no page exists to link to.
  return libgr::halvings_to_fit(size.x, size.y, g_global.play_size_x, g_global.play_size_y, {L, 0});
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
               const std::string& name, unsigned long L, std::ostream& log) {
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

}  // namespace tavolin

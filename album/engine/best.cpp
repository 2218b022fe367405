#include "album/engine/best.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <vector>

#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/html.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace tavolin {

namespace {

// The last component of dir as libutils::split names it (name and
// extension); trailing slashes do not count as a component.
std::string lastcomponent(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  libutils::splitpath_t parts;
  libutils::split(parts, dir.c_str());
  return std::string(parts.name) + parts.ext;
}

}  // namespace

std::string collectiondir(const path_t& path) {
  std::string dir = path.root;
  joinpath(dir, path.middle);
  return dir;
}

void loadbooktitle(const path_t& book, const std::string& collection, std::string& title,
                   std::list<std::string>& head, std::list<std::string>& last) {
  std::string headtext, lasttext;
  loadcommenttxt(book, title, headtext, lasttext);
  head = commentlines(headtext);
  last = commentlines(lasttext);
  if (!title.empty()) return;
  title = lastcomponent(collection) + " " + plimlib::getmsg(MSG_BEST_PHOTOS);
  savecommenttxt(book, title, headtext, lasttext, std::cerr);
}

bool writeviewerlist(const std::string& file, const std::list<std::string>& dirs,
                     const std::string& listname) {
  // Unlinked first, as the pages are: opening a FIFO left under the
  // name would wait for a reader.
  std::ofstream out;
  if (!openpage(out, file, std::ios::binary)) {
    return libutils::fail(file, ": can't write open.");
  }
  for (const std::string& dir : dirs)
    out << "-C" << dir << "\r\n-@" << below(txt_dir, listname) << "\r\n";
  return closepage(out, file, std::cerr);
}

bool opengenerated(std::ofstream& out, const std::string& file) {
  if (openpage(out, file)) return true;
  const int err = errno;
  return libutils::fail(file, ": open error, ", std::strerror(err));
}

const gathered_items_t::media_t& gathered_items_t::media(const album_t& album,
                                                         const std::string& name) {
  std::string original;
  album.path.make(original, original_dir, name);
  auto found = m_media.find(original);
  if (found != m_media.end()) return found->second;
  media_t& m = m_media[original];
  if (!stat_succeeds(original)) return m;  // a list may outlive a removed file
  if (is_movie_name(name)) {
    m.level = getffshrinklevel(album.path, original_dir, name, m.size, m.duration, m.stream);
    // As on the album pages: a movie is shown once its levels are made.
    m.present = movie_is_made(album.path, name, m.level);
  } else if (is_photo_name(name)) {
    // As on the album pages: a photo is shown once its thumbnail exists.
    std::string thumb;
    album.path.make(thumb, thumb_dir, name);
    m.present = stat_succeeds(thumb);
    if (m.present) m.level = getshrinklevel(original);
  } else {
    m.present = true;
  }
  return m;
}

bool gathered_items_t::index_item(std::ostream& out, const album_t& album,
                                  const std::string& reldir, const std::string& name,
                                  const std::string& suffix, bool framed) {
  const std::string prefix = "../" + html_url(reldir) + "/";
  const bool sound = is_sound_name(name), movie = is_movie_name(name);
  if (sound || movie || is_photo_name(name)) {
    const media_t& m = media(album, name);
    if (m.present) {
      out << "\t<li>" << html_text("../" + reldir + "/" + name) << suffix << "\n";
      if (sound)
        index_sound(out, album, prefix, name, framed);
      else if (movie && !index_movie(out, album, prefix, name, m, framed))
        return false;
      else if (!movie && !index_photo(out, album, prefix, name, m.level, framed))
        return false;
    }
  }
  out << "\t<p>\n\n";
  return true;
}

void gathered_items_t::index_sound(std::ostream& out, const album_t& album,
                                   const std::string& prefix, const std::string& name,
                                   bool framed) {
  std::string file, duration, stream;
  album.path.make(file, original_dir, name);
  mpidentify(file, duration, stream);
  out << "\t<br>\n\t";
  if (framed) out << frame_open;
  out << "<audio controls src=\"" << prefix << below(original_dir, html_url(name))
      << "\">\t</audio>";
  if (framed) out << frame_close;
  out << "\t<br clear=all>\n";
  out << "\t" << duration << ", " << stream << "\n\t<p>\n";
  ++sounds;
}

bool gathered_items_t::index_movie(std::ostream& out, const album_t& album,
                                   const std::string& prefix, const std::string& name,
                                   const media_t& movie, bool framed) {
  const unsigned long L = movie.level;
  const std::vector<std::string> dirs = movie_level_dirs(L);
  std::string duration = movie.duration, stream = movie.stream;
  if (!writefflink(out, album.path, prefix, dirs, moviepages1(name, L), moviepages2(name, L), name,
                   duration, stream))
    return false;
  out << "\t<br>\n\t";
  writevideo(out, prefix, dirs, L, movie.size, name, framed);
  std::list<std::string> lines = photocommentlines(album.path, name);
  writephotocomment(out, lines, 1);
  out << "\t<br clear=all>\n";
  out << "\t" << duration << ", " << stream << "\n\t<p>\n";
  ++movies;
  return true;
}

bool gathered_items_t::index_photo(std::ostream& out, const album_t& album,
                                   const std::string& prefix, const std::string& name,
                                   unsigned long L, bool framed) {
  const std::vector<std::string> dirs = size_level_dirs(L);
  const std::vector<std::string> pages = zoompages(name, L);
  const std::string url = html_url(name);
  if (!writelink(out, album.path, prefix, dirs, pages, name, L, std::cerr)) return false;
  out << "\t<br>";
  if (framed) out << frame_open;
  if (L > 0)
    out << "<a href=\"" << prefix
        << (L == 1 ? dirs[0] + "/" + url : below(html_dir, html_url(pages[L - 2]))) << "\">";
  out << "<IMG SRC=\"" << prefix << dirs[L] << "/" << url;
  if (L > 0)
    out << "\" SRCSET=\"" << prefix << dirs[L] << "/" << url << " 1x," << prefix << dirs[L - 1]
        << "/" << url << " 2x";
  out << "\" ALIGN=\"left\">";
  if (L > 0) out << "</a>";
  if (framed) out << frame_close;
  out << "\n";
  std::list<std::string> lines = photocommentlines(album.path, name);
  writephotocomment(out, lines, 1);
  out << "\t<br clear=all>\n";
  writeexif(out, album.path, original_dir, name, true);
  ++photos;
  return true;
}

void gathered_items_t::list_item(std::ostream& out, const album_t& album, const std::string& reldir,
                                 const std::string& name, bool bordered) {
  const bool sound = is_sound_name(name), movie = is_movie_name(name);
  if (!sound && !movie && !is_photo_name(name)) return;
  const media_t& m = media(album, name);
  if (!m.present) return;
  const std::string prefix = "../" + html_url(reldir) + "/";
  if (movie) {
    list_movie(out, prefix, name, m, bordered);
  } else if (!sound) {
    list_photo(out, prefix, name, m.level, bordered);
  } else {
    if (bordered) out << frame_open;
    out << "<a href=\"" << prefix << below(original_dir, html_url(name)) << "\">" << html_text(name)
        << "</a>";
    if (bordered) out << frame_close;
    out << "\n";
  }
}

void gathered_items_t::list_movie(std::ostream& out, const std::string& prefix,
                                  const std::string& name, const media_t& movie, bool bordered) {
  const unsigned long L = movie.level;
  const std::vector<std::string> dirs = movie_level_dirs(L);
  const std::string jpg = html_url(replace_extension(name, ".jpg"));
  out << "<a href=\"" << prefix << movielisttarget(name, L, movie.size) << "\">";
  // The smallest level made is L + 1: its still is the thumbnail.
  out << "<IMG SRC=\"" << prefix << dirs[L + 1] << "/" << jpg << "\" SRCSET=\"" << prefix
      << dirs[L + 1] << "/" << jpg << " 1x," << prefix << dirs[L] << "/" << jpg << " 2x\"";
  if (bordered) out << (m_blank_border ? " border=2" : "border=2");
  out << "></a>\n";
}

void gathered_items_t::list_photo(std::ostream& out, const std::string& prefix,
                                  const std::string& name, unsigned long L, bool bordered) {
  const std::vector<std::string> dirs = size_level_dirs(L);
  const std::string url = html_url(name);
  out << "<a href=\"" << prefix
      << (L == 0 ? dirs[0] + "/" + url : below(html_dir, html_url(zoompages(name, L)[L - 1])))
      << "\">";
  out << "<IMG SRC=\"" << prefix << dirs[L + 2] << "/" << url << "\" SRCSET=\"" << prefix
      << dirs[L + 1] << "/" << url << " 1x," << prefix << dirs[L] << "/" << url << " 2x\"";
  if (bordered) out << " border=2";
  out << "></a>\n";
}

void gathered_items_t::write_count(std::ostream& out) const {
  writecountline(out, movies, photos, sounds);
}

bool gathered_items_t::save_count(const path_t& dir) const {
  std::string file;
  dir.make(file, txt_dir, count_file);
  std::ofstream out;
  if (!opengenerated(out, file)) return false;
  write_count(out);
  return closepage(out, file, std::cerr);
}

namespace {

// One album of "_Best": its directory name inside the collection.
struct best_album_t {
  std::string dir;
  album_t album;
};

// A page of "_Best": head, the items of every album by write_album (false
// ends the page with false), progress after each album, tail, the last
// comment and the foot.
bool write_best_page(const path_t& best, const char* page, const std::string& title,
                     std::list<std::string>& head, std::list<std::string>& last,
                     const std::list<best_album_t>& albums, const char* tail,
                     sigc::signal<void, double>& progress,
                     const std::function<bool(std::ostream&, const best_album_t&)>& write_album) {
  std::string file;
  best.make(file, page);
  std::ofstream out;
  if (!opengenerated(out, file)) return false;
  writehtmlhead(out, title);
  writephotocomment(out, head, 0);
  out << "<p>\n";
  const double n = static_cast<double>(albums.size());
  unsigned long a = 0;
  for (const best_album_t& entry : albums) {
    if (!write_album(out, entry)) return false;
    progress.emit((a + 1) / n);
    ++a;
  }
  out << tail;
  writephotocomment(out, last, 0);
  writehtmlfoot(out);
  return closepage(out, file, std::cerr);
}

bool write_best_index(const path_t& best, const std::string& title, std::list<std::string>& head,
                      std::list<std::string>& last, const std::list<best_album_t>& albums,
                      gathered_items_t& items, sigc::signal<void, double>& progress) {
  return write_best_page(
      best, index_page, title, head, last, albums, "", progress,
      [&items](std::ostream& out, const best_album_t& entry) {
        const album_t& album = entry.album;
        for (const std::string& name : album.m_good.names) {
          if (!items.index_item(out, album, entry.dir, name, labelsuffix(album, name, false),
                                album.isfind(name)))
            return false;
        }
        if (!album.m_good.names.empty()) out << "<hr>\n";
        return true;
      });
}

bool write_best_list(const path_t& best, const std::string& title, std::list<std::string>& head,
                     std::list<std::string>& last, const std::list<best_album_t>& albums,
                     gathered_items_t& items, sigc::signal<void, double>& progress) {
  return write_best_page(best, list_page, title, head, last, albums, "\n", progress,
                         [&items](std::ostream& out, const best_album_t& entry) {
                           const album_t& album = entry.album;
                           for (const std::string& name : album.m_good.names)
                             items.list_item(out, album, entry.dir, name, album.isfind(name));
                           if (!album.m_good.names.empty()) out << " | ";
                           return true;
                         });
}

}  // namespace

bool makebesthtml(const path_t& path, sigc::signal<void, double>& progress1,
                  sigc::signal<void, double>& progress2) {
  const std::string collection = collectiondir(path);
  const path_t best("", collection, best_dir);
  std::string title;
  std::list<std::string> head, last;
  loadbooktitle(best, collection, title, head, last);

  std::list<std::string> dirs;
  if (!libutils::getdirs(dirs, collection)) {
    return libutils::fail(collection, ": getdirs() fail.");
  }
  dirs.remove_if([](const std::string& d) {
    return d == txt_dir || (!d.empty() && d[0] == generated_dir_mark);
  });
  dirs.reverse();
  std::list<best_album_t> albums;
  std::list<std::string> listed;
  for (const std::string& dir : dirs) {
    albums.push_back({dir, album_t()});
    albums.back().album.load(path_t("", collection, dir));
    const std::string good = below(txt_dir, bestname_listfile(E_BESTNAME_GOOD));
    if (stat_succeeds(below(collection, below(dir, good)))) listed.push_back(dir);
  }

  std::string listfile;
  best.make(listfile, txt_dir, list_file);
  if (!writeviewerlist(listfile, listed, bestname_listfile(E_BESTNAME_GOOD))) return false;

  gathered_items_t items(false);
  if (!write_best_index(best, title, head, last, albums, items, progress1)) return false;
  bool ok = write_best_list(best, title, head, last, albums, items, progress2);
  if (!items.save_count(best)) ok = false;
  return ok;
}

}  // namespace tavolin

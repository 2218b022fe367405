#pragma once
// The best album "_Best" of a collection directory: the good photos, movies
// and sound files of the albums directly inside it on one index page and
// one list page, its "txt/count.txt", and "txt/list.txt" for the viewer.
// Generated books hold no copies: every link and picture points into the
// albums through "../" + the album's directory relative to the collection.
//
// The item writers and the viewer list below are shared with the book
// pages (book.h), which gather the same items across a whole tree.

#include <fstream>
#include <list>
#include <map>
#include <ostream>
#include <string>

#include <sigc++/sigc++.h>

#include "album/engine/album.h"
#include "image/geometry.h"

namespace tavolin {

// Rebuilds "_Best" of the collection directory path.root joined with
// path.middle (the callers leave root empty; path.album is not used).
// progress1 gets (a + 1) / A after album a of A on the index page,
// progress2 the same on the list page. Errors go to standard error; true
// when the list file, both pages and count.txt were written.
bool makebesthtml(const path_t& path, sigc::signal<void, double>& progress1,
                  sigc::signal<void, double>& progress2);

// The collection directory of a location given to the best or book
// pages: root and middle joined.
std::string collectiondir(const path_t& path);

// The title, head comment lines and last comment lines of the generated
// book at book (in its "txt"). An empty title becomes the last component
// of collection, a blank and the text of MSG_BEST_PHOTOS, and is saved with the
// comments at once.
void loadbooktitle(const path_t& book, const std::string& collection, std::string& title,
                   std::list<std::string>& head, std::list<std::string>& last);

// Rewrites the viewer list file: per album directory of dirs (relative to
// the directory the viewer is started in) "-C" + dir and "-@txt/" +
// listname, each line ended by CR LF. False, with a message, when the file
// cannot be opened or written.
bool writeviewerlist(const std::string& file, const std::list<std::string>& dirs,
                     const std::string& listname);

// Opens a generated page (removed first); false after "file: open error,"
// and the system's error text on standard error.
bool opengenerated(std::ofstream& out, const std::string& file);

// Writes the items of albums onto a generated book's index and list pages
// and counts what the index page received. An album is addressed by its
// directory relative to the collection (reldir); items whose camera file
// is gone, and photos not yet shrunk, are left out (their links would name
// nothing).
class gathered_items_t {
 public:
  // blank_border: the list page's movie thumbnail border is written with
  // a blank before it (" border=2"); the best pages write it without one.
  explicit gathered_items_t(bool blank_border) : m_blank_border(blank_border) {}

  // The item on the index page with suffix after its name, its picture
  // framed when framed. False when the size links cannot be written (the
  // message is on standard error).
  bool index_item(std::ostream& out, const album_t& album, const std::string& reldir,
                  const std::string& name, const std::string& suffix, bool framed);
  // The item's thumbnail on the list page, bordered when bordered.
  void list_item(std::ostream& out, const album_t& album, const std::string& reldir,
                 const std::string& name, bool bordered);
  // The count line of what index_item wrote.
  void write_count(std::ostream& out) const;
  // The same line as the "txt/count.txt" of the generated directory dir.
  bool save_count(const path_t& dir) const;

  unsigned long movies = 0;
  unsigned long photos = 0;
  unsigned long sounds = 0;

 private:
  // What is read once per item and used on both pages.
  struct media_t {
    bool present = false;
    unsigned long level = 0;
    libgr::direction2ul_t size;  // movies
    std::string duration;
    std::string stream;
  };
  const media_t& media(const album_t& album, const std::string& name);

  void index_sound(std::ostream& out, const album_t& album, const std::string& prefix,
                   const std::string& name, bool framed);
  bool index_movie(std::ostream& out, const album_t& album, const std::string& prefix,
                   const std::string& name, const media_t& movie, bool framed);
  bool index_photo(std::ostream& out, const album_t& album, const std::string& prefix,
                   const std::string& name, unsigned long L, bool framed);
  void list_movie(std::ostream& out, const std::string& prefix, const std::string& name,
                  const media_t& movie, bool bordered);
  void list_photo(std::ostream& out, const std::string& prefix, const std::string& name,
                  unsigned long L, bool bordered);

  bool m_blank_border;
  std::map<std::string, media_t> m_media;  // by the camera file's path
};

}  // namespace tavolin

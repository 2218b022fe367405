#include "album/engine/book.h"

#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <list>
#include <set>
#include <string>

#include "album/engine/best.h"
#include "album/engine/comment.h"
#include "album/engine/html.h"
#include "album/engine/scan.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "utility/futil.h"

namespace tavolin {

bool otherbook(const album_t& album, e_bestname_t kind, const std::string& name) {
  const e_bestname_t books[] = {E_BESTNAME_BEST, E_BESTNAME_APPLY, E_BESTNAME_SUBMIT,
                                E_BESTNAME_SALE, E_BESTNAME_PRINT, E_BESTNAME_UPLOAD};
  for (e_bestname_t book : books) {
    if (book != kind && album.list(book).names.count(name) != 0) return true;
  }
  return false;
}

namespace {

// The best list alone does not border a thumbnail on a book's list page.
bool listborder(const album_t& album, const std::string& name) {
  return album.apply(name) || album.submit(name) || album.sale(name) || album.print(name) ||
         album.upload(name);
}

struct book_album_t {
  std::string reldir;  // middle directories and album directory below the collection
  const album_t* album;
};

class book_pages_t {
 public:
  book_pages_t(const path_t& book, e_bestname_t kind) : m_book(book), m_kind(kind) {}

  void load(const std::string& collection);
  bool index(const std::list<book_album_t>& albums, sigc::signal<void, double>& progress);
  bool list(const std::list<book_album_t>& albums, sigc::signal<void, double>& progress);
  bool count();

 private:
  bool open(std::ofstream& out, const char* page, std::string& file);
  std::string suffix(const album_t& album, const std::string& name) const;

  const path_t& m_book;
  e_bestname_t m_kind;
  std::string m_title;
  std::list<std::string> m_head;
  std::list<std::string> m_last;
  gathered_items_t m_items{true};
};

void book_pages_t::load(const std::string& collection) {
  loadbooktitle(m_book, collection, m_title, m_head, m_last);
}

bool book_pages_t::open(std::ofstream& out, const char* page, std::string& file) {
  m_book.make(file, page);
  if (!opengenerated(out, file)) return false;
  writehtmlhead(out, m_title);
  writephotocomment(out, m_head, 0);
  out << "<p>\n";
  return true;
}

// Sound files carry their labels only when framed; photos and movies
// always carry the parentheses, empty when no book list holds them.
std::string book_pages_t::suffix(const album_t& album, const std::string& name) const {
  if (is_sound_name(name) && !otherbook(album, m_kind, name)) return "";
  return " (" + booklabels(album, name) + ")";
}

bool book_pages_t::index(const std::list<book_album_t>& albums,
                         sigc::signal<void, double>& progress) {
  std::ofstream out;
  std::string file;
  if (!open(out, index_page, file)) return false;
  const double n = static_cast<double>(albums.size());
  unsigned long k = 0;
  for (const book_album_t& entry : albums) {
    const album_t& album = *entry.album;
    const std::set<std::string>& names = album.list(m_kind).names;
    for (const std::string& name : names) {
      if (!m_items.index_item(out, album, entry.reldir, name, suffix(album, name),
                              otherbook(album, m_kind, name)))
        return false;
    }
    if (!names.empty()) out << "<hr>\n";
    progress.emit(++k / n);
  }
  writephotocomment(out, m_last, 0);
  writehtmlfoot(out);
  return closepage(out, file, std::cerr);
}

bool book_pages_t::list(const std::list<book_album_t>& albums,
                        sigc::signal<void, double>& progress) {
  std::ofstream out;
  std::string file;
  if (!open(out, list_page, file)) return false;
  const double n = static_cast<double>(albums.size());
  unsigned long k = 0;
  for (const book_album_t& entry : albums) {
    const album_t& album = *entry.album;
    const std::set<std::string>& names = album.list(m_kind).names;
    for (const std::string& name : names)
      m_items.list_item(out, album, entry.reldir, name, listborder(album, name));
    if (!names.empty()) out << " | ";
    progress.emit(++k / n);
  }
  out << "\n";
  writephotocomment(out, m_last, 0);
  writehtmlfoot(out);
  return closepage(out, file, std::cerr);
}

bool book_pages_t::count() { return m_items.save_count(m_book); }

}  // namespace

bool makebestbookhtml(const path_t& path, e_bestname_t kind, sigc::signal<void, double>& progress1,
                      sigc::signal<void, double>& progress2) {
  const std::string collection = collectiondir(path);
  const std::string bookdir = bestname_bookdir(kind);
  if (bookdir.empty()) {
    // Without a book directory the pages would overwrite the collection's own.
    return libutils::fail(collection, ": makebestbookhtml() unknown book kind ",
                          static_cast<long>(kind), ".");
  }
  const path_t book("", collection, bookdir);
  book_pages_t pages(book, kind);
  pages.load(collection);

  std::list<std::string> entries;
  if (!album_entries(entries, collection)) {
    return libutils::fail(collection, ": getdirs() fail.");
  }
  const path_t base(collection, "", "");
  std::list<albumdir_t> refs;
  hierar_albums(refs, base, entries);
  sort_albums(refs);
  std::list<album_t> loaded;
  load_albums(loaded, base, refs);

  const std::string listname = bestname_listfile(kind);
  std::list<book_album_t> albums;
  std::list<std::string> listed;
  for (const album_t& album : loaded) {
    std::string reldir, listfile;
    album.path.submake(reldir);
    album.path.make(listfile, txt_dir, listname);
    if (stat_succeeds(listfile)) listed.push_back(reldir);
    albums.push_back({reldir, &album});
  }
  std::string viewerlist;
  book.make(viewerlist, txt_dir, list_file);
  if (!writeviewerlist(viewerlist, listed, listname)) return false;

  return pages.index(albums, progress1) && pages.list(albums, progress2) && pages.count();
}

}  // namespace tavolin

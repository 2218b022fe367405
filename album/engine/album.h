#pragma once
// Album locations and the eight photo lists of an album.
//
// An album directory holds "original" (the imported files), the size
// levels "size0", "size1", ..., "thumb", the movie levels "movie0", ...,
// "html" (zoom pages), "index.html", "list.html" and "txt" (comments, the
// photo lists, "count.txt" and the private marker "secret.txt").

#include <list>
#include <set>
#include <string>

#include "album/engine/layout.h"

namespace tavolin {

// The location of an album: root, middle directories and album directory,
// joined with "/" where both sides are non-empty. Nothing is normalised.
struct path_t {
  path_t() = default;
  path_t(const std::string& root, const std::string& middle, const std::string& album)
      : root(root), middle(middle), album(album) {}

  void make(std::string& out) const;
  void make(std::string& out, const std::string& sub) const;
  void make(std::string& out, const std::string& sub, const std::string& file) const;
  // middle and album only: the location relative to root.
  void submake(std::string& out) const;

  std::string root;
  std::string middle;
  std::string album;
};

// Appends part to out, with a "/" between when both are non-empty.
void joinpath(std::string& out, const std::string& part);

// Selects one list of an album, with its list file and its book directory.
enum e_bestname_t {
  E_BESTNAME_FAIL = 0,
  E_BESTNAME_GOOD = 1,
  E_BESTNAME_BEST = 2,
  E_BESTNAME_APPLY = 3,
  E_BESTNAME_SUBMIT = 4,
  E_BESTNAME_SALE = 5,
  E_BESTNAME_PRINT = 6,
  E_BESTNAME_UPLOAD = 7,
};
constexpr unsigned bestname_count = 8;

// "fail.txt" ... "upload.txt": the list file in the album's "txt".
const char* bestname_listfile(e_bestname_t kind);
// "_FailBook" ... "_UploadBook": the book directory of the kind.
const char* bestname_bookdir(e_bestname_t kind);
// The kind whose book directory is dir; false for any other name.
bool bestname_from_bookdir(const std::string& dir, e_bestname_t& kind);

// One photo list: a sorted set of file names kept in a text file of the
// album's "txt" directory, one name per line, CR LF ends.
struct best_t {
  // Reads path's "txt/" + listname. False when the file cannot be opened
  // (the set is then empty). dirty is false afterwards in both cases.
  bool load(const path_t& path, const std::string& listname);
  // The names of a list file's bytes in place of the set's: any line end,
  // blank lines and trailing blanks left out.
  void parse(const std::string& bytes);
  // When dirty: rewrites the file with the names whose photo is still in
  // "original". False when clean, or when the file cannot be written
  // (dirty then stays set, so a later save tries again).
  bool save();

  const path_t* path = nullptr;  // the owning album's location, not owned
  std::string file;
  std::set<std::string> names;
  bool dirty = false;
};

// One album with its eight lists. Every list refers to the album's own
// location; copies and moves keep it that way.
class album_t {
 public:
  album_t() = default;
  album_t(const album_t& other);
  album_t(album_t&& other) noexcept;
  album_t& operator=(const album_t& other);
  album_t& operator=(album_t&& other) noexcept;

  // Loads all eight lists of the album at path; every name of the six
  // book lists also counts as good. True when all eight files opened.
  bool load(const path_t& path);
  // Saves the six book lists (good and fail are saved by the album
  // editor). True when any of them wrote its file or changed was set;
  // changed is cleared.
  bool save();

  bool best(const std::string& name) const { return has(m_best, name); }
  bool apply(const std::string& name) const { return has(m_apply, name); }
  bool submit(const std::string& name) const { return has(m_submit, name); }
  bool sale(const std::string& name) const { return has(m_sale, name); }
  bool print(const std::string& name) const { return has(m_print, name); }
  bool upload(const std::string& name) const { return has(m_upload, name); }
  bool good(const std::string& name) const { return has(m_good, name); }
  bool fail(const std::string& name) const { return has(m_fail, name); }
  // In any of the six book lists (good and fail are not consulted).
  bool isfind(const std::string& name) const;

  // The list of a kind.
  best_t& list(e_bestname_t kind);
  const best_t& list(e_bestname_t kind) const;

  path_t path;
  best_t m_best;
  best_t m_apply;
  best_t m_submit;
  best_t m_sale;
  best_t m_print;
  best_t m_upload;
  best_t m_good;
  best_t m_fail;
  // Set by the dialogs that saved the album's photo comments, so that the
  // next save reports a change.
  bool changed = false;

 private:
  static bool has(const best_t& list, const std::string& name) {
    return list.names.count(name) != 0;
  }
  void repoint();
};

// The good and fail lists of the album at location, its record and the
// names in its "original"; false, with no names, when that cannot be
// listed.
bool load_album_files(const path_t& location, best_t& good, best_t& fail, album_t& album,
                      std::list<std::string>& names);

// One file chosen for a new album, with its quarter turns to the right.
struct files_t {
  files_t() = default;
  files_t(const std::string& name, unsigned long rotation) : name(name), rotation(rotation) {}

  std::string name;
  unsigned long rotation = 0;  // 0 to 3
};

}  // namespace tavolin

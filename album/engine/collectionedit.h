#pragma once
// The work of the collection editor that needs no window: the checks of
// the new-album road, the making of an album or collection directory with
// its comment files and private marker, the renaming and removal of a
// collection's entries (no shell: names are never read by one), and the
// recursive refresh of everything below a collection.

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <sigc++/sigc++.h>

#include "album/engine/album.h"
#include "utility/message.h"

namespace tavolin {

// The checks of a new album, in the order they are made. Each failing one
// has its catalog message (newalbum_message).
enum e_newalbum_t {
  NEWALBUM_OK = 0,
  NEWALBUM_NO_FILES,   // nothing chosen
  NEWALBUM_NO_SOURCE,  // empty import directory
  NEWALBUM_NO_NAME,    // empty album name
  NEWALBUM_EXISTS,     // the album directory exists (a yes/no question)
  NEWALBUM_NO_TITLE,   // empty title
};

// The first failing check for making the album to (its album part is the
// name) from files of from with title. into_existing: the user agreed to
// add to an existing directory, so NEWALBUM_EXISTS is passed over.
e_newalbum_t check_newalbum(const std::vector<files_t>& files, const std::string& from,
                            const path_t& to, const std::string& title, bool into_existing);

// The catalog message of a check: MSG_ERROR_NO_FILES, MSG_ERROR_NO_IMPORT_DIR,
// MSG_ERROR_NO_ALBUM_NAME, MSG_ASK_ALBUM_EXISTS, MSG_ERROR_NO_TITLE
// (utility/catalog/tavolin_messages.h); 0 for NEWALBUM_OK.
plimlib::e_message_t newalbum_message(e_newalbum_t check);

// The planning of the import copy (import.cpp), which copyfiles follows:
//
// Whether name is one of the files an album keeps for itself in "txt"
// (its comments, count, lists and private marker; case ignored) and no
// media file, which an import never brings in over them.
bool is_reserved_import_name(const std::string& name);

// files without the reserved names, in the same order.
std::vector<files_t> importable_files(const std::vector<files_t>& files);

// The lines with which copyfiles would refuse to import files of from into
// the album to, one per refused file (a name that stands in the album with
// other bytes, a movie that would convert into another's levels); empty
// when the import goes through. Checked before the album's texts are
// written, since adding to an existing album must never replace its files.
std::vector<std::string> import_refusals(const std::string& from, const std::vector<files_t>& files,
                                         const path_t& to);

// Creates or removes the private marker "txt/secret.txt" of dir. True when
// the marker is in the asked state afterwards.
bool set_private(const path_t& dir, bool on);
// Whether dir's marker exists.
bool get_private(const path_t& dir);

// Makes the directory of dir (mode 0755; an existing one is used), writes
// its comment files and sets its private marker. False, with the lines on
// log, when the comment files cannot be written (the marker is then left).
bool make_album_dir(const path_t& dir, const std::string& title, const std::string& head,
                    const std::string& last, bool is_private, std::ostream& log);

// Whether new_name may name an entry below a collection: not empty, not
// absolute, every "/"-separated part non-empty and neither "." nor "..".
bool valid_entry_name(const std::string& new_name);

// Renames the entry name of collection to new_name (which may hold a
// directory part naming an existing collection, as in "2023/trip") with
// rename(2). Refused, with a line on log and nothing changed: an invalid
// old or new name, an old entry that is not a direct child directory, and
// a target that exists. True when the entry has its new name.
bool rename_entry(const std::string& collection, const std::string& name,
                  const std::string& new_name, std::ostream& log);

// Removes the direct child directory name of collection with everything in
// it. Refused, with a line on log: a name with a "/", "." or "..", an
// entry that is a symbolic link or not a directory. True when it is gone.
bool remove_entry(const std::string& collection, const std::string& name, std::ostream& log);

// The kind of the generated book directory name: "_FailBook" ... as
// bestname_from_bookdir, any other name the best kind.
e_bestname_t book_kind(const std::string& name);

// What an entry of a collection is, by its name and its subdirectories.
enum e_entry_kind_t { ENTRY_ALBUM, ENTRY_BEST, ENTRY_BOOK, ENTRY_COLLECTION };

// Which subdirectory makes an entry an album, and whether it outranks a
// generated name.
enum e_entry_rule_t {
  // The edit hub's: "_Best" is the best album, any other "_" name a book;
  // then a directory holding "thumb" is an album (one whose "original" has
  // no levels yet opens as a collection).
  ENTRY_BY_THUMB,
  // The read-only windows': a directory holding "original" is an album,
  // whatever its name; then the generated names as above.
  ENTRY_BY_ORIGINAL,
};

// The kind of entry name (not "txt") of the collection directory dir.
e_entry_kind_t entry_kind(const std::string& dir, const std::string& name, e_entry_rule_t rule);

// The six progress signals of a progress window (1 to 4 for albums, 5 and
// 6 for book pages).
using progress_signals_t = std::array<sigc::signal<void, double>*, 6>;

// Refreshes location.make() and everything below it, depth first in
// ascending order: "_Best" by makebesthtml, other "_" books by
// makebestbookhtml, collections (no "original") by their entries and then
// their index page, albums by updatealbum over every file of "original".
// before(dir) runs before each directory is refreshed (the window shows
// which). A location with an empty album part does nothing. False when a
// directory cannot be listed or a collection's page fails; album failures
// are lines on log.
bool batchupdate(const path_t& location, const progress_signals_t& progress, std::ostream& log,
                 const std::function<void(const std::string&)>& before);

}  // namespace tavolin

#pragma once
// The generated books of a collection: one of the eight photo lists of
// every album found below the collection directory (private entries left
// out), gathered into the book directory of the kind ("_PrintBook" for
// print) as "index.html", "list.html", "txt/count.txt" and the viewer list
// "txt/list.txt". The book directory must exist.

#include <sigc++/sigc++.h>

#include "album/engine/album.h"

namespace tavolin {

// Rebuilds the book of kind in the collection directory path.root joined
// with path.middle (the callers leave root empty; path.album is not used).
// progress1 gets k / M after the k-th of the M albums on the index page,
// progress2 the same on the list page. Errors go to standard error; true
// when the list file, both pages and count.txt were written.
bool makebestbookhtml(const path_t& path, e_bestname_t kind, sigc::signal<void, double>& progress1,
                      sigc::signal<void, double>& progress2);

// Whether one of the six book lists other than kind's own holds name (for
// good and fail: any of the six): such an item is framed in the book.
bool otherbook(const album_t& album, e_bestname_t kind, const std::string& name);

}  // namespace tavolin

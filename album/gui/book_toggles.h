#pragma once
// The six toggles of a file's row that put it into the book lists.

#include <iterator>
#include <string>

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>

#include "album/engine/album.h"
#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

// The six book lists in toggle order: best, apply, submit, sale, print,
// upload (labels: messages 50 to 55).
constexpr e_bestname_t book_kinds[MSG_BOOK_LISTS.size()] = {E_BESTNAME_BEST,   E_BESTNAME_APPLY,
                                                            E_BESTNAME_SUBMIT, E_BESTNAME_SALE,
                                                            E_BESTNAME_PRINT,  E_BESTNAME_UPLOAD};

// The six toggles of one file in their box.
struct book_toggles_t {
  // Labels, states from album's lists, packed in order. Handlers are
  // connected by the dialog afterwards, so setting states fires none.
  void build(const album_t& album, const std::string& name);
  // Sensitive, focusable and focusing on click exactly when editable.
  void set_editable(bool editable);
  // All six inactive (each fires its own handler).
  void clear();

  Gtk::HBox box;
  Gtk::CheckButton toggle[std::size(book_kinds)];
};

}  // namespace tavolin

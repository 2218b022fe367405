#pragma once
// A row of the album editor and the read-only album: a file's cells with
// its name and its judgement.

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>

#include "album/engine/album.h"
#include "album/gui/media_row.h"
#include "album/gui/name_label.h"

namespace tavolin {

// The file's name and its judgement (good, subtle or fail) besides the
// cells of media_row_t.
struct judged_row_t : media_row_t {
  // The name label, and the judgement from the good and fail lists.
  void judge(const best_t& good_list, const best_t& fail_list, bool sensitive);

  NameLabel name_label;
  Gtk::HBox judgement_box;
  Gtk::RadioButton good, subtle, fail;
};

}  // namespace tavolin

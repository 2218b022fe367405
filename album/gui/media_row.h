#pragma once
// The cells every album dialog shows of one file.

#include <string>

#include <gtkmm/label.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>
#include <gtkmm/widget.h>

#include "album/engine/album.h"
#include "album/gui/book_toggles.h"
#include "album/gui/cairobutton.h"
#include "album/gui/cell_grid.h"
#include "album/gui/name_label.h"
#include "album/gui/picture_shelf.h"

namespace tavolin {

// The thumbnail button (a click opens the file in the viewer or the
// player), the comment, the six book toggles and the info line.
struct media_row_t {
  // Fills the cells for file name of album (both outlive the row): the
  // thumbnail (a level kept as its name, else on shelf) and its click,
  // the comment and the toggles, editable or inert; the info, a movie's or sound's duration + ", "
  // + stream, a photo's EXIF summary (only when its thumbnail loaded with exif_needs_thumbnail).
  // True when a thumbnail loaded.
  bool build(const album_t& album, const std::string& name, const std::string& programdir,
             picture_shelf_t& shelf, bool editable, bool exif_needs_thumbnail = false);
  // Attaches the cells at place: thumbnail, caption, comment, middle (when
  // given), toggles, info.
  void attach(Gtk::Table& table, const cell_place_t& place, NameLabel& caption,
              Gtk::Widget* middle = nullptr);
  // The comment the view holds, in the locale's encoding: the loaded one
  // itself until the user changes it (edited_text).
  std::string typed_comment() const;

  CairoButton button;
  const std::string* name = nullptr;
  std::string comment;  // as loaded
  Gtk::TextView comment_view;
  book_toggles_t books;
  std::string info;
  Gtk::Label info_label;
};

}  // namespace tavolin

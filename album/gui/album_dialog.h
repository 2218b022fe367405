#pragma once
// The frame the album dialogs (editor, read-only album, best album, one
// book) share around their rows.

#include <string>

#include <gtkmm/dialog.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>
#include <gtkmm/window.h>

#include "album/engine/album.h"
#include "album/gui/comment_rows.h"
#include "album/gui/decoded_budget.h"
#include "album/gui/header_rows.h"
#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

// The directory and private rows above the scrolled table of file rows
// (which follows the table up to 640 pixels of height and takes what the
// screen leaves, see follow_content) and, in the editors, title and
// comments below it.
class AlbumDialog : public Gtk::Dialog {
 public:
  // For the openers (scroll position after APPLY) and tests.
  Gtk::ScrolledWindow& scrolled() { return m_scrolled; }
  Gtk::Table& table() { return m_table; }
  private_row_t& private_row() { return m_private; }

 protected:
  // programdir and decoded must outlive the dialog.
  AlbumDialog(Gtk::Window& parent, plimlib::e_message_t title_id, const std::string& programdir,
              decoded_budget_t& decoded);
  // The editors' top: the directory dir (message 14), the private row of
  // location.
  void pack_top(const std::string& dir, const path_t& location, bool editable);
  // The rest, once the rows are in the table: the rows shown and put in
  // their place, comments loaded from location; OK and, when editable,
  // APPLY and CANCEL; the dialog sized to the screen. (Rows attached while
  // their table is in no window, and shown before it joins one, cost GTK
  // least: a widget that joins a window works out its style, and GTK
  // skips over hidden siblings to find a widget's first and last ones.)
  void pack_foot(comment_rows_t& comments, const path_t& location, bool editable);

  const std::string& m_programdir;
  decoded_budget_t& m_decoded;  // for the rows' shelf
  path_row_t m_header;
  private_row_t m_private;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
};

}  // namespace tavolin

#pragma once
// The rows of a collection's table: its subdirectories with their titles,
// head comment previews, count lines and buttons.

#include <functional>
#include <list>
#include <string>
#include <vector>

#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/table.h>

#include "album/engine/album.h"
#include "album/gui/name_label.h"
#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

// The first two lines of a head comment, joined by "\n", each without its
// trailing CR and LF.
std::string head_preview(const std::string& head);

// A subdirectory of a collection with its title and head comment.
struct subdir_t {
  std::string name, title, head;
};
// names: the subdirectories of dir, in the reverse of the listing order;
// found: those but "txt" whose comments load. False when dir cannot be
// listed.
bool list_subdirs(const std::string& dir, std::list<std::string>& names,
                  std::vector<subdir_t>& found);

// Width in characters up to which a collection table's row shows its
// title and comment in full (its name: name_chars); longer ones ellipsize,
// so that the table fits a laptop's screen.
constexpr int text_chars = 40;

// The labels of a collection table's row besides its name and buttons.
struct subdir_labels_t {
  // Fills them for sub at location, and the label of its open button:
  // message 38 for an album or a book (true; its count shows), else
  // message other_id.
  bool build(const subdir_t& sub, const path_t& location, Gtk::Button& open,
             plimlib::e_message_t other_id);
  Gtk::Label count_label;
  Gtk::Label title_label;
  Gtk::Label comment_label;
};

// A row of the main window's and the book browser's table: an album, a
// generated book or a collection, with its open button and, for an album
// or a book, its viewer button.
struct subdir_row_t : subdir_labels_t {
  bool album = false;   // the directory holds "original"
  bool listed = false;  // an album or a book: the viewer button is placed
  std::string dir;      // the collection + "/" + name
  std::string name;
  NameLabel name_label;
  Gtk::Button open_button;
  Gtk::Button view_button;
};
// Rebuilds table and rows from the subdirectories of collection dir (see
// list_subdirs): name, open button (message 38 for an album or a book,
// else 2), viewer button (message 42) of an album or a book, count, title
// and head comment; the buttons call open(i) and view(i). False, with no
// rows, when dir cannot be listed.
bool make_subdir_rows(Gtk::Table& table, std::vector<subdir_row_t>& rows, const std::string& dir,
                      const std::function<void(unsigned long)>& open,
                      const std::function<void(unsigned long)>& view);

}  // namespace tavolin

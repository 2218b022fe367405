#pragma once
// Small pieces the collection windows share: texts between the widgets
// and the locale, the rows of a collection's table (a directory's count
// line and comment preview), the viewer on a row, the error box with an
// engine log, and the window rule after a nested dialog or an outside
// program.

#include <functional>
#include <initializer_list>
#include <list>
#include <string>
#include <vector>

#include <glibmm/ustring.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include "album/engine/album.h"
#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

// The catalog's message id as widget text.
Glib::ustring msg_utf8(plimlib::e_message_t id);

// Gives a button (check, toggle or radio button too) that has no child yet
// the text label that set_label makes without an image or mnemonic: a
// shown label child, aligned on the baseline, and the style class
// "text-button", drawn alike to the pixel. set_label's own path matches
// each button against the whole theme for an image spacing that a text
// alone never uses: too slow for the rows of a large album. get_label()
// then gives "": the text is the child's.
void set_button_text(Gtk::Button& button, const Glib::ustring& text);

// The whole text of a view's buffer (hidden characters included); false
// when the locale cannot carry it.
bool view_text(const Gtk::TextView& view, std::string& out);
// A title entry's and its head and last comment views' texts; false when
// the locale cannot carry one of them, which must then not be saved.
bool comment_texts(const Gtk::Entry& title_entry, const Gtk::TextView& head_view,
                   const Gtk::TextView& last_view, std::string& title, std::string& head,
                   std::string& last);
// Those texts written to location; else the error box over parent (message
// 30, or 26 for an empty title) and false.
bool save_comment_texts(Gtk::Window& parent, const Gtk::Entry& title_entry,
                        const Gtk::TextView& head_view, const Gtk::TextView& last_view,
                        const path_t& location);
// Sets a view's buffer from locale text.
void set_view_text(Gtk::TextView& view, const std::string& text);

// The first line of dir's "txt/count.txt" without trailing blanks and line
// ends; "" when it cannot be read.
std::string count_line(const path_t& dir);

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

// Widths in characters up to which a collection table's row shows its
// name and its title and comment in full; longer ones ellipsize, so that
// the table fits a laptop's screen.
constexpr int name_chars = 24;
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

// Attaches the cells in the columns of table row r, in order, expanding
// both ways; a null cell leaves its column empty.
void attach_columns(Gtk::Table& table, guint r, std::initializer_list<Gtk::Widget*> cells);

// A row of the main window's and the book browser's table: an album, a
// generated book or a collection, with its open button and, for an album
// or a book, its viewer button.
struct subdir_row_t : subdir_labels_t {
  bool album = false;   // the directory holds "original"
  bool listed = false;  // an album or a book: the viewer button is placed
  std::string dir;      // the collection + "/" + name
  std::string name;
  Gtk::Label name_label;
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

// The viewer on entry name of collection dir: on its size level of
// g_global.view_size when it has one, else on the list of a book.
void view_entry(const std::string& programdir, const std::string& dir, const std::string& name);

// The error box over parent: the message, and a line end and the log when
// the log is not empty.
void show_error_log(Gtk::Window& parent, plimlib::e_message_t message, const std::string& log = "");

// The browser on dir's "index.html" (programdir's browser.sh when it has
// one); an error box over parent with the command and the shell's status
// when the shell could not run it.
void open_browser(Gtk::Window& parent, const std::string& programdir, const std::string& dir);

// After a nested dialog or an outside program: iconify when OSTYPE asks for
// it, then present the window again.
void present_again(Gtk::Window& window);

}  // namespace tavolin

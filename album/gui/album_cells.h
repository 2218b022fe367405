#pragma once
// The pieces the album dialogs (editor, read-only album, best album) build
// alike: the thumbnail of a file by its kind and what a click on it starts,
// the six book toggles, the grid placement of cells, the header rows with
// the album's path, private marker, title and comments, and the guard that
// keeps a dialog's buttons insensitive while it works.

#include <string>

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>

#include "album/engine/album.h"
#include "album/gui/cairobutton.h"
#include "image/imagetype.h"

namespace tavolin {

enum e_media_t { MEDIA_PHOTO, MEDIA_MOVIE, MEDIA_SOUND, MEDIA_OTHER };
e_media_t media_kind(const std::string& name);

// The picture of file name of the album at location for its button: a
// photo's or movie's thumbnail (set on the button, kept in image), else a
// 32 x 32 empty button; a sound gets 32 x 32 and no picture, another file
// nothing. info gets a movie's or sound's duration + ", " + stream. True
// when a picture was loaded.
bool load_media_cell(CairoButton& button, libgr::image2d_t& image, e_media_t kind,
                     const path_t& location, const std::string& name, std::string& info);

// The EXIF summary of a photo of "original" as plain lines; "" when none.
std::string exif_summary(const path_t& location, const std::string& name);

// The thumbnail's click: the viewer on a photo, the player on a sound, the
// player on the largest converted level of a movie that fits the play size.
void open_photo(const std::string& programdir, const path_t& location, const std::string& name);
void play_sound(const path_t& location, const std::string& name);
void play_movie(const path_t& location, const std::string& name);
// Halvings of w x h until it fits g_global.play_size_x x play_size_y.
unsigned long play_level(unsigned long w, unsigned long h);

// The six book lists in toggle order: best, apply, submit, sale, print,
// upload (labels: messages 50 to 55).
constexpr e_bestname_t book_kinds[6] = {E_BESTNAME_BEST,   E_BESTNAME_APPLY, E_BESTNAME_SUBMIT,
                                        E_BESTNAME_SALE,   E_BESTNAME_PRINT, E_BESTNAME_UPLOAD};

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
  Gtk::CheckButton toggle[6];
};

// Cell i of a grid of g_global.horizontal_items (at least 1) cells per
// line, each cell span table rows high: its column and first table row.
struct cell_place_t {
  guint column;
  guint top;
};
cell_place_t cell_place(unsigned long i, guint span);
// Attaches w in the cell's column at table row top + offset.
void attach_cell(Gtk::Table& table, Gtk::Widget& w, const cell_place_t& place, guint offset,
                 Gtk::AttachOptions xoptions = Gtk::EXPAND | Gtk::FILL);

// The scrolled rows follow the table up to 640 pixels of height (and up to
// the screen's width when screen_limit).
void size_scrolled(Gtk::ScrolledWindow& scrolled, const Gdk::Rectangle& allocation,
                   bool screen_limit);

// Caption and path of the directory a dialog shows.
struct path_row_t {
  void build(unsigned caption_id, const std::string& dir);
  Gtk::HBox box;
  Gtk::Label caption;
  Gtk::Label path;
};

// The private marker "txt/secret.txt" with its caption (message 49).
struct private_row_t {
  void build(const path_t& location, bool sensitive);
  // Makes or removes the marker as the check says; failures ignored.
  void save(const path_t& location) const;
  Gtk::HBox box;
  Gtk::Label caption;
  Gtk::CheckButton check;
};

// Title entry and the two comment views with their captions (messages
// 21, 23, 24), packed in that order.
struct comment_rows_t {
  void build(bool editable);
  void pack(Gtk::Box& box);
  // loadcommenttxt: the non-empty texts go into the widgets.
  void load(const path_t& location);
  // The typed texts in the locale's encoding; false when one cannot be
  // converted (a line on standard error).
  bool read(std::string& title, std::string& head, std::string& last) const;
  Gtk::Label title_caption;
  Gtk::Entry title_entry;
  Gtk::Label head_caption;
  Gtk::Label last_caption;
  Gtk::TextView head_view;
  Gtk::TextView last_view;
};

// A text view's text in the locale's encoding; false when it cannot be.
bool view_text(const Gtk::TextView& view, std::string& out);

// While alive, the dialog's OK, APPLY and CANCEL buttons are insensitive:
// a long save takes no second click.
class busy_t {
 public:
  explicit busy_t(Gtk::Dialog& dialog);
  ~busy_t();
  busy_t(const busy_t&) = delete;
  busy_t& operator=(const busy_t&) = delete;

 private:
  Gtk::Dialog& m_dialog;
};

// The error box: message id's text, then log.
void error_box(Gtk::Window& parent, unsigned message_id, const std::string& log = "");

}  // namespace tavolin

#pragma once
// The pieces the album dialogs (editor, read-only album, best album, one
// book) build alike: the thumbnail of a file by its kind and what a click
// on it starts, the six book toggles, the cells of a file's row and their
// grid placement, the header rows with the album's path, private marker,
// title and comments, the frame around the rows, and the guard that keeps
// a dialog's buttons insensitive while it works.

#include <list>
#include <string>

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>

#include "album/engine/album.h"
#include "album/gui/bookcells.h"
#include "album/gui/cairobutton.h"
#include "image/imagetype.h"
#include "image/loader_jpeg.h"

namespace tavolin {

enum e_media_t { MEDIA_PHOTO, MEDIA_MOVIE, MEDIA_SOUND, MEDIA_OTHER };
e_media_t media_kind(const std::string& name);

// Where a dialog's thumbnails of movies, and of photos without a level,
// are decoded and kept, up to a thousand of them. Each is decoded into one scratch picture, whose pages serve again
// and again, and kept next to the others in large blocks, which the kernel
// backs with huge pages: a few hundred page faults for all of them instead
// of some seventy thousand, each of which takes microseconds.
class picture_shelf_t {
 public:
  // What the thumbnail loaders decode into, and read photos' heads into.
  libgr::image2d_t scratch;
  libgr::jpeg_head_buffer_t heads;
  // picture's pixels copied onto the shelf: an image sharing a block with
  // the others kept. picture itself when it has no pixels or too many.
  libgr::image2d_t keep(const libgr::image2d_t& picture);

 private:
  libgr::pixel_store_t m_block;
  size_t m_used = 0;
};

// The picture of file name of the album at location for its button: a
// photo's level picture (read and decoded when painted), else its or a movie's
// thumbnail (decoded on the shelf and kept there), else a 32 x 32 empty
// button; a sound gets 32 x 32 and no picture, another file nothing. info
// gets a movie's or sound's duration + ", " + stream, a photo's EXIF
// summary as plain lines ("" when none). True when a picture was loaded.
bool load_media_cell(CairoButton& button, picture_shelf_t& shelf, e_media_t kind,
                     const path_t& location, const std::string& name, std::string& info);

// The thumbnail's click: the viewer on a photo, the player on a sound, the
// player on the largest converted level of a movie that fits the play size.
void open_photo(const std::string& programdir, const path_t& location, const std::string& name);
void play_sound(const path_t& location, const std::string& name);
void play_movie(const path_t& location, const std::string& name);
// Halvings of w x h until it fits g_global.play_size_x x play_size_y.
unsigned long play_level(unsigned long w, unsigned long h);

// The quarter turns to the right of an angle spin of file name: 0, 90,
// 180 and 270 degrees give 0 to 3; any other value is reported on standard
// error and counts as 0.
unsigned long angle_quarter_turns(const Gtk::SpinButton& angle, const std::string& name);

// The six book lists in toggle order: best, apply, submit, sale, print,
// upload (labels: messages 50 to 55).
constexpr e_bestname_t book_kinds[6] = {E_BESTNAME_BEST, E_BESTNAME_APPLY, E_BESTNAME_SUBMIT,
                                        E_BESTNAME_SALE, E_BESTNAME_PRINT, E_BESTNAME_UPLOAD};

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
// The table resized at once to hold cells cells span table rows high (a
// table attached past its size grows a row at a time).
void size_table(Gtk::Table& table, unsigned long cells, guint span);
// Attaches w in the cell's column at table row top + offset.
void attach_cell(Gtk::Table& table, Gtk::Widget& w, const cell_place_t& place, guint offset,
                 Gtk::AttachOptions xoptions = Gtk::EXPAND | Gtk::FILL);

// The cells every album dialog shows of one file: the thumbnail button (a
// click opens the file in the viewer or the player), the comment, the six
// book toggles and the info line.
struct media_row_t {
  // Fills the cells for file name of album (both outlive the row): the
  // thumbnail (a level kept as its name, else on shelf) and its click,
  // the comment and the toggles, editable or inert; the info, a movie's or sound's duration + ", " +
  // stream, a photo's EXIF summary (only when its thumbnail loaded with
  // exif_needs_thumbnail). True when a thumbnail loaded.
  bool build(const album_t& album, const std::string& name, const std::string& programdir,
             picture_shelf_t& shelf, bool editable, bool exif_needs_thumbnail = false);
  // Attaches the cells at place: thumbnail, caption, comment, middle (when
  // given), toggles, info.
  void attach(Gtk::Table& table, const cell_place_t& place, Gtk::Label& caption,
              Gtk::Widget* middle = nullptr);

  CairoButton button;
  const std::string* name = nullptr;
  std::string comment;  // as loaded
  Gtk::TextView comment_view;
  book_toggles_t books;
  std::string info;
  Gtk::Label info_label;
};

// The good and fail lists of the album at location, its record and the
// names in its "original"; false, with no names, when that cannot be
// listed.
bool load_album_files(const path_t& location, best_t& good, best_t& fail, album_t& album,
                      std::list<std::string>& names);

// A row of the album editor and the read-only album: the file's name and
// its judgement (good, subtle or fail) besides the cells above.
struct judged_row_t : media_row_t {
  // The name label, and the judgement from the good and fail lists.
  void judge(const best_t& good_list, const best_t& fail_list, bool sensitive);

  Gtk::Label name_label;
  Gtk::HBox judgement_box;
  Gtk::RadioButton good, subtle, fail;
};

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
  void offer(const std::string& title, const std::string& head, const std::string& last);
  // The typed texts in the locale's encoding; false when one cannot be
  // converted (a line on standard error).
  bool read(std::string& title, std::string& head, std::string& last) const;
  // The texts written to location; else the error box over parent (message
  // 30, or 26 for an empty title) and false.
  bool save(Gtk::Window& parent, const path_t& location) const;
  Gtk::Label title_caption;
  Gtk::Entry title_entry;
  Gtk::Label head_caption;
  Gtk::Label last_caption;
  Gtk::TextView head_view;
  Gtk::TextView last_view;
};

// The frame of the album dialogs: the directory and private rows above the
// scrolled table of file rows (which follows the table up to 640 pixels of
// height and takes what the screen leaves, see follow_content) and, in
// the editors, title and comments below it.
class AlbumDialog : public Gtk::Dialog {
 public:
  // For the openers (scroll position after APPLY) and tests.
  Gtk::ScrolledWindow& scrolled() { return m_scrolled; }
  private_row_t& private_row() { return m_private; }

 protected:
  // programdir must outlive the dialog.
  AlbumDialog(Gtk::Window& parent, unsigned title_id, const std::string& programdir);
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
  path_row_t m_header;
  private_row_t m_private;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
};

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

}  // namespace tavolin

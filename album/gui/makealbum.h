#pragma once
// The dialog in which the user prepares a new album: the files of an
// import directory as a table of thumbnails that toggle the choice, with a
// quarter-turn angle per photo, the album's name below the collection, its
// title, comments and private flag. It does nothing on disk but for the
// temporary directory of movie thumbnails; the edit hub reads the results.

#include <list>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>
#include <gtkmm/togglebutton.h>

#include "album/engine/album.h"
#include "album/gui/comment_rows.h"
#include "album/gui/header_rows.h"
#include "album/gui/name_label.h"
#include "image/imagetype.h"

namespace tavolin {

class MakeAlbumDialog : public Gtk::Dialog {
 public:
  // One file of the import directory.
  struct item_t {
    const std::string* name = nullptr;  // an element of m_files
    libgr::image2d_t image;             // the thumbnail as loaded, upright
    Gtk::Image picture;
    Gtk::ToggleButton select_button;  // active: the file is chosen
    NameLabel name_label;
    Gtk::HBox rotate_box;
    Gtk::CheckButton rotate_check;
    Gtk::SpinButton angle_spin;
  };

  MakeAlbumDialog(Gtk::Window& parent, const std::string& from, const std::string& collection_dir,
                  const std::string& program_file);
  ~MakeAlbumDialog() override;

  // {"", collection directory, the name entry's text}.
  path_t get_to() const;
  // The chosen files with their quarter turns, in row order. Rows a scan
  // stopped before (without a file) are never chosen.
  std::vector<files_t> selected_files() const;

  // Focus left the source entry: scans it when its text changed since the
  // last scan (so that leaving it for OK keeps the choice and the turns).
  bool leave_from(GdkEventFocus* event);
  // Focus left the name entry: title, comments and private flag of an
  // existing album of that name.
  bool leave_to(GdkEventFocus* event);
  void button_from();
  void button_update();
  void button_invert();
  void button_image(unsigned long i);
  void button_is_rotate(unsigned long i);
  void button_rotate(unsigned long i);

  // Lists the import directory's regular files (a FIFO or device is left
  // out) and rebuilds the rows, all chosen, angle 0.
  // False when the directory cannot be listed or a movie's temporary
  // directory cannot be made.
  bool scan();

  const std::vector<item_t>& items() const { return m_items; }
  std::vector<item_t>& items() { return m_items; }

 private:
  unsigned long angle_count(unsigned long i) const;

  const std::string& m_program_file;
  const std::string& m_collection_dir;
  std::string m_scanned_from;  // the source text of the last scan
  bool m_scanned = false;
  sigc::connection m_leave_from;
  sigc::connection m_leave_to;

  Gtk::HBox m_from_box;
  Gtk::HBox m_to_box;
  Gtk::Label m_from_label;
  Gtk::Label m_to_label;

 public:
  private_row_t m_private;
  Gtk::Entry m_from_entry;
  Gtk::Entry m_to_entry;

 private:
  Gtk::Button m_from_button;
  std::list<std::string> m_files;
  std::vector<item_t> m_items;
  Gtk::Label m_files_label;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
  Gtk::HBox m_button_box;

 public:
  Gtk::Button m_invert_button;
  Gtk::Button m_update_button;
  comment_rows_t m_comments;
};

}  // namespace tavolin

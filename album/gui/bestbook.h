#pragma once
// The dialog of one generated book: every file that the albums below the
// holding directory name in one of their lists, gathered into rows with a
// thumbnail (which starts the viewer or the player), caption, comment, the
// six book toggles and the EXIF or movie line. The rows are never edited;
// opened from the edit hub, the book's title, comments and private flag
// are, and APPLY or OK rebuild the book.

#include <list>
#include <string>
#include <vector>

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
#include "album/gui/progwin.h"
#include "image/imagetype.h"

namespace tavolin {

class BestBookDialog : public Gtk::Dialog {
 public:
  struct item_t {
    libgr::image2d_t image;
    CairoButton button;
    const path_t* album = nullptr;      // in the dialog's album list
    const std::string* name = nullptr;  // in that album's list
    std::string caption;
    Gtk::Label caption_label;
    std::string comment;
    Gtk::TextView comment_view;
    Gtk::HBox toggle_box;
    Gtk::CheckButton best, apply, submit, sale, print, upload;
    std::string info;
    Gtk::Label info_label;
  };

  // book: {"", holding directory, book directory name}; kept by reference
  // like program_directory. editable: opened from the edit hub.
  BestBookDialog(Gtk::Window& parent, const path_t& book, const std::string& program_directory,
                 e_bestname_t kind, bool editable);
  ~BestBookDialog() override;

  void make_rows();
  void update_comment();
  void table_size_allocate(Gdk::Rectangle& allocation);
  void button_image(unsigned long index);
  void button_movie(unsigned long index);
  void button_audio(unsigned long index);

  std::vector<item_t>& rows() { return m_rows; }
  const std::list<album_t>& albums() const { return m_albums; }

 protected:
  void on_response(int response_id) override;

 private:
  bool m_editable;
  const std::string& m_program_directory;
  const path_t& m_book;
  e_bestname_t m_kind;
  Gtk::HBox m_top_box;
  Gtk::Label m_directory_label;
  Gtk::Label m_location_label;
  Gtk::HBox m_private_box;
  Gtk::Label m_private_label;

 public:
  Gtk::CheckButton m_private_check;

 private:
  Gtk::Label m_title_label;

 public:
  Gtk::Entry m_title_entry;

 private:
  Gtk::Label m_head_label;
  Gtk::Label m_last_label;

 public:
  Gtk::TextView m_head_view;
  Gtk::TextView m_last_view;
  Gtk::ScrolledWindow m_scrolledwindow;

 private:
  Gtk::Table m_table;
  std::list<album_t> m_albums;
  std::vector<item_t> m_rows;
  ProgWin m_progwin;
};

}  // namespace tavolin

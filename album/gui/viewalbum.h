#pragma once
// The read-only album dialog: the album editor's rows with every control
// inert and no rotation; only the thumbnails act (viewer, player). It
// writes nothing.

#include <list>
#include <string>
#include <vector>

#include <gtkmm/radiobutton.h>

#include "album/engine/album.h"
#include "album/gui/album_cells.h"

namespace tavolin {

class ViewAlbumDialog : public Gtk::Dialog {
 public:
  struct item_t {
    const std::string* name = nullptr;
    libgr::image2d_t image;
    CairoButton button;
    Gtk::Label name_label;
    std::string comment;
    Gtk::TextView comment_view;
    Gtk::HBox judgement_box;
    Gtk::RadioButton good, subtle, fail;
    book_toggles_t books;
    std::string info;
    Gtk::Label info_label;
  };

  // location is copied; programdir must outlive the dialog.
  ViewAlbumDialog(Gtk::Window& parent, const path_t& location, const std::string& programdir);
  ~ViewAlbumDialog() override;

  bool make_rows();
  void table_size_allocate(Gdk::Rectangle& allocation);

  std::vector<item_t>& items() { return m_items; }
  Gtk::Label& title_label() { return m_title; }
  private_row_t& private_row() { return m_private; }

 protected:
  void on_response(int response) override;

 private:
  void button_image(unsigned long i);
  void button_movie(unsigned long i);
  void button_audio(unsigned long i);

  const std::string& m_programdir;
  path_t m_location;
  std::string m_albumdir;
  path_row_t m_header;
  private_row_t m_private;
  Gtk::Label m_title;
  Gtk::TextView m_head;
  Gtk::TextView m_last;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
  std::list<std::string> m_names;
  best_t m_good;
  best_t m_fail;
  album_t m_album;
  std::vector<item_t> m_items;
};

}  // namespace tavolin

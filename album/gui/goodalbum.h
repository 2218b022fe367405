#pragma once
// The best-album dialog of a collection: one row for every good photo of
// every album directly inside it, with its comment and the six book
// toggles. Editable, OK and APPLY save the albums that changed, rebuild
// their pages and then the "_Best" pages; read-only, OK writes nothing.

#include <list>
#include <string>
#include <vector>

#include "album/engine/album.h"
#include "album/gui/album_cells.h"
#include "album/gui/progwin.h"

namespace tavolin {

class GoodAlbumDialog : public Gtk::Dialog {
 public:
  struct item_t {
    libgr::image2d_t image;
    CairoButton button;
    album_t* album = nullptr;
    const std::string* name = nullptr;
    std::string path;  // "../" + album directory + "/" + name
    Gtk::Label path_label;
    std::string comment;
    Gtk::TextView comment_view;
    book_toggles_t books;
    std::string info;
    Gtk::Label info_label;
  };

  // location ({"", collection, "_Best"}) and programdir must outlive the
  // dialog.
  GoodAlbumDialog(Gtk::Window& parent, const path_t& location, const std::string& programdir,
                  bool editable);
  ~GoodAlbumDialog() override;

  bool make_rows();
  void update_comment();
  bool save_all_comment();
  void table_size_allocate(Gdk::Rectangle& allocation);

  Gtk::ScrolledWindow& scrolled() { return m_scrolled; }
  std::vector<item_t>& items() { return m_items; }
  comment_rows_t& comments() { return m_comments; }
  private_row_t& private_row() { return m_private; }

 protected:
  void on_response(int response) override;

 private:
  void button_image(unsigned long i);
  void button_movie(unsigned long i);
  void button_audio(unsigned long i);
  void button_book(unsigned long i, unsigned k);
  void save();

  bool m_editable;
  const std::string& m_programdir;
  const path_t& m_location;
  path_row_t m_header;
  private_row_t m_private;
  comment_rows_t m_comments;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
  std::list<album_t> m_albums;
  std::vector<item_t> m_items;
  ProgWin m_progress;
};

}  // namespace tavolin

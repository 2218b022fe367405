#pragma once
// The read-only album dialog: the album editor's rows with every control
// inert and no rotation; only the thumbnails act (viewer, player). It
// writes nothing.

#include <list>
#include <string>
#include <vector>

#include "album/engine/album.h"
#include "album/gui/album_dialog.h"
#include "album/gui/judged_row.h"

namespace tavolin {

class ViewAlbumDialog : public AlbumDialog {
 public:
  struct item_t : judged_row_t {};

  // location is copied; programdir and decoded must outlive the dialog.
  ViewAlbumDialog(Gtk::Window& parent, const path_t& location, const std::string& programdir,
                  decoded_budget_t& decoded);
  ~ViewAlbumDialog() override;

  bool make_rows();

  std::vector<item_t>& items() { return m_items; }
  Gtk::Label& title_label() { return m_title; }

 protected:
  void on_response(int response) override;

 private:
  path_t m_location;
  std::string m_albumdir;
  Gtk::Label m_title;
  Gtk::TextView m_head;
  Gtk::TextView m_last;
  std::list<std::string> m_names;
  best_t m_good;
  best_t m_fail;
  album_t m_album;
  std::vector<item_t> m_items;
};

}  // namespace tavolin

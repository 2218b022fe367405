#pragma once
// The best-album dialog of a collection: one row for every good photo of
// every album directly inside it, with its comment and the six book
// toggles. Editable, OK and APPLY save the albums that changed, rebuild
// their pages and then the "_Best" pages; read-only, OK writes nothing.

#include <list>
#include <ostream>
#include <string>
#include <vector>

#include "album/engine/album.h"
#include "album/gui/album_dialog.h"
#include "album/gui/comment_rows.h"
#include "album/gui/media_row.h"
#include "album/gui/name_label.h"
#include "album/gui/progwin.h"

namespace tavolin {

class GoodAlbumDialog : public AlbumDialog {
 public:
  struct item_t : media_row_t {
    album_t* album = nullptr;
    std::string path;  // "../" + album directory + "/" + name
    NameLabel path_label;
  };

  // location ({"", collection, "_Best"}), programdir and decoded must
  // outlive the dialog.
  GoodAlbumDialog(Gtk::Window& parent, const path_t& location, const std::string& programdir,
                  decoded_budget_t& decoded, bool editable);
  ~GoodAlbumDialog() override;

  bool make_rows();
  bool save_all_comment(std::ostream& log);

  std::vector<item_t>& items() { return m_items; }
  comment_rows_t& comments() { return m_comments; }

 protected:
  void on_response(int response) override;

 private:
  void button_book(unsigned long i, unsigned k);
  void save();

  bool m_editable;
  const path_t& m_location;
  comment_rows_t m_comments;
  std::list<album_t> m_albums;
  std::vector<item_t> m_items;
  ProgWin m_progress;
};

}  // namespace tavolin

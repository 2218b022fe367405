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

#include "album/engine/album.h"
#include "album/gui/album_dialog.h"
#include "album/gui/comment_rows.h"
#include "album/gui/media_row.h"
#include "album/gui/name_label.h"
#include "album/gui/progwin.h"

namespace tavolin {

class BestBookDialog : public AlbumDialog {
 public:
  struct item_t : media_row_t {
    std::string caption;
    NameLabel caption_label;
  };

  // book: {"", holding directory, book directory name}; kept by reference
  // like program_directory and decoded. editable: opened from the edit hub.
  BestBookDialog(Gtk::Window& parent, const path_t& book, const std::string& program_directory,
                 decoded_budget_t& decoded, e_bestname_t kind, bool editable);
  ~BestBookDialog() override;

  void make_rows();

  std::vector<item_t>& items() { return m_rows; }
  const std::list<album_t>& albums() const { return m_albums; }
  comment_rows_t& comments() { return m_comments; }

 protected:
  void on_response(int response_id) override;

 private:
  bool m_editable;
  const path_t& m_book;
  e_bestname_t m_kind;
  comment_rows_t m_comments;
  std::list<album_t> m_albums;
  std::vector<item_t> m_rows;
  ProgWin m_progwin;
};

}  // namespace tavolin

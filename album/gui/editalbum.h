#pragma once
// The album editor: title, comments and private marker of one album, and
// for every file of its "original" a comment, a judgement, a rotation and
// the six book lists. OK and APPLY save, then update the album's levels
// and pages under the progress window.

#include <list>
#include <ostream>
#include <string>
#include <vector>

#include <gtkmm/spinbutton.h>

#include "album/engine/album.h"
#include "album/gui/album_dialog.h"
#include "album/gui/comment_rows.h"
#include "album/gui/judged_row.h"
#include "album/gui/progwin.h"

namespace tavolin {

class EditAlbumDialog : public AlbumDialog {
 public:
  // One file of the album.
  struct item_t : judged_row_t {
    Gtk::CheckButton rotate;
    Gtk::SpinButton angle;
    // The upright camera picture at the button's size, loaded at the first
    // turn: the turns of the preview count from it.
    libgr::image2d_t upright;
  };

  // location, programdir and decoded must outlive the dialog.
  EditAlbumDialog(Gtk::Window& parent, const path_t& location, const std::string& programdir,
                  decoded_budget_t& decoded);
  ~EditAlbumDialog() override;

  bool make_rows();
  bool save_all_comment(bool& goodchanged, std::ostream& log);
  std::vector<files_t> selected_files() const;

  std::vector<item_t>& items() { return m_items; }
  comment_rows_t& comments() { return m_comments; }
  ProgWin& progress() { return m_progress; }

 protected:
  void on_response(int response) override;

 private:
  void button_good(unsigned long i);
  void button_subtle(unsigned long i);
  void button_fail(unsigned long i);
  void button_is_rotate(unsigned long i);
  void button_rotate(unsigned long i);
  void button_book(unsigned long i, unsigned k);
  void save();

  const path_t& m_location;
  std::string m_albumdir;
  comment_rows_t m_comments;
  std::list<std::string> m_names;
  best_t m_good;
  best_t m_fail;
  album_t m_album;
  std::vector<item_t> m_items;
  ProgWin m_progress;
};

}  // namespace tavolin

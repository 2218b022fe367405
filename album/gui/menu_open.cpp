// The main window's two openers of dialogs on the album root: a row's
// open button and the edit button at the foot.
#include "album/engine/album.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/util.h"
#include "album/gui/bookopen.h"
#include "album/gui/editbook.h"
#include "album/gui/menu_win.h"

namespace tavolin {

void MenuWindow::on_btn_clicked_itembutton(unsigned long i) {
  if (i >= m_items.size()) return;
  const path_t location("", g_global.album, m_items[i].name);
  const std::string name = m_items[i].name;
  std::string original;
  location.make(original, original_dir);

  e_bestname_t kind;
  if (name == best_dir) {
    open_best_readonly(*this, location, m_programdir, m_decoded);
  } else if (bestname_from_bookdir(name, kind)) {
    open_book_readonly(*this, location, m_programdir, m_decoded, kind);
  } else if (is_exist(original)) {
    open_album_readonly(*this, location, m_programdir, m_decoded);
  } else {
    open_collection_readonly(*this, location, m_programdir, m_decoded);
  }
  window_rule();
}

void MenuWindow::on_btn_clicked_edit() {
  const path_t location("", g_global.album, "");
  // Whether the hub opens again, before the rows are built anew.
  const auto again = [](int response, bool no_title) {
    return (response >= EDITBOOK_NEW_COLLECTION && response <= EDITBOOK_BROWSER) ||
           response == Gtk::RESPONSE_APPLY || (response == Gtk::RESPONSE_OK && no_title);
  };
  for (;;) {
    bool no_title = false;
    const int response = run_collection_editor(
        *this, location, m_programdir, m_programfile, m_decoded, no_title,
        [&](int r, bool t) { return again(r, t) ? nullptr : &m_table; });
    if (!again(response, no_title)) break;
  }
  make_items();
  show_all_children(true);
  window_rule();
}

}  // namespace tavolin

// The main window's two openers of dialogs on the album root: a row's
// open button and the edit button at the foot.
#include <iostream>

#include "album/engine/album.h"
#include "album/engine/global.h"
#include "album/engine/util.h"
#include "album/gui/goodalbum.h"
#include "album/gui/menu_win.h"
#include "album/gui/viewalbum.h"

namespace tavolin {

void MenuWindow::on_btn_clicked_itembutton(unsigned long i) {
  if (i >= m_items.size()) return;
  const item_t& item = m_items[i];
  const path_t location("", g_global.album, item.name);
  std::string original;
  location.make(original, "original");

  e_bestname_t kind;
  if (item.name == "_Best") {
    GoodAlbumDialog dialog(*this, location, m_programdir, false);
    dialog.run();
  } else if (bestname_from_bookdir(item.name, kind)) {
    std::cerr << item.dir << ": the book dialog is not built yet." << std::endl;
  } else if (is_exist(original)) {
    ViewAlbumDialog dialog(*this, location, m_programdir);
    dialog.run();
  } else {
    std::cerr << item.dir << ": the collection dialog is not built yet." << std::endl;
  }
  window_rule();
}

void MenuWindow::on_btn_clicked_edit() {
  std::cerr << g_global.album << ": the collection editor is not built yet." << std::endl;
  make_items();
  show_all_children(true);
  window_rule();
}

}  // namespace tavolin

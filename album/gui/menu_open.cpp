// The main window's two openers of dialogs on the album root: a row's
// open button and the edit button at the foot.
#include <iostream>

#include "album/engine/album.h"
#include "album/engine/global.h"
#include "album/engine/util.h"
#include "album/gui/menu_win.h"

namespace tavolin {

void MenuWindow::on_btn_clicked_itembutton(unsigned long i) {
  if (i >= m_items.size()) return;
  const item_t& item = m_items[i];
  const path_t location("", g_global.album, item.name);
  std::string original;
  location.make(original, "original");

  e_bestname_t kind;
  const char* what;
  if (item.name == "_Best") what = "the best-album dialog";
  else if (bestname_from_bookdir(item.name, kind)) what = "the book dialog";
  else if (is_exist(original)) what = "the album dialog";
  else what = "the collection dialog";
  std::cerr << item.dir << ": " << what << " is not built yet." << std::endl;
  window_rule();
}

void MenuWindow::on_btn_clicked_edit() {
  std::cerr << g_global.album << ": the collection editor is not built yet." << std::endl;
  make_items();
  show_all_children(true);
  window_rule();
}

}  // namespace tavolin

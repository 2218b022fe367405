#include "album/gui/viewalbum.h"

#include "album/engine/comment.h"
#include "album/gui/cell_grid.h"
#include "album/gui/picture_shelf.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace tavolin {

ViewAlbumDialog::ViewAlbumDialog(Gtk::Window& parent, const path_t& location,
                                 const std::string& programdir, decoded_budget_t& decoded)
    : AlbumDialog(parent, MSG_OPEN_COLLECTION, programdir, decoded), m_location(location) {
  m_location.make(m_albumdir);
  Gtk::Box& content = *get_content_area();
  m_header.build(MSG_ALBUM, m_albumdir);
  m_header.caption.set_width_chars(20);
  m_header.path.set_width_chars(50);
  content.add(m_header.box);
  m_title.set_ellipsize(Pango::ELLIPSIZE_END);
  content.add(m_title);
  m_head.set_editable(false);
  wrap_view(m_head);
  wrap_view(m_last);
  m_private.build(m_location, false);
  content.add(m_private.box);
  content.add(m_head);
  make_rows();
  m_scrolled.set_redraw_on_allocate(true);
  // Shown before they join the window, as AlbumDialog::pack_foot tells.
  m_table.show_all();
  m_scrolled.add(m_table);
  content.pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  m_last.set_editable(false);
  content.add(m_last);
  add_button("_OK", Gtk::RESPONSE_OK);
  answer_mnemonics_at_once(*this);
  show_all_children(true);
  fit_on_show(*this);
}

ViewAlbumDialog::~ViewAlbumDialog() { close_window(*this, m_table); }

void ViewAlbumDialog::on_response(int response) { Gtk::Dialog::on_response(response); }

bool ViewAlbumDialog::make_rows() {
  empty_table(m_table);
  m_table.resize(1, 1);
  m_items.clear();

  std::string title, head, last;
  loadcommenttxt(m_location, title, head, last);
  m_title.set_text(to_utf8(title));
  m_head.get_buffer()->set_text(to_utf8(head));
  m_last.get_buffer()->set_text(to_utf8(last));

  if (!load_album_files(m_location, m_good, m_fail, m_album, m_names)) return false;
  // Rows hold widgets: made in place, once, never moved.
  std::vector<item_t>(m_names.size()).swap(m_items);
  size_table(m_table, m_names.size(), 6);
  picture_shelf_t shelf(m_decoded);
  unsigned long i = 0;
  for (const std::string& name : m_names) {
    item_t& item = m_items[i];
    // A photo's EXIF lines show even when its thumbnail did not load.
    item.build(m_album, name, m_programdir, shelf, false);
    item.judge(m_good, m_fail, false);
    item.attach(m_table, cell_place(i++, 6), item.name_label, &item.judgement_box);
  }
  return true;
}

}  // namespace tavolin

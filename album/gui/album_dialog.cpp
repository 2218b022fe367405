#include "album/gui/album_dialog.h"

#include <gtkmm/stock.h>

#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/toggle_images.h"
#include "album/gui/widget_text.h"

namespace tavolin {

AlbumDialog::AlbumDialog(Gtk::Window& parent, plimlib::e_message_t title_id,
                         const std::string& programdir, decoded_budget_t& decoded)
    : Gtk::Dialog(msg_utf8(title_id), parent, true),
      m_programdir(programdir),
      m_decoded(decoded),
      m_table(1, 1, false) {
  share_toggle_images();  // rows of checked toggles
  follow_content(m_scrolled, 640);
}

void AlbumDialog::pack_top(const std::string& dir, const path_t& location, bool editable) {
  Gtk::Box& content = *get_content_area();
  m_header.build(MSG_ALBUM_ROOT, dir);
  content.add(m_header.box);
  m_private.build(location, editable);
  content.add(m_private.box);
}

void AlbumDialog::pack_foot(comment_rows_t& comments, const path_t& location, bool editable) {
  m_table.show_all();
  draw_rows_unstacked(m_table);
  m_scrolled.add(m_table);
  get_content_area()->pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  comments.build(editable);
  comments.pack(*get_content_area());
  comments.load(location);
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  if (editable) {
    add_button(Gtk::Stock::APPLY, Gtk::RESPONSE_APPLY);
    add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  }
  answer_mnemonics_at_once(*this);
  show_all_children(true);
  fit_on_show(*this);
}

}  // namespace tavolin

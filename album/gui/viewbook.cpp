#include "album/gui/viewbook.h"

#include <gtkmm/stock.h>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/gui/bookopen.h"
#include "album/gui/outside_programs.h"
#include "album/gui/present_again.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"

namespace tavolin {

ViewBookDialog::ViewBookDialog(Gtk::Window& parent, const path_t& collection,
                               const std::string& program_directory, decoded_budget_t& decoded)
    : Gtk::Dialog(msg_utf8(MSG_OPEN_COLLECTION), parent, true),
      m_bookdir(collection),
      m_program_dir(program_directory),
      m_decoded(decoded),
      m_separator(Gtk::ORIENTATION_HORIZONTAL),
      m_table(1, 1, false) {
  m_bookdir.make(m_fulldir);
  m_head_view.set_editable(false);
  m_last_view.set_editable(false);
  m_title_label.set_ellipsize(Pango::ELLIPSIZE_END);
  wrap_view(m_head_view);
  wrap_view(m_last_view);
  follow_content(m_scrolled, 640);
  Gtk::Box& content = *get_vbox();
  content.add(m_title_label);
  content.add(m_head_view);
  content.add(m_separator);
  m_table.set_row_spacings(2);
  content.add(m_scrolled);
  // Rows attached while their table is in no window, and shown before it
  // joins one, cost GTK least (see AlbumDialog::pack_foot).
  make_items();
  m_table.show_all();
  draw_rows_unstacked(m_table);
  m_scrolled.add(m_table);
  content.add(m_last_view);
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  answer_mnemonics_at_once(*this);
  show_all_children(true);
  fit_on_show(*this);
}

ViewBookDialog::~ViewBookDialog() { close_window(*this, m_table); }

void ViewBookDialog::on_response(int response_id) { Gtk::Dialog::on_response(response_id); }

bool ViewBookDialog::make_items() {
  std::string title, head, last;
  loadcommenttxt(m_bookdir, title, head, last);
  m_title_label.set_text(to_utf8(title));
  set_view_text(m_head_view, head);
  set_view_text(m_last_view, last);

  return make_subdir_rows(
      m_table, m_items, m_fulldir, [this](unsigned long i) { button_list(i); },
      [this](unsigned long i) { button_plimzev3(i); });
}

void ViewBookDialog::button_list(unsigned long i) {
  const std::string name = m_items[i].name;
  const path_t location("", m_fulldir, name);
  const e_entry_kind_t kind = entry_kind(m_fulldir, name, ENTRY_BY_ORIGINAL);
  if (kind == ENTRY_ALBUM) {
    open_album_readonly(*this, location, m_program_dir, m_decoded);
  } else if (kind == ENTRY_BEST) {
    open_best_readonly(*this, location, m_program_dir, m_decoded);
  } else if (kind == ENTRY_BOOK) {
    open_book_readonly(*this, location, m_program_dir, m_decoded, book_kind(name));
  } else {
    open_collection_readonly(*this, location, m_program_dir, m_decoded);
  }
  present_again(*this);
}

void ViewBookDialog::button_plimzev3(unsigned long i) {
  view_entry(m_program_dir, m_fulldir, m_items[i].name);
  present_again(*this);
}

}  // namespace tavolin

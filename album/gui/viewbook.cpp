#include "album/gui/viewbook.h"

#include <sys/stat.h>

#include <gtkmm/stock.h>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/gui/bestbook.h"
#include "album/gui/bookopen.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"

namespace tavolin {

ViewBookDialog::ViewBookDialog(Gtk::Window& parent, const path_t& collection,
                               const std::string& program_directory)
    : Gtk::Dialog(msg_utf8(2), parent, true),
      m_bookdir(collection),
      m_program_dir(program_directory),
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
  m_scrolled.add(m_table);
  content.add(m_last_view);
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
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
  std::string original;
  location.make(original, original_dir);
  struct stat st;
  if (stat(original.c_str(), &st) == 0) {
    open_album_readonly(*this, location, m_program_dir);
  } else if (name == best_dir) {
    open_best_readonly(*this, location, m_program_dir);
  } else if (name[0] == generated_dir_mark) {
    BestBookDialog dialog(*this, location, m_program_dir, book_kind(name), false);
    dialog.run();
  } else {
    ViewBookDialog dialog(*this, location, m_program_dir);
    dialog.run();
  }
  present_again(*this);
}

void ViewBookDialog::button_plimzev3(unsigned long i) {
  view_entry(m_program_dir, m_fulldir, m_items[i].name);
  present_again(*this);
}

}  // namespace tavolin

#include "album/gui/viewbook.h"

#include <sys/stat.h>

#include <gtkmm/stock.h>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/gui/bestbook.h"
#include "album/gui/bookopen.h"
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
  Gtk::Box& content = *get_vbox();
  content.add(m_title_label);
  content.add(m_head_view);
  content.add(m_separator);
  m_table.set_row_spacings(2);
  m_scrolled.add(m_table);
  content.add(m_scrolled);
  make_items();
  content.add(m_last_view);
  m_table.signal_size_allocate().connect(
      sigc::mem_fun(*this, &ViewBookDialog::table_size_allocate));
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  show_all_children(true);
}

ViewBookDialog::~ViewBookDialog() = default;

void ViewBookDialog::on_response(int response_id) { Gtk::Dialog::on_response(response_id); }

bool ViewBookDialog::make_items() {
  m_table.resize(1, 1);
  m_items.clear();
  std::string title, head, last;
  loadcommenttxt(m_bookdir, title, head, last);
  m_title_label.set_text(to_utf8(title));
  set_view_text(m_head_view, head);
  set_view_text(m_last_view, last);

  std::list<std::string> names;
  std::vector<subdir_t> found;
  if (!list_subdirs(m_fulldir, names, found)) return false;
  std::vector<item_t>(found.size()).swap(m_items);

  m_table.resize(static_cast<guint>(found.size() + 1), 7);
  for (unsigned long i = 0; i < found.size(); ++i) {
    item_t& row = m_items[i];
    row.name = found[i].name;
    row.name_label.set_text(to_utf8(row.name));
    row.name_label.set_width_chars(static_cast<int>(row.name.size()));
    row.name_label.set_selectable(true);
    row.is_listed = row.build(found[i], path_t("", m_fulldir, row.name), row.list_button, 2);
    if (row.is_listed) row.viewer_button.set_label(msg_utf8(42));
    attach_columns(
        m_table, static_cast<guint>(i),
        {&row.name_label, nullptr, &row.list_button, row.is_listed ? &row.viewer_button : nullptr,
         &row.count_label, &row.title_label, &row.comment_label});
    if (row.is_listed)
      row.viewer_button.signal_clicked().connect(
          sigc::bind(sigc::mem_fun(*this, &ViewBookDialog::button_plimzev3), i));
    row.list_button.signal_clicked().connect(
        sigc::bind(sigc::mem_fun(*this, &ViewBookDialog::button_list), i));
  }
  return true;
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

void ViewBookDialog::table_size_allocate(Gdk::Rectangle& allocation) {
  size_scrolled(m_scrolled, allocation, false);
}

}  // namespace tavolin

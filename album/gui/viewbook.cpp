#include "album/gui/viewbook.h"

#include <sys/stat.h>

#include <algorithm>
#include <list>

#include <gtkmm/stock.h>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/global.h"
#include "album/engine/util.h"
#include "album/gui/bestbook.h"
#include "album/gui/bookcells.h"
#include "album/gui/bookopen.h"
#include "album/gui/text.h"
#include "utility/futil.h"

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
  if (!libutils::getdirs(names, m_fulldir)) return false;
  names.reverse();
  struct found_t {
    std::string name, title, head;
  };
  std::vector<found_t> found;
  for (const std::string& name : names) {
    if (name == "txt") continue;
    found_t f{name, "", ""};
    std::string last_comment;
    if (!loadcommenttxt(path_t("", m_fulldir, name), f.title, f.head, last_comment)) continue;
    found.push_back(std::move(f));
  }
  std::vector<item_t>(found.size()).swap(m_items);

  m_table.resize(static_cast<guint>(found.size() + 1), 7);
  const Gtk::AttachOptions both = Gtk::EXPAND | Gtk::FILL;
  for (unsigned long i = 0; i < found.size(); ++i) {
    item_t& row = m_items[i];
    const path_t location("", m_fulldir, found[i].name);
    row.name = found[i].name;
    row.name_label.set_text(to_utf8(row.name));
    row.name_label.set_width_chars(static_cast<int>(row.name.size()));
    row.name_label.set_selectable(true);
    std::string original;
    location.make(original, "original");
    struct stat st;
    row.is_listed = row.name[0] == '_' || stat(original.c_str(), &st) == 0;
    if (row.is_listed) {
      row.list_button.set_label(msg_utf8(38));
      row.viewer_button.set_label(msg_utf8(42));
      row.count_label.set_text(to_utf8(count_line(location)));
    } else {
      row.list_button.set_label(msg_utf8(2));
    }
    row.title_label.set_text(to_utf8(found[i].title));
    row.title_label.set_selectable(true);
    row.comment_label.set_halign(Gtk::ALIGN_START);
    const std::string preview = head_preview(found[i].head);
    if (!preview.empty()) {
      row.comment_label.set_text(to_utf8(preview));
      row.comment_label.set_selectable(true);
    }

    const guint r = static_cast<guint>(i);
    m_table.attach(row.name_label, 0, 1, r, r + 1, both, both, 0, 0);
    m_table.attach(row.list_button, 2, 3, r, r + 1, both, both, 0, 0);
    if (row.is_listed) {
      m_table.attach(row.viewer_button, 3, 4, r, r + 1, both, both, 0, 0);
      row.viewer_button.signal_clicked().connect(
          sigc::bind(sigc::mem_fun(*this, &ViewBookDialog::button_plimzev3), i));
    }
    m_table.attach(row.count_label, 4, 5, r, r + 1, both, both, 0, 0);
    m_table.attach(row.title_label, 5, 6, r, r + 1, both, both, 0, 0);
    m_table.attach(row.comment_label, 6, 7, r, r + 1, both, both, 0, 0);
    row.list_button.signal_clicked().connect(
        sigc::bind(sigc::mem_fun(*this, &ViewBookDialog::button_list), i));
  }
  return true;
}

void ViewBookDialog::button_list(unsigned long i) {
  const std::string name = m_items[i].name;
  const path_t location("", m_fulldir, name);
  std::string original;
  location.make(original, "original");
  struct stat st;
  if (stat(original.c_str(), &st) == 0) {
    open_album_readonly(*this, location, m_program_dir);
  } else if (name == "_Best") {
    open_best_readonly(*this, location, m_program_dir);
  } else if (name[0] == '_') {
    BestBookDialog dialog(*this, location, m_program_dir, book_kind(name), false);
    dialog.run();
  } else {
    ViewBookDialog dialog(*this, location, m_program_dir);
    dialog.run();
  }
  present_again(*this);
}

void ViewBookDialog::button_plimzev3(unsigned long i) {
  const std::string& name = m_items[i].name;
  const std::string size = "size" + std::to_string(g_global.view_size);
  const path_t location("", m_fulldir, name);
  std::string sizedir;
  location.make(sizedir, size);
  struct stat st;
  if (stat(sizedir.c_str(), &st) == 0) {
    run_plimzev3(m_program_dir, sizedir);
  } else {
    std::list<std::string> args;
    if (name[0] == '_') {
      args.push_back("-S" + size);
      args.push_back("-C" + m_fulldir);
      args.push_back("-F" + name + "/txt/list.txt");
    }
    run_plimzev3(m_program_dir, args);
  }
  present_again(*this);
}

void ViewBookDialog::table_size_allocate(Gdk::Rectangle& allocation) {
  if (allocation.get_height() > 0)
    m_scrolled.set_size_request(allocation.get_width(), std::min(allocation.get_height(), 640));
}

}  // namespace tavolin

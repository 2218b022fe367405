#include "album/gui/bookcells.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "album/engine/comment.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/util.h"
#include "album/gui/errorbox.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "utility/futil.h"
#include "utility/message.h"
#include "utility/strutil.h"

namespace tavolin {

Glib::ustring msg_utf8(unsigned id) { return to_utf8(plimlib::getmsg(id)); }

void set_button_text(Gtk::Button& button, const Glib::ustring& text) {
  // GTK's own label type, as set_label makes: a label of gtkmm's type
  // reports no baseline, and a check button would stand a pixel lower.
  // The button holds the only reference and ends it.
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_widget_set_valign(label, GTK_ALIGN_BASELINE);
  gtk_widget_show(label);
  gtk_container_add(GTK_CONTAINER(button.gobj()), label);
  button.get_style_context()->add_class("text-button");
}

bool view_text(const Gtk::TextView& view, std::string& out) {
  return from_utf8(view.get_buffer()->get_text(true), out);
}

bool comment_texts(const Gtk::Entry& title_entry, const Gtk::TextView& head_view,
                   const Gtk::TextView& last_view, std::string& title, std::string& head,
                   std::string& last) {
  return from_utf8(title_entry.get_text(), title) && view_text(head_view, head) &&
         view_text(last_view, last);
}

bool save_comment_texts(Gtk::Window& parent, const Gtk::Entry& title_entry,
                        const Gtk::TextView& head_view, const Gtk::TextView& last_view,
                        const path_t& location) {
  std::string title, head, last;
  if (!comment_texts(title_entry, head_view, last_view, title, head, last))
    show_error_log(parent, 30);
  else if (title.empty())
    show_error_log(parent, 26);
  else if (!savecommenttxt(location, title, head, last, std::cerr))
    show_error_log(parent, 30);
  else
    return true;
  return false;
}

void set_view_text(Gtk::TextView& view, const std::string& text) {
  view.get_buffer()->set_text(to_utf8(text));
}

std::string count_line(const path_t& dir) {
  std::string file;
  dir.make(file, txt_dir, count_file);
  // Read by hand: a stream's set-up costs more than the line, once a row.
  const int fd = libutils::open_regular(file);
  if (fd < 0) return std::string();
  std::string line;
  char buffer[512];
  bool any = false;
  for (bool more = true; more;) {
    size_t n = 0;
    more = libutils::read_all(fd, buffer, sizeof buffer, n) && n == sizeof buffer;
    if (n == 0) break;
    any = true;
    const char* end = static_cast<const char*>(std::memchr(buffer, '\n', n));
    line.append(buffer, end ? static_cast<size_t>(end - buffer) : n);
    if (end) break;
  }
  close(fd);
  if (!any) return std::string();
  libutils::chop2(line);
  return line;
}

std::string head_preview(const std::string& head) {
  std::list<std::string> lines;
  libutils::separate_token(lines, head, "\n");
  if (lines.empty()) return std::string();
  auto it = lines.begin();
  std::string out = *it;
  libutils::chop(out);
  if (++it != lines.end()) {
    std::string second = *it;
    libutils::chop(second);
    out += "\n" + second;
  }
  return out;
}

bool list_subdirs(const std::string& dir, std::list<std::string>& names,
                  std::vector<subdir_t>& found) {
  if (!libutils::getdirs(names, dir)) return false;
  names.reverse();
  found.reserve(names.size());
  for (const std::string& name : names) {
    if (name == txt_dir) continue;
    subdir_t sub{name, "", ""};
    std::string last;
    if (loadcommenttxt(path_t("", dir, name), sub.title, sub.head, last))
      found.push_back(std::move(sub));
  }
  return true;
}

bool subdir_labels_t::build(const subdir_t& sub, const path_t& location, Gtk::Button& open,
                            unsigned other_id) {
  std::string original;
  location.make(original, original_dir);
  const bool listed = sub.name[0] == generated_dir_mark || is_exist(original);
  set_button_text(open, msg_utf8(listed ? 38 : other_id));
  if (listed) count_label.set_text(to_utf8(count_line(location)));
  title_label.set_text(to_utf8(sub.title));
  shorten_label(title_label, text_chars);
  title_label.set_selectable(true);
  comment_label.set_halign(Gtk::ALIGN_START);
  const std::string preview = head_preview(sub.head);
  if (!preview.empty()) {
    comment_label.set_text(to_utf8(preview));
    shorten_label(comment_label, text_chars);
    comment_label.set_selectable(true);
  }
  return listed;
}

void attach_columns(Gtk::Table& table, guint r, std::initializer_list<Gtk::Widget*> cells) {
  const Gtk::AttachOptions both = Gtk::EXPAND | Gtk::FILL;
  guint c = 0;
  for (Gtk::Widget* cell : cells) {
    if (cell) {
      cell->get_style_context();  // made now and shown: see attach_cell in album_cells.cpp
      table.attach(*cell, c, c + 1, r, r + 1, both, both, 0, 0);
      cell->show_all();
    }
    ++c;
  }
}

bool make_subdir_rows(Gtk::Table& table, std::vector<subdir_row_t>& rows, const std::string& dir,
                      const std::function<void(unsigned long)>& open,
                      const std::function<void(unsigned long)>& view) {
  const rows_rebuilt_t rebuilt(table);
  table.resize(1, 1);
  rows.clear();
  std::list<std::string> names;
  std::vector<subdir_t> found;
  if (!list_subdirs(dir, names, found)) return false;
  // Rows hold widgets: made in place, once, never moved.
  std::vector<subdir_row_t>(found.size()).swap(rows);

  table.resize(static_cast<guint>(std::max<std::size_t>(rows.size(), 1)), 7);
  for (unsigned long i = 0; i < rows.size(); ++i) {
    subdir_row_t& row = rows[i];
    const path_t location("", dir, found[i].name);
    location.make(row.dir);
    row.name = found[i].name;
    row.name_label.set_text(to_utf8(row.name));
    shorten_label(row.name_label, name_chars);
    row.name_label.set_selectable(true);
    row.album = is_exist(below(row.dir, original_dir));
    row.listed = row.build(found[i], location, row.open_button, 2);
    if (row.listed) set_button_text(row.view_button, msg_utf8(42));
    attach_columns(
        table, static_cast<guint>(i),
        {&row.name_label, nullptr, &row.open_button, row.listed ? &row.view_button : nullptr,
         &row.count_label, &row.title_label, &row.comment_label});
    row.open_button.signal_clicked().connect([open, i] { open(i); });
    if (row.listed) row.view_button.signal_clicked().connect([view, i] { view(i); });
  }
  return true;
}

void view_entry(const std::string& programdir, const std::string& dir, const std::string& name) {
  std::string sizedir;
  path_t("", dir, name).make(sizedir, size_dir(g_global.view_size));
  if (is_exist(sizedir))
    run_plimzev3(programdir, sizedir);
  else if (name[0] == generated_dir_mark)
    run_plimzev3(programdir, plimzev3_book_args(dir, name));
  else
    run_plimzev3(programdir, std::list<std::string>());
}

void show_error_log(Gtk::Window& parent, unsigned message, const std::string& log) {
  show_error(parent, plimlib::getmsg(message), log.empty() ? std::string() : "\n" + log);
}

void open_browser(Gtk::Window& parent, const std::string& programdir, const std::string& dir) {
  std::string command;
  const int status = run_browser(programdir, dir, command);
  // 127: not found, 126: not executable; other statuses are the browser's.
  if (status == 126 || status == 127)
    show_error(parent, command, ": shell exit status " + std::to_string(status) + ".");
}

void present_again(Gtk::Window& window) {
  if (ostype_iconify()) window.iconify();
  window.present();
}

}  // namespace tavolin

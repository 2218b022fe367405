#include "album/gui/menu_win.h"

#include <gtkmm/main.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <list>

#include "album/engine/album.h"
#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/global.h"
#include "album/engine/util.h"
#include "album/gui/globaloption.h"
#include "album/gui/text.h"
#include "utility/futil.h"
#include "utility/message.h"
#include "utility/strutil.h"

namespace tavolin {

namespace {

Glib::ustring msg(unsigned id) { return to_utf8(plimlib::getmsg(id)); }

bool is_book_name(const std::string& name) { return !name.empty() && name[0] == '_'; }

// The first two lines of a head comment, each without its line end.
std::string comment_lines(const std::string& head) {
  std::list<std::string> tokens;
  libutils::separate_token(tokens, head, "\n");
  if (tokens.empty()) return "";
  auto it = tokens.begin();
  std::string text = *it;
  libutils::chop(text);
  if (++it != tokens.end()) {
    std::string second = *it;
    libutils::chop(second);
    text += "\n" + second;
  }
  return text;
}

}  // namespace

void usage(const std::string& program) {
  std::cout << "usage: " << program << " [-h] [<from dir> <to dir>]" << std::endl;
}

MenuWindow::MenuWindow(int argc, char** argv)
    : Gtk::Window(Gtk::WINDOW_TOPLEVEL), m_argc(argc), m_argv(argv), m_table(1, 1, false) {
  const char* self = argc > 0 && argv[0] != nullptr ? argv[0] : "tavolin";
  m_programdir = libutils::dirname(self);
  m_programname = libutils::basename(self);
  m_programfile = libutils::basename2(self);

  // A wrong command line is answered before any window can open, also on
  // a first start without settings.
  if (argc > 1 && (std::string(argv[1]) == "-h" || argc != 3)) {
    usage(self);
    std::exit(0);
  }

  const std::string catalog =
      plimlib::init_message(m_programdir.c_str(), m_programname.c_str());
  m_msgdir = catalog.empty() ? "" : libutils::dirname(catalog);

  if (!loadini(m_msgdir, m_programfile)) {
    bool saved = false;
    run_option_dialog(saved);
    if (!loadini(m_msgdir, m_programfile)) {
      if (!saved) std::exit(0);  // the user cancelled: nothing to report
      const std::string file = inifile(m_msgdir, m_programfile);
      std::cerr << (file.empty() ? std::string("HOME is not set") : file)
                << ": the settings could not be saved, " << m_programfile
                << " cannot start without them." << std::endl;
      std::exit(1);
    }
  }

  initexif(m_programdir.c_str(), m_programfile.c_str());

  if (argc == 3) {
    g_global.from = argv[1];
    g_global.album = argv[2];
  }

  m_head.set_editable(false);
  m_last.set_editable(false);
  m_vbox.pack_start(m_title, Gtk::PACK_EXPAND_WIDGET, 0);
  m_vbox.pack_start(m_head, Gtk::PACK_EXPAND_WIDGET, 0);
  m_vbox.pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  m_table.set_row_spacings(2);
  m_scrolled.add(m_table);

  make_items();

  m_vbox.pack_start(m_last, Gtk::PACK_EXPAND_WIDGET, 0);
  m_table.signal_size_allocate().connect(sigc::mem_fun(*this, &MenuWindow::table_size_allocate));

  m_browser.set_label(msg(6));
  m_options.set_label(msg(7));
  m_edit.set_label(msg(8));
  m_move.set_label(msg(9));
  m_delete.set_label(msg(10));
  m_close.set_label(msg(11));
  set_title(to_utf8(plimlib::make_title(plimlib::getmsg(0), plimlib::getmsg(1))));

  m_browser.signal_clicked().connect(
      sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_run_browser));
  m_options.signal_clicked().connect(
      sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_optionsetting));
  m_edit.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_edit));
  m_move.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_move));
  m_delete.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_delete));
  m_close.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_close));

  // pack_end from the right: the foot reads browser, options, edit, close.
  m_foot.pack_end(m_close, Gtk::PACK_SHRINK, 0);
  m_foot.pack_end(m_edit, Gtk::PACK_SHRINK, 0);
  m_foot.pack_end(m_options, Gtk::PACK_SHRINK, 0);
  m_foot.pack_end(m_browser, Gtk::PACK_SHRINK, 0);

  m_vbox.pack_end(m_foot, Gtk::PACK_EXPAND_WIDGET, 0);
  add(m_vbox);
  show_all_children(true);
}

int MenuWindow::run_option_dialog(bool& saved) {
  GlobalOptionDialog dialog(*this, m_programdir.c_str(), m_programfile.c_str());
  int response;
  do {
    response = dialog.run();
    // An OK whose texts could not be stored leaves the dialog up for a fix.
  } while (!(response == Gtk::RESPONSE_CANCEL || response == Gtk::RESPONSE_DELETE_EVENT ||
             (response == Gtk::RESPONSE_OK && dialog.saved())));
  saved = response == Gtk::RESPONSE_OK;
  dialog.hide();
  make_items();
  return response;
}

void MenuWindow::make_items() {
  m_rootslash = g_global.album + "/";
  m_table.resize(1, 1);
  m_items.clear();

  const path_t root("", g_global.album, "");
  std::string title, head, last;
  loadcommenttxt(root, title, head, last);
  m_title.set_text(to_utf8(title));
  m_head.get_buffer()->set_text(to_utf8(head));
  m_last.get_buffer()->set_text(to_utf8(last));

  std::list<std::string> names;
  if (!libutils::getdirs(names, m_rootslash)) return;
  names.reverse();
  m_items.reserve(names.size());
  for (const std::string& name : names) {
    if (name != "txt") add_row(name);
  }

  m_table.resize(static_cast<guint>(std::max<std::size_t>(m_items.size(), 1)), 7);
  const Gtk::AttachOptions both = Gtk::EXPAND | Gtk::FILL;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    item_t& item = m_items[i];
    const guint top = static_cast<guint>(i);
    m_table.attach(item.name_label, 0, 1, top, top + 1, both, both, 0, 0);
    m_table.attach(item.open_button, 2, 3, top, top + 1, both, both, 0, 0);
    item.open_button.signal_clicked().connect(
        sigc::bind(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_itembutton), i));
    if (is_book_name(item.name) || item.album) {
      m_table.attach(item.view_button, 3, 4, top, top + 1, both, both, 0, 0);
      item.view_button.signal_clicked().connect(
          sigc::bind(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_plimzev3), i));
    }
    m_table.attach(item.count_label, 4, 5, top, top + 1, both, both, 0, 0);
    m_table.attach(item.title_label, 5, 6, top, top + 1, both, both, 0, 0);
    m_table.attach(item.comment_label, 6, 7, top, top + 1, both, both, 0, 0);
  }
}

void MenuWindow::add_row(const std::string& name) {
  const path_t location("", g_global.album, name);
  std::string title, head, last;
  if (!loadcommenttxt(location, title, head, last)) return;

  m_items.emplace_back();
  item_t& item = m_items.back();
  location.make(item.dir);
  item.name = name;
  item.name_label.set_text(to_utf8(name));
  item.name_label.set_width_chars(static_cast<int>(name.size()));
  item.name_label.set_selectable(true);
  item.album = is_exist(item.dir + "/original");

  const bool counted = is_book_name(name) || item.album;
  if (counted) {
    item.open_button.set_label(msg(38));
    item.view_button.set_label(msg(42));
    std::string countfile;
    location.make(countfile, "txt", "count.txt");
    std::ifstream ifs(countfile, std::ios::binary);
    std::string line;
    if (ifs && std::getline(ifs, line)) {
      libutils::chop2(line);
      item.count_label.set_text(to_utf8(line));
    }
  } else {
    item.open_button.set_label(msg(2));
  }
  item.title_label.set_text(to_utf8(title));
  item.title_label.set_selectable(true);
  item.comment_label.set_halign(Gtk::ALIGN_START);
  item.comment_label.set_text(to_utf8(comment_lines(head)));
  item.comment_label.set_selectable(true);
}

void MenuWindow::table_size_allocate(Gdk::Rectangle& allocation) {
  const int h = allocation.get_height();
  if (h <= 0) return;
  const int screen_width = property_screen().get_value()->get_width();
  m_scrolled.set_size_request(std::min(allocation.get_width(), screen_width),
                              std::min(h, 640));
}

void MenuWindow::on_btn_clicked_plimzev3(unsigned long i) {
  if (i >= m_items.size()) return;
  const std::string level = "size" + std::to_string(g_global.view_size);
  const path_t root("", g_global.album, "");
  std::string sizedir;
  root.make(sizedir, m_items[i].name, level);
  if (is_exist(sizedir)) {
    run_plimzev3(m_programdir, sizedir);
  } else {
    std::list<std::string> args;
    if (is_book_name(m_items[i].name)) {
      std::string rootdir;
      root.make(rootdir);
      args = plimzev3_book_args(rootdir, m_items[i].name);
    }
    run_plimzev3(m_programdir, args);
  }
  window_rule();
}

void MenuWindow::on_btn_clicked_optionsetting() {
  bool saved = false;
  run_option_dialog(saved);
  show_all_children(true);
}

void MenuWindow::on_btn_clicked_run_browser() { run_browser(g_global.album); }

void MenuWindow::on_btn_clicked_close() { std::exit(0); }

void MenuWindow::on_btn_clicked_move() {}
void MenuWindow::on_btn_clicked_delete() {}

void MenuWindow::window_rule() {
  if (ostype_iconify()) iconify();
  present();
}

}  // namespace tavolin

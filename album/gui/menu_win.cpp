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
#include "album/engine/layout.h"
#include "album/engine/util.h"
#include "album/gui/globaloption.h"
#include "album/gui/outside_programs.h"
#include "album/gui/present_again.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/toggle_images.h"
#include "album/gui/widget_text.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"
#include "utility/message.h"
#include "utility/strutil.h"

namespace tavolin {

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

  share_toggle_images();
  no_style_animations();

  const std::string catalog = plimlib::init_message(m_programdir.c_str(), m_programname.c_str());
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
  m_title.set_ellipsize(Pango::ELLIPSIZE_END);
  wrap_view(m_head);
  wrap_view(m_last);
  follow_content(m_scrolled, 640);
  m_vbox.pack_start(m_title, Gtk::PACK_EXPAND_WIDGET, 0);
  m_vbox.pack_start(m_head, Gtk::PACK_EXPAND_WIDGET, 0);
  m_vbox.pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  m_table.set_row_spacings(2);
  draw_rows_unstacked(m_table);
  m_scrolled.add(m_table);

  make_items();

  m_vbox.pack_start(m_last, Gtk::PACK_EXPAND_WIDGET, 0);

  m_browser.set_label(msg_utf8(MSG_BROWSER));
  m_options.set_label(msg_utf8(MSG_OPTIONS));
  m_edit.set_label(msg_utf8(MSG_EDIT));
  m_move.set_label(msg_utf8(MSG_MOVE));
  m_delete.set_label(msg_utf8(MSG_DELETE));
  m_close.set_label(msg_utf8(MSG_CLOSE));
  set_title(to_utf8(
      plimlib::make_title(plimlib::getmsg(MSG_TITLE_PROGRAM), plimlib::getmsg(MSG_TITLE_SUBJECT))));

  m_browser.signal_clicked().connect(sigc::mem_fun(*this, &MenuWindow::on_btn_clicked_run_browser));
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
  fit_on_show(*this);
}

int MenuWindow::run_option_dialog(bool& saved) {
  GlobalOptionDialog dialog(*this, m_programdir.c_str(), m_programfile.c_str());
  int response;
  do {
    response = dialog.run();
  } while (response != Gtk::RESPONSE_CANCEL && response != Gtk::RESPONSE_DELETE_EVENT &&
           response != Gtk::RESPONSE_OK);
  saved = response == Gtk::RESPONSE_OK;
  dialog.hide();
  make_items();
  return response;
}

void MenuWindow::make_items() {
  const path_t root("", g_global.album, "");
  std::string title, head, last;
  loadcommenttxt(root, title, head, last);
  m_title.set_text(to_utf8(title));
  m_head.get_buffer()->set_text(to_utf8(head));
  m_last.get_buffer()->set_text(to_utf8(last));

  make_subdir_rows(
      m_table, m_items, g_global.album, [this](unsigned long i) { on_btn_clicked_itembutton(i); },
      [this](unsigned long i) { on_btn_clicked_plimzev3(i); });
  // A shown window grows or shrinks to its new rows and draws them at once.
  if (get_visible()) {
    show_all_children(true);
    fit_window(*this);
  }
}

void MenuWindow::on_btn_clicked_plimzev3(unsigned long i) {
  if (i >= m_items.size()) return;
  view_entry(m_programdir, g_global.album, m_items[i].name);
  window_rule();
}

void MenuWindow::on_btn_clicked_optionsetting() {
  bool saved = false;
  run_option_dialog(saved);
  show_all_children(true);
}

void MenuWindow::on_btn_clicked_run_browser() { open_browser(*this, m_programdir, g_global.album); }

void MenuWindow::on_btn_clicked_close() { std::exit(0); }

void MenuWindow::on_btn_clicked_move() {}
void MenuWindow::on_btn_clicked_delete() {}

void MenuWindow::window_rule() { present_again(*this); }

}  // namespace tavolin

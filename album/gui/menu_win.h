#pragma once
// The main window: the album root as a list of its albums, books and
// collections under a header with the root's title and comments, and a
// foot with the browser, options, edit and close buttons. Every dialog it
// opens is modal and run to its end.

#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include "album/gui/decoded_budget.h"
#include "album/gui/subdir_rows.h"

namespace tavolin {

// "usage: " + program + " [-h] [<from dir> <to dir>]" on standard output.
void usage(const std::string& program);

class MenuWindow : public Gtk::Window {
 public:
  // One row of the list: an album, a generated book or a collection.
  using item_t = subdir_row_t;

  // Loads the catalog and the settings (offering the option dialog when
  // there are none), takes the command line and builds the window. Ends the
  // process for "-h" or a wrong argument count (0), when no settings were
  // saved (0 after CANCEL, 1 when OK could not write them).
  MenuWindow(int argc, char** argv);
  // Destroys first the rows of closed dialogs still waiting to be
  // destroyed: their pictures are listed in the window's budget.

  // Rebuilds the header and the rows from the album root; a shown window
  // is resized to show every row (within the screen) and redrawn.
  void make_items();

  void on_btn_clicked_run_browser();
  void on_btn_clicked_optionsetting();
  void on_btn_clicked_edit();
  void on_btn_clicked_move();
  void on_btn_clicked_delete();
  void on_btn_clicked_close();
  void on_btn_clicked_itembutton(unsigned long i);
  void on_btn_clicked_plimzev3(unsigned long i);

  // For tests.
  std::vector<item_t>& items() { return m_items; }
  Gtk::Label& root_title() { return m_title; }
  Gtk::TextView& head_view() { return m_head; }
  Gtk::TextView& last_view() { return m_last; }
  Gtk::ScrolledWindow& scrolled() { return m_scrolled; }
  Gtk::Button& browser_button() { return m_browser; }
  Gtk::Button& options_button() { return m_options; }
  Gtk::Button& close_button() { return m_close; }

  // After a dialog or the viewer: iconify first where OSTYPE asks for it,
  // then present the window again.
  void window_rule();

 private:
  // Runs the option dialog until it is left; returns GTK's response and
  // whether the settings were saved.
  int run_option_dialog(bool& saved);

  int m_argc;
  char** m_argv;
  std::string m_programdir;
  std::string m_programfile;
  std::string m_programname;
  std::string m_msgdir;
  // The pictures held decoded by the album windows it opens, and by the
  // windows those open.
  decoded_budget_t m_decoded;

  Gtk::VBox m_vbox;
  Gtk::Label m_title;
  Gtk::TextView m_head;
  Gtk::TextView m_last;
  Gtk::Separator m_separator;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
  std::vector<item_t> m_items;
  Gtk::HBox m_foot;
  Gtk::Button m_browser, m_options, m_edit, m_move, m_delete, m_close;
};

}  // namespace tavolin

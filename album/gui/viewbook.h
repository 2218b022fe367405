#pragma once
// The read-only browser of a collection: its title and comments and one
// row per album, book and sub-collection, each opening its read-only
// dialog; albums and books also start the viewer. Nothing on disk changes.

#include <string>
#include <vector>

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/separator.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>

#include "album/engine/album.h"
#include "album/gui/decoded_budget.h"
#include "album/gui/subdir_rows.h"

namespace tavolin {

class ViewBookDialog : public Gtk::Dialog {
 public:
  using item_t = subdir_row_t;

  // program_directory and decoded (for the album windows it opens) must
  // outlive the dialog.
  ViewBookDialog(Gtk::Window& parent, const path_t& collection,
                 const std::string& program_directory, decoded_budget_t& decoded);
  ~ViewBookDialog() override;

  bool make_items();
  void button_list(unsigned long i);
  void button_plimzev3(unsigned long i);

  std::vector<item_t>& items() { return m_items; }
  Gtk::Table& table() { return m_table; }
  Gtk::Label& title_label() { return m_title_label; }

 protected:
  void on_response(int response_id) override;

 private:
  path_t m_bookdir;
  const std::string& m_program_dir;
  decoded_budget_t& m_decoded;
  std::string m_fulldir;
  Gtk::Label m_title_label;
  Gtk::TextView m_head_view;
  Gtk::TextView m_last_view;
  Gtk::Separator m_separator;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
  std::vector<item_t> m_items;
};

}  // namespace tavolin

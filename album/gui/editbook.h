#pragma once
// The edit hub of a collection (the album root or a directory below it):
// its title, comments and private flag, one row per subdirectory (private
// flag, rename entry, editor button, count, title, comment, remove button),
// and the buttons for the browser, a new collection, a new album, the
// batch refresh and saving.

#include <list>
#include <ostream>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>
#include <gtkmm/textview.h>

#include "album/engine/album.h"
#include "album/gui/decoded_budget.h"
#include "album/gui/header_rows.h"
#include "album/gui/progwin.h"
#include "album/gui/subdir_rows.h"

namespace tavolin {

// The hub's own buttons answer with these; OK, APPLY and CANCEL are GTK's.
enum e_editbook_response_t {
  EDITBOOK_NEW_COLLECTION = 0,
  EDITBOOK_NEW_ALBUM = 1,
  EDITBOOK_UPDATE = 2,
  EDITBOOK_BROWSER = 3,
};

class EditBookDialog : public Gtk::Dialog {
 public:
  // One subdirectory of the collection.
  struct item_t : subdir_labels_t {
    std::string path;  // m_fulldir + "/" + name
    std::string name;  // as found on disk
    bool was_private = false;
    Gtk::CheckButton private_check;
    Gtk::Entry name_entry;
    Gtk::Button list_button;
    Gtk::Button remove_button;
  };

  // The two strings and decoded (for the album windows it opens) are kept
  // by reference and must outlive the hub.
  EditBookDialog(Gtk::Window& parent, const path_t& collection, const std::string& program_dir,
                 const std::string& program_file, decoded_budget_t& decoded);
  ~EditBookDialog() override;

  // Reloads the texts and rebuilds the rows from disk; false (no rows) when
  // the collection cannot be listed. The caller shows the new widgets; a
  // shown hub is resized to them.
  bool make_items();

  // Row handlers and the recursive refresh.
  void button_list(unsigned long row);
  void button_remove(unsigned long row);
  bool batchupdate(const path_t& location, std::ostream& log);

  std::vector<item_t>& items() { return m_items; }
  Gtk::Table& table() { return m_table; }
  ProgWin& progwin() { return m_progwin; }

 protected:
  void on_response(int response) override;

 private:
  void new_collection();
  void new_album();
  void save(int response);
  // The collection page and the rows again, after an editor from a row.
  void rebuild_after_editor();
  // The collection page and the rows again; false (a line on standard
  // error, the rows as they were) when the page cannot be written.
  bool rebuild_page();

  const std::string& m_program_dir;
  const std::string& m_program_file;
  decoded_budget_t& m_decoded;
  path_t m_albumdir;
  std::string m_fulldir;
  private_row_t m_private;

 public:
  Gtk::Entry m_title_entry;
  Gtk::TextView m_head_view;
  Gtk::TextView m_last_view;

 private:
  std::list<std::string> m_dirnames;
  Gtk::ScrolledWindow m_scrolled;
  Gtk::Table m_table;
  std::vector<item_t> m_items;
  ProgWin m_progwin;
};

}  // namespace tavolin

// The edit hub's row buttons (the editor of a row's directory, removal)
// and its recursive refresh.
#include <iostream>
#include <sstream>

#include <gtkmm/messagedialog.h>

#include "album/engine/bookindex.h"
#include "album/engine/collectionedit.h"
#include "album/engine/layout.h"
#include "album/gui/bookopen.h"
#include "album/gui/editbook.h"
#include "album/gui/errorbox.h"
#include "album/gui/present_again.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "utility/futil.h"

namespace tavolin {

bool EditBookDialog::batchupdate(const path_t& location, std::ostream& log) {
  const progress_signals_t progress{&m_progwin.signal1, &m_progwin.signal2, &m_progwin.signal3,
                                    &m_progwin.signal4, &m_progwin.signal5, &m_progwin.signal6};
  return tavolin::batchupdate(location, progress, log, [this](const std::string& dir) {
    m_progwin.clear();
    m_progwin.set_title(to_utf8(dir));
  });
}

void EditBookDialog::rebuild_after_editor() {
  if (!makehtmlbook(m_albumdir, std::cerr)) {
    libutils::error();
    std::cerr << "makehtmlindex(m_albumdir) fail." << std::endl;
  }
  make_items();
  show_all_children(true);
}

void EditBookDialog::button_list(unsigned long row) {
  // Copied before anything rebuilds the rows.
  const std::string name = m_items[row].name;
  const path_t location("", m_fulldir, name);
  const e_entry_kind_t kind = entry_kind(m_fulldir, name, ENTRY_BY_THUMB);

  if (kind != ENTRY_COLLECTION) {
    Glib::RefPtr<Gtk::Adjustment> kept;
    for (;;) {
      int response;
      if (kind == ENTRY_BEST)
        response = run_best_editor(*this, location, m_program_dir, m_decoded, kept);
      else if (kind == ENTRY_BOOK)
        response =
            run_book_editor(*this, location, m_program_dir, m_decoded, book_kind(name), kept);
      else
        response = run_album_editor(*this, location, m_program_dir, m_decoded, kept);
      if (response == Gtk::RESPONSE_APPLY) {
        rebuild_after_editor();
        continue;
      }
      if (response == Gtk::RESPONSE_OK) rebuild_after_editor();
      break;
    }
  } else {
    for (;;) {
      bool no_title = false;
      const int response = run_collection_editor(
          *this, location, m_program_dir, m_program_file, m_decoded, no_title, [this](int r, bool) {
            return r == Gtk::RESPONSE_OK || r == Gtk::RESPONSE_APPLY ? &m_table : nullptr;
          });
      if (response >= EDITBOOK_NEW_COLLECTION && response <= EDITBOOK_BROWSER) continue;
      if (response == Gtk::RESPONSE_APPLY) {
        rebuild_after_editor();
        continue;
      }
      if (response == Gtk::RESPONSE_OK) {
        rebuild_after_editor();
        if (no_title) continue;
      }
      break;
    }
  }
  present_again(*this);
}

void EditBookDialog::button_remove(unsigned long row) {
  const std::string name = m_items[row].name;
  const std::string path = m_items[row].path;
  Gtk::MessageDialog box(*this, msg_utf8(MSG_REMOVE) + "\n" + to_utf8(path), false,
                         Gtk::MESSAGE_WARNING, Gtk::BUTTONS_OK_CANCEL, false);
  box.set_title(msg_utf8(MSG_REMOVE) + " (1/2)");
  if (box.run() != Gtk::RESPONSE_OK) return;
  box.set_title(msg_utf8(MSG_REMOVE) + " (2/2)");
  if (box.run() != Gtk::RESPONSE_OK) return;
  box.hide();

  // No shell: only a real child directory of this collection goes.
  std::ostringstream log;
  if (!remove_entry(m_fulldir, name, log)) show_error_log(*this, MSG_REMOVE, log.str());
  rebuild_page();
}

bool EditBookDialog::rebuild_page() {
  if (!makehtmlbook(m_albumdir, std::cerr)) {
    libutils::error();
    std::cerr << m_fulldir << ": makehtmlbook() fail." << std::endl;
    return false;
  }
  make_items();
  show_all_children(true);
  return true;
}

}  // namespace tavolin

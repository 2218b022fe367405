#include "album/gui/editbook.h"

#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <sstream>

#include <gtkmm/messagedialog.h>
#include <gtkmm/stock.h>

#include "album/engine/best.h"
#include "album/engine/bookindex.h"
#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/makealbum.h"
#include "album/engine/util.h"
#include "album/gui/cell_grid.h"
#include "album/gui/comment_rows.h"
#include "album/gui/errorbox.h"
#include "album/gui/makealbum.h"
#include "album/gui/makebook.h"
#include "album/gui/outside_programs.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "utility/futil.h"

namespace tavolin {

EditBookDialog::EditBookDialog(Gtk::Window& parent, const path_t& collection,
                               const std::string& program_dir, const std::string& program_file,
                               decoded_budget_t& decoded)
    : Gtk::Dialog(msg_utf8(MSG_EDIT), parent, true),
      m_program_dir(program_dir),
      m_program_file(program_file),
      m_decoded(decoded),
      m_albumdir(collection),
      m_table(1, 1, false),
      m_progwin(*this) {
  m_albumdir.make(m_fulldir);
  m_private.build(m_albumdir, true);

  Gtk::Box& content = *get_vbox();
  content.pack_start(m_private.box);
  content.pack_start(m_title_entry);
  wrap_view(m_head_view);
  wrap_view(m_last_view);
  content.pack_start(m_head_view);
  m_table.set_row_spacings(2);
  draw_rows_unstacked(m_table);
  m_scrolled.add(m_table);
  follow_content(m_scrolled, 640);
  content.pack_start(m_scrolled);
  make_items();
  content.pack_start(m_last_view);

  add_button(msg_utf8(MSG_BROWSER), EDITBOOK_BROWSER);
  add_button(msg_utf8(MSG_NEW_COLLECTION), EDITBOOK_NEW_COLLECTION);
  add_button(msg_utf8(MSG_NEW_ALBUM), EDITBOOK_NEW_ALBUM);
  add_button(msg_utf8(MSG_UPDATE_ALL), EDITBOOK_UPDATE);
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  add_button(Gtk::Stock::APPLY, Gtk::RESPONSE_APPLY);
  add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  answer_mnemonics_at_once(*this);
  show_all_children(true);
  fit_on_show(*this);
}

EditBookDialog::~EditBookDialog() { close_window(*this, m_table); }

bool EditBookDialog::make_items() {
  {
    // The table is out of the window until the end of this block.
    const rows_rebuilt_t rebuilt(m_table);
    m_table.resize(1, 1);
    m_items.clear();
    m_dirnames.clear();

    std::string title, head, last;
    loadcommenttxt(m_albumdir, title, head, last);
    m_title_entry.set_text(to_utf8(title));
    set_view_text(m_head_view, head);
    set_view_text(m_last_view, last);

    std::vector<subdir_t> found;
    if (!list_subdirs(m_fulldir, m_dirnames, found)) return false;
    // Rows hold widgets: made in place, once, never moved.
    std::vector<item_t>(found.size()).swap(m_items);

    m_table.resize(static_cast<guint>(found.size() + 1), 7);
    for (unsigned long i = 0; i < found.size(); ++i) {
      item_t& row = m_items[i];
      const path_t location("", m_fulldir, found[i].name);
      location.make(row.path);
      row.name = found[i].name;
      row.was_private = get_private(location);
      row.private_check.set_active(row.was_private);
      const Glib::ustring shown_name = to_utf8(row.name);
      row.name_entry.set_text(shown_name);
      shorten_entry(row.name_entry, static_cast<int>(shown_name.size()), name_chars);
      row.build(found[i], location, row.list_button, MSG_EDIT);
      set_button_text(row.remove_button, msg_utf8(MSG_REMOVE));
      attach_columns(m_table, static_cast<guint>(i),
                     {&row.private_check, &row.name_entry, &row.list_button, &row.count_label,
                      &row.title_label, &row.comment_label, &row.remove_button});
      row.list_button.signal_clicked().connect(row_handler(this, &EditBookDialog::button_list, i));
      row.remove_button.signal_clicked().connect(
          row_handler(this, &EditBookDialog::button_remove, i));
    }
  }
  if (get_visible()) {
    show_all_children(true);
    fit_window(*this);
  }
  return true;
}

void EditBookDialog::on_response(int response) {
  Gtk::Dialog::on_response(response);
  switch (response) {
    case EDITBOOK_NEW_COLLECTION: new_collection(); break;
    case EDITBOOK_NEW_ALBUM: new_album(); break;
    case EDITBOOK_UPDATE:
    case Gtk::RESPONSE_APPLY:
    case Gtk::RESPONSE_OK: save(response); break;
    case EDITBOOK_BROWSER: open_browser(*this, m_program_dir, m_fulldir); break;
    default: break;
  }
}

void EditBookDialog::new_collection() {
  MakeBookDialog dialog(*this, m_albumdir);
  for (;;) {
    const int response = dialog.run();
    if (response == Gtk::RESPONSE_CANCEL || response == Gtk::RESPONSE_DELETE_EVENT) return;
    if (response != Gtk::RESPONSE_APPLY && response != Gtk::RESPONSE_OK) continue;
    if (dialog.m_title.empty()) {
      show_error_log(dialog, MSG_ERROR_NO_TITLE);
      continue;
    }
    if (response == Gtk::RESPONSE_OK) break;
  }
  make_items();
  show_all_children(true);
}

void EditBookDialog::new_album() {
  MakeAlbumDialog dialog(*this, g_global.from, m_fulldir, m_program_file);
  ProgWin progwin(dialog);
  std::string from, title, head, last;
  path_t to;
  std::vector<files_t> files;
  for (;;) {
    const int response = dialog.run();
    if (response == Gtk::RESPONSE_CANCEL || response == Gtk::RESPONSE_DELETE_EVENT) return;
    if (response != Gtk::RESPONSE_OK) continue;
    from = from_utf8(dialog.m_from_entry.get_text());
    to = dialog.get_to();
    dialog.m_comments.read(title, head, last);
    // The album's own text files are never imported over the comments
    // written below.
    files = importable_files(dialog.selected_files());
    e_newalbum_t check = check_newalbum(files, from, to, title, false);
    if (check == NEWALBUM_EXISTS) {
      Gtk::MessageDialog question(dialog, msg_utf8(MSG_ASK_ALBUM_EXISTS), false,
                                  Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO, false);
      question.set_title(msg_utf8(MSG_ERROR_TITLE));
      if (question.run() != Gtk::RESPONSE_YES) continue;
      check = check_newalbum(files, from, to, title, true);
    }
    if (check != NEWALBUM_OK) {
      show_error_log(dialog, newalbum_message(check));
      continue;
    }
    // Adding to an existing album never replaces a camera file with
    // another of the same name: what the import would refuse is refused
    // before the album's texts are written.
    const std::vector<std::string> refusals = import_refusals(from, files, to);
    if (!refusals.empty()) {
      std::ostringstream log;
      for (const std::string& line : refusals) log << line << "\n";
      show_error_log(dialog, MSG_ERROR_ALBUM_FAILED, log.str());
      continue;
    }
    break;
  }

  std::ostringstream comment_log;
  if (!make_album_dir(to, title, head, last, dialog.m_private.check.get_active(), comment_log)) {
    show_error_log(dialog, MSG_ERROR_NOT_SAVED, comment_log.str());
    return;
  }
  progwin.show();
  progwin.setProgress1(0);
  std::ostringstream log;
  const bool made = makealbumwithrotate(from, files, to, progwin.signal1, progwin.signal2,
                                        progwin.signal3, progwin.signal4, log);
  // An album made without some of its files (a movie that could not be
  // converted) is an album all the same: the collection lists it before
  // the box tells which files failed and why.
  hide();
  std::ostringstream page_log;
  const bool paged = makehtmlbook(m_albumdir, page_log);
  progwin.hide();
  if (paged) {
    make_items();
    show_all_children(true);
  } else {
    libutils::error();
    std::cerr << "makehtmlbook() fail." << std::endl;
  }
  if (!made || !paged) show_error_log(dialog, MSG_ERROR_ALBUM_FAILED, log.str() + page_log.str());
}

void EditBookDialog::save(int response) {
  save_comment_texts(*this, m_title_entry, m_head_view, m_last_view, m_albumdir);

  // A name shown with U+FFFD and left as it was keeps its row as it is.
  std::vector<std::string> new_names(m_items.size());
  for (std::size_t i = 0; i < m_items.size(); ++i)
    new_names[i] = edited_text(m_items[i].name_entry.get_text(), m_items[i].name);

  m_progwin.show();
  m_progwin.setProgress5(0);
  m_progwin.setProgress6(0);
  std::set<std::string> targets;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const item_t& row = m_items[i];
    if (row.private_check.get_active() != row.was_private)
      set_private(path_t("", m_fulldir, row.name), row.private_check.get_active());
    const std::string& new_name = new_names[i];
    if (new_name == row.name) continue;
    // rename(2), never a shell; a refused name keeps the row as it was.
    if (!rename_entry(m_fulldir, row.name, new_name, std::cerr)) continue;
    const std::string::size_type slash = new_name.rfind('/');
    if (slash != std::string::npos) targets.insert(new_name.substr(0, slash + 1));
  }
  for (const std::string& target : targets) {
    const path_t location("", m_fulldir + "/" + target, "");
    std::string dir;
    location.make(dir);
    if (!makebesthtml(location, m_progwin.signal5, m_progwin.signal6)) {
      libutils::error();
      std::cerr << dir << ": makebesthtml() fail." << std::endl;
    }
    if (!makehtmlbook(location, std::cerr)) {
      libutils::error();
      std::cerr << dir << ": makehtmlbook() fail." << std::endl;
      m_progwin.hide();
      return;
    }
  }
  m_progwin.setProgress5(0);
  m_progwin.setProgress6(0);
  if (!makebesthtml(path_t("", m_fulldir, ""), m_progwin.signal5, m_progwin.signal6)) {
    libutils::error();
    std::cerr << m_fulldir << ": makebesthtml() fail." << std::endl;
  }
  m_progwin.hide();

  m_private.save(m_albumdir);
  if (!rebuild_page() || response != EDITBOOK_UPDATE) return;

  std::ostringstream log;
  m_progwin.show();
  if (!m_albumdir.album.empty()) {
    batchupdate(m_albumdir, log);
  } else {
    std::list<std::string> names = m_dirnames;
    names.sort();
    for (const std::string& name : names) batchupdate(path_t("", m_fulldir, name), log);
  }
  m_progwin.hide();
  if (!log.str().empty()) show_error_log(*this, MSG_UPDATE_ALL, log.str());
}

}  // namespace tavolin

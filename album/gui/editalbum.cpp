#include "album/gui/editalbum.h"

#include <sys/stat.h>

#include <iostream>
#include <iterator>
#include <sstream>

#include "album/engine/best.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/engine/makealbum.h"
#include "album/engine/thumbnail.h"
#include "album/gui/angle_spin.h"
#include "album/gui/busy_guard.h"
#include "album/gui/cell_grid.h"
#include "album/gui/errorbox.h"
#include "album/gui/media_cell.h"
#include "album/gui/picture_shelf.h"
#include "album/gui/row_table.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "image/imageutil.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace tavolin {

EditAlbumDialog::EditAlbumDialog(Gtk::Window& parent, const path_t& location,
                                 const std::string& programdir, decoded_budget_t& decoded)
    : AlbumDialog(parent, MSG_EDIT, programdir, decoded), m_location(location), m_progress(*this) {
  location.make(m_albumdir);
  pack_top(m_albumdir, location, true);
  make_rows();
  pack_foot(m_comments, location, true);
}

EditAlbumDialog::~EditAlbumDialog() { close_window(*this, m_table); }

bool EditAlbumDialog::make_rows() {
  empty_table(m_table);
  m_table.resize(1, 1);
  m_items.clear();

  if (!load_album_files(m_location, m_good, m_fail, m_album, m_names)) return false;
  // Sized once: handlers find their row by index and widgets never move.
  std::vector<item_t>(m_names.size()).swap(m_items);
  size_table(m_table, m_items.size(), 6);

  picture_shelf_t shelf(m_decoded);
  unsigned long i = 0;
  for (const std::string& name : m_names) {
    item_t& item = m_items[i];
    const bool shown = item.build(m_album, name, m_programdir, shelf, true, true);
    const bool shown_photo = shown && media_kind(name) == MEDIA_PHOTO;
    item.judge(m_good, m_fail, true);
    set_button_text(item.rotate, msg_utf8(MSG_ROTATE));
    item.angle.set_wrap(false);
    item.angle.configure(Gtk::Adjustment::create(0, 0, 270, 90, 90, 0), 0, 0);
    item.angle.set_value(0);
    item.angle.set_sensitive(false);
    if (shown_photo) {
      item.judgement_box.add(item.rotate);
      item.judgement_box.add(item.angle);
    }
    item.attach(m_table, cell_place(i, 6), item.name_label, &item.judgement_box);

    // Connected last, so that the first states above fire nothing.
    item.good.signal_toggled().connect(row_handler(this, &EditAlbumDialog::button_good, i));
    item.subtle.signal_toggled().connect(row_handler(this, &EditAlbumDialog::button_subtle, i));
    item.fail.signal_toggled().connect(row_handler(this, &EditAlbumDialog::button_fail, i));
    item.rotate.signal_clicked().connect(row_handler(this, &EditAlbumDialog::button_is_rotate, i));
    item.angle.signal_value_changed().connect(
        row_handler(this, &EditAlbumDialog::button_rotate, i));
    for (unsigned k = 0; k < std::size(book_kinds); ++k)
      item.books.toggle[k].signal_toggled().connect(
          row_handler(this, &EditAlbumDialog::button_book, i, k));
    ++i;
  }
  return true;
}

void EditAlbumDialog::button_good(unsigned long i) {
  item_t& item = m_items[i];
  if (item.good.get_active())
    m_good.names.insert(*item.name);
  else
    m_good.names.erase(*item.name);
  m_good.dirty = true;
}

void EditAlbumDialog::button_subtle(unsigned long i) {
  if (m_items[i].subtle.get_active()) m_items[i].books.clear();
}

void EditAlbumDialog::button_fail(unsigned long i) {
  item_t& item = m_items[i];
  if (item.fail.get_active()) {
    m_fail.names.insert(*item.name);
    m_fail.dirty = true;
    item.books.clear();
  } else {
    m_fail.names.erase(*item.name);
    m_fail.dirty = true;
  }
}

void EditAlbumDialog::button_book(unsigned long i, unsigned k) {
  item_t& item = m_items[i];
  best_t& list = m_album.list(book_kinds[k]);
  if (item.books.toggle[k].get_active()) {
    list.names.insert(*item.name);
    list.dirty = true;
    item.good.set_active(true);
  } else {
    list.names.erase(*item.name);
    list.dirty = true;
  }
}

void EditAlbumDialog::button_is_rotate(unsigned long i) {
  m_items[i].angle.set_sensitive(m_items[i].rotate.get_active());
}

void EditAlbumDialog::button_rotate(unsigned long i) {
  item_t& item = m_items[i];
  const unsigned long q = angle_quarter_turns(item.angle, *item.name);
  // What OK will save: count 0 keeps the photo's files as they are; any
  // other count turns the upright camera picture (turns do not add up).
  libgr::image2d_t source, target;
  bool loaded;
  if (q == 0) {
    loaded = load_scaled_thumbnail(source, m_location, *item.name, get_scale_factor());
  } else {
    loaded = item.upright.width != 0 ||
             load_scaled_upright(item.upright, m_location, *item.name, get_scale_factor());
    if (loaded) source = item.upright;
  }
  if (!loaded) {
    libutils::error();
    std::cerr << *item.name << ": load_scaled_thumbnail() fail." << std::endl;
    return;
  }
  if (!libgr::rotate(q, target, source)) {
    libutils::error();
    std::cerr << *item.name << ": rotate() fail." << std::endl;
    return;
  }
  item.button.set(target);
}

bool EditAlbumDialog::save_all_comment(bool& goodchanged, std::ostream& log) {
  for (item_t& item : m_items) {
    const std::string text = item.typed_comment();
    if (text == item.comment) continue;
    if (!savephotocomment(text, m_albumdir, *item.name, log))
      return libutils::fail_to(log, *item.name, ": save comment fail.");
    if (m_good.names.count(*item.name)) goodchanged = true;
  }
  return true;
}

std::vector<files_t> EditAlbumDialog::selected_files() const {
  std::vector<files_t> files;
  files.reserve(m_items.size());
  for (const item_t& item : m_items)
    files.emplace_back(*item.name, angle_quarter_turns(item.angle, *item.name));
  return files;
}

void EditAlbumDialog::on_response(int response) {
  Gtk::Dialog::on_response(response);
  if (response != Gtk::RESPONSE_APPLY && response != Gtk::RESPONSE_OK) return;
  busy_t busy(*this);
  save();
}

void EditAlbumDialog::save() {
  bool goodchanged = false;
  const bool books_written = m_album.save();
  const bool good_written = m_good.save();
  if (books_written || good_written) {
    // The best album of the collection that holds this album.
    std::string best;
    path_t("", m_location.middle, "").make(best, best_dir);
    mkdir(best.c_str(), 0755);
    mkdir(below(best, txt_dir).c_str(), 0755);
    goodchanged = true;
  }
  m_fail.save();

  std::ostringstream comment_log;
  if (m_comments.save(*this, m_location) && !save_all_comment(goodchanged, comment_log))
    show_error_log(*this, MSG_ERROR_NOT_SAVED, comment_log.str());

  m_private.save(m_location);
  if (m_location.album == best_dir) return;

  const std::vector<files_t> files = selected_files();
  m_progress.clear();
  m_progress.show();
  m_progress.setProgress1(0);
  std::ostringstream log;
  // A file the update cannot read still leaves the pages written: the
  // book choices reach the best album too.
  const bool updated = updatealbum(m_location, files, m_progress.signal1, m_progress.signal2,
                                   m_progress.signal3, m_progress.signal4, log);
  if (goodchanged) makebesthtml(m_location, m_progress.signal5, m_progress.signal6);
  m_progress.hide();
  if (!updated) {
    libutils::error();
    std::cerr << m_albumdir << ": updatealbum() fail." << std::endl;
    show_error_log(*this, MSG_ERROR_ALBUM_FAILED, log.str());
  }
}

}  // namespace tavolin

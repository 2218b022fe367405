#include "album/gui/goodalbum.h"

#include <iostream>
#include <iterator>
#include <sstream>

#include "album/engine/best.h"
#include "album/engine/comment.h"
#include "album/engine/html.h"
#include "album/engine/layout.h"
#include "album/gui/busy_guard.h"
#include "album/gui/cell_grid.h"
#include "album/gui/errorbox.h"
#include "album/gui/picture_shelf.h"
#include "album/gui/row_table.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace tavolin {

GoodAlbumDialog::GoodAlbumDialog(Gtk::Window& parent, const path_t& location,
                                 const std::string& programdir, decoded_budget_t& decoded,
                                 bool editable)
    : AlbumDialog(parent, MSG_BEST_PHOTOS, programdir, decoded),
      m_editable(editable),
      m_location(location),
      m_progress(*this) {
  std::string dir;
  location.make(dir);
  pack_top(dir, location, editable);
  make_rows();
  pack_foot(m_comments, location, editable);
}

GoodAlbumDialog::~GoodAlbumDialog() { close_window(*this, m_table); }

bool GoodAlbumDialog::make_rows() {
  empty_table(m_table);
  m_table.resize(1, 1);
  m_items.clear();
  m_albums.clear();

  std::list<std::string> names;
  libutils::getdirs(names, m_location.middle);
  names.reverse();
  for (const std::string& name : names) {
    if (name == txt_dir || name[0] == generated_dir_mark) continue;
    m_albums.emplace_back();
    m_albums.back().load(path_t("", m_location.middle, name));
  }

  std::size_t n = 0;
  for (const album_t& album : m_albums) n += album.m_good.names.size();
  // Rows hold widgets: made in place, once, never moved.
  std::vector<item_t>(n).swap(m_items);
  size_table(m_table, n, 5);

  picture_shelf_t shelf(m_decoded);
  unsigned long i = 0;
  for (album_t& album : m_albums) {
    for (const std::string& name : album.m_good.names) {
      item_t& item = m_items[i];
      item.album = &album;
      item.path = "../" + album.path.album + "/" + name;
      item.build(album, name, m_programdir, shelf, m_editable);
      item.path_label.show_name(to_utf8(item.path));
      item.path_label.set_selectable(true);
      item.attach(m_table, cell_place(i, 5), item.path_label);

      for (unsigned k = 0; k < std::size(book_kinds); ++k)
        item.books.toggle[k].signal_toggled().connect(
            row_handler(this, &GoodAlbumDialog::button_book, i, k));
      ++i;
    }
  }
  return true;
}

void GoodAlbumDialog::button_book(unsigned long i, unsigned k) {
  item_t& item = m_items[i];
  best_t& list = item.album->list(book_kinds[k]);
  if (item.books.toggle[k].get_active())
    list.names.insert(*item.name);
  else
    list.names.erase(*item.name);
  list.dirty = true;
}

bool GoodAlbumDialog::save_all_comment(std::ostream& log) {
  bool result = true;
  for (item_t& item : m_items) {
    const std::string text = item.typed_comment();
    if (text == item.comment) continue;
    item.album->changed = true;
    std::string albumdir;
    item.album->path.make(albumdir);
    if (!savephotocomment(text, albumdir, *item.name, log)) {
      libutils::fail_to(log, *item.name, ": save comment fail.");
      result = false;
    }
  }
  return result;
}

void GoodAlbumDialog::on_response(int response) {
  Gtk::Dialog::on_response(response);
  if (!(response == Gtk::RESPONSE_APPLY || (response == Gtk::RESPONSE_OK && m_editable))) return;
  busy_t busy(*this);
  save();
}

void GoodAlbumDialog::save() {
  std::ostringstream comment_log;
  if (m_comments.save(*this, m_location) && !save_all_comment(comment_log))
    show_error_log(*this, MSG_ERROR_NOT_SAVED, comment_log.str());

  m_private.save(m_location);
  m_progress.clear();
  m_progress.show();
  std::ostringstream log;
  bool ok = true;
  for (album_t& album : m_albums) {
    if (!album.save()) continue;
    const bool pages = makehtml(album.path, m_progress.signal3, log);
    const bool zoom = makehtmlzoom(album.path, m_progress.signal4, log);
    if (!pages || !zoom) ok = false;
  }
  makebesthtml(m_location, m_progress.signal5, m_progress.signal6);
  m_progress.hide();
  if (!ok) show_error_log(*this, MSG_ERROR_NOT_SAVED, log.str());
}

}  // namespace tavolin

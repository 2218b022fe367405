#include "album/gui/goodalbum.h"

#include <iostream>
#include <sstream>

#include "album/engine/best.h"
#include "album/engine/comment.h"
#include "album/engine/html.h"
#include "album/gui/text.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace tavolin {

namespace {

Glib::ustring msg(unsigned id) { return to_utf8(plimlib::getmsg(id)); }

}  // namespace

GoodAlbumDialog::GoodAlbumDialog(Gtk::Window& parent, const path_t& location,
                                 const std::string& programdir, bool editable)
    : Gtk::Dialog(msg(5), parent, true),
      m_editable(editable),
      m_programdir(programdir),
      m_location(location),
      m_table(1, 1, false),
      m_progress(*this) {
  Gtk::Box& content = *get_content_area();
  std::string dir;
  location.make(dir);
  m_header.build(14, dir);
  content.add(m_header.box);
  m_private.build(location, editable);
  content.add(m_private.box);
  m_scrolled.add(m_table);
  content.pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  make_rows();
  m_comments.build(editable);
  m_comments.pack(content);
  update_comment();
  m_table.signal_size_allocate().connect(
      sigc::mem_fun(*this, &GoodAlbumDialog::table_size_allocate));
  add_button("_OK", Gtk::RESPONSE_OK);
  if (editable) {
    add_button("_Apply", Gtk::RESPONSE_APPLY);
    add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  }
  show_all_children(true);
}

GoodAlbumDialog::~GoodAlbumDialog() = default;

bool GoodAlbumDialog::make_rows() {
  m_table.resize(1, 1);
  m_items.clear();
  m_albums.clear();

  std::list<std::string> names;
  libutils::getdirs(names, m_location.middle);
  names.reverse();
  for (const std::string& name : names) {
    if (name == "txt" || name[0] == '_') continue;
    m_albums.emplace_back();
    m_albums.back().load(path_t("", m_location.middle, name));
  }

  std::size_t n = 0;
  for (const album_t& album : m_albums) n += album.m_good.names.size();
  m_items.reserve(n);

  unsigned long i = 0;
  for (album_t& album : m_albums) {
    for (const std::string& name : album.m_good.names) {
      m_items.emplace_back();
      item_t& item = m_items.back();
      const cell_place_t place = cell_place(i, 5);
      item.album = &album;
      item.name = &name;
      item.path = "../" + album.path.album + "/" + name;

      const e_media_t kind = media_kind(name);
      load_media_cell(item.button, item.image, kind, album.path, name, item.info);
      static void (GoodAlbumDialog::*const click[])(unsigned long) = {
          &GoodAlbumDialog::button_image, &GoodAlbumDialog::button_movie,
          &GoodAlbumDialog::button_audio};
      if (kind != MEDIA_OTHER)
        item.button.signal_clicked().connect(sigc::bind(sigc::mem_fun(*this, click[kind]), i));

      item.path_label.set_text(to_utf8(item.path));
      item.path_label.set_selectable(true);
      loadphotocomment(item.comment, album.path, name);
      item.comment_view.get_buffer()->set_text(to_utf8(item.comment));
      item.comment_view.set_editable(m_editable);
      item.books.build(album, name);
      item.books.set_editable(m_editable);
      if (kind == MEDIA_PHOTO) item.info = exif_summary(album.path, name);
      item.info_label.set_text(to_utf8(item.info));
      item.info_label.set_selectable(true);

      attach_cell(m_table, item.button, place, 0);
      attach_cell(m_table, item.path_label, place, 1);
      attach_cell(m_table, item.comment_view, place, 2, Gtk::FILL);
      attach_cell(m_table, item.books.box, place, 3);
      attach_cell(m_table, item.info_label, place, 4);

      for (unsigned k = 0; k < 6; ++k)
        item.books.toggle[k].signal_toggled().connect(
            sigc::bind(sigc::mem_fun(*this, &GoodAlbumDialog::button_book), i, k));
      ++i;
    }
  }
  return true;
}

void GoodAlbumDialog::update_comment() {
  m_comments.load(m_location);
  show_all_children(true);
}

void GoodAlbumDialog::table_size_allocate(Gdk::Rectangle& allocation) {
  size_scrolled(m_scrolled, allocation, false);
}

void GoodAlbumDialog::button_image(unsigned long i) {
  open_photo(m_programdir, m_items[i].album->path, *m_items[i].name);
}
void GoodAlbumDialog::button_movie(unsigned long i) {
  play_movie(m_items[i].album->path, *m_items[i].name);
}
void GoodAlbumDialog::button_audio(unsigned long i) {
  play_sound(m_items[i].album->path, *m_items[i].name);
}

void GoodAlbumDialog::button_book(unsigned long i, unsigned k) {
  item_t& item = m_items[i];
  best_t& list = item.album->list(book_kinds[k]);
  if (item.books.toggle[k].get_active()) list.names.insert(*item.name);
  else list.names.erase(*item.name);
  list.dirty = true;
}

bool GoodAlbumDialog::save_all_comment() {
  bool result = true;
  for (item_t& item : m_items) {
    std::string text;
    if (!view_text(item.comment_view, text)) {
      result = false;
      continue;
    }
    if (text == item.comment) continue;
    item.album->changed = true;
    std::string albumdir;
    item.album->path.make(albumdir);
    if (!savephotocomment(text, albumdir, *item.name)) {
      libutils::error();
      std::cerr << *item.name << ": save comment fail." << std::endl;
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
  std::string title, head, last;
  if (!m_comments.read(title, head, last)) error_box(*this, 30);
  else if (title.empty()) error_box(*this, 26);
  else if (!savecommenttxt(m_location, title, head, last, std::cerr)) error_box(*this, 30);
  else if (!save_all_comment()) error_box(*this, 30);

  m_private.save(m_location);
  m_progress.clear();
  m_progress.show();
  std::ostringstream log;
  bool ok = true;
  for (album_t& album : m_albums) {
    if (!album.save()) continue;
    const bool pages = makehtml(album.path, m_progress.signal3, log);
    const bool zoom = makehtmlzoom(album.path, m_progress.signal4);
    if (!pages || !zoom) ok = false;
  }
  makebesthtml(m_location, m_progress.signal5, m_progress.signal6);
  m_progress.hide();
  if (!ok) error_box(*this, 30, log.str());
}

}  // namespace tavolin

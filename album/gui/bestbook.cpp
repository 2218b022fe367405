#include "album/gui/bestbook.h"

#include <algorithm>
#include <iostream>
#include <sstream>

#include <gtkmm/stock.h>

#include "album/engine/best.h"
#include "album/engine/book.h"
#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/scan.h"
#include "album/engine/shrink.h"
#include "album/engine/thumbnail.h"
#include "album/engine/util.h"
#include "album/gui/bookcells.h"
#include "album/gui/text.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

const best_t& list_of(const album_t& album, e_bestname_t kind) {
  if (static_cast<unsigned>(kind) >= bestname_count) return album.m_best;
  return album.list(kind);
}

}  // namespace

BestBookDialog::BestBookDialog(Gtk::Window& parent, const path_t& book,
                               const std::string& program_directory, e_bestname_t kind,
                               bool editable)
    : Gtk::Dialog(msg_utf8(5), parent, true),
      m_editable(editable),
      m_program_directory(program_directory),
      m_book(book),
      m_kind(kind),
      m_top_box(false, 0),
      m_private_box(false, 0),
      m_table(1, 1, false),
      m_progwin(*this) {
  Gtk::Box& content = *get_vbox();
  m_directory_label.set_text(msg_utf8(14));
  std::string full;
  m_book.make(full);
  m_location_label.set_text(to_utf8(full));
  m_location_label.set_selectable(true);
  m_top_box.add(m_directory_label);
  m_top_box.add(m_location_label);
  content.add(m_top_box);

  m_private_check.set_active(get_private(m_book));
  m_private_check.set_sensitive(m_editable);
  m_private_label.set_text(msg_utf8(49));
  m_private_box.pack_start(m_private_label, Gtk::PACK_SHRINK, 0);
  m_private_box.add(m_private_check);
  content.add(m_private_box);

  m_scrolledwindow.add(m_table);
  content.pack_start(m_scrolledwindow, Gtk::PACK_EXPAND_WIDGET, 0);
  make_rows();

  m_title_label.set_text(msg_utf8(21));
  m_head_label.set_text(msg_utf8(23));
  m_last_label.set_text(msg_utf8(24));
  m_head_view.set_size_request(300, 60);
  m_last_view.set_size_request(300, 60);
  m_title_entry.set_editable(m_editable);
  m_head_view.set_editable(m_editable);
  m_last_view.set_editable(m_editable);
  content.add(m_title_label);
  content.add(m_title_entry);
  content.add(m_head_label);
  content.add(m_head_view);
  content.add(m_last_label);
  content.add(m_last_view);
  update_comment();
  m_table.signal_size_allocate().connect(
      sigc::mem_fun(*this, &BestBookDialog::table_size_allocate));

  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  if (m_editable) {
    add_button(Gtk::Stock::APPLY, Gtk::RESPONSE_APPLY);
    add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  }
  show_all_children(true);
}

BestBookDialog::~BestBookDialog() = default;

void BestBookDialog::make_rows() {
  const std::string holding = collectiondir(m_book);
  std::list<std::string> names;
  libutils::getdirs(names, holding);
  names.reverse();
  names.remove_if([](const std::string& n) { return n == "txt" || n[0] == '_'; });
  const path_t base(holding, "", "");
  std::list<albumdir_t> pairs;
  hierar_albums(pairs, base, names);
  sort_albums(pairs);
  load_albums(m_albums, base, pairs);

  std::size_t count = 0;
  for (const album_t& album : m_albums) count += list_of(album, m_kind).names.size();
  // Rows hold widgets: made in place, once, never moved.
  std::vector<item_t>(count).swap(m_rows);

  const unsigned long h = g_global.horizontal_items ? g_global.horizontal_items : 1;
  const int scale = get_scale_factor();
  const Gtk::AttachOptions both = Gtk::EXPAND | Gtk::FILL;
  const unsigned messages[6] = {50, 51, 52, 53, 54, 55};
  unsigned long i = 0;
  for (const album_t& album : m_albums) {
    for (const std::string& name : list_of(album, m_kind).names) {
      item_t& row = m_rows[i];
      row.album = &album.path;
      row.name = &name;
      std::string rel;
      album.path.submake(rel);
      row.caption = "../" + rel + "/" + name;
      row.caption_label.set_text(to_utf8(row.caption));
      row.caption_label.set_selectable(true);

      std::string duration, stream;
      if (is_photo_name(name)) {
        if (load_scaled_thumbnail(row.image, album.path, name, scale)) row.button.set(row.image);
        else row.button.set_size_request(32, 32);
        row.button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &BestBookDialog::button_image), i));
      } else if (is_movie_name(name)) {
        if (load_scaled_ffthumbnail(row.image, album.path, name, scale, duration, stream))
          row.button.set(row.image);
        else
          row.button.set_size_request(32, 32);
        row.button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &BestBookDialog::button_movie), i));
      } else if (is_sound_name(name)) {
        std::string file;
        album.path.make(file, "original", name);
        mpidentify(file, duration, stream);
        row.button.set_size_request(32, 32);
        row.button.signal_clicked().connect(
            sigc::bind(sigc::mem_fun(*this, &BestBookDialog::button_audio), i));
      }

      loadphotocomment(row.comment, album.path, name);
      set_view_text(row.comment_view, row.comment);
      row.comment_view.set_editable(false);

      Gtk::CheckButton* toggles[6] = {&row.best, &row.apply, &row.submit,
                                      &row.sale, &row.print, &row.upload};
      const bool member[6] = {album.best(name),  album.apply(name), album.submit(name),
                              album.sale(name),  album.print(name), album.upload(name)};
      for (int t = 0; t < 6; ++t) {
        toggles[t]->set_label(msg_utf8(messages[t]));
        toggles[t]->set_active(member[t]);
        toggles[t]->set_sensitive(false);
        toggles[t]->set_can_focus(false);
        toggles[t]->set_focus_on_click(false);
        row.toggle_box.add(*toggles[t]);
      }

      if (is_photo_name(name)) {
        std::ostringstream exif;
        writeexif(exif, album.path, "original", name, false);
        row.info = exif.str();
      } else if (is_movie_name(name) || is_sound_name(name)) {
        row.info = duration + ", " + stream;
      }
      row.info_label.set_text(to_utf8(row.info));
      row.info_label.set_selectable(true);

      const guint c = static_cast<guint>(i % h);
      const guint t = static_cast<guint>(5 * (i / h));
      m_table.attach(row.button, c, c + 1, t, t + 1, both, both, 0, 0);
      m_table.attach(row.caption_label, c, c + 1, t + 1, t + 2, both, both, 0, 0);
      m_table.attach(row.comment_view, c, c + 1, t + 2, t + 3, Gtk::FILL, both, 0, 0);
      m_table.attach(row.toggle_box, c, c + 1, t + 3, t + 4, both, both, 0, 0);
      m_table.attach(row.info_label, c, c + 1, t + 4, t + 5, both, both, 0, 0);
      ++i;
    }
  }
}

void BestBookDialog::update_comment() {
  std::string title, head, last;
  loadcommenttxt(m_book, title, head, last);
  if (!title.empty()) m_title_entry.set_text(to_utf8(title));
  if (!head.empty()) set_view_text(m_head_view, head);
  if (!last.empty()) set_view_text(m_last_view, last);
  show_all_children(true);
}

void BestBookDialog::table_size_allocate(Gdk::Rectangle& allocation) {
  if (allocation.get_height() > 0)
    m_scrolledwindow.set_size_request(allocation.get_width(),
                                      std::min(allocation.get_height(), 640));
}

void BestBookDialog::button_image(unsigned long index) {
  const item_t& row = m_rows[index];
  std::string file;
  row.album->make(file, "original", *row.name);
  run_plimzev3(m_program_directory, file);
}

void BestBookDialog::button_audio(unsigned long index) {
  const item_t& row = m_rows[index];
  std::string file;
  row.album->make(file, "original", *row.name);
  run_movie(file);
}

void BestBookDialog::button_movie(unsigned long index) {
  const item_t& row = m_rows[index];
  libgr::direction2ul_t size;
  std::string duration, stream;
  getffshrinklevel(*row.album, "original", *row.name, size, duration, stream);
  unsigned long n = 0;
  while (size.x > g_global.play_size_x || size.y > g_global.play_size_y) {
    size.x /= 2;
    size.y /= 2;
    ++n;
  }
  std::string file;
  row.album->make(file, "movie" + std::to_string(n), replace_extension(*row.name, ".mp4"));
  run_movie(file);
}

void BestBookDialog::on_response(int response_id) {
  Gtk::Dialog::on_response(response_id);
  if (response_id != Gtk::RESPONSE_APPLY && !(response_id == Gtk::RESPONSE_OK && m_editable))
    return;
  const std::string title = widget_text(m_title_entry.get_text());
  const std::string head = view_text(m_head_view);
  const std::string last = view_text(m_last_view);
  if (title.empty()) {
    show_error_log(*this, 26, "");
  } else if (!savecommenttxt(m_book, title, head, last, std::cerr)) {
    show_error_log(*this, 30, "");
  }
  set_private(m_book, m_private_check.get_active());
  m_progwin.clear();
  m_progwin.show();
  makebestbookhtml(m_book, m_kind, m_progwin.signal5, m_progwin.signal6);
  m_progwin.hide();
}

}  // namespace tavolin

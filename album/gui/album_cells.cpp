#include "album/gui/album_cells.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/thumbnail.h"
#include "album/engine/util.h"
#include "album/gui/errorbox.h"
#include "album/gui/text.h"
#include "utility/message.h"

namespace tavolin {

namespace {

Glib::ustring msg(unsigned id) { return to_utf8(plimlib::getmsg(id)); }

std::string original_file(const path_t& location, const std::string& name) {
  std::string file;
  location.make(file, "original", name);
  return file;
}

}  // namespace

e_media_t media_kind(const std::string& name) {
  if (is_photo_name(name)) return MEDIA_PHOTO;
  if (is_movie_name(name)) return MEDIA_MOVIE;
  if (is_sound_name(name)) return MEDIA_SOUND;
  return MEDIA_OTHER;
}

bool load_media_cell(CairoButton& button, libgr::image2d_t& image, e_media_t kind,
                     const path_t& location, const std::string& name, std::string& info) {
  const int scale = button.get_scale_factor();
  std::string duration, stream;
  bool loaded = false;
  switch (kind) {
    case MEDIA_PHOTO:
      loaded = load_scaled_thumbnail(image, location, name, scale);
      break;
    case MEDIA_MOVIE:
      loaded = load_scaled_ffthumbnail(image, location, name, scale, duration, stream);
      info = duration + ", " + stream;
      break;
    case MEDIA_SOUND:
      mpidentify(original_file(location, name), duration, stream);
      info = duration + ", " + stream;
      break;
    case MEDIA_OTHER:
      return false;
  }
  if (loaded) button.set(image);
  else button.set_size_request(32, 32);
  return loaded;
}

std::string exif_summary(const path_t& location, const std::string& name) {
  std::ostringstream os;
  writeexif(os, location, "original", name, false);
  return os.str();
}

void open_photo(const std::string& programdir, const path_t& location, const std::string& name) {
  run_plimzev3(programdir, original_file(location, name));
}

void play_sound(const path_t& location, const std::string& name) {
  run_movie(original_file(location, name));
}

unsigned long play_level(unsigned long w, unsigned long h) {
  unsigned long n = 0;
  // Halving ends at 0 x 0, which fits any box.
  while ((g_global.play_size_x < w || g_global.play_size_y < h) && (w > 0 || h > 0)) {
    w /= 2;
    h /= 2;
    ++n;
  }
  return n;
}

void play_movie(const path_t& location, const std::string& name) {
  libgr::direction2ul_t size;
  std::string duration, stream;
  getffshrinklevel(location, "original", name, size, duration, stream);
  std::string file;
  location.make(file, "movie" + std::to_string(play_level(size.x, size.y)),
                replace_extension(name, ".mp4"));
  run_movie(file);
}

void book_toggles_t::build(const album_t& album, const std::string& name) {
  for (unsigned k = 0; k < 6; ++k) {
    toggle[k].set_label(msg(50 + k));
    toggle[k].set_active(album.list(book_kinds[k]).names.count(name) != 0);
    box.add(toggle[k]);
  }
}

void book_toggles_t::set_editable(bool editable) {
  for (Gtk::CheckButton& t : toggle) {
    t.set_sensitive(editable);
    t.set_can_focus(editable);
    t.set_focus_on_click(editable);
  }
}

void book_toggles_t::clear() {
  for (Gtk::CheckButton& t : toggle) t.set_active(false);
}

cell_place_t cell_place(unsigned long i, guint span) {
  // A hand-edited settings file may hold 0 cells per line.
  const unsigned long k = std::max<unsigned long>(g_global.horizontal_items, 1);
  return {static_cast<guint>(i % k), static_cast<guint>(span * (i / k))};
}

void attach_cell(Gtk::Table& table, Gtk::Widget& w, const cell_place_t& place, guint offset,
                 Gtk::AttachOptions xoptions) {
  // Gtk::Table grows itself as cells are attached past its size.
  table.attach(w, place.column, place.column + 1, place.top + offset, place.top + offset + 1,
               xoptions, Gtk::EXPAND | Gtk::FILL, 0, 0);
}

void size_scrolled(Gtk::ScrolledWindow& scrolled, const Gdk::Rectangle& allocation,
                   bool screen_limit) {
  const int h = allocation.get_height();
  if (h <= 0) return;
  int w = allocation.get_width();
  if (screen_limit) w = std::min(w, scrolled.get_screen()->get_width());
  scrolled.set_size_request(w, std::min(h, 640));
}

void path_row_t::build(unsigned caption_id, const std::string& dir) {
  caption.set_text(msg(caption_id));
  path.set_text(to_utf8(dir));
  path.set_selectable(true);
  box.add(caption);
  box.add(path);
}

void private_row_t::build(const path_t& location, bool sensitive) {
  std::string marker;
  location.make(marker, "txt", "secret.txt");
  check.set_active(is_exist(marker));
  check.set_sensitive(sensitive);
  caption.set_text(msg(49));
  box.pack_start(caption, Gtk::PACK_SHRINK, 0);
  box.add(check);
}

void private_row_t::save(const path_t& location) const {
  std::string marker;
  location.make(marker, "txt", "secret.txt");
  if (check.get_active()) std::ofstream(marker, std::ios::binary | std::ios::trunc);
  else ::unlink(marker.c_str());
}

void comment_rows_t::build(bool editable) {
  title_caption.set_text(msg(21));
  head_caption.set_text(msg(23));
  last_caption.set_text(msg(24));
  head_view.set_size_request(300, 60);
  last_view.set_size_request(300, 60);
  title_entry.set_editable(editable);
  head_view.set_editable(editable);
  last_view.set_editable(editable);
}

void comment_rows_t::pack(Gtk::Box& box) {
  for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{
           &title_caption, &title_entry, &head_caption, &head_view, &last_caption, &last_view})
    box.add(*w);
}

void comment_rows_t::load(const path_t& location) {
  std::string title, head, last;
  loadcommenttxt(location, title, head, last);
  if (!title.empty()) title_entry.set_text(to_utf8(title));
  if (!head.empty()) head_view.get_buffer()->set_text(to_utf8(head));
  if (!last.empty()) last_view.get_buffer()->set_text(to_utf8(last));
}

bool comment_rows_t::read(std::string& title, std::string& head, std::string& last) const {
  return from_utf8(title_entry.get_text(), title) && view_text(head_view, head) &&
         view_text(last_view, last);
}

bool view_text(const Gtk::TextView& view, std::string& out) {
  return from_utf8(view.get_buffer()->get_text(true), out);
}

busy_t::busy_t(Gtk::Dialog& dialog) : m_dialog(dialog) {
  for (int r : {Gtk::RESPONSE_OK, Gtk::RESPONSE_APPLY, Gtk::RESPONSE_CANCEL})
    m_dialog.set_response_sensitive(r, false);
}

busy_t::~busy_t() {
  for (int r : {Gtk::RESPONSE_OK, Gtk::RESPONSE_APPLY, Gtk::RESPONSE_CANCEL})
    m_dialog.set_response_sensitive(r, true);
}

void error_box(Gtk::Window& parent, unsigned message_id, const std::string& log) {
  show_error(parent, plimlib::getmsg(message_id), log.empty() ? "" : "\n" + log);
}

}  // namespace tavolin

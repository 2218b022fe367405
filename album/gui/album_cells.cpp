#include "album/gui/album_cells.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>

#include <gtkmm/stock.h>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/shrink.h"
#include "album/engine/thumbnail.h"
#include "album/engine/util.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/toggle_images.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

std::string original_file(const path_t& location, const std::string& name) {
  std::string file;
  location.make(file, original_dir, name);
  return file;
}

}  // namespace

e_media_t media_kind(const std::string& name) {
  if (is_photo_name(name)) return MEDIA_PHOTO;
  if (is_movie_name(name)) return MEDIA_MOVIE;
  if (is_sound_name(name)) return MEDIA_SOUND;
  return MEDIA_OTHER;
}

libgr::image2d_t picture_shelf_t::keep(const libgr::image2d_t& picture) {
  // Blocks of 16 MB: some sixty thumbnails of a camera photo each; only the
  // pages written are taken.
  constexpr size_t block_bytes = size_t{16} << 20;
  const uint64_t need = (uint64_t{picture.height} + picture.window.skip_rows) * picture.rowsize();
  if (need == 0 || need > picture.pixels.size() || need > block_bytes) return picture;
  const size_t bytes = static_cast<size_t>(need);
  if (m_block.empty() || m_used + bytes > m_block.size()) {
    libgr::pixel_store_t fresh;
    if (!fresh.resize(block_bytes)) return picture;
    m_block = fresh;
    m_used = 0;
  }
  libgr::image2d_t kept = picture;
  kept.pixels.setwindow(m_block, m_used, bytes);
  std::memcpy(kept.pixels.begin(), picture.pixels.begin(), bytes);
  m_used += (bytes + 63) & ~size_t{63};
  return kept;
}

bool load_media_cell(CairoButton& button, picture_shelf_t& shelf, e_media_t kind,
                     const path_t& location, const std::string& name, std::string& info) {
  const int scale = button.get_scale_factor();
  std::string duration, stream;
  bool loaded = false;
  switch (kind) {
    case MEDIA_PHOTO: {
      level_picture_t level;
      loaded =
          load_scaled_thumbnail(level, shelf.scratch, location, name, scale, info, shelf.heads);
      if (loaded && !level.file.empty()) {
        button.set(std::move(level));
        return true;
      }
      break;
    }
    case MEDIA_MOVIE:
      loaded = load_scaled_ffthumbnail(shelf.scratch, location, name, scale, duration, stream);
      info = duration + ", " + stream;
      break;
    case MEDIA_SOUND:
      mpidentify(original_file(location, name), duration, stream);
      info = duration + ", " + stream;
      break;
    case MEDIA_OTHER: return false;
  }
  if (loaded) {
    libgr::image2d_t kept = shelf.keep(shelf.scratch);
    button.set(kept);
  } else {
    button.set_size_request(32, 32);
  }
  return loaded;
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
  getffshrinklevel(location, original_dir, name, size, duration, stream);
  std::string file;
  location.make(file, movie_dir(play_level(size.x, size.y)), replace_extension(name, ".mp4"));
  run_movie(file);
}

unsigned long angle_quarter_turns(const Gtk::SpinButton& angle, const std::string& name) {
  const long value = static_cast<long>(angle.get_value());
  if (value == 0 || value == 90 || value == 180 || value == 270)
    return static_cast<unsigned long>(value) / 90;
  libutils::error();
  std::cerr << name << ": " << value << ": not 90/180/270." << std::endl;
  return 0;
}

void book_toggles_t::build(const album_t& album, const std::string& name) {
  for (unsigned k = 0; k < 6; ++k) {
    set_button_text(toggle[k], msg_utf8(50 + k));
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

void size_table(Gtk::Table& table, unsigned long cells, guint span) {
  if (cells == 0) return;
  const unsigned long k = std::max<unsigned long>(g_global.horizontal_items, 1);
  table.resize(cell_place(cells - 1, span).top + span, static_cast<guint>(std::min(cells, k)));
}

void attach_cell(Gtk::Table& table, Gtk::Widget& w, const cell_place_t& place, guint offset,
                 Gtk::AttachOptions xoptions) {
  // A widget makes its style context when first asked, and a new one makes
  // GTK look again at every sibling of the widget: asked here, before the
  // table is in a window, a label costs the same however many rows there are.
  // Shown as it is attached: a widget that turns visible makes GTK look
  // along its siblings for a visible one, all of them when none before it
  // is, as when a full table is shown at once.
  w.get_style_context();
  table.attach(w, place.column, place.column + 1, place.top + offset, place.top + offset + 1,
               xoptions, Gtk::EXPAND | Gtk::FILL, 0, 0);
  w.show_all();
}

void path_row_t::build(unsigned caption_id, const std::string& dir) {
  caption.set_text(msg_utf8(caption_id));
  path.set_text(to_utf8(dir));
  path.set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
  path.set_selectable(true);
  box.add(caption);
  box.add(path);
}

void private_row_t::build(const path_t& location, bool sensitive) {
  check.set_active(get_private(location));
  check.set_sensitive(sensitive);
  caption.set_text(msg_utf8(49));
  box.pack_start(caption, Gtk::PACK_SHRINK, 0);
  box.add(check);
}

void private_row_t::save(const path_t& location) const {
  set_private(location, check.get_active());
}

void comment_rows_t::build(bool editable) {
  title_caption.set_text(msg_utf8(21));
  head_caption.set_text(msg_utf8(23));
  last_caption.set_text(msg_utf8(24));
  head_view.set_size_request(300, 60);
  last_view.set_size_request(300, 60);
  wrap_view(head_view);
  wrap_view(last_view);
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
  offer(title, head, last);
}

void comment_rows_t::offer(const std::string& title, const std::string& head,
                           const std::string& last) {
  if (!title.empty()) title_entry.set_text(to_utf8(title));
  if (!head.empty()) head_view.get_buffer()->set_text(to_utf8(head));
  if (!last.empty()) last_view.get_buffer()->set_text(to_utf8(last));
}

bool comment_rows_t::read(std::string& title, std::string& head, std::string& last) const {
  return comment_texts(title_entry, head_view, last_view, title, head, last);
}

bool comment_rows_t::save(Gtk::Window& parent, const path_t& location) const {
  return save_comment_texts(parent, title_entry, head_view, last_view, location);
}

bool media_row_t::build(const album_t& album, const std::string& file,
                        const std::string& programdir, picture_shelf_t& shelf, bool editable,
                        bool exif_needs_thumbnail) {
  name = &file;
  const path_t* at = &album.path;
  const e_media_t kind = media_kind(file);
  const bool shown = load_media_cell(button, shelf, kind, *at, file, info);
  const std::string* dir = &programdir;
  if (kind == MEDIA_PHOTO)
    button.signal_clicked().connect([=] { open_photo(*dir, *at, file); });
  else if (kind == MEDIA_MOVIE)
    button.signal_clicked().connect([=] { play_movie(*at, file); });
  else if (kind == MEDIA_SOUND)
    button.signal_clicked().connect([=] { play_sound(*at, file); });
  loadphotocomment(comment, *at, file);
  comment_view.get_buffer()->set_text(to_utf8(comment));
  comment_view.set_editable(editable);
  books.build(album, file);
  books.set_editable(editable);
  if (kind == MEDIA_PHOTO && !shown && exif_needs_thumbnail) info.clear();
  info_label.set_text(to_utf8(info));
  info_label.set_selectable(true);
  return shown;
}

void media_row_t::attach(Gtk::Table& table, const cell_place_t& place, Gtk::Label& caption,
                         Gtk::Widget* middle) {
  attach_cell(table, button, place, 0);
  attach_cell(table, caption, place, 1);
  attach_cell(table, comment_view, place, 2, Gtk::FILL);
  guint row = 3;
  if (middle) attach_cell(table, *middle, place, row++);
  attach_cell(table, books.box, place, row++);
  attach_cell(table, info_label, place, row);
}

bool load_album_files(const path_t& location, best_t& good, best_t& fail, album_t& album,
                      std::list<std::string>& names) {
  good.load(location, bestname_listfile(E_BESTNAME_GOOD));
  fail.load(location, bestname_listfile(E_BESTNAME_FAIL));
  album.load(location);
  std::string original;
  location.make(original, original_dir);
  if (getregularfiles(names, original)) return true;
  names.clear();
  return false;
}

void judged_row_t::judge(const best_t& good_list, const best_t& fail_list, bool sensitive) {
  name_label.set_text(to_utf8(*name));
  name_label.set_selectable(true);
  subtle.join_group(good);
  fail.join_group(good);
  if (good_list.names.count(*name))
    good.set_active(true);
  else if (!fail_list.names.count(*name))
    subtle.set_active(true);
  else
    fail.set_active(true);
  unsigned id = 56;
  for (Gtk::RadioButton* r : {&good, &subtle, &fail}) {
    r->set_sensitive(sensitive);
    set_button_text(*r, msg_utf8(id++));
    judgement_box.add(*r);
  }
}

AlbumDialog::AlbumDialog(Gtk::Window& parent, unsigned title_id, const std::string& programdir)
    : Gtk::Dialog(msg_utf8(title_id), parent, true),
      m_programdir(programdir),
      m_table(1, 1, false) {
  share_toggle_images();  // rows of checked toggles
  follow_content(m_scrolled, 640);
}

void AlbumDialog::pack_top(const std::string& dir, const path_t& location, bool editable) {
  Gtk::Box& content = *get_content_area();
  m_header.build(14, dir);
  content.add(m_header.box);
  m_private.build(location, editable);
  content.add(m_private.box);
}

void AlbumDialog::pack_foot(comment_rows_t& comments, const path_t& location, bool editable) {
  m_table.show_all();
  m_scrolled.add(m_table);
  get_content_area()->pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  comments.build(editable);
  comments.pack(*get_content_area());
  comments.load(location);
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  if (editable) {
    add_button(Gtk::Stock::APPLY, Gtk::RESPONSE_APPLY);
    add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  }
  show_all_children(true);
  fit_on_show(*this);
}

busy_t::busy_t(Gtk::Dialog& dialog) : m_dialog(dialog) {
  for (int r : {Gtk::RESPONSE_OK, Gtk::RESPONSE_APPLY, Gtk::RESPONSE_CANCEL})
    m_dialog.set_response_sensitive(r, false);
}

busy_t::~busy_t() {
  for (int r : {Gtk::RESPONSE_OK, Gtk::RESPONSE_APPLY, Gtk::RESPONSE_CANCEL})
    m_dialog.set_response_sensitive(r, true);
}

}  // namespace tavolin

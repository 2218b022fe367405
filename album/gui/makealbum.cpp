#include "album/gui/makealbum.h"

#include <ctime>
#include <iostream>
#include <limits>

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/stock.h>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/thumbnail.h"
#include "album/engine/util.h"
#include "album/gui/angle_spin.h"
#include "album/gui/present_again.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "image/halvings.h"
#include "image/imageutil.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

std::string today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char digits[16];
  std::strftime(digits, sizeof digits, "%Y%m%d", &local);
  return digits;
}

}  // namespace

MakeAlbumDialog::MakeAlbumDialog(Gtk::Window& parent, const std::string& from,
                                 const std::string& collection_dir, const std::string& program_file)
    : Gtk::Dialog(msg_utf8(MSG_NEW_ALBUM), parent, true),
      m_program_file(program_file),
      m_collection_dir(collection_dir),
      m_from_box(false, 0),
      m_to_box(false, 0),
      m_table(1, 1, false),
      m_button_box(false, 0) {
  m_from_label.set_width_chars(20);
  m_from_label.set_text(msg_utf8(MSG_SOURCE));
  m_to_label.set_width_chars(20);
  m_to_label.set_text(msg_utf8(MSG_ALBUM));
  m_from_entry.set_width_chars(50);
  m_to_entry.set_width_chars(50);
  m_from_entry.set_text(to_utf8(from));
  m_to_entry.set_text(to_utf8(today()));
  m_from_button.set_label(msg_utf8(MSG_BROWSE));

  m_from_box.pack_start(m_from_label, Gtk::PACK_SHRINK, 0);
  m_from_box.add(m_from_entry);
  m_from_box.pack_start(m_from_button, Gtk::PACK_SHRINK, 0);
  m_to_box.pack_start(m_to_label, Gtk::PACK_SHRINK, 0);
  m_to_box.add(m_to_entry);
  Gtk::Box& content = *get_vbox();
  content.add(m_from_box);
  content.add(m_to_box);

  // A new album starts as private as the collection that holds it.
  m_private.build(path_t("", m_collection_dir, ""), true);
  content.add(m_private.box);

  m_files_label.set_text(msg_utf8(MSG_FILES));
  m_scrolled.set_redraw_on_allocate(true);
  draw_rows_unstacked(m_table);
  m_scrolled.add(m_table);
  follow_content(m_scrolled, 480);
  m_invert_button.set_label(msg_utf8(MSG_INVERT));
  m_update_button.set_label(msg_utf8(MSG_UPDATE_FILES));
  m_button_box.add(m_invert_button);
  m_button_box.add(m_update_button);
  content.add(m_files_label);
  content.pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  content.add(m_button_box);

  m_comments.build(true);
  m_comments.pack(content);

  m_leave_from = m_from_entry.signal_focus_out_event().connect(
      sigc::mem_fun(*this, &MakeAlbumDialog::leave_from), true);
  m_leave_to = m_to_entry.signal_focus_out_event().connect(
      sigc::mem_fun(*this, &MakeAlbumDialog::leave_to), true);
  m_from_button.signal_clicked().connect(sigc::mem_fun(*this, &MakeAlbumDialog::button_from), true);
  m_invert_button.signal_clicked().connect(sigc::mem_fun(*this, &MakeAlbumDialog::button_invert),
                                           true);
  m_update_button.signal_clicked().connect(sigc::mem_fun(*this, &MakeAlbumDialog::button_update),
                                           true);

  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  show_all_children(true);
  fit_on_show(*this);
}

MakeAlbumDialog::~MakeAlbumDialog() {
  // A focused entry loses its focus while the members are torn down: the
  // handlers must not run on what is already gone.
  m_leave_from.disconnect();
  m_leave_to.disconnect();
}

path_t MakeAlbumDialog::get_to() const {
  return path_t("", m_collection_dir, from_utf8(m_to_entry.get_text()));
}

unsigned long MakeAlbumDialog::angle_count(unsigned long i) const {
  const item_t& row = m_items[i];
  return angle_quarter_turns(row.angle_spin, row.name ? *row.name : std::string());
}

std::vector<files_t> MakeAlbumDialog::selected_files() const {
  std::vector<files_t> files;
  files.reserve(m_items.size());
  for (unsigned long i = 0; i < m_items.size(); ++i) {
    if (m_items[i].name && m_items[i].select_button.get_active())
      files.emplace_back(*m_items[i].name, angle_count(i));
  }
  return files;
}

bool MakeAlbumDialog::leave_from(GdkEventFocus*) {
  if (m_scanned && from_utf8(m_from_entry.get_text()) == m_scanned_from) return false;
  return scan();
}

bool MakeAlbumDialog::scan() {
  m_files.clear();
  m_table.resize(1, 1);
  m_items.clear();
  temp_t temp;

  const std::string source = from_utf8(m_from_entry.get_text());
  m_scanned = true;
  m_scanned_from = source;
  // Only regular files are offered: the picker reads each one, and a FIFO
  // or device would keep it waiting for good.
  if (!getregularfiles(m_files, source)) return false;

  // Rows are made in place, once: they hold widgets and are never moved.
  std::vector<item_t>(m_files.size()).swap(m_items);
  const unsigned long h = g_global.horizontal_items ? g_global.horizontal_items : 1;
  unsigned long i = 0;
  for (auto it = m_files.begin(); it != m_files.end(); ++it, ++i) {
    item_t& row = m_items[i];
    row.name = &*it;
    row.name_label.show_name(to_utf8(*it));
    row.rotate_check.set_sensitive(false);
    set_button_text(row.rotate_check, msg_utf8(MSG_ROTATE));
    row.angle_spin.set_wrap(false);
    row.angle_spin.set_range(0, 270);
    row.angle_spin.set_increments(90, 90);
    row.angle_spin.set_digits(0);
    row.angle_spin.set_value(0);
    row.angle_spin.set_sensitive(false);
    row.angle_spin.set_update_policy(Gtk::UPDATE_IF_VALID);

    const std::string path = source + "/" + *it;
    bool place = true;
    bool turnable = false;
    if (is_photo_name(*it)) {
      if (load_thumbnail(row.image, path)) {
        row.picture.set(convert_to_pixbuf(row.image));
        row.select_button.set_image(row.picture);
        turnable = true;
      }
    } else if (is_movie_name(*it)) {
      if (!temp.init(m_program_file)) return false;
      std::string thumb;
      temp.make(thumb, replace_extension(*it, ".jpg"));
      libgr::direction2ul_t size;
      std::string duration, stream;
      ffidentify(path, size, duration, stream);
      // Level 0's size, then a quarter of its sides for the thumbnail.
      const unsigned long level =
          libgr::halvings_to_fit(size.x, size.y, g_global.shrink_size.x, g_global.shrink_size.y);
      for (uint32_t* side : {&size.x, &size.y})
        *side = level < std::numeric_limits<uint32_t>::digits ? *side >> level >> 2 : 0;
      if (!ffsavethumbnail(path, thumb, size)) {
        libutils::error();
        std::cerr << path << ": ffsavethumbnail failed." << std::endl;
        place = false;
      } else if (!load_jpeg(row.image, thumb)) {
        libutils::error();
        std::cerr << thumb << ": load movie jpeg failed." << std::endl;
        place = false;
      } else {
        row.picture.set(convert_to_pixbuf(row.image));
        row.select_button.set_image(row.picture);
      }
    } else if (is_sound_name(*it)) {
      row.select_button.set_size_request(32, 32);
    }
    row.select_button.signal_clicked().connect(
        row_handler(this, &MakeAlbumDialog::button_image, i));
    row.rotate_check.signal_clicked().connect(
        row_handler(this, &MakeAlbumDialog::button_is_rotate, i));
    row.angle_spin.signal_value_changed().connect(
        row_handler(this, &MakeAlbumDialog::button_rotate, i));
    row.rotate_box.add(row.rotate_check);
    row.rotate_box.add(row.angle_spin);
    if (!place) continue;

    const guint c = static_cast<guint>(i % h);
    const guint r = static_cast<guint>(3 * (i / h));
    const Gtk::AttachOptions both = Gtk::EXPAND | Gtk::FILL;
    m_table.attach(row.select_button, c, c + 1, r, r + 1, both, both, 0, 0);
    m_table.attach(row.name_label, c, c + 1, r + 1, r + 2, both, both, 0, 0);
    if (turnable) m_table.attach(row.rotate_box, c, c + 1, r + 2, r + 3, both, both, 0, 0);
  }

  std::string title, head, last;
  loadcomment(source, title, head, last);
  m_comments.offer(title, head, last);

  button_invert();
  m_table.show_all_children(true);
  show_all_children(true);
  // The dialog grows to the new rows, within the screen.
  fit_window(*this);
  if (temp.destroy()) present_again(*this);
  return true;
}

bool MakeAlbumDialog::leave_to(GdkEventFocus*) {
  const path_t to = get_to();
  if (to.album.empty()) return false;
  std::string title, head, last;
  loadcommenttxt(to, title, head, last);
  m_comments.offer(title, head, last);
  m_private.check.set_active(get_private(to));
  show_all_children(true);
  return true;
}

void MakeAlbumDialog::button_from() {
  Gtk::FileChooserDialog chooser(*this, msg_utf8(MSG_IMPORT_DIR),
                                 Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
  chooser.set_current_folder(from_utf8(m_from_entry.get_text()));
  chooser.add_button(Gtk::Stock::OPEN, Gtk::RESPONSE_OK);
  chooser.add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  if (chooser.run() == Gtk::RESPONSE_OK) {
    m_from_entry.set_text(to_utf8(chooser.get_filename()));
    scan();
  }
  present_again(*this);
}

void MakeAlbumDialog::button_update() {
  scan();
  leave_to(nullptr);
}

void MakeAlbumDialog::button_invert() {
  for (item_t& row : m_items) {
    if (row.name) row.select_button.set_active(!row.select_button.get_active());
  }
}

void MakeAlbumDialog::button_image(unsigned long i) {
  item_t& row = m_items[i];
  row.rotate_check.set_sensitive(row.select_button.get_active());
  row.angle_spin.set_value(0);
}

void MakeAlbumDialog::button_is_rotate(unsigned long i) {
  item_t& row = m_items[i];
  row.angle_spin.set_sensitive(row.rotate_check.get_active());
}

void MakeAlbumDialog::button_rotate(unsigned long i) {
  item_t& row = m_items[i];
  const unsigned long count = angle_count(i);
  if (row.image.width == 0) return;  // nothing shown to turn
  libgr::image2d_t turned;
  if (!libgr::rotate(count, turned, row.image)) {
    libutils::error();
    std::cerr << *row.name << ": rotate() fail." << std::endl;
    return;
  }
  row.picture.set(convert_to_pixbuf(turned));
  row.select_button.set_image(row.picture);
}

}  // namespace tavolin

#include "album/gui/globaloption.h"

#include <gtkmm/filechooserdialog.h>
#include <sys/stat.h>

#include "album/engine/global.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/message.h"

namespace tavolin {

namespace {

Glib::ustring msg(plimlib::e_message_t id) { return to_utf8(plimlib::getmsg(id)); }

void label(Gtk::Label& l, plimlib::e_message_t id, int chars) {
  l.set_text(msg(id));
  if (chars > 0) l.set_width_chars(chars);
}

void spin(Gtk::SpinButton& s, double lower, double upper, double step, double page, int chars) {
  s.configure(Gtk::Adjustment::create(lower, lower, upper, step, page, 0), 0, 0);
  s.set_wrap(false);
  s.set_digits(0);
  shorten_entry(s, chars, 6);
}

// The width of a row's caption, and of an entry of a directory or a web
// text: its natural width is text_length characters.
constexpr int caption_chars = 20;
constexpr int text_length = 100;
constexpr int text_chars = 30;

// A row of the dialog: the caption (message id) at its own width, then the
// cells sharing what is left.
void caption_row(Gtk::HBox& row, Gtk::Label& caption, plimlib::e_message_t id,
                 std::initializer_list<Gtk::Widget*> cells) {
  label(caption, id, caption_chars);
  row.pack_start(caption, Gtk::PACK_SHRINK, 0);
  for (Gtk::Widget* w : cells) row.add(*w);
}

// A row of a directory: caption, entry and the button that browses for it.
void folder_row(Gtk::HBox& row, Gtk::Label& caption, plimlib::e_message_t id, Gtk::Entry& entry,
                Gtk::Button& browse) {
  shorten_entry(entry, text_length, text_chars);
  browse.set_label(msg(MSG_BROWSE));
  caption_row(row, caption, id, {&entry, &browse});
}

unsigned long spin_value(const Gtk::SpinButton& s) {
  return static_cast<unsigned long>(s.get_value());
}

}  // namespace

GlobalOptionDialog::GlobalOptionDialog(Gtk::Window& parent, const char* programdir,
                                       const char* programfile)
    : Gtk::Dialog(msg(MSG_OPTIONS), parent, true),
      m_programdir(programdir),
      m_programfile(programfile) {
  folder_row(m_row1, m_from_label, MSG_IMPORT_DIR, m_from_entry, m_from_button);
  folder_row(m_row2, m_album_label, MSG_ALBUM_ROOT, m_album_entry, m_album_button);

  spin(m_shrink_x, 0, 32768, 128, 1, 50);
  spin(m_shrink_y, 0, 32768, 128, 1, 50);
  caption_row(m_row3, m_shrink_label, MSG_SHRINK_SIZE, {&m_shrink_x, &m_shrink_y});

  spin(m_jpeg_spin, 0, 100, 1, 10, 3);
  label(m_items_label, MSG_ITEMS_PER_LINE, caption_chars);
  spin(m_items_spin, 1, 100, 1, 10, 2);
  label(m_show_label, MSG_SHOW_LEVEL, caption_chars);
  spin(m_show_spin, 0, 100, 1, 10, 2);
  label(m_view_label, MSG_VIEW_SIZE, caption_chars);
  spin(m_view_spin, 0, 100, 1, 10, 2);
  caption_row(m_row4, m_jpeg_label, MSG_JPEG_QUALITY,
              {&m_jpeg_spin, &m_items_label, &m_items_spin, &m_show_label, &m_show_spin,
               &m_view_label, &m_view_spin});

  m_header_check.set_label(msg(MSG_USE_HTML_HEADER));
  shorten_entry(m_header_entry, text_length, text_chars);
  caption_row(m_row5, m_header_label, MSG_HTML_HEADER, {&m_header_check, &m_header_entry});

  shorten_entry(m_address_entry, text_length, text_chars);
  caption_row(m_row6, m_address_label, MSG_HTML_ADDRESS, {&m_address_entry});

  label(m_ffmpeg_label, MSG_FFMPEG_OPTIONS, 0);
  shorten_entry(m_ffmpeg_entry, 20, 10);
  label(m_movie_label, MSG_MOVIE_PLAYER, 10);
  shorten_entry(m_movie_entry, 50, 10);
  label(m_play_label, MSG_PLAY_SIZE, 10);
  spin(m_play_x, 1, 9999, 1, 10, 4);
  spin(m_play_y, 1, 9999, 1, 10, 4);
  m_retina_check.set_label(msg(MSG_RETINA_THUMBNAILS));
  caption_row(m_row7, m_hwaccel_label, MSG_HWACCEL,
              {&m_hwaccel_entry, &m_ffmpeg_label, &m_ffmpeg_entry, &m_movie_label, &m_movie_entry,
               &m_play_label, &m_play_x, &m_play_y, &m_retina_check});

  caption_row(m_row8, m_viewer_label, MSG_VIEWER_COMMAND, {&m_viewer_entry});

  for (Gtk::HBox* row : {&m_row1, &m_row2, &m_row3, &m_row4, &m_row5, &m_row6, &m_row7, &m_row8})
    get_content_area()->add(*row);

  m_from_button.signal_clicked().connect(
      sigc::mem_fun(*this, &GlobalOptionDialog::button_from_dir));
  m_album_button.signal_clicked().connect(
      sigc::mem_fun(*this, &GlobalOptionDialog::button_album_dir));
  m_header_check.signal_clicked().connect(
      sigc::mem_fun(*this, &GlobalOptionDialog::button_html_header));

  read_from_global();

  add_button("_OK", Gtk::RESPONSE_OK);
  add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  // Return in any entry accepts the dialog, as OK does.
  set_default_response(Gtk::RESPONSE_OK);
  for (Gtk::Entry* e : {&m_from_entry, &m_album_entry, &m_header_entry, &m_address_entry,
                        &m_hwaccel_entry, &m_ffmpeg_entry, &m_movie_entry, &m_viewer_entry})
    e->set_activates_default(true);
  show_all_children(true);
  fit_on_show(*this);
}

void GlobalOptionDialog::read_from_global() {
  const global_t& g = g_global;
  m_from_entry.set_text(to_utf8(g.from));
  m_album_entry.set_text(to_utf8(g.album));
  m_shrink_x.set_value(static_cast<double>(g.shrink_size.x));
  m_shrink_y.set_value(static_cast<double>(g.shrink_size.y));
  m_jpeg_spin.set_value(static_cast<double>(g.jpeg_compress));
  m_items_spin.set_value(static_cast<double>(g.horizontal_items));
  m_show_spin.set_value(static_cast<double>(g.show_level));
  m_view_spin.set_value(static_cast<double>(g.view_size));
  m_header_check.set_active(g.html_header_check);
  m_header_entry.set_text(to_utf8(g.html_header));
  m_address_entry.set_text(to_utf8(g.html_address));
  m_hwaccel_entry.set_text(to_utf8(g.hwaccel));
  m_ffmpeg_entry.set_text(to_utf8(g.ffmpeg));
  m_movie_entry.set_text(to_utf8(g.movie));
  m_play_x.set_value(static_cast<double>(g.play_size_x));
  m_play_y.set_value(static_cast<double>(g.play_size_y));
  m_retina_check.set_active(g.movie_thumbnail_retina);
  m_viewer_entry.set_text(to_utf8(g.plimzev3));
  m_header_entry.set_editable(g.html_header_check);
  m_header_entry.set_can_focus(g.html_header_check);
}

void GlobalOptionDialog::button_html_header() {
  const bool on = m_header_check.get_active();
  m_header_entry.set_editable(on);
  m_header_entry.set_can_focus(on);
}

void GlobalOptionDialog::write_to_global() {
  global_t g = g_global;
  const std::pair<Gtk::Entry*, std::string*> texts[] = {
      {&m_from_entry, &g.from},          {&m_album_entry, &g.album},
      {&m_header_entry, &g.html_header}, {&m_address_entry, &g.html_address},
      {&m_hwaccel_entry, &g.hwaccel},    {&m_ffmpeg_entry, &g.ffmpeg},
      {&m_movie_entry, &g.movie},        {&m_viewer_entry, &g.plimzev3}};
  for (const auto& [entry, value] : texts) *value = edited_text(entry->get_text(), *value);
  // Spin values are read after an update so a number typed but not yet
  // committed still counts.
  for (Gtk::SpinButton* s : {&m_shrink_x, &m_shrink_y, &m_jpeg_spin, &m_items_spin, &m_show_spin,
                             &m_view_spin, &m_play_x, &m_play_y})
    s->update();
  g.shrink_size.x = spin_value(m_shrink_x);
  g.shrink_size.y = spin_value(m_shrink_y);
  g.jpeg_compress = spin_value(m_jpeg_spin);
  g.horizontal_items = spin_value(m_items_spin);
  g.show_level = spin_value(m_show_spin);
  g.view_size = spin_value(m_view_spin);
  g.html_header_check = m_header_check.get_active();
  g.play_size_x = spin_value(m_play_x);
  g.play_size_y = spin_value(m_play_y);
  g.movie_thumbnail_retina = m_retina_check.get_active();
  g_global = std::move(g);
  mkdir(g_global.album.c_str(), 0755);  // an existing root is fine
}

void GlobalOptionDialog::on_response(int response) {
  Gtk::Dialog::on_response(response);
  if (response != Gtk::RESPONSE_OK) return;
  write_to_global();
  saveini(m_programdir, m_programfile);
}

void GlobalOptionDialog::button_from_dir() { choose_folder(m_from_entry, MSG_IMPORT_DIR); }
void GlobalOptionDialog::button_album_dir() { choose_folder(m_album_entry, MSG_ALBUM_ROOT); }

void GlobalOptionDialog::choose_folder(Gtk::Entry& entry, plimlib::e_message_t title_id) {
  Gtk::FileChooserDialog chooser(msg(title_id), Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
  chooser.set_current_folder(from_utf8(entry.get_text()));
  chooser.add_button("_Open", Gtk::RESPONSE_OK);
  chooser.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  if (chooser.run() == Gtk::RESPONSE_OK) entry.set_text(to_utf8(chooser.get_filename()));
}

}  // namespace tavolin

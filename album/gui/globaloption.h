#pragma once
// The global option dialog: every setting of g_global in one modal window.
// OK writes the widgets back to g_global, makes the album root and saves
// the settings file; any other response changes nothing.

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/window.h>
#include "utility/message.h"

namespace tavolin {

class GlobalOptionDialog : public Gtk::Dialog {
 public:
  // programdir and programfile must outlive the dialog (saveini's
  // arguments).
  GlobalOptionDialog(Gtk::Window& parent, const char* programdir, const char* programfile);

  void read_from_global();
  // The typed settings into g_global (a text the dialog was given and that
  // is unchanged stays as it was, edited_text), and the album root made.
  void write_to_global();

  // The dialog's own buttons, exposed for the opener's tests.
  Gtk::Entry& from_entry() { return m_from_entry; }
  Gtk::Entry& album_entry() { return m_album_entry; }

 protected:
  void on_response(int response) override;

 private:
  void button_from_dir();
  void button_album_dir();
  void button_html_header();
  void choose_folder(Gtk::Entry& entry, plimlib::e_message_t title_id);

  const char* m_programdir;
  const char* m_programfile;

  Gtk::HBox m_row1, m_row2, m_row3, m_row4, m_row5, m_row6, m_row7, m_row8;
  Gtk::Label m_from_label;
  Gtk::Entry m_from_entry;
  Gtk::Button m_from_button;
  Gtk::Label m_album_label;
  Gtk::Entry m_album_entry;
  Gtk::Button m_album_button;
  Gtk::Label m_shrink_label;
  Gtk::SpinButton m_shrink_x, m_shrink_y;
  Gtk::Label m_jpeg_label;
  Gtk::SpinButton m_jpeg_spin;
  Gtk::Label m_items_label;
  Gtk::SpinButton m_items_spin;
  Gtk::Label m_show_label;
  Gtk::SpinButton m_show_spin;
  Gtk::Label m_view_label;
  Gtk::SpinButton m_view_spin;
  Gtk::Label m_header_label;
  Gtk::CheckButton m_header_check;
  Gtk::Entry m_header_entry;
  Gtk::Label m_address_label;
  Gtk::Entry m_address_entry;
  Gtk::Label m_hwaccel_label;
  Gtk::Entry m_hwaccel_entry;
  Gtk::Label m_ffmpeg_label;
  Gtk::Entry m_ffmpeg_entry;
  Gtk::Label m_movie_label;
  Gtk::Entry m_movie_entry;
  Gtk::Label m_play_label;
  Gtk::SpinButton m_play_x, m_play_y;
  Gtk::CheckButton m_retina_check;
  Gtk::Label m_viewer_label;
  Gtk::Entry m_viewer_entry;
};

}  // namespace tavolin

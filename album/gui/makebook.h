#pragma once
// The dialog that makes a collection (book directory) below the hub's
// directory, or rewrites the title, comments and private flag of one that
// exists. APPLY and OK do all the work: the directory, its comment files,
// its marker, its index page and the parent's.

#include <string>

#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>

#include "album/engine/album.h"

namespace tavolin {

class MakeBookDialog : public Gtk::Dialog {
 public:
  MakeBookDialog(Gtk::Window& parent, const path_t& album);
  ~MakeBookDialog() override;

  // {"", the parent directory, the name entry's text}.
  path_t get_bookdir() const;
  // Focus left the name entry: the texts and flag of the named directory.
  bool button_update(GdkEventFocus* event);

 protected:
  void on_response(int response_id) override;

 private:
  const path_t& m_album;
  sigc::connection m_leave_name;
  Gtk::HBox m_name_box;
  Gtk::HBox m_private_box;
  Gtk::Label m_name_label;

 public:
  Gtk::Entry m_name_entry;

 private:
  Gtk::Label m_private_label;

 public:
  Gtk::CheckButton m_private_check;

 private:
  Gtk::Label m_title_label;
  Gtk::Label m_head_label;
  Gtk::Label m_last_label;

 public:
  Gtk::Entry m_title_entry;
  Gtk::TextView m_head_view;
  Gtk::TextView m_last_view;

  // The values of the latest APPLY or OK, in the locale's encoding.
  std::string m_directory;
  std::string m_title;
  std::string m_head_comment;
  std::string m_last_comment;
};

}  // namespace tavolin

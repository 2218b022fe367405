#include "album/gui/makebook.h"

#include <iostream>
#include <sstream>

#include <gtkmm/stock.h>

#include "album/engine/bookindex.h"
#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/gui/comment_rows.h"
#include "album/gui/errorbox.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "utility/futil.h"

namespace tavolin {

MakeBookDialog::MakeBookDialog(Gtk::Window& parent, const path_t& album)
    : Gtk::Dialog(msg_utf8(MSG_NEW_COLLECTION), parent, true),
      m_album(album),
      m_name_box(false, 0),
      m_private_box(false, 0) {
  m_name_entry.set_text("");
  m_name_label.set_width_chars(20);
  m_name_label.set_text(msg_utf8(MSG_BOOK_NAME));
  m_name_entry.set_width_chars(50);
  m_name_box.pack_start(m_name_label, Gtk::PACK_SHRINK, 0);
  m_name_box.add(m_name_entry);
  Gtk::Box& content = *get_vbox();
  content.add(m_name_box);

  m_private_check.set_active(get_private(m_album));
  m_private_label.set_text(msg_utf8(MSG_PRIVATE));
  m_private_box.pack_start(m_private_label, Gtk::PACK_SHRINK, 0);
  m_private_box.add(m_private_check);
  content.add(m_private_box);

  m_title_label.set_width_chars(20);
  m_title_label.set_text(msg_utf8(MSG_TITLE_CAPTION));
  m_title_entry.set_width_chars(50);
  content.add(m_title_label);
  content.add(m_title_entry);
  m_head_view.set_size_request(300, 60);
  m_last_view.set_size_request(300, 60);
  wrap_view(m_head_view);
  wrap_view(m_last_view);
  m_head_label.set_width_chars(20);
  m_head_label.set_text(msg_utf8(MSG_HEAD_COMMENT));
  content.add(m_head_label);
  content.add(m_head_view);
  m_last_label.set_width_chars(20);
  m_last_label.set_text(msg_utf8(MSG_LAST_COMMENT));
  content.add(m_last_label);
  content.add(m_last_view);

  m_leave_name = m_name_entry.signal_focus_out_event().connect(
      sigc::mem_fun(*this, &MakeBookDialog::button_update), true);
  add_button(Gtk::Stock::OK, Gtk::RESPONSE_OK);
  add_button(Gtk::Stock::APPLY, Gtk::RESPONSE_APPLY);
  add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
  show_all_children(true);
  fit_on_show(*this);
}

MakeBookDialog::~MakeBookDialog() {
  // A focused entry loses its focus while the members are torn down.
  m_leave_name.disconnect();
}

path_t MakeBookDialog::get_bookdir() const {
  std::string parent;
  m_album.make(parent);
  return path_t("", parent, from_utf8(m_name_entry.get_text()));
}

bool MakeBookDialog::button_update(GdkEventFocus*) {
  const path_t book = get_bookdir();
  std::string title, head, last;
  loadcommenttxt(book, title, head, last);
  if (!title.empty()) m_title_entry.set_text(to_utf8(title));
  if (!head.empty()) set_view_text(m_head_view, head);
  if (!last.empty()) set_view_text(m_last_view, last);
  m_private_check.set_active(get_private(book));
  show_all_children(true);
  return true;
}

void MakeBookDialog::on_response(int response_id) {
  Gtk::Dialog::on_response(response_id);
  if (response_id != Gtk::RESPONSE_APPLY && response_id != Gtk::RESPONSE_OK) return;
  const path_t book = get_bookdir();
  std::string title, head, last;
  comment_texts(m_title_entry, m_head_view, m_last_view, title, head, last);
  book.make(m_directory);
  m_title = title;
  m_head_comment = head;
  m_last_comment = last;
  std::ostringstream log;
  if (!make_album_dir(book, m_title, m_head_comment, m_last_comment, m_private_check.get_active(),
                      log)) {
    show_error_log(*this, MSG_ERROR_NOT_SAVED, log.str());
    return;
  }
  if (!makehtmlbook(book, std::cerr)) {
    libutils::error();
    std::cerr << "makehtmlindex(book_directory) fail." << std::endl;
    return;
  }
  if (!makehtmlbook(m_album, std::cerr)) {
    libutils::error();
    std::cerr << "makehtmlindex(m_album) fail." << std::endl;
  }
}

}  // namespace tavolin

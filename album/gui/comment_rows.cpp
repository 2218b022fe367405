#include "album/gui/comment_rows.h"

#include <initializer_list>
#include <sstream>

#include "album/engine/comment.h"
#include "album/gui/errorbox.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"

namespace tavolin {

void comment_texts(const Gtk::Entry& title_entry, const Gtk::TextView& head_view,
                   const Gtk::TextView& last_view, std::string& title, std::string& head,
                   std::string& last) {
  title = from_utf8(title_entry.get_text());
  head = view_text(head_view);
  last = view_text(last_view);
}

bool save_comment_texts(Gtk::Window& parent, const Gtk::Entry& title_entry,
                        const Gtk::TextView& head_view, const Gtk::TextView& last_view,
                        const path_t& location) {
  std::string title, head, last;
  std::ostringstream log;
  comment_texts(title_entry, head_view, last_view, title, head, last);
  if (title.empty())
    show_error_log(parent, MSG_ERROR_NO_TITLE);
  else if (!savecommenttxt(location, title, head, last, log))
    show_error_log(parent, MSG_ERROR_NOT_SAVED, log.str());
  else
    return true;
  return false;
}

void comment_rows_t::build(bool editable) {
  title_caption.set_text(msg_utf8(MSG_TITLE_CAPTION));
  head_caption.set_text(msg_utf8(MSG_HEAD_COMMENT));
  last_caption.set_text(msg_utf8(MSG_LAST_COMMENT));
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

void comment_rows_t::read(std::string& title, std::string& head, std::string& last) const {
  comment_texts(title_entry, head_view, last_view, title, head, last);
}

bool comment_rows_t::save(Gtk::Window& parent, const path_t& location) const {
  return save_comment_texts(parent, title_entry, head_view, last_view, location);
}

}  // namespace tavolin

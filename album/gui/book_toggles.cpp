#include "album/gui/book_toggles.h"

#include "album/gui/widget_text.h"

namespace tavolin {

void book_toggles_t::build(const album_t& album, const std::string& name) {
  for (unsigned k = 0; k < MSG_BOOK_LISTS.size(); ++k) {
    set_button_text(toggle[k], msg_utf8(MSG_BOOK_LISTS[k]));
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

}  // namespace tavolin

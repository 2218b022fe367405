#include "album/gui/header_rows.h"

#include "album/engine/collectionedit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"

namespace tavolin {

void path_row_t::build(plimlib::e_message_t caption_id, const std::string& dir) {
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
  caption.set_text(msg_utf8(MSG_PRIVATE));
  box.pack_start(caption, Gtk::PACK_SHRINK, 0);
  box.add(check);
}

void private_row_t::save(const path_t& location) const {
  set_private(location, check.get_active());
}

}  // namespace tavolin

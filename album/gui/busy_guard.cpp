#include "album/gui/busy_guard.h"

namespace tavolin {

busy_t::busy_t(Gtk::Dialog& dialog) : m_dialog(dialog) {
  for (int r : {Gtk::RESPONSE_OK, Gtk::RESPONSE_APPLY, Gtk::RESPONSE_CANCEL})
    m_dialog.set_response_sensitive(r, false);
}

busy_t::~busy_t() {
  for (int r : {Gtk::RESPONSE_OK, Gtk::RESPONSE_APPLY, Gtk::RESPONSE_CANCEL})
    m_dialog.set_response_sensitive(r, true);
}

}  // namespace tavolin

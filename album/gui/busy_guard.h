#pragma once
// A dialog kept from a second click while it works.

#include <gtkmm/dialog.h>

namespace tavolin {

// While alive, the dialog's OK, APPLY and CANCEL buttons are insensitive:
// a long save takes no second click.
class busy_t {
 public:
  explicit busy_t(Gtk::Dialog& dialog);
  ~busy_t();
  busy_t(const busy_t&) = delete;
  busy_t& operator=(const busy_t&) = delete;

 private:
  Gtk::Dialog& m_dialog;
};

}  // namespace tavolin

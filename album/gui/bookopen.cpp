#include "album/gui/bookopen.h"

#include <iostream>

#include <gtkmm/dialog.h>
#include <gtkmm/scrolledwindow.h>

#include "album/gui/bestbook.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

template <typename Dialog>
int run_keeping_scroll(Dialog& dialog, Gtk::ScrolledWindow& scrolled,
                       Glib::RefPtr<Gtk::Adjustment>& kept) {
  if (kept) scrolled.set_vadjustment(kept);
  const int response = dialog.run();
  if (response == Gtk::RESPONSE_APPLY) kept = scrolled.get_vadjustment();
  return response;
}

// Until the album dialogs are part of this library.
int not_built(const path_t& location, const char* what) {
  std::string dir;
  location.make(dir);
  libutils::error();
  std::cerr << dir << ": " << what << " is not built yet." << std::endl;
  return Gtk::RESPONSE_CANCEL;
}

}  // namespace

int run_album_editor(Gtk::Window&, const path_t& location, const std::string&,
                     Glib::RefPtr<Gtk::Adjustment>&) {
  return not_built(location, "the album editor");
}

int run_best_editor(Gtk::Window&, const path_t& location, const std::string&,
                    Glib::RefPtr<Gtk::Adjustment>&) {
  return not_built(location, "the best-album dialog");
}

int run_book_editor(Gtk::Window& parent, const path_t& location,
                    const std::string& program_dir, e_bestname_t kind,
                    Glib::RefPtr<Gtk::Adjustment>& kept) {
  BestBookDialog dialog(parent, location, program_dir, kind, true);
  return run_keeping_scroll(dialog, dialog.m_scrolledwindow, kept);
}

void open_album_readonly(Gtk::Window&, const path_t& location, const std::string&) {
  not_built(location, "the album dialog");
}

void open_best_readonly(Gtk::Window&, const path_t& location, const std::string&) {
  not_built(location, "the best-album dialog");
}

}  // namespace tavolin

#include "album/gui/bookopen.h"

#include <gtkmm/dialog.h>
#include <gtkmm/scrolledwindow.h>

#include "album/gui/bestbook.h"
#include "album/gui/editalbum.h"
#include "album/gui/goodalbum.h"
#include "album/gui/viewalbum.h"

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

}  // namespace

int run_album_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                     decoded_budget_t& decoded, Glib::RefPtr<Gtk::Adjustment>& kept) {
  EditAlbumDialog dialog(parent, location, program_dir, decoded);
  return run_keeping_scroll(dialog, dialog.scrolled(), kept);
}

int run_best_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                    decoded_budget_t& decoded, Glib::RefPtr<Gtk::Adjustment>& kept) {
  GoodAlbumDialog dialog(parent, location, program_dir, decoded, true);
  return run_keeping_scroll(dialog, dialog.scrolled(), kept);
}

int run_book_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                    decoded_budget_t& decoded, e_bestname_t kind,
                    Glib::RefPtr<Gtk::Adjustment>& kept) {
  BestBookDialog dialog(parent, location, program_dir, decoded, kind, true);
  return run_keeping_scroll(dialog, dialog.scrolled(), kept);
}

void open_album_readonly(Gtk::Window& parent, const path_t& location,
                         const std::string& program_dir, decoded_budget_t& decoded) {
  ViewAlbumDialog dialog(parent, location, program_dir, decoded);
  dialog.run();
}

void open_best_readonly(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                        decoded_budget_t& decoded) {
  GoodAlbumDialog dialog(parent, location, program_dir, decoded, false);
  dialog.run();
}

}  // namespace tavolin

#include "album/gui/bookopen.h"

#include <memory>
#include <utility>

#include <gtkmm/dialog.h>
#include <gtkmm/scrolledwindow.h>

#include "album/gui/bestbook.h"
#include "album/gui/editalbum.h"
#include "album/gui/editbook.h"
#include "album/gui/goodalbum.h"
#include "album/gui/row_table.h"
#include "album/gui/viewalbum.h"
#include "album/gui/viewbook.h"

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

template <typename Dialog>
void close_rows_dialog(std::unique_ptr<Dialog>&& dialog) {
  close_rows_window(std::move(dialog), dialog->table(), dialog->items());
}

template <typename Dialog, typename... Args>
int run_editor(Gtk::Window& parent, Glib::RefPtr<Gtk::Adjustment>& kept, Args&&... args) {
  auto dialog = std::make_unique<Dialog>(parent, std::forward<Args>(args)...);
  const int response = run_keeping_scroll(*dialog, dialog->scrolled(), kept);
  close_rows_dialog(std::move(dialog));
  return response;
}

template <typename Dialog, typename... Args>
void open_readonly(Gtk::Window& parent, Args&&... args) {
  auto dialog = std::make_unique<Dialog>(parent, std::forward<Args>(args)...);
  dialog->run();
  close_rows_dialog(std::move(dialog));
}

}  // namespace

int run_album_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                     decoded_budget_t& decoded, Glib::RefPtr<Gtk::Adjustment>& kept) {
  return run_editor<EditAlbumDialog>(parent, kept, location, program_dir, decoded);
}

int run_best_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                    decoded_budget_t& decoded, Glib::RefPtr<Gtk::Adjustment>& kept) {
  return run_editor<GoodAlbumDialog>(parent, kept, location, program_dir, decoded, true);
}

int run_book_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                    decoded_budget_t& decoded, e_bestname_t kind,
                    Glib::RefPtr<Gtk::Adjustment>& kept) {
  return run_editor<BestBookDialog>(parent, kept, location, program_dir, decoded, kind, true);
}

int run_collection_editor(Gtk::Window& parent, const path_t& location,
                          const std::string& program_dir, const std::string& program_file,
                          decoded_budget_t& decoded, bool& no_title,
                          const std::function<Gtk::Table*(int, bool)>& rebuilt_next) {
  // Destroyed here, not when idle (see close_window).
  EditBookDialog hub(parent, location, program_dir, program_file, decoded);
  const int response = hub.run();
  no_title = hub.m_title_entry.get_text().empty();
  if (Gtk::Table* next = rebuilt_next(response, no_title)) unhook_rows(*next);
  return response;
}

void open_album_readonly(Gtk::Window& parent, const path_t& location,
                         const std::string& program_dir, decoded_budget_t& decoded) {
  open_readonly<ViewAlbumDialog>(parent, location, program_dir, decoded);
}

void open_best_readonly(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                        decoded_budget_t& decoded) {
  open_readonly<GoodAlbumDialog>(parent, location, program_dir, decoded, false);
}

void open_book_readonly(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                        decoded_budget_t& decoded, e_bestname_t kind) {
  open_readonly<BestBookDialog>(parent, location, program_dir, decoded, kind, false);
}

void open_collection_readonly(Gtk::Window& parent, const path_t& location,
                              const std::string& program_dir, decoded_budget_t& decoded) {
  open_readonly<ViewBookDialog>(parent, location, program_dir, decoded);
}

}  // namespace tavolin

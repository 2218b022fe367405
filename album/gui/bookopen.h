#pragma once
// Opening the dialog that fits a directory of a collection, once, over a
// parent: the album editor, the best-album dialog, the one-book dialog
// (editable from the edit hub), or their read-only forms (from the book
// browser), the edit hub of a collection and the book browser. The
// editors carry their scroll position across an APPLY. Each dialog but
// the hub, once run, is hidden and destroyed at once (close_rows_window).

#include <functional>
#include <string>

#include <glibmm/refptr.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/table.h>
#include <gtkmm/window.h>

#include "album/engine/album.h"
#include "album/gui/decoded_budget.h"

namespace tavolin {

// Runs the editor once and returns its response; decoded holds its
// buttons' pictures. The editor's rows start at kept's scroll position
// when kept is set; after APPLY kept holds the editor's position for the
// next run.
int run_album_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                     decoded_budget_t& decoded, Glib::RefPtr<Gtk::Adjustment>& kept);
int run_best_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                    decoded_budget_t& decoded, Glib::RefPtr<Gtk::Adjustment>& kept);
int run_book_editor(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                    decoded_budget_t& decoded, e_bestname_t kind,
                    Glib::RefPtr<Gtk::Adjustment>& kept);

// The edit hub of collection location, run once: its response, and
// whether its title was left empty. rebuilt_next, given the two, names the
// caller's table whose rows are built anew right after the hub (else
// nullptr): its windows leave the display's lists before the hub's go,
// which GDK would otherwise search through for each of the hub's windows.
int run_collection_editor(Gtk::Window& parent, const path_t& location,
                          const std::string& program_dir, const std::string& program_file,
                          decoded_budget_t& decoded, bool& no_title,
                          const std::function<Gtk::Table*(int, bool)>& rebuilt_next);

// The read-only dialogs, run once.
void open_album_readonly(Gtk::Window& parent, const path_t& location,
                         const std::string& program_dir, decoded_budget_t& decoded);
void open_best_readonly(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                        decoded_budget_t& decoded);
void open_book_readonly(Gtk::Window& parent, const path_t& location, const std::string& program_dir,
                        decoded_budget_t& decoded, e_bestname_t kind);
void open_collection_readonly(Gtk::Window& parent, const path_t& location,
                              const std::string& program_dir, decoded_budget_t& decoded);

}  // namespace tavolin

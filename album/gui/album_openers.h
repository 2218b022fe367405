#pragma once
// Running the editable album dialogs the way their openers do: after
// APPLY a fresh dialog reads everything back from disk and opens at the
// scroll position the user left.

#include <string>

#include <gtkmm/window.h>

#include "album/engine/album.h"

namespace tavolin {

// The album editor until it returns anything but APPLY; that response.
int run_edit_album(Gtk::Window& parent, const path_t& location, const std::string& programdir);

// The best-album dialog the same way (read-only: run once).
int run_good_album(Gtk::Window& parent, const path_t& location, const std::string& programdir,
                   bool editable);

}  // namespace tavolin

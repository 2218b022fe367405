#pragma once
// What a window does when a nested dialog or an outside program it started
// returns.

#include <gtkmm/window.h>

namespace tavolin {

// Iconify when OSTYPE asks for it, then present the window again.
void present_again(Gtk::Window& window);

}  // namespace tavolin

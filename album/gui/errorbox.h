#pragma once
// The error box of every window: a modal error message over parent with
// one OK button, titled with the catalog's error caption (message 25). The
// text is a catalog message followed by the engine's log.

#include <string>

#include <gtkmm/window.h>

#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

void show_error(Gtk::Window& parent, const std::string& message, const std::string& log);

// The error box over parent: the message, and a line end and the log when
// the log is not empty.
void show_error_log(Gtk::Window& parent, plimlib::e_message_t message, const std::string& log = "");

}  // namespace tavolin

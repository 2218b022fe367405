#pragma once
// Small pieces the collection editor's dialogs share: texts between the
// widgets and the locale, a directory's count line and comment preview,
// the error box with an engine log, and the window rule after a nested
// dialog or an outside program.

#include <string>

#include <glibmm/ustring.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include "album/engine/album.h"

namespace tavolin {

// Locale text as UTF-8 (the texts of the error boxes).
std::string locale_to_utf8(const std::string& text);

// The catalog's message id as widget text.
Glib::ustring msg_utf8(unsigned id);

// Widget text in the locale's encoding; "" when the locale cannot carry it
// (the conversion writes its line).
std::string widget_text(const Glib::ustring& text);
// The whole text of a view's buffer (hidden characters included).
std::string view_text(Gtk::TextView& view);
// Sets a view's buffer from locale text.
void set_view_text(Gtk::TextView& view, const std::string& text);

// The first line of dir's "txt/count.txt" without trailing blanks and line
// ends; "" when it cannot be read.
std::string count_line(const path_t& dir);

// The first two lines of a head comment, joined by "\n", each without its
// trailing CR and LF.
std::string head_preview(const std::string& head);

// The error box over parent: the message, and a line end and the log when
// the log is not empty.
void show_error_log(Gtk::Window& parent, unsigned message, const std::string& log);

// After a nested dialog or an outside program: iconify when OSTYPE asks for
// it, then present the window again.
void present_again(Gtk::Window& window);

}  // namespace tavolin

#pragma once
// Texts into and out of widgets: catalog messages, button labels and the
// text of text views, between the locale's encoding and UTF-8.

#include <string>

#include <glibmm/ustring.h>
#include <gtkmm/button.h>
#include <gtkmm/textview.h>

#include "utility/catalog/tavolin_messages.h"

namespace tavolin {

// The catalog's message id as widget text.
Glib::ustring msg_utf8(plimlib::e_message_t id);

// Gives a button (check, toggle or radio button too) that has no child yet
// the text label that set_label makes without an image or mnemonic: a
// shown label child, aligned on the baseline, and the style class
// "text-button", drawn alike to the pixel. set_label's own path matches
// each button against the whole theme for an image spacing that a text
// alone never uses: too slow for the rows of a large album. get_label()
// then gives "": the text is the child's.
void set_button_text(Gtk::Button& button, const Glib::ustring& text);

// The whole text of a view's buffer (hidden characters included) in the
// locale's encoding (from_utf8).
std::string view_text(const Gtk::TextView& view);
// Sets a view's buffer from locale text.
void set_view_text(Gtk::TextView& view, const std::string& text);

}  // namespace tavolin

#pragma once
// Text between the locale's encoding (file names, settings, catalog) and
// the UTF-8 that widgets take. Where the locale's encoding cannot hold a
// text (any letter beyond ASCII under LANG=C), the text passes as its UTF-8
// bytes both ways, as under every UTF-8 locale: names and comments are
// kept and shown, never refused. Glib's own conversions throw instead.

#include <string>

#include <glibmm/ustring.h>

namespace tavolin {

// text converted from the locale to UTF-8; when it does not convert, the
// text itself with every invalid sequence replaced (U+FFFD), so a name
// always shows.
Glib::ustring to_utf8(const std::string& text);

// Typed text in the locale's encoding; its UTF-8 bytes where the locale
// cannot hold it.
std::string from_utf8(const Glib::ustring& text);

// The locale text of a widget that was given the text given (through
// to_utf8): given itself while the widget still shows what to_utf8 made
// of it, so a text shown with U+FFFD is never changed unless the user
// changed it; else from_utf8 of what it shows.
std::string edited_text(const Glib::ustring& shown, const std::string& given);

}  // namespace tavolin

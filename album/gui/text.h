#pragma once
// Text between the locale's encoding (file names, settings, catalog) and
// the UTF-8 that widgets take. Glib's own conversions throw on a byte the
// encoding cannot carry (any byte above 127 with LANG unset, a Latin-1 name
// under a UTF-8 locale); these never do.

#include <string>

#include <glibmm/ustring.h>

namespace tavolin {

// text converted from the locale to UTF-8; when it does not convert, the
// text itself with every invalid sequence replaced (U+FFFD), so a name
// always shows.
Glib::ustring to_utf8(const std::string& text);

// Typed text back to the locale's encoding. False, with out unchanged and
// one line on standard error, when the locale cannot carry it.
bool from_utf8(const Glib::ustring& text, std::string& out);

}  // namespace tavolin

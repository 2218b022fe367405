#include "album/gui/text.h"

#include <glib.h>
#include <glibmm/convert.h>

namespace tavolin {

Glib::ustring to_utf8(const std::string& text) {
  try {
    return Glib::locale_to_utf8(text);
  } catch (const Glib::Error&) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    Glib::ustring result(valid);
    g_free(valid);
    return result;
  }
}

std::string from_utf8(const Glib::ustring& text) {
  try {
    return Glib::locale_from_utf8(text);
  } catch (const Glib::Error&) {
    return text.raw();
  }
}

std::string edited_text(const Glib::ustring& shown, const std::string& given) {
  if (shown == to_utf8(given)) return given;
  return from_utf8(shown);
}

}  // namespace tavolin

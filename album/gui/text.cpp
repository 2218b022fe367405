#include "album/gui/text.h"

#include <glib.h>
#include <glibmm/convert.h>

#include <iostream>

#include "utility/futil.h"

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

bool from_utf8(const Glib::ustring& text, std::string& out) {
  try {
    out = Glib::locale_from_utf8(text);
    return true;
  } catch (const Glib::Error& e) {
    libutils::error();
    std::cerr << text.raw() << ": cannot be written in the locale's encoding, " << e.what()
              << std::endl;
    return false;
  }
}

}  // namespace tavolin

#include "album/engine/escape.h"

#include <cstring>

namespace tavolin {

std::string html_text(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string html_url(const std::string& name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size());
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F || std::strchr(" \"#%&,:<>?\\", c) != nullptr) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace tavolin

#include "album/engine/shell.h"

#include <cstring>

namespace tavolin {

std::string shell_quote(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    if (c == '"' || c == '$' || c == '`' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

static bool is_literal(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return c != '\0' && std::strchr("/._-+,:@%", c) != nullptr;
}

std::string shell_protect(const std::string& text) {
  for (char c : text) {
    if (!is_literal(c)) return shell_quote(text);
  }
  return text;
}

}  // namespace tavolin

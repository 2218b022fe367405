#pragma once
// Walking multibyte text character by character in the current locale.
// Internal to the utility library.

#include <cstddef>
#include <cwchar>

namespace libutils {
namespace detail {

// Bytes of the character at s (at least 1 when left > 0) and its wide
// value. A byte that does not start a valid character in the locale is a
// character of its own: below 0x80 its wide value is the byte, above it
// 0xDC00 + byte (never a real character), and valid is false.
struct mbchar_t {
  std::size_t length;
  wchar_t wc;
  bool valid;
};
mbchar_t next_mbchar(const char* s, std::size_t left, std::mbstate_t& state);

// Calls f(offset, length, wide value) for each character of s[0, len)
// while f returns true.
template <typename F>
void for_each_mbchar(const char* s, std::size_t len, F f) {
  std::mbstate_t state{};
  std::size_t off = 0;
  while (off < len) {
    const mbchar_t c = next_mbchar(s + off, len - off, state);
    if (!f(off, c.length, c.wc)) return;
    off += c.length;
  }
}

// The longest prefix of s[0, len) of at most room bytes that ends between
// two characters.
std::size_t fit_mbchars(const char* s, std::size_t len, std::size_t room);

}  // namespace detail
}  // namespace libutils

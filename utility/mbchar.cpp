#include "utility/mbchar.h"

namespace libutils {
namespace detail {

mbchar_t next_mbchar(const char* s, std::size_t left, std::mbstate_t& state) {
  const unsigned char b = static_cast<unsigned char>(*s);
  // Plain ASCII at a character boundary needs no conversion in any
  // locale the platform offers.
  if (b < 0x80 && std::mbsinit(&state)) return {1, static_cast<wchar_t>(b), true};
  wchar_t wc = 0;
  const std::size_t n = std::mbrtowc(&wc, s, left, &state);
  if (n == 0) return {1, L'\0', true};
  if (n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
    // Not text in this locale: take the byte alone and start afresh.
    state = std::mbstate_t{};
    const wchar_t escaped = b < 0x80 ? static_cast<wchar_t>(b) : static_cast<wchar_t>(0xDC00 + b);
    return {1, escaped, false};
  }
  return {n, wc, true};
}

std::size_t fit_mbchars(const char* s, std::size_t len, std::size_t room) {
  if (len <= room) return len;
  std::size_t fit = 0;
  for_each_mbchar(s, len, [&](std::size_t off, std::size_t n, wchar_t) {
    if (off + n > room) return false;
    fit = off + n;
    return true;
  });
  return fit;
}

}  // namespace detail
}  // namespace libutils

// Path and token functions on arbitrary bytes, in the C locale and in a
// UTF-8 locale: no crash, and the parts always give the text back.

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>
#include <string>

#include "utility/futil.h"
#include "utility/strutil.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void check_buffer_form(std::size_t written, const char* buf, std::size_t max,
                       const std::string& whole) {
  if (max == 0) return check(written == 0);
  check(written < max && buf[written] == '\0' && whole.compare(0, written, buf, written) == 0);
}

using joined_buffer = char[libutils::path_buffer_size];

void run_paths(const std::string& text, std::size_t max) {
  const std::string dir = libutils::dirname(text);
  const std::string file = libutils::basename2(text);
  const std::string stem = libutils::basename(text);
  check(dir + file == text);
  check(file.compare(0, stem.size(), stem) == 0);

  const char* c = text.c_str();  // up to the first NUL
  const std::string cstr(c);
  check(libutils::baseptr(c) == c + libutils::dirname(cstr).size());

  char small[64];
  std::memset(small, 'Z', sizeof small);
  const std::size_t room = max % sizeof small;
  check_buffer_form(libutils::dirname(small, c, room), small, room, libutils::dirname(cstr));
  check_buffer_form(libutils::basename(small, c, room), small, room, libutils::basename(cstr));

  auto parts = std::make_unique<libutils::splitpath_t>();
  libutils::split(*parts, c);
  if (cstr.size() < libutils::path_buffer_size) check(libutils::concat(*parts) == cstr);
  // A path that does not fit is reported on stderr: try that seldom.
  const std::size_t limit = max % 16 == 0 ? room : sizeof(joined_buffer);
  char joined[libutils::path_buffer_size];
  const bool fits = libutils::concat(joined, limit, *parts);
  check(fits ? std::strcmp(joined, libutils::concat(*parts).c_str()) == 0
             : (limit == 0 || joined[0] == '\0'));

  check(libutils::wstr2str(libutils::str2wstr(text)) == text);
  check(libutils::delimconvert(text) == text);
}

void run_tokens(const std::string& text, char delimiter) {
  const char delimiters[2] = {delimiter, '\0'};
  std::list<std::string> tokens;
  libutils::separate_token(tokens, text, delimiters);
  std::string joined;
  libutils::concatenate_token(joined, tokens, delimiters);
  std::string expect = text;
  if (delimiter != '\0' && !expect.empty() && expect.back() == delimiter) expect.pop_back();
  if (delimiter != '\0') check(joined == expect);
  std::pair<std::string, std::string> kv;
  if (libutils::separate_first_token(kv, text, delimiter))
    check(kv.first + delimiter + kv.second == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t max = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (const char* locale : {"C", "C.UTF-8"}) {
    if (std::setlocale(LC_CTYPE, locale) == nullptr) continue;
    run_paths(text, max);
  }
  std::setlocale(LC_CTYPE, "C");
  run_tokens(text, static_cast<char>(max));
  run_tokens(text, ',');
  return 0;
}

// Message catalogs: the table built from arbitrary bytes has one entry per
// LF byte, each a NUL-terminated line inside the buffer (a lone CR ends a
// line too, so the entries are the first lines).

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "utility/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<char> original(data, data + size);
  std::vector<char> buffer = original;
  std::vector<const char*> table;
  plimlib::make_message_table(buffer, table);

  const std::size_t messages =
      static_cast<std::size_t>(std::count(original.begin(), original.end(), '\n'));
  if (table.size() != messages) std::abort();

  // Line ends counted independently: CR LF is one, a lone CR or LF one.
  std::size_t ends = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < size && ends < messages; ++i) {
    const char c = original[i];
    if (c != '\n' && c != '\r') continue;
    if (ends >= table.size()) std::abort();
    // The entry is the line's own bytes up to its end (or an inner NUL).
    if (table[ends] != buffer.data() + start) std::abort();
    const std::size_t len = std::strlen(table[ends]);
    if (start + len > i || std::memcmp(table[ends], original.data() + start, len) != 0)
      std::abort();
    if (c == '\r' && i + 1 < size && original[i + 1] == '\n') ++i;
    ++ends;
    start = i + 1;
  }
  if (ends != table.size()) std::abort();
  return 0;
}

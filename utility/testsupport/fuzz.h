// What the fuzz targets share: the fuzz input copied into a block of
// exactly its size, and the initializer that silences the libraries'
// message lines, which a run would drown in. A target is one translation
// unit, so this header defines the initializer once per program: include
// it in one file of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iostream>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::cerr.rdbuf(nullptr);
  return 0;
}

namespace testsupport {

// The input in a Window (a type with bool resize(size) and begin()) whose
// block ends where the data does. Blocks below the allocator's mapping
// size (far above any fuzz input) are heap memory, so the address
// sanitizer reports any read past the data. (A guard page cannot be put
// behind heap memory: mprotect refuses an address that does not start a
// page, which left every small input unread.)
template <class Window>
class guarded_input {
 public:
  guarded_input(const std::uint8_t* bytes, std::size_t size) {
    if (!window.resize(size)) return;
    if (size) std::memcpy(window.begin(), bytes, size);
    m_ok = true;
  }
  bool ok() const { return m_ok; }

  Window window;

 private:
  bool m_ok = false;
};

}  // namespace testsupport

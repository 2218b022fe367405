// The fuzz input as a byte window that ends just before a page that cannot
// be read, so that any read past the data faults.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "image/bytewindow.h"

namespace fuzzutil {

class guarded_bytes {
 public:
  guarded_bytes(const uint8_t* bytes, size_t size) {
    static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t span = (size + page - 1) / page * page;
    if (!block_.resize(span + page)) return;
    guard_ = block_.begin() + span;
    page_ = page;
    if (mprotect(guard_, page, PROT_NONE) != 0) {
      guard_ = nullptr;
      return;
    }
    if (size) std::memcpy(guard_ - size, bytes, size);
    window.setwindow(block_, span - size, size);
  }
  ~guarded_bytes() {
    window.clear();
    if (guard_) mprotect(guard_, page_, PROT_READ | PROT_WRITE);
  }
  bool ok() const { return guard_ != nullptr; }

  libgr::byte_window_t window;

 private:
  libgr::byte_window_t block_;
  unsigned char* guard_ = nullptr;
  size_t page_ = 0;
};

}  // namespace fuzzutil

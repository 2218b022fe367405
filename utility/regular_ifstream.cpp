#include "utility/regular_ifstream.h"

#include <unistd.h>

#include "utility/futil.h"

namespace libutils {

regular_ifstream::regular_ifstream() : std::istream(nullptr) {}

regular_ifstream::regular_ifstream(const std::string& path) : std::istream(nullptr) { open(path); }

regular_ifstream::~regular_ifstream() { close(); }

bool regular_ifstream::open(const std::string& path) {
  close();
  const int fd = open_regular(path, &why_);
  if (fd < 0) {
    setstate(std::ios::failbit);
    return false;
  }
  // The buffer owns the descriptor and closes it.
  buffer_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::in | std::ios::binary);
  rdbuf(buffer_.get());
  clear();
  why_ = "";
  return true;
}

void regular_ifstream::close() {
  if (!buffer_) return;
  rdbuf(nullptr);
  buffer_.reset();
  setstate(std::ios::failbit);
}

}  // namespace libutils

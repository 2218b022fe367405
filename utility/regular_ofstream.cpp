#include "utility/regular_ofstream.h"

#include "utility/futil.h"

namespace libutils {

regular_ofstream::regular_ofstream() : std::ostream(nullptr) {}

regular_ofstream::regular_ofstream(const std::string& path) : std::ostream(nullptr) { open(path); }

regular_ofstream::~regular_ofstream() { close(); }

bool regular_ofstream::open(const std::string& path) {
  close();
  const int fd = open_for_writing(path, &m_why);
  if (fd < 0) {
    rdbuf(nullptr);
    m_buffer.reset();
    setstate(std::ios::failbit);
    return false;
  }
  // The buffer owns the descriptor and closes it.
  m_buffer = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::out | std::ios::binary);
  rdbuf(m_buffer.get());
  clear();
  m_why = "";
  return true;
}

void regular_ofstream::close() {
  // The buffer stays attached, so that the stream's state still tells
  // whether everything was written.
  if (is_open() && !m_buffer->close()) setstate(std::ios::failbit);
}

}  // namespace libutils

#pragma once
// An output stream over a file opened through open_for_writing(): used
// where a file is written by name in place, so that a FIFO or device under
// its name fails as a file that cannot be written instead of blocking the
// program.

#include <ext/stdio_filebuf.h>

#include <memory>
#include <ostream>
#include <string>

namespace libutils {

class regular_ofstream : public std::ostream {
 public:
  regular_ofstream();
  explicit regular_ofstream(const std::string& path);
  ~regular_ofstream() override;
  regular_ofstream(const regular_ofstream&) = delete;
  regular_ofstream& operator=(const regular_ofstream&) = delete;

  // Closes what is open, then opens path, created or truncated; false
  // (failbit set, errno and why() told) when it is not a regular file or
  // cannot be opened.
  bool open(const std::string& path);
  bool is_open() const { return m_buffer && m_buffer->is_open(); }
  // Flushes and closes; failbit set when that failed (a full disk shows
  // here), as with std::ofstream.
  void close();
  // Why the last open() failed: "not a regular file" or the system's
  // text; "" after a successful one.
  const char* why() const { return m_why; }

 private:
  std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> m_buffer;
  const char* m_why = "";
};

}  // namespace libutils

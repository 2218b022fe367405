#pragma once
// An input stream over a file opened through open_regular(): used where a
// file is read by name, so that a FIFO or device under a photo's name
// fails as a file that cannot be read instead of blocking the program.

#include <ext/stdio_filebuf.h>

#include <istream>
#include <memory>
#include <string>

namespace libutils {

class regular_ifstream : public std::istream {
 public:
  regular_ifstream();
  explicit regular_ifstream(const std::string& path);
  ~regular_ifstream() override;
  regular_ifstream(const regular_ifstream&) = delete;
  regular_ifstream& operator=(const regular_ifstream&) = delete;

  // Closes what is open, then opens path; false (failbit set, why() told)
  // when it is not a regular file or cannot be opened.
  bool open(const std::string& path);
  bool is_open() const { return buffer_ != nullptr; }
  void close();
  // Why the last open() failed: "not a regular file" or the system's
  // text; "" after a successful one.
  const char* why() const { return why_; }

 private:
  std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> buffer_;
  const char* why_ = "";
};

}  // namespace libutils

#pragma once
// Whole lines onto a C stream (stdout, stderr) from threads beside the
// calling one: each line (ended by std::endl) goes out in one write of the
// stream, which the C library locks, so that the lines of several threads
// never cut into each other and keep their place among those written
// through std::cout and std::cerr. A worker thread writes through its own
// line_stream_t instead of touching those two, whose state the calling
// thread shares.

#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>

namespace tavolin {

class line_buf_t : public std::stringbuf {
 public:
  explicit line_buf_t(std::FILE* to) : m_to(to) {}
  ~line_buf_t() override { line_buf_t::sync(); }

 protected:
  int sync() override {
    const std::string text = str();
    if (text.empty()) return 0;
    str("");
    const bool written = std::fwrite(text.data(), 1, text.size(), m_to) == text.size();
    return std::fflush(m_to) == 0 && written ? 0 : -1;
  }

 private:
  std::FILE* m_to;
};

class line_stream_t : private line_buf_t, public std::ostream {
 public:
  explicit line_stream_t(std::FILE* to) : line_buf_t(to), std::ostream(this) {}
};

}  // namespace tavolin

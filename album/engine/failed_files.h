#pragma once
// The files of one import or update that got nothing made, each with the
// reason in words a user can act on. The windows show the steps' lines
// first, then one line per such file: the file's name and why.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tavolin {

class failed_files_t {
 public:
  void add(const std::string& name, const std::string& reason);
  bool empty() const { return m_files.empty(); }
  bool has(const std::string& name) const;
  // name ": " reason, one line each, in the order added.
  void write(std::ostream& log) const;

 private:
  std::vector<std::pair<std::string, std::string>> m_files;
};

// The line of an outside program's error output that tells why it failed:
// the last that says something, without the context prefix ffmpeg puts
// before a component's lines ("[h264 @ 0x55d0c1a2b3c0] "). Progress lines,
// a closing "Conversion failed!" and lists of what else is supported do
// not say why. "" when no line does.
std::string last_meaningful_line(const std::string& text);

// words as the end of a sentence in a reason: one full stop after them.
std::string as_sentence(std::string words);

}  // namespace tavolin

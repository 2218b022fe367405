#include "album/engine/failed_files.h"

#include <cstring>

namespace tavolin {

namespace {

// Lines that follow the reason in ffmpeg's output, or stand for none.
const char* const says_nothing[] = {
    "Conversion failed!", "Exiting normally", "Supported ", "frame=", "size=", "video:"};

bool starts_with(const std::string& line, const char* start) {
  return line.compare(0, std::strlen(start), start) == 0;
}

// line without its blanks at either end and without a leading
// "[component @ 0xADDRESS] ", whose address means nothing to a reader.
std::string plain(std::string line) {
  const std::string::size_type first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  line.erase(0, first);
  line.erase(line.find_last_not_of(" \t") + 1);
  if (line[0] == '[') {
    const std::string::size_type close = line.find("] ");
    if (close != std::string::npos && line.find(" @ 0x") < close) {
      line.erase(0, close + 2);
    }
  }
  return line;
}

bool says_something(const std::string& line) {
  if (line.empty()) return false;
  for (const char* start : says_nothing) {
    if (starts_with(line, start)) return false;
  }
  return true;
}

}  // namespace

void failed_files_t::add(const std::string& name, const std::string& reason) {
  m_files.emplace_back(name, reason);
}

bool failed_files_t::has(const std::string& name) const {
  for (const auto& file : m_files) {
    if (file.first == name) return true;
  }
  return false;
}

void failed_files_t::write(std::ostream& log) const {
  for (const auto& file : m_files) log << file.first << ": " << file.second << "\n";
  log.flush();
}

std::string last_meaningful_line(const std::string& text) {
  std::string::size_type end = text.size();
  while (end > 0) {
    // Lines end in LF, progress lines in CR.
    const std::string::size_type cut = text.find_last_of("\r\n", end - 1);
    const std::string::size_type begin = cut == std::string::npos ? 0 : cut + 1;
    const std::string line = plain(text.substr(begin, end - begin));
    if (says_something(line)) return line;
    if (cut == std::string::npos) break;
    end = cut;
  }
  return "";
}

std::string as_sentence(std::string words) {
  while (!words.empty() && (words.back() == '.' || words.back() == ' ')) words.pop_back();
  return words + ".";
}

}  // namespace tavolin

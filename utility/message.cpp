#include "utility/message.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <iterator>

#include "utility/futil.h"
#include "utility/option.h"
#include "utility/regular_ifstream.h"

namespace plimlib {

namespace {

// The catalog as read, line ends overwritten with NULs, and one pointer
// per message into it; both live until the process ends.
std::vector<char> s_msgbuf;
std::vector<const char*> s_tablebuf;

const char* const s_not_loaded = "message not loaded.";
const char* const s_share_dir = "/usr/site/share/plimlib/";

bool debug_on() { return g_option.debug; }

bool try_load(std::vector<char>& buffer, const std::string& path) {
  return load_message(buffer, path.c_str());
}

// Candidates 1 to 3 (first round) or 4 to 6 for one file name; true when
// one of them loaded. path is left at the last candidate tried.
bool try_places(std::vector<char>& buffer, const std::string& file, const char* dir,
                bool first_round, std::string& path) {
  path = file;
  if (try_load(buffer, path)) return true;

  if (*dir != '\0') {
    path = std::string(dir) + file;
  } else {
    path = libutils::searchpath(file, nullptr);
    if (debug_on()) std::cout << dir << ": dirpath." << std::endl;
  }
  if (try_load(buffer, path)) return true;
  if (debug_on()) std::cout << path << ": warning can't load message file." << std::endl;

  path = std::string(s_share_dir) + file;
  if (try_load(buffer, path)) return true;
  // After the last candidate the caller writes this line in any case.
  if (first_round && debug_on()) std::cerr << path << ": can't load message file." << std::endl;
  return false;
}

}  // namespace

void make_message_table(std::vector<char>& buffer, std::vector<const char*>& table) {
  const std::size_t size = buffer.size();
  char* const data = buffer.data();
  // One message per LF byte. A lone CR ends a line as well, so the walk
  // may meet more line ends than there are messages: it stops once the
  // table is full.
  table.assign(static_cast<std::size_t>(std::count(data, data + size, '\n')), nullptr);
  std::size_t start = 0;
  std::size_t j = 0;
  for (std::size_t i = 0; i < size && j < table.size(); ++i) {
    const char c = data[i];
    if (c != '\n' && c != '\r') continue;
    data[i] = '\0';
    if (c == '\r' && i + 1 < size && data[i + 1] == '\n') data[++i] = '\0';
    table[j++] = data + start;
    start = i + 1;
  }
}

std::string init_message(const char* dir, const char* name) {
  std::setlocale(LC_ALL, "");
  if (dir == nullptr) dir = "";
  if (name == nullptr) name = "";
  const std::string locale = get_locale_name();
  const std::string f2 = std::string(name) + ".msg";
  const std::string f1 = locale.empty() ? f2 : std::string(name) + "." + locale + ".msg";
  if (debug_on()) std::cerr << "init_message() entering, locale." << std::endl;

  std::vector<char> buffer;
  std::string path;
  if (!try_places(buffer, f1, dir, true, path) && !try_places(buffer, f2, dir, false, path)) {
    libutils::fail(path, ": can't load message file.");
    return std::string();
  }
  if (debug_on()) std::cerr << "path: " << path << std::endl;

  std::vector<const char*> table;
  make_message_table(buffer, table);
  // Moving a vector keeps its storage, so the pointers stay valid.
  s_msgbuf = std::move(buffer);
  s_tablebuf = std::move(table);
  if (debug_on()) std::cerr << "init_message() leaving." << std::endl;
  return path;
}

const char* getmsg(e_message_t id) {
  if (id >= s_tablebuf.size()) return s_not_loaded;
  return s_tablebuf[id];
}

std::size_t message_count() { return s_tablebuf.size(); }

std::string make_title(const char* a, const char* b) {
  std::string out;
  make_title2(out, a, b);
  return out;
}

void make_title2(std::string& out, const char* a, const char* b) {
  out = a != nullptr ? a : "";
  out += " - ";
  out += b != nullptr ? b : "";
}

std::string get_locale_name() {
  const char* lang = std::getenv("LANG");
  return lang != nullptr ? std::string(lang) : std::string();
}

bool load_message(std::vector<char>& buffer, const char* path) {
  if (path == nullptr) return false;
  // Read to the end of what was opened: a size taken by name could be
  // another file's.
  libutils::regular_ifstream ifs(path);
  if (!ifs) return false;
  buffer.assign(std::istreambuf_iterator<char>(ifs), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace plimlib

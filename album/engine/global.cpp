#include "album/engine/global.h"

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>

#include "utility/futil.h"
#include "utility/message.h"
#include "utility/regular_ifstream.h"
#include "utility/regular_ofstream.h"
#include "utility/strutil.h"

namespace tavolin {

namespace {

std::string home_dir() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

std::string default_album() {
  const std::string home = home_dir();
  return home.empty() ? "album" : home + "/album";
}

// Calls f(key, field) for every setting, in the order of the file.
template <typename G, typename F>
void for_each_setting(G& g, F&& f) {
  f("from", g.from);
  f("album", g.album);
  f("shrink_size", g.shrink_size);
  f("jpeg_compress", g.jpeg_compress);
  f("horizontal_items", g.horizontal_items);
  f("show_level", g.show_level);
  f("view_size", g.view_size);
  f("html_header_check", g.html_header_check);
  f("html_header", g.html_header);
  f("html_address", g.html_address);
  f("hwaccel", g.hwaccel);
  f("ffmpeg", g.ffmpeg);
  f("movie", g.movie);
  f("play_size_x", g.play_size_x);
  f("play_size_y", g.play_size_y);
  f("movie_thumbnail_retina", g.movie_thumbnail_retina);
  f("plimzev3", g.plimzev3);
}

// Numbers read as strtoul with base 0 reads them: decimal, 0x hexadecimal,
// leading-zero octal; no digits give 0.
unsigned long number(const char* text) { return std::strtoul(text, nullptr, 0); }

void parse(std::string& field, const std::string& value) { field = value; }
void parse(unsigned long& field, const std::string& value) { field = number(value.c_str()); }
void parse(bool& field, const std::string& value) { field = number(value.c_str()) != 0; }
// Two numbers with any one character between them ("1024,768",
// "2048x1536"). A lone number gives a square box.
void parse(shrink_size_t& field, const std::string& value) {
  const char* text = value.c_str();
  char* end = nullptr;
  field.x = std::strtoul(text, &end, 0);
  field.y = *end != '\0' ? number(end + 1) : field.x;
}

std::string text(const std::string& value) { return value; }
std::string text(unsigned long value) { return std::to_string(value); }
std::string text(bool value) { return value ? "1" : "0"; }
std::string text(const shrink_size_t& value) {
  return std::to_string(value.x) + "," + std::to_string(value.y);
}

// Writes the typed value; shrink_size goes as its "x,y" text.
template <typename T>
void writeone(std::ostream& os, const char* key, const T& value) {
  writeiniline(os, key, value);
}
void writeone(std::ostream& os, const char* key, const shrink_size_t& value) {
  writeiniline(os, key, text(value));
}

// Applies one "key=value" line to g; false for a key nobody knows.
bool apply_line(global_t& g, const std::string& key, const std::string& value) {
  if (key == "shrink_level") return true;  // an old key, ignored
  bool found = false;
  for_each_setting(g, [&](const char* name, auto& field) {
    if (!found && key == name) {
      parse(field, value);
      found = true;
    }
  });
  return found;
}

}  // namespace

global_t::global_t()
    : from("/mnt/DCIM"),
      album(default_album()),
      shrink_size{1024, 1024},
      jpeg_compress(100),
      horizontal_items(4),
      show_level(1),
      view_size(1),
      html_header_check(false),
      html_header(default_html_header()),
      html_address(
          "Copyright &copy; <a href=\"mailto:owner@example.com\">Owner Name</a>."
          " All rights reserved."),
      hwaccel("-hwaccel cuda"),
      ffmpeg("-c:v h264_nvenc -preset p4 -cq 27 -bf 0"),
      movie("mpv -hwdec -geometry=3840x2160"),
      play_size_x(3840),
      play_size_y(2160),
      movie_thumbnail_retina(true),
      plimzev3(
          "plimzev3.lin"
          " -resizetype 2 -window_ratio_of_image 0.5 -image_ratio_of_window 1"
          " -g +0+32") {}

global_t g_global;

std::string default_html_header() {
  const std::string locale = plimlib::get_locale_name();
  const char* charset = "UTF-8";
  if (locale == "ja_JP.SJIS" || locale == "ja_JP.SHIFT-JIS" || locale == "ja_JP.shiftjis" ||
      locale == "ja-JP") {
    charset = "shift_jis";
  } else if (strcasecmp(locale.c_str(), "ja_JP.eucJP") == 0) {
    charset = "euc-jp";
  }
  return std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") + charset +
         "\">";
}

std::string inifile(const std::string&, const std::string& name) {
  const std::string home = home_dir();
  return home.empty() ? "" : home + "/." + name;
}

template <typename T>
void writeiniline(std::ostream& os, const char* key, const T& value) {
  os << key << '=' << value << "\r\n" << std::flush;
}
template <>
void writeiniline<bool>(std::ostream& os, const char* key, const bool& value) {
  os << key << '=' << (value ? '1' : '0') << "\r\n" << std::flush;
}
template void writeiniline<std::string>(std::ostream&, const char*, const std::string&);
template void writeiniline<unsigned long>(std::ostream&, const char*, const unsigned long&);

bool loadini(const std::string& dir, const std::string& name) {
  const std::string path = inifile(dir, name);
  if (path.empty()) {
    return libutils::fail("loadini: HOME is not set, no settings file.");
  }
  struct stat st;
  const bool present = stat(path.c_str(), &st) == 0;
  if (present && S_ISDIR(st.st_mode)) {
    return libutils::fail(path, ": is a directory, not a settings file.");
  }
  libutils::regular_ifstream ifs(path);
  if (!ifs) {
    // Missing is normal (the option dialog follows); a FIFO or device
    // under the name is told, as a directory is.
    if (present && !S_ISREG(st.st_mode)) libutils::fail(path, ": ", ifs.why());
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(ifs)), std::istreambuf_iterator<char>());
  if (ifs.bad()) return libutils::fail(path, ": read error.");
  // Parsed into a copy so that a read error leaves g_global as it was.
  global_t g = g_global;
  parseini(g, bytes);
  g_global = std::move(g);
  return true;
}

void parseini(global_t& g, const std::string& bytes) {
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    libutils::chop(line);
    std::pair<std::string, std::string> kv;
    if (!libutils::separate_first_token(kv, line, '=')) continue;
    if (!apply_line(g, kv.first, kv.second)) libutils::fail("Unrecognized name: ", kv.first);
  }
  // Every album dialog divides by the number of items per row.
  if (g.horizontal_items == 0) g.horizontal_items = 1;
}

void saveini(const std::string& dir, const std::string& name) {
  const std::string path = inifile(dir, name);
  if (path.empty()) {
    libutils::fail("saveini: HOME is not set, settings not saved.");
    return;
  }
  // Opening a FIFO for writing would wait for a reader: such a name is
  // refused here, and one put there since by the open itself.
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    libutils::fail(path, ": not a regular file, settings not saved.");
    return;
  }
  libutils::regular_ofstream ofs(path);
  if (!ofs) {
    const int err = errno;
    libutils::fail(path, ": ", std::strerror(err));
    return;
  }
  writeini(ofs, g_global);
  ofs.close();
  if (ofs.fail()) libutils::fail(path, ": write error, settings not saved.");
}

void writeini(std::ostream& os, const global_t& g) {
  for_each_setting(g, [&](const char* key, const auto& field) {
    if (!g.html_header_check && std::strcmp(key, "html_header") == 0) return;
    writeone(os, key, field);
  });
}

void dumpini(std::ostream& os, const global_t& g, const char* eol) {
  for_each_setting(
      g, [&](const char* key, const auto& field) { os << key << '=' << text(field) << eol; });
}

}  // namespace tavolin

#pragma once
// Every setting of the album program and its settings file in the home
// directory: one "key=value" line per setting, CR LF ends, fixed key order.

#include <ostream>
#include <string>

namespace tavolin {

// The box that decides how many halved size levels a photo gets.
struct shrink_size_t {
  unsigned long x = 0;
  unsigned long y = 0;
};

class global_t {
 public:
  // The built-in defaults (HOME and LANG are read here).
  global_t();

  // In the order of the keys in the settings file; each key is the name.
  std::string from;
  std::string album;
  shrink_size_t shrink_size;
  unsigned long jpeg_compress;
  unsigned long horizontal_items;  // at least 1 after loadini
  unsigned long show_level;
  unsigned long view_size;
  bool html_header_check;
  std::string html_header;  // stored in the file only when the check is on
  std::string html_address;
  std::string hwaccel;
  std::string ffmpeg;
  std::string movie;
  unsigned long play_size_x;
  unsigned long play_size_y;
  bool movie_thumbnail_retina;
  std::string plimzev3;
};

// The settings of this process, built with the defaults before main.
extern global_t g_global;

// The default html_header: a Content-Type line whose charset follows LANG.
std::string default_html_header();

// HOME + "/." + name; "" when HOME is unset or empty (there is then no
// settings file). dir is not used.
std::string inifile(const std::string& dir, const std::string& name);

// Reads the settings file into g_global. False when it cannot be opened
// (g_global unchanged; a name that is not a regular file, such as a FIFO,
// is reported and never opened); unknown keys are reported and skipped.
bool loadini(const std::string& dir, const std::string& name);

// The same on the bytes of a settings file, read over g (horizontal_items
// is at least 1 afterwards).
void parseini(global_t& g, const std::string& bytes);

// Rewrites the settings file from g_global; failures are reported on
// standard error. A name that is not a regular file is left alone.
void saveini(const std::string& dir, const std::string& name);

// The settings file's lines of g, as saveini() writes them.
void writeini(std::ostream& os, const global_t& g);

// key, "=", value, CR LF, then a flush. Numbers in decimal, a bool as "1"
// or "0". Instantiated for std::string, unsigned long and bool.
template <typename T>
void writeiniline(std::ostream& os, const char* key, const T& value);
template <>
void writeiniline<bool>(std::ostream& os, const char* key, const bool& value);

// Every setting of g, html_header included whatever its check, as
// key=value lines in file order ended by eol.
void dumpini(std::ostream& os, const global_t& g, const char* eol);

}  // namespace tavolin

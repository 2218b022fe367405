#include "utility/option.h"

#include <locale.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <list>
#include <sstream>
#include <string>
#include <vector>

#include "utility/futil.h"
#include "utility/regular_ifstream.h"
#include "utility/regular_ofstream.h"
#include "utility/strutil.h"

namespace plimlib {

namespace {

// Constant, so g_option holds the defaults before any code runs.
constexpr option_t s_defaults = {
    false,                 // h
    false,                 // verbose
    false,                 // debug
    0,                     // wintype
    {800, 600},            // winsize
    {16384, 16384},        // g
    1,                     // resizetype
    1.0f,                  // image_ratio_of_image
    0.875f,                // image_ratio_of_window
    1.2f,                  // window_ratio_of_image
    true,                  // resize_magnify
    false,                 // resize_shrink
    0,                     // sizelimit
    {10, 32},              // maxmargin
    {1500, 1000},          // maxsize
    1,                     // cursor_movement
    true,                  // magsmooth
    false,                 // move_limit
    300,                   // doubleclick_interval
    1,                     // frametype
    32,                    // framewidth
    {255, 255, 255, 255},  // framecolor
    true,                  // reproduce
    true,                  // resetview
    true,                  // menu
    false,                 // single
};

}  // namespace

const option_t option_default = s_defaults;
option_t g_option = s_defaults;

void option_reset() { g_option = option_default; }

option_entity_t option_entity_table[option_entity_count] = {
    {"h", 0, OPTION_BOOL, &g_option.h, "print help and exit(if commend-line)."},
    {"verbose", 0, OPTION_BOOL, &g_option.verbose, "verbose print."},
    {"debug", 0, OPTION_BOOL, &g_option.debug, "debug print."},
    {"wintype", 0, OPTION_ENUM, &g_option.wintype,
     "window type (0:window 1:maximize 2:fullscreen)."},
    {"winsize", 0, OPTION_XY, &g_option.winsize, "initial window size."},
    {"g", 0, OPTION_XY, &g_option.g, "initial window position."},
    {"resizetype", 0, OPTION_ENUM, &g_option.resizetype,
     "policy of resize (0:fix 1:image 2:window)."},
    {"image_ratio_of_image", 0, OPTION_RATE, &g_option.image_ratio_of_image,
     "image size factor of image(fix)."},
    {"image_ratio_of_window", 0, OPTION_RATE, &g_option.image_ratio_of_window,
     "image size factor of window(image)."},
    {"window_ratio_of_image", 0, OPTION_RATE, &g_option.window_ratio_of_image,
     "window size factor of image(window)."},
    {"resize_magnify", 0, OPTION_BOOL, &g_option.resize_magnify,
     "allow window resize (if magnify)."},
    {"resize_shrink", 0, OPTION_BOOL, &g_option.resize_shrink, "allow window resize (if shrink)."},
    {"sizelimit", 0, OPTION_ENUM, &g_option.sizelimit,
     "limitation of window size (0: unlimited 1:screen 2:value)."},
    {"maxmargin", 0, OPTION_XY, &g_option.maxmargin, "0:screen, margin of maximum window size."},
    {"maxsize", 0, OPTION_XY, &g_option.maxsize, "1:value, maximum window size."},
    {"cursor_movement", 0, OPTION_ENUM, &g_option.cursor_movement,
     "moving cursorkey direction (0:panning, 1:camera)."},
    {"magsmooth", 0, OPTION_BOOL, &g_option.magsmooth, "image smoother for magnify."},
    {"move_limit", 0, OPTION_BOOL, &g_option.move_limit,
     "image move limitation (not implemented yet)."},
    {"doubleclick_interval", 0, OPTION_ULONG, &g_option.doubleclick_interval,
     "maximum interval time(ms) of mouse double-click."},
    {"frametype", 0, OPTION_ENUM, &g_option.frametype,
     "drawing photo-frame type (0:none - 4:max)."},
    {"framewidth", 0, OPTION_ULONG, &g_option.framewidth, "drawing photo-frame width (in pixel)."},
    {"framecolor", 0, OPTION_RGB, &g_option.framecolor, "frame color."},
    {"reproduce", 0, OPTION_BOOL, &g_option.reproduce,
     "reproduce angle/zoom of saved '.zev' file."},
    {"resetview", 0, OPTION_BOOL, &g_option.resetview, "resetview(reproduce) on nextimage."},
    {"menu", 0, OPTION_BOOL, &g_option.menu, "menu on/off."},
    {"single", 0, OPTION_BOOL, &g_option.single, "disable double-buffer, reduce VRAM use."},
};

namespace {

const char* const s_type_text[] = {
    " bool       ", " enum       ", " rate(float)", " ulong      ",
    " float      ", " XXXxYYY    ", " R,G,B      ",
};

// Numbers always use '.', whatever LC_NUMERIC the program set: option
// files and command lines are written that way.
locale_t c_locale() {
  static const locale_t loc = ::newlocale(LC_ALL_MASK, "C", locale_t(0));
  return loc;
}

// double to float as rounding to nearest does it, without the undefined
// conversion of values beyond the float range: from FLT_MAX plus half a
// unit of its last place on the result is infinite.
float narrow_float(double v) {
  const double overflow = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
  if (std::fabs(v) > FLT_MAX) {
    const float top = std::fabs(v) >= overflow ? HUGE_VALF : FLT_MAX;
    return v < 0 ? -top : top;
  }
  return static_cast<float>(v);
}

float parse_rate(const char* s) { return narrow_float(::strtod_l(s, nullptr, c_locale())); }
float parse_float(const char* s) { return ::strtof_l(s, nullptr, c_locale()); }

void parse_xy(const char* s, option_xy_t& v) {
  char* end = nullptr;
  const long x = std::strtol(s, &end, 0);
  if (x >= 0 && x <= INT32_MAX) v.x = static_cast<std::int32_t>(x);
  if (*end == '\0') return;
  const long y = std::strtol(end + 1, &end, 0);
  if (y >= 0 && y <= INT32_MAX) v.y = static_cast<std::int32_t>(y);
}

void parse_rgb(const char* s, option_rgba_t& v) {
  unsigned char* channel[] = {&v.r, &v.g, &v.b, &v.a};
  for (unsigned char* c : channel) {
    char* end = nullptr;
    *c = static_cast<unsigned char>(std::strtol(s, &end, 0) & 0xff);
    if (*end == '\0') return;
    s = end + 1;
  }
}

void parse_value(const option_entity_t& row, const char* s) {
  switch (row.type) {
    case OPTION_ENUM:
      *static_cast<std::int32_t*>(row.target) =
          static_cast<std::int32_t>(std::strtol(s, nullptr, 0));
      break;
    case OPTION_RATE: *static_cast<float*>(row.target) = parse_rate(s); break;
    case OPTION_ULONG: {
      const unsigned long v = std::strtoul(s, nullptr, 0);
      if (v != 0) *static_cast<std::uint32_t*>(row.target) = static_cast<std::uint32_t>(v);
      break;
    }
    case OPTION_FLOAT: *static_cast<float*>(row.target) = parse_float(s); break;
    case OPTION_XY: parse_xy(s, *static_cast<option_xy_t*>(row.target)); break;
    case OPTION_RGB: parse_rgb(s, *static_cast<option_rgba_t*>(row.target)); break;
    default: break;
  }
}

std::size_t name_length(const option_entity_t& row) {
  return row.length != 0 ? row.length : std::strlen(row.name);
}

// A bool row with the text after its name; 1 when it took the argument.
int analyze_bool(const option_entity_t& row, const char* rest) {
  const char* said = nullptr;
  bool value = true;
  if (*rest == '\0') {
    said = " is set.";
  } else if (std::strcmp(rest, "+") == 0) {
    said = " is '+'.";
  } else if (std::strcmp(rest, "-") == 0) {
    said = " is '-'.";
    value = false;
  } else {
    return 0;
  }
  *static_cast<bool*>(row.target) = value;
  if (g_option.debug) std::cerr << "option " << row.name << said << std::endl;
  return 1;
}

bool same_float(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The default stream form (six significant digits) when that reads back
// as the same value, else as many digits as it takes.
std::string float_text(float v, bool rate) {
  std::string text;
  for (int digits = 6; digits <= 9; ++digits) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os.precision(digits);
    os << v;
    text = os.str();
    if (same_float(rate ? parse_rate(text.c_str()) : parse_float(text.c_str()), v)) break;
  }
  return text;
}

void write_value(std::ostream& os, const option_entity_t& row) {
  const void* p = row.target;
  switch (row.type) {
    case OPTION_BOOL: os << (*static_cast<const bool*>(p) ? "+" : "-"); break;
    case OPTION_ENUM: os << ' ' << *static_cast<const std::int32_t*>(p); break;
    case OPTION_RATE:
    case OPTION_FLOAT:
      os << ' ' << float_text(*static_cast<const float*>(p), row.type == OPTION_RATE);
      break;
    case OPTION_ULONG: os << ' ' << *static_cast<const std::uint32_t*>(p); break;
    case OPTION_XY: {
      // "0x..." would read back as a hexadecimal number; "00x..." reads
      // as 0 followed by the separator.
      const option_xy_t& v = *static_cast<const option_xy_t*>(p);
      os << ' ' << (v.x == 0 ? "00" : std::to_string(v.x)) << 'x' << v.y;
      break;
    }
    case OPTION_RGB: {
      const option_rgba_t& v = *static_cast<const option_rgba_t*>(p);
      os << ' ' << unsigned(v.r) << ',' << unsigned(v.g) << ',' << unsigned(v.b) << ','
         << unsigned(v.a);
      break;
    }
    default: break;
  }
}

void init_once() {
  if (option_entity_table[0].length == 0) option_init();
}

std::string user_default_path(const char* program, const char* dir) {
  const char* home = std::getenv("HOME");
  std::string path = home != nullptr ? home : (dir != nullptr ? dir : "");
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += '.';
  path += program != nullptr ? program : "";
  return path;
}

}  // namespace

void option_init() {
  for (option_entity_t& row : option_entity_table) row.length = std::strlen(row.name);
}

int option_each_analyze(const char* const* args) {
  if (args == nullptr || args[0] == nullptr) return 0;
  return option_each_analyze(args, args[1] != nullptr ? 2 : 1);
}

int option_each_analyze(const char* const* args, std::size_t count) {
  if (args == nullptr || count == 0 || args[0] == nullptr || args[0][0] != '-') return 0;
  const char* text = args[0] + 1;
  for (const option_entity_t& row : option_entity_table) {
    const std::size_t len = name_length(row);
    if (::strncasecmp(text, row.name, len) != 0) continue;
    const char* rest = text + len;
    if (row.type == OPTION_BOOL) {
      if (const int used = analyze_bool(row, rest)) return used;
      continue;
    }
    if (*rest != '\0') continue;
    if (count < 2 || args[1] == nullptr) {
      // No value follows: the option is not taken and ends the options.
      libutils::fail(args[0], ": option value missing.");
      return 0;
    }
    parse_value(row, args[1]);
    return 2;
  }
  return 0;
}

void option_enter_argument(int* argc, char*** argv) {
  init_once();
  g_option.h = false;
  const int count = *argc;
  char** args = *argv;
  int i = 1;
  while (i < count) {
    const int used = option_each_analyze(args + i, static_cast<std::size_t>(count - i));
    if (used == 0) break;
    i += used;
  }
  if (count >= 1 && i > 1) {
    int out = 1;
    for (int j = i; j < count; ++j) args[out++] = args[j];
    args[out] = nullptr;  // out < count here, so within the array
    *argc = out;
  }
  if (g_option.h) {
    option_list(count >= 1 && args[0] != nullptr ? args[0] : "");
    std::cout.flush();
    std::exit(0);
  }
}

void option_list(const char* program) {
  std::size_t maxlen = 0;
  for (const option_entity_t& row : option_entity_table)
    maxlen = std::max(maxlen, std::strlen(row.name));
  std::ostream& os = std::cout;
  os << "usage: " << (program != nullptr ? program : "") << " [option]"
     << " file..." << '\n'
     << '\n';
  os << "option" << std::string(maxlen - 5, ' ') << " format  comment." << '\n';
  os << std::string(maxlen + 18, '-') << '\n';
  for (const option_entity_t& row : option_entity_table) {
    os << '-' << row.name << std::string(maxlen - std::strlen(row.name), ' ')
       << s_type_text[row.type] << ' ' << row.help << '\n';
  }
  os.flush();
}

namespace {

// Where the option file really lies: a symbolic link is followed, so that
// replacing the file keeps the link; "" for a link that leads nowhere.
std::string save_target(const char* path) {
  struct stat st;
  if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  if (::stat(path, &st) != 0) return std::string();
  return libutils::realpath(path);
}

}  // namespace

bool option_save(const char* path) {
  std::ostringstream text;
  for (const option_entity_t& row : option_entity_table) {
    text << '-' << row.name;
    write_value(text, row);
    text << '\n';
  }
  const std::string target = save_target(path);
  if (target.empty()) {
    // A link to a file not there yet: nothing can be lost, so it is
    // written through the link, which then leads somewhere.
    libutils::regular_ofstream ofs(path);
    if (!ofs) {
      const int err = errno;
      return libutils::fail(path, ": ", std::strerror(err));
    }
    errno = 0;
    ofs << text.str();
    ofs.close();
    if (!ofs.fail()) return true;
    const int err = errno;
    if (err == 0) return libutils::fail(path, ": option file write failed.");
    return libutils::fail(path, ": option file write failed, ", std::strerror(err));
  }
  // Written beside the old file and renamed over it only when complete: a
  // full disk keeps the user's old options.
  bool made = false;
  if (libutils::replace_file(target, text.str(), &made)) return true;
  const int err = errno;
  if (!made) return libutils::fail(path, ": ", std::strerror(err));
  return libutils::fail(path, ": option file write failed, ", std::strerror(err));
}

bool option_load(const char* path) {
  libutils::regular_ifstream ifs(path);
  if (!ifs) return true;
  option_parse(std::string(std::istreambuf_iterator<char>(ifs), std::istreambuf_iterator<char>()));
  return true;
}

void option_parse(const std::string& bytes) {
  std::istringstream in(bytes);
  std::string line;
  std::list<std::string> tokens;
  std::vector<const char*> args;
  while (std::getline(in, line)) {
    libutils::chop(line);
    tokens.clear();
    libutils::separate_token(tokens, line, " \t");
    if (tokens.empty()) continue;
    // Only the first option of a line (and its value) counts.
    libutils::makecharptrarray(args, tokens);
    option_each_analyze(args.data(), args.size());
  }
}

void option_save_user_default(const char* program, const char* dir) {
  init_once();
  const std::string path = user_default_path(program, dir);
  if (g_option.debug)
    std::cout << "prog: " << (program ? program : "") << ", dir: " << (dir ? dir : "") << std::endl;
  if (g_option.verbose) std::cout << "save user default: " << path << std::endl;
  option_save(path.c_str());
}

void option_load_user_default(const char* program, const char* dir) {
  init_once();
  const std::string path = user_default_path(program, dir);
  if (g_option.verbose) std::cout << "load user default: " << path << std::endl;
  option_load(path.c_str());
}

}  // namespace plimlib

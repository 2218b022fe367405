#pragma once
// The viewer's option block, the table that names, types and documents
// each option, the command-line parser and the option files.

#include <cstddef>
#include <cstdint>
#include <string>

namespace plimlib {

// An XXXxYYY value.
struct option_xy_t {
  std::int32_t x;
  std::int32_t y;
};

// An R,G,B value (alpha as the fourth byte).
struct option_rgba_t {
  unsigned char r;
  unsigned char g;
  unsigned char b;
  unsigned char a;
};

// The option values in table order.
struct option_t {
  bool h;
  bool verbose;
  bool debug;
  std::int32_t wintype;
  option_xy_t winsize;
  option_xy_t g;
  std::int32_t resizetype;
  float image_ratio_of_image;
  float image_ratio_of_window;
  float window_ratio_of_image;
  bool resize_magnify;
  bool resize_shrink;
  std::int32_t sizelimit;
  option_xy_t maxmargin;
  option_xy_t maxsize;
  std::int32_t cursor_movement;
  bool magsmooth;
  bool move_limit;
  std::uint32_t doubleclick_interval;
  std::int32_t frametype;
  std::uint32_t framewidth;
  option_rgba_t framecolor;
  bool reproduce;
  bool resetview;
  bool menu;
  bool single;
};

// Holds the defaults at start.
extern option_t g_option;

// The defaults, for restoring g_option (tests, fuzzers).
extern const option_t option_default;
void option_reset();

// Type codes of the table.
enum e_option_type_t : std::int32_t {
  OPTION_BOOL = 0,   // -name or -name+ sets, -name- clears
  OPTION_ENUM = 1,   // strtol base 0
  OPTION_RATE = 2,   // strtod
  OPTION_ULONG = 3,  // strtoul base 0; 0 keeps the old value
  OPTION_FLOAT = 4,  // strtof
  OPTION_XY = 5,     // x, one separator, y; negatives keep the old value
  OPTION_RGB = 6,    // up to four numbers, one separator each, low byte
};

struct option_entity_t {
  const char* name;
  std::size_t length;  // strlen(name), filled by option_init()
  std::int32_t type;   // e_option_type_t
  void* target;        // the value inside g_option
  const char* help;
};

constexpr std::size_t option_entity_count = 26;
extern option_entity_t option_entity_table[option_entity_count];

// Fills the name lengths of the table.
void option_init();

// Parses the option at args[0] (its value at args[1]) into g_option.
// Returns the arguments used: 0 (no option), 1 (a bool) or 2 (a typed
// option and its value). args ends with a null pointer (as argv does); the
// counted form never looks at more than count entries. A typed option
// without a value is no option (0), with a message.
int option_each_analyze(const char* const* args);
int option_each_analyze(const char* const* args, std::size_t count);

// Takes the leading options off a command line; the rest moves to argv[1]
// on and *argc becomes 1 + their number. With -h prints the usage text and
// ends the process with status 0.
void option_enter_argument(int* argc, char*** argv);

// The usage text on standard output.
void option_list(const char* program);

// Writes every option, one line each in the command-line syntax.
bool option_save(const char* path);
// Applies the first option of each line of the file; a missing file
// changes nothing and is no error.
bool option_load(const char* path);
// The same on the bytes of an option file.
void option_parse(const std::string& bytes);

// The same on $HOME/.program (dir when HOME is unset).
void option_save_user_default(const char* program, const char* dir);
void option_load_user_default(const char* program, const char* dir);

}  // namespace plimlib

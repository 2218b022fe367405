// albumtool: a test-only command over the album engine (no display needed).
// Each subcommand lives in its own albumtool_*.cpp and registers itself here.
#pragma once

namespace albumtool {

struct command_t {
  const char* name;
  const char* usage;                  // the arguments after the name, for the usage text
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand name
};

// Called from a static initialiser in each albumtool_*.cpp.
bool register_command(const command_t& command);

// The directory of the albumtool binary, with its trailing "/" (as the album
// program passes its own directory to the engine).
const char* program_dir();

// Prints "P" bar " " value as one line in one write: a movie thread's echo
// of its command line must not land inside it.
void print_progress(int bar, double value);

}  // namespace albumtool

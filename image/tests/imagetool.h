// imagetool: a test-only command over the image library. Each subcommand
// lives in its own imagetool_*.cpp and registers itself here.
#pragma once

namespace imagetool {

struct command_t {
  const char* name;
  const char* usage;                  // the arguments after the name, for the usage text
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand name
};

// Called from a static initialiser in each imagetool_*.cpp.
bool register_command(const command_t& command);

}  // namespace imagetool

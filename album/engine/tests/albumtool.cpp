#include "album/engine/tests/albumtool.h"

#include <glibmm/init.h>

#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "album/engine/global.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace albumtool {

static std::vector<command_t>& commands() {
  static std::vector<command_t> table;
  return table;
}

static std::string& programdir() {
  static std::string dir;
  return dir;
}

bool register_command(const command_t& command) {
  commands().push_back(command);
  return true;
}

const char* program_dir() { return programdir().c_str(); }

void print_progress(int bar, double value) {
  std::ostringstream line;
  line << "P" << bar << " " << value << "\n";
  std::cout << line.str() << std::flush;
}

}  // namespace albumtool

int main(int argc, char** argv) {
  Glib::init();
  // Start up as the album program does: its catalog from beside the
  // binary, its settings from $HOME/.tavolin.
  albumtool::programdir() = libutils::dirname(argv[0]);
  const std::string catalog = plimlib::init_message(albumtool::program_dir(), "tavolin");
  tavolin::loadini(libutils::dirname(catalog), "tavolin");

  if (argc >= 2) {
    for (const albumtool::command_t& c : albumtool::commands()) {
      if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 1, argv + 1) == 0 ? 0 : 1;
    }
  }
  std::cerr << "usage:\n";
  for (const albumtool::command_t& c : albumtool::commands())
    std::cerr << "  albumtool " << c.name << " " << c.usage << "\n";
  return 1;
}

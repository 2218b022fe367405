#include "image/tests/imagetool.h"

#include <cstring>
#include <iostream>
#include <vector>

namespace imagetool {

static std::vector<command_t>& commands() {
  static std::vector<command_t> table;
  return table;
}

bool register_command(const command_t& command) {
  commands().push_back(command);
  return true;
}

}  // namespace imagetool

int main(int argc, char** argv) {
  if (argc >= 2) {
    for (const imagetool::command_t& c : imagetool::commands()) {
      if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 1, argv + 1) == 0 ? 0 : 1;
    }
  }
  std::cerr << "usage:\n";
  for (const imagetool::command_t& c : imagetool::commands())
    std::cerr << "  imagetool " << c.name << " " << c.usage << "\n";
  return 1;
}

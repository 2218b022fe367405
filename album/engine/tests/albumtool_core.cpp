// albumtool subcommands over the settings, the tree scan and the external
// programs.
#include <cstring>
#include <iostream>
#include <list>
#include <string>

#include "album/engine/global.h"
#include "album/engine/scan.h"
#include "album/engine/tests/albumtool.h"
#include "album/engine/util.h"

namespace {

using namespace tavolin;

int usage_error(const char* name, const char* usage) {
  std::cerr << "usage: albumtool " << name << " " << usage << std::endl;
  return 1;
}

int ini_dump(int, char**) {
  dumpini(std::cout, g_global, "\n");
  return 0;
}

int run_browser_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "DIR");
  std::string command;
  run_browser("", argv[1], command);  // through PATH
  return 0;
}

// One argument goes to the single-path form, anything else (or --list
// first) to the list form.
int run_viewer_cmd(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--list") != 0)
    return run_plimzev3(albumtool::program_dir(), std::string(argv[1])) ? 0 : 1;
  int first = 1;
  if (argc >= 2 && std::strcmp(argv[1], "--list") == 0) first = 2;
  std::list<std::string> args(argv + first, argv + argc);
  return run_plimzev3(albumtool::program_dir(), args) ? 0 : 1;
}

int run_movie_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "FILE");
  return run_movie(argv[1]) ? 0 : 1;
}

int scan_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "DIR");
  std::list<std::string> names;
  if (!album_entries(names, argv[1])) {
    std::cerr << argv[1] << ": cannot list directory." << std::endl;
    return 1;
  }
  std::list<albumdir_t> albums;
  hierar_albums(albums, path_t(argv[1], "", ""), names);
  sort_albums(albums);
  for (const albumdir_t& a : albums) {
    std::string rel = a.first;
    joinpath(rel, a.second);
    std::cout << rel << "\n";
  }
  return 0;
}

const bool registered =
    albumtool::register_command({"ini-dump", "", ini_dump}) &&
    albumtool::register_command({"run-browser", "DIR", run_browser_cmd}) &&
    albumtool::register_command({"run-viewer", "[--list] ARGS...", run_viewer_cmd}) &&
    albumtool::register_command({"run-movie", "FILE", run_movie_cmd}) &&
    albumtool::register_command({"scan", "DIR", scan_cmd});

}  // namespace

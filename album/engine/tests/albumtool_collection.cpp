// albumtool subcommands over the collection editor's work: the new-album
// road as the edit hub runs it (checks, album directory, album, collection
// page), renaming and removing a collection's entries, and the batch
// refresh. Lines for the user go to standard error.
#include <iostream>
#include <string>
#include <vector>

#include "album/engine/bookindex.h"
#include "album/engine/collectionedit.h"
#include "album/engine/exif.h"
#include "album/engine/makealbum.h"
#include "album/engine/tests/albumtool.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace {

using namespace tavolin;

int usage_error(const char* name, const char* usage) {
  std::cerr << "usage: albumtool " << name << " " << usage << std::endl;
  return 1;
}

// A failing check prints its catalog message.
int newalbum_cmd(int argc, char** argv) {
  if (argc < 8)
    return usage_error(argv[0],
                       "[--into-existing] FROM COLLECTION NAME TITLE HEAD LAST "
                       "NAME[@ROT]...");
  bool into_existing = false;
  int first = 1;
  if (std::string(argv[1]) == "--into-existing") {
    into_existing = true;
    ++first;
  }
  if (argc - first < 6) return usage_error(argv[0], "...");
  initexif(nullptr, nullptr);
  const std::string from = argv[first];
  const path_t collection("", argv[first + 1], "");
  const path_t to("", argv[first + 1], argv[first + 2]);
  std::vector<files_t> files;
  for (int i = first + 6; i < argc; ++i) {
    std::string arg = argv[i];
    unsigned long rotation = 0;
    const std::string::size_type at = arg.rfind('@');
    if (at != std::string::npos && at + 2 == arg.size() && arg[at + 1] >= '0' &&
        arg[at + 1] <= '3') {
      rotation = static_cast<unsigned long>(arg[at + 1] - '0');
      arg.resize(at);
    }
    files.emplace_back(arg, rotation);
  }
  files = importable_files(files);
  const e_newalbum_t check = check_newalbum(files, from, to, argv[first + 3], into_existing);
  if (check != NEWALBUM_OK) {
    std::cerr << plimlib::getmsg(newalbum_message(check)) << std::endl;
    return 1;
  }
  const std::vector<std::string> refusals = import_refusals(from, files, to);
  for (const std::string& line : refusals) std::cerr << line << std::endl;
  if (!refusals.empty()) return 1;
  if (!make_album_dir(to, argv[first + 3], argv[first + 4], argv[first + 5], false, std::cerr))
    return 1;
  sigc::signal<void, double> s[4];
  if (!makealbumwithrotate(from, files, to, s[0], s[1], s[2], s[3], std::cerr)) return 1;
  return makehtmlbook(collection, std::cerr) ? 0 : 1;
}

int rename_cmd(int argc, char** argv) {
  if (argc != 4) return usage_error(argv[0], "COLLECTION NAME NEW_NAME");
  return rename_entry(argv[1], argv[2], argv[3], std::cerr) ? 0 : 1;
}

int remove_cmd(int argc, char** argv) {
  if (argc != 3) return usage_error(argv[0], "COLLECTION NAME");
  return remove_entry(argv[1], argv[2], std::cerr) ? 0 : 1;
}

// COLLECTION alone refreshes every entry of it (as the hub on the album
// root does); with NAME that entry only. Each directory is printed first.
int batch_cmd(int argc, char** argv) {
  if (argc != 2 && argc != 3) return usage_error(argv[0], "COLLECTION [NAME]");
  initexif(nullptr, nullptr);
  sigc::signal<void, double> s[6];
  const progress_signals_t progress{&s[0], &s[1], &s[2], &s[3], &s[4], &s[5]};
  const auto show = [](const std::string& dir) { std::cout << dir << std::endl; };
  std::vector<std::string> names;
  if (argc == 3) {
    names.push_back(argv[2]);
  } else {
    std::list<std::string> dirs;
    if (!libutils::getdirs(dirs, argv[1])) return 1;
    names.assign(dirs.begin(), dirs.end());
  }
  for (const std::string& name : names)
    batchupdate(path_t("", argv[1], name), progress, std::cerr, show);
  return 0;
}

const bool registered =
    albumtool::register_command(
        {"new-album", "[--into-existing] FROM COLLECTION NAME TITLE HEAD LAST NAME[@ROT]...",
         newalbum_cmd}) &&
    albumtool::register_command({"rename-entry", "COLLECTION NAME NEW_NAME", rename_cmd}) &&
    albumtool::register_command({"remove-entry", "COLLECTION NAME", remove_cmd}) &&
    albumtool::register_command({"batch-update", "COLLECTION [NAME]", batch_cmd});

}  // namespace

// albumtool subcommands that make and update albums and write their pages
// and EXIF summaries. Progress goes to standard output as "P<signal>
// <value>" lines (signals 1 to 4: copying, shrinking, album pages, zoom
// pages), the log to standard error.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <list>
#include <string>
#include <vector>

#include "album/engine/comment.h"
#include "album/engine/exif.h"
#include "album/engine/html.h"
#include "album/engine/makealbum.h"
#include "album/engine/tests/albumtool.h"
#include "utility/failure.h"
#include "utility/futil.h"

namespace {

using namespace tavolin;

int usage_error(const char* name, const char* usage) {
  std::cerr << "usage: albumtool " << name << " " << usage << std::endl;
  return 1;
}

// The four progress signals, each printing its values.
struct signals_t {
  sigc::signal<void, double> s[4];
  signals_t() {
    for (int i = 0; i < 4; ++i) {
      s[i].connect([i](double value) { albumtool::print_progress(i + 1, value); });
    }
  }
};

// NAME or NAME@ROT with ROT 0 to 3.
files_t parse_file(const std::string& arg) {
  const std::string::size_type at = arg.rfind('@');
  if (at != std::string::npos && at + 2 == arg.size() && arg[at + 1] >= '0' && arg[at + 1] <= '3')
    return files_t(arg.substr(0, at), static_cast<unsigned long>(arg[at + 1] - '0'));
  return files_t(arg, 0);
}

std::vector<files_t> parse_files(int argc, char** argv, int first) {
  std::vector<files_t> files;
  for (int i = first; i < argc; ++i) files.push_back(parse_file(argv[i]));
  return files;
}

// What the collection editor does around makealbumwithrotate: the album
// directory and its "txt", the title and comments, then the album itself.
// An empty album name goes straight to the engine, which refuses it.
int make_cmd(int argc, char** argv) {
  if (argc < 8) return usage_error(argv[0], "FROM ROOT ALBUM TITLE HEAD LAST NAME[@ROT]...");
  initexif(nullptr, nullptr);
  const path_t path("", argv[2], argv[3]);
  if (!path.album.empty()) {
    std::string dir;
    path.make(dir);
    mkdir(dir.c_str(), 0755);
    path.make(dir, "txt");
    mkdir(dir.c_str(), 0755);
    if (!savecommenttxt(path, argv[4], argv[5], argv[6], std::cerr)) return 1;
  }
  signals_t sig;
  return makealbumwithrotate(argv[1], parse_files(argc, argv, 7), path, sig.s[0], sig.s[1],
                             sig.s[2], sig.s[3], std::cerr)
             ? 0
             : 1;
}

// Without names every file of "original" is updated at rotation 0.
int update_cmd(int argc, char** argv) {
  if (argc < 3) return usage_error(argv[0], "ROOT ALBUM [NAME[@ROT]...]");
  initexif(nullptr, nullptr);
  const path_t path("", argv[1], argv[2]);
  std::vector<files_t> files = parse_files(argc, argv, 3);
  if (argc == 3) {
    std::string dir;
    path.make(dir, "original");
    std::list<std::string> names;
    libutils::getfiles(names, dir);
    for (const std::string& name : names) files.emplace_back(name, 0);
  }
  signals_t sig;
  return updatealbum(path, files, sig.s[0], sig.s[1], sig.s[2], sig.s[3], std::cerr) ? 0 : 1;
}

int html_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "DIR");
  initexif(nullptr, nullptr);
  signals_t sig;
  return makehtml(path_t("", argv[1], ""), sig.s[2], std::cerr) ? 0 : 1;
}

int zoom_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "DIR");
  initexif(nullptr, nullptr);
  signals_t sig;
  const path_t path("", argv[1], "");
  return makehtmlzoom(path, sig.s[3]) && makehtmlffzoom(path, sig.s[3]) ? 0 : 1;
}

int exif_cmd(int argc, char** argv) {
  const bool html = argc == 3 && std::strcmp(argv[2], "--html") == 0;
  if (argc != 2 && !html) return usage_error(argv[0], "FILE [--html]");
  initexif(nullptr, nullptr);
  if (writeexif(std::cout, path_t(), "", argv[1], html)) return 0;
  // writeexif() tells nothing (the pages just go without the line): the
  // tool tells whether the file could be read at all.
  const char* why = nullptr;
  const int fd = libutils::open_regular(argv[1], &why);
  if (fd < 0) {
    libutils::fail(argv[1], ": ", why);
  } else {
    close(fd);
    libutils::fail(argv[1], ": no EXIF summary.");
  }
  return 1;
}

const bool registered =
    albumtool::register_command(
        {"make", "FROM ROOT ALBUM TITLE HEAD LAST NAME[@ROT]...", make_cmd}) &&
    albumtool::register_command({"update", "ROOT ALBUM [NAME[@ROT]...]", update_cmd}) &&
    albumtool::register_command({"html", "DIR", html_cmd}) &&
    albumtool::register_command({"zoom", "DIR", zoom_cmd}) &&
    albumtool::register_command({"exif", "FILE [--html]", exif_cmd});

}  // namespace

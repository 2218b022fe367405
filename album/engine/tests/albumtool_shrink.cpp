// albumtool subcommands over the size levels, the movie tools and the
// button pictures.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "album/engine/ffmpeg.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/albumtool.h"
#include "album/engine/thumbnail.h"

namespace {

using namespace tavolin;

int usage_error(const char* name, const char* usage) {
  std::cerr << "usage: albumtool " << name << " " << usage << std::endl;
  return 1;
}

// NAME or NAME@ROT, ROT the quarter turns to the right (0 to 3).
bool parse_files(std::vector<files_t>& files, int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    unsigned long rotation = 0;
    std::string::size_type at = arg.rfind('@');
    if (at != std::string::npos) {
      char* end = nullptr;
      rotation = std::strtoul(arg.c_str() + at + 1, &end, 10);
      if (end == arg.c_str() + at + 1 || *end != '\0' || rotation > 3) {
        std::cerr << arg << ": rotation must be 0 to 3." << std::endl;
        return false;
      }
      arg.erase(at);
    }
    files.emplace_back(arg, rotation);
  }
  return true;
}

// The shrink step is the second bar of the progress window.
void print_shrink_progress(double value) { albumtool::print_progress(2, value); }

int levels_cmd(int argc, char** argv, bool update) {
  const char* usage = "ROOT ALBUM NAME[@ROT]...";
  if (argc < 4) return usage_error(argv[0], usage);
  std::vector<files_t> files;
  if (!parse_files(files, argc - 3, argv + 3)) return 1;
  // As the windows pass locations: the directory that holds the album in
  // middle, root empty.
  const path_t path("", argv[1], argv[2]);
  sigc::signal<void, double> progress;
  progress.connect(sigc::ptr_fun(print_shrink_progress));
  bool ok = update ? shrinkupdate(path, files, progress) : shrink(path, files, progress, std::cerr);
  return ok ? 0 : 1;
}

int shrink_cmd(int argc, char** argv) { return levels_cmd(argc, argv, false); }
int update_cmd(int argc, char** argv) { return levels_cmd(argc, argv, true); }

int level_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "FILE");
  std::cout << getshrinklevel(std::string(argv[1])) << std::endl;
  return 0;
}

int identify_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "FILE");
  libgr::direction2ul_t size;
  std::string duration, stream;
  ffidentify(argv[1], size, duration, stream);
  std::cout << "size " << size_text(size) << "\nduration " << duration << "\nstream " << stream
            << std::endl;
  return size.x != 0 && size.y != 0 ? 0 : 1;
}

int mpidentify_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "FILE");
  std::string duration, stream;
  mpidentify(argv[1], duration, stream);
  std::cout << "duration " << duration << "\nstream " << stream << std::endl;
  return stream.empty() ? 1 : 0;
}

int thumb_cmd(int argc, char** argv) {
  if (argc != 5) return usage_error(argv[0], "ROOT ALBUM NAME SCALE");
  libgr::image2d_t image;
  const path_t path("", argv[1], argv[2]);
  if (!load_scaled_thumbnail(image, path, argv[3], std::atoi(argv[4]))) return 1;
  std::cout << image.width << "x" << image.height << std::endl;
  return 0;
}

const bool registered =
    albumtool::register_command({"shrink", "ROOT ALBUM NAME[@ROT]...", shrink_cmd}) &&
    albumtool::register_command({"update-levels", "ROOT ALBUM NAME[@ROT]...", update_cmd}) &&
    albumtool::register_command({"level", "FILE", level_cmd}) &&
    albumtool::register_command({"identify", "FILE", identify_cmd}) &&
    albumtool::register_command({"mpidentify", "FILE", mpidentify_cmd}) &&
    albumtool::register_command({"thumb", "ROOT ALBUM NAME SCALE", thumb_cmd});

}  // namespace

#pragma once
// An album made by the engine for the dialog tests: two photos (a.jpg
// with EXIF orientation 6, b.jpg upright), a movie, a sound file, and a
// text file put into "original" afterwards; plus a stub player and the
// catalog.

#include <sstream>

#include "album/engine/global.h"
#include "album/engine/makealbum.h"
#include "album/gui/decoded_budget.h"
#include "album/gui/row_table.h"
#include "album/gui/tests/gui_test.h"
#include "utility/message.h"

namespace guitest {

// Exit status 0 of a shell command line.
inline bool sh(const std::string& command) { return std::system(command.c_str()) == 0; }

// Every file below dir with its size, mtime (ns) and checksum, one per line.
inline std::string tree_state(const std::string& dir) {
  const std::string cmd = "cd '" + dir +
                          "' && find . -type f -printf '%p %s %T@\\n' | sort && "
                          "find . -type f -exec md5sum {} + | sort";
  std::string out;
  if (FILE* p = ::popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

class album_fixture : public ::testing::Test {
 protected:
  album_fixture() : root(scratch / "root"), program(scratch / "bin") {
    plimlib::init_message(TEST_BIN_DIR "/", "tavolin");
    tavolin::g_global = tavolin::global_t();
    tavolin::g_global.album = root;
    tavolin::g_global.shrink_size = {512, 512};
    tavolin::g_global.horizontal_items = 4;
    tavolin::g_global.hwaccel = "";
    tavolin::g_global.ffmpeg = "-c:v libx264 -preset ultrafast -crf 30";
    tavolin::g_global.plimzev3 = "viewer-stub";
    tavolin::g_global.movie = program.dir + "viewer-stub";
    make_dirs(root);
  }
  // Makes album name of root from the camera files; false when a tool is
  // missing or the engine fails.
  bool make_album(const std::string& name) {
    // The camera files are made once per build tree and copied from there.
    const std::string cam = std::string(TEST_SHOT_DIR) + "/../camera";
    if (!exists(cam + "/d.wav") && !make_camera_files(cam)) return false;
    return make_album_from(cam, name);
  }

  static bool make_camera_files(const std::string& cam) {
    const std::string work = cam + ".tmp." + std::to_string(::getpid());
    make_dirs(work);
    if (!sh("cd '" + work +
            "' && convert -size 640x480 -seed 7 plasma:fractal -quality 90 a.jpg"
            " && convert -size 640x480 gradient:red-blue b.jpg"
            " && exiftool -q -overwrite_original -n -Make=Testmaker -Model=T1 -ExposureTime=0.008"
            " -FNumber=5.6 -ISO=200 '-DateTimeOriginal=2024:07:01 10:00:00' a.jpg b.jpg"
            " && exiftool -q -overwrite_original -n -Orientation=6 a.jpg"
            " && ffmpeg -nostdin -v error -f lavfi -i testsrc=size=320x240:rate=10 -t 1"
            " -pix_fmt yuv420p c.mp4"
            " && ffmpeg -nostdin -v error -f lavfi -i sine=frequency=440:duration=1 d.wav"))
      return false;
    // Parallel tests may race here: the first rename wins, the others
    // find the files made.
    if (::rename(work.c_str(), cam.c_str()) != 0) sh("rm -rf '" + work + "'");
    return exists(cam + "/d.wav");
  }

  bool make_album_from(const std::string& cam, const std::string& name) {
    const tavolin::path_t location("", root, name);
    std::string dir;
    location.make(dir);
    make_dirs(dir + "/txt");
    write_file(dir + "/txt/head.txt", "Album " + name + "\r\nAlbum " + name + "\r\nhead\r\n");
    const std::vector<tavolin::files_t> files = {
        {"a.jpg", 0}, {"b.jpg", 0}, {"c.mp4", 0}, {"d.wav", 0}};
    sigc::signal<void, double> s1, s2, s3, s4;
    std::ostringstream log;
    if (!tavolin::makealbumwithrotate(cam, files, location, s1, s2, s3, s4, log)) {
      ADD_FAILURE() << log.str();
      return false;
    }
    write_file(dir + "/original/e.txt", "notes\n");
    return true;
  }

  std::string album_dir(const std::string& name) const { return root + "/" + name; }

  scratch_dir scratch;
  std::string root;
  settings_guard settings;
  program_dir program;
  tavolin::decoded_budget_t decoded;
  Gtk::Window parent;
};

}  // namespace guitest

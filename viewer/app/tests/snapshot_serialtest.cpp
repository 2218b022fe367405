// Snapshots and saves of the real plimzev3: sixteen-bit pictures over
// several tiles, windows larger than GL draws, the first free snapshot
// number, and saves that fail with the reason said.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "commands_support.h"

namespace {

namespace fs = std::filesystem;
using utiltest::read_file;
using utiltest::write_file;
using viewertest::capture;
using viewertest::exists;
using viewertest::jpeg_size;
using viewertest::near;
using viewertest::pixel;
using viewertest::rgb_t;
using viewertest::text;
using viewertest::viewer_process;
using viewertest::ViewerCommands;
using viewertest::wait_for;
using viewertest::window_t;

// The size of a JPEG from its header alone: ImageMagick's policy refuses
// to decode a snapshot of the largest windows.
std::string jpeg_header_size(const std::string& file) {
  const auto out = capture({"identify", "-ping", "-format", "%wx%h", file});
  return out ? *out : std::string();
}

// A pixel of a large JPEG decoded at an eighth of its size.
rgb_t eighth_pixel(const std::string& file, int width, int height, int x, int y) {
  rgb_t c;
  const auto out = capture(
      {"convert", "-define",
       "jpeg:size=" + std::to_string(width / 8) + "x" + std::to_string(height / 8), file, "-crop",
       "1x1+" + std::to_string(x) + "+" + std::to_string(y), "-depth", "8", "rgb:-"});
  if (out && out->size() == 3) {
    c.r = static_cast<unsigned char>((*out)[0]);
    c.g = static_cast<unsigned char>((*out)[1]);
    c.b = static_cast<unsigned char>((*out)[2]);
  }
  return c;
}

// convert's command for a picture of four quarters in the colours top
// left, top right, bottom left, bottom right, at 16 bits a sample.
std::vector<std::string> four_quarters(int w, int h, const std::array<std::string, 4>& c) {
  auto box = [&](int x, int y) {
    return "rectangle " + std::to_string(x) + "," + std::to_string(y) + " " +
           std::to_string(x + w / 2 - 1) + "," + std::to_string(y + h / 2 - 1);
  };
  std::vector<std::string> command{"convert", "-size", std::to_string(w) + "x" + std::to_string(h),
                                   "xc:" + c[0]};
  const int corners[3][2] = {{w / 2, 0}, {0, h / 2}, {w / 2, h / 2}};
  for (int i = 0; i < 3; ++i) {
    command.insert(command.end(), {"-fill", c[i + 1], "-draw", box(corners[i][0], corners[i][1])});
  }
  command.insert(command.end(), {"-depth", "16"});
  return command;
}

// Sixteen-bit samples reach GL byte-swapped; every tile past the first
// must still show its own part of the picture, in its own place.
TEST_F(ViewerCommands, SixteenBitPicturesLargerThanATileShowEveryTile) {
  struct picture_t {
    std::string file;
    std::vector<std::string> make;
    // Centres of the quarters of the fitted picture, and their colours.
    int x[2], y[2];
    int colours[4][3];
  };
  const std::array<std::string, 4> colours = {"red", "lime", "blue", "yellow"};
  std::vector<std::string> grey = four_quarters(640, 480, {"gray20", "gray40", "gray60", "gray80"});
  grey.insert(grey.end(), {"-define", "png:color-type=0", "-define", "png:bit-depth=16"});
  const picture_t pictures[] = {
      {"grey16.png",
       grey,
       {225, 575},
       {169, 431},
       {{51, 51, 51}, {102, 102, 102}, {153, 153, 153}, {204, 204, 204}}},
      {"rgb48.png",
       four_quarters(600, 300, colours),
       {225, 575},
       {212, 387},
       {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}},
      {"rgba64.png",
       four_quarters(600, 300, colours),
       {225, 575},
       {212, 387},
       {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}},
  };
  const char* const outputs[] = {"PNG:", "PNG48:", "PNG64:"};
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < 3; ++i) {
    paths.push_back(m_photos + "/" + pictures[i].file);
    std::vector<std::string> command = pictures[i].make;
    command.push_back(outputs[i] + paths.back());
    ASSERT_TRUE(capture(command)) << "ImageMagick's convert is needed (scripts/deps)";
  }
  viewer_process v(paths, m_home);
  const window_t w = start(v, paths[0] + " (1/3) - plimzev3");
  ASSERT_NE(w, 0u);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    if (i > 0) {
      key(w, "space");
      const std::string title = paths[i] + " (" + std::to_string(i + 1) + "/3) - plimzev3";
      ASSERT_EQ(m_x.wait_title(w, title, 30), title) << v.error_text();
    }
    key(w, "s");
    const std::string shot = paths[i].substr(0, paths[i].size() - 4) + ".zev.1.jpg";
    ASSERT_TRUE(wait_for([&] { return jpeg_size(shot) == "800x600"; })) << v.error_text();
    const picture_t& p = pictures[i];
    for (int q = 0; q < 4; ++q) {
      const rgb_t c = pixel(shot, p.x[q % 2], p.y[q / 2]);
      EXPECT_TRUE(near(c, p.colours[q][0], p.colours[q][1], p.colours[q][2]))
          << "quarter " << q << ": " << text(c);
    }
  }
  quit(v, w);
}

// A window beyond what GL can draw, saved in a view or asked for on the
// command line, is cut to what it can: the viewer draws and snapshots it.
TEST_F(ViewerCommands, WindowSizesBeyondWhatGlDrawsAreCutToIt) {
  const std::string a = m_photos + "/a.png";
  ASSERT_TRUE(capture({"convert", "-size", "400x300", "xc:#2040c0", "PNG24:" + a}));
  write_file(m_photos + "/a.zev",
             "dir2l(40000, 30000)\n"
             "mtx3w(\t1.000000, 0.000000, 0.000000, 0.000000,\n"
             "\t0.000000, 1.000000, 0.000000, 0.000000,\n"
             "\t0.000000, 0.000000, 1.000000, 0.000000,\n"
             "\t0.000000, 0.000000, 0.000000, 1.000000)\n");
  // The saved view with the album program's viewer options, then the
  // command line's window size.
  const std::vector<std::vector<std::string>> runs = {
      {"-resizetype", "2", "-window_ratio_of_image", "0.5", "-image_ratio_of_window", "1", "-g",
       "+0+32", a},
      {"-winsize", "40000x30000", "-reproduce-", a}};
  int count = 0;
  for (const auto& args : runs) {
    SCOPED_TRACE(args[1]);
    viewer_process v(args, m_home);
    const window_t w = start(v, a + " (1/1) - plimzev3");
    ASSERT_NE(w, 0u);
    key(w, "s");
    const std::string shot = m_photos + "/a.zev." + std::to_string(++count) + ".jpg";
    // A snapshot this large takes a while: asked for now and then.
    ASSERT_TRUE(wait_for(
        [&] {
          std::this_thread::sleep_for(std::chrono::milliseconds(500));
          return !jpeg_header_size(shot).empty() || v.wait(0);
        },
        180));
    ASSERT_FALSE(v.wait(0)) << "the viewer ended: " << v.error_text();
    const viewertest::window_geometry_t g = m_x.attributes(w);
    // Once the viewer has ended the snapshot is complete.
    quit(v, w);
    EXPECT_EQ(v.error_text().find("out of memory"), std::string::npos) << v.error_text();
    EXPECT_GT(g.width, 4000);
    EXPECT_LT(g.width, 40000);
    EXPECT_LT(g.height, 30000);
    // The whole window, drawn.
    EXPECT_EQ(jpeg_header_size(shot), std::to_string(g.width) + "x" + std::to_string(g.height));
    const rgb_t centre = eighth_pixel(shot, g.width, g.height, g.width / 16, g.height / 16);
    EXPECT_TRUE(near(centre, 0x20, 0x40, 0xc0)) << text(centre);
  }
}

TEST_F(ViewerCommands, SnapshotsTakeTheFirstFreeNumberAndOverwriteNothing) {
  const std::string a = make_quarters("a.png");
  write_file(m_photos + "/a.zev.1.jpg", "not ours");
  write_file(m_photos + "/a.zev.3.jpg", "not ours either");
  viewer_process v({a}, m_home);
  const window_t w = start(v, a + " (1/1) - plimzev3");
  ASSERT_NE(w, 0u);
  key(w, "s");
  ASSERT_TRUE(wait_for([&] { return jpeg_size(m_photos + "/a.zev.2.jpg") == "800x600"; }));
  key(w, "s");
  ASSERT_TRUE(wait_for([&] { return jpeg_size(m_photos + "/a.zev.4.jpg") == "800x600"; }));
  EXPECT_EQ(read_file(m_photos + "/a.zev.1.jpg"), "not ours");
  EXPECT_EQ(read_file(m_photos + "/a.zev.3.jpg"), "not ours either");
  EXPECT_FALSE(exists(m_photos + "/a.zev.5.jpg"));
  // The snapshot is never taken for a saved view.
  EXPECT_FALSE(exists(m_photos + "/a.zev"));
  quit(v, w);
}

// Undoes a mount or a mode change however the test ends.
struct undo_t {
  std::function<void()> run;
  ~undo_t() {
    if (run) run();
  }
};

TEST_F(ViewerCommands, FailedSavesSayWhyAndTheViewerGoesOn) {
  // A place where nothing can be written: root passes directory modes, so
  // as root a small tmpfs of the test's own, first full, then read-only.
  const std::string place = m_root + "/place";
  fs::create_directories(place);
  const bool root = ::geteuid() == 0;
  undo_t undo;
  if (root) {
    if (::mount("tmpfs", place.c_str(), "tmpfs", 0, "size=256k,mode=0755") != 0)
      GTEST_SKIP() << "root, but no tmpfs can be mounted here: " << std::strerror(errno);
    undo.run = [place] { ::umount2(place.c_str(), MNT_DETACH); };
  }
  m_photos = place;
  const std::string a = make_quarters("a.png");
  // The user option file (key W) lives there too.
  fs::create_symlink(place + "/.plimzev3", m_home + "/.plimzev3");
  if (!root) {
    fs::permissions(place, fs::perms::owner_read | fs::perms::owner_exec);
    undo.run = [place] { fs::permissions(place, fs::perms::owner_all); };
  }
  viewer_process v({a}, m_home);
  const window_t w = start(v, a + " (1/1) - plimzev3");
  ASSERT_NE(w, 0u);
  auto expect_lines = [&](int cause) {
    const std::string why = std::strerror(cause);
    const std::string lines[] = {place + "/a.zev: zevfile save fail, " + why,
                                 place + "/a.zev.1.jpg: jpeg1 save fail, " + why,
                                 m_home + "/.plimzev3: "};
    const char* keys[] = {"w", "s", "W"};
    for (int i = 0; i < 3; ++i) {
      const std::string before = v.error_text();
      key(w, keys[i]);
      EXPECT_TRUE(wait_for([&] { return v.error_text().size() > before.size(); }, 10)) << keys[i];
      const std::string line = v.error_text().substr(before.size());
      EXPECT_EQ(line.rfind(lines[i], 0), 0u) << keys[i] << ": " << line;
      EXPECT_NE(line.find(why), std::string::npos) << keys[i] << ": " << line;
      EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    }
  };
  if (root) {
    {
      std::ofstream fill(place + "/fill", std::ios::binary);
      const std::string block(4096, 'x');
      while (fill.write(block.data(), static_cast<std::streamsize>(block.size()))) {
      }
    }
    SCOPED_TRACE("full");
    expect_lines(ENOSPC);
    ASSERT_EQ(::mount(nullptr, place.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
  }
  SCOPED_TRACE("read-only");
  expect_lines(root ? EROFS : EACCES);
  EXPECT_FALSE(exists(place + "/a.zev"));
  EXPECT_FALSE(exists(place + "/a.zev.1.jpg"));
  quit(v, w);
}

}  // namespace

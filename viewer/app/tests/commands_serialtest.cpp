// The real plimzev3 driven by keys under the test display: saved
// views written, composed and restored (turned photos too), snapshots at
// the first free number, saves that fail, list walks over broken files,
// the user option file, the work-area key and the album program's book
// command line.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "display_support.h"
#include "program_support.h"
#include "xclient.h"

namespace {

namespace fs = std::filesystem;
using utiltest::read_file;
using utiltest::write_file;
using viewertest::capture;
using viewertest::viewer_process;
using viewertest::wait_for;
using viewertest::window_t;

bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The colour of one pixel of an image file, as ImageMagick reads it.
struct rgb_t {
  int r = -1, g = -1, b = -1;
};
rgb_t pixel(const std::string& file, int x, int y) {
  rgb_t c;
  const auto out =
      capture({"convert", file, "-crop", "1x1+" + std::to_string(x) + "+" + std::to_string(y),
               "-depth", "8", "rgb:-"});
  if (out && out->size() == 3) {
    c.r = static_cast<unsigned char>((*out)[0]);
    c.g = static_cast<unsigned char>((*out)[1]);
    c.b = static_cast<unsigned char>((*out)[2]);
  }
  return c;
}
// Within JPEG's tolerance of the colour.
bool near(const rgb_t& c, int r, int g, int b) {
  return std::abs(c.r - r) < 40 && std::abs(c.g - g) < 40 && std::abs(c.b - b) < 40;
}
std::string text(const rgb_t& c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// A complete JPEG: ImageMagick reads its size.
std::string jpeg_size(const std::string& file) {
  const auto out = capture({"identify", "-format", "%wx%h", file});
  return out ? *out : std::string();
}

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

// Pixels of two pictures of one size that differ by more than a tenth.
long differing_pixels(const std::string& a, const std::string& b) {
  const auto out =
      capture({"convert", a, b, "-compose", "difference", "-composite", "-colorspace", "gray",
               "-threshold", "10%", "-format", "%[fx:round(mean*w*h)]", "info:"});
  return out ? std::stol(*out) : -1;
}

// The 16 numbers of a saved view, read independently of the library.
std::vector<double> matrix_numbers(const std::string& zev) {
  std::vector<double> v;
  const std::size_t open = zev.find("mtx3w(");
  if (open == std::string::npos) return v;
  const char* p = zev.c_str() + open + 6;
  while (v.size() < 16) {
    char* end = nullptr;
    const double d = std::strtod(p, &end);
    if (end == p) break;
    v.push_back(d);
    p = end;
    while (*p == ',' || *p == ' ' || *p == '\n' || *p == '\t') ++p;
  }
  return v;
}

// Column-major 4x4 products in double precision: the view after each
// step is step x view.
using mat_t = std::vector<double>;
mat_t times(const mat_t& a, const mat_t& b) {
  mat_t p(16, 0);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) p[4 * c + r] += a[4 * k + r] * b[4 * c + k];
  return p;
}
mat_t scale(double s) { return {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1}; }
mat_t turn(double degrees) {
  const double a = degrees * M_PI / 180;
  return {std::cos(a), std::sin(a), 0, 0, -std::sin(a), std::cos(a), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}
mat_t move(double x, double y) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, 0, 1}; }

class ViewerCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    VIEWER_REQUIRE_DISPLAY();
    ASSERT_TRUE(m_x.ok());
    m_root = fs::canonical(m_dir.path()).string();
    m_home = m_root + "/home";
    fs::create_directories(m_home);
    m_photos = m_root + "/photos";
    fs::create_directories(m_photos);
  }

  // A 200x100 picture in four quarters: red, blue on top, green, red below.
  std::string make_quarters(const std::string& name) {
    const std::string path = m_photos + "/" + name;
    EXPECT_TRUE(capture({"convert", "-size", "200x100", "xc:red", "-fill", "blue", "-draw",
                         "rectangle 100,0 199,49", "-fill", "lime", "-draw", "rectangle 0,50 99,99",
                         "PNG24:" + path}))
        << "ImageMagick's convert is needed (scripts/deps)";
    return path;
  }

  window_t start(viewer_process& v, const std::string& title) {
    m_viewer = &v;
    EXPECT_GT(v.pid(), 0);
    const window_t w = m_x.find(v.pid(), 60);
    EXPECT_NE(w, 0u) << v.error_text();
    if (w != 0) {
      EXPECT_EQ(m_x.wait_title(w, title, 30), title) << v.error_text();
    }
    return w;
  }

  // One key (keysym names, chords such as shift+space) sent to the
  // viewer's window itself. Not through xdotool: it sends XTEST keys when
  // the window has the focus, and those reach whatever window has it when
  // the server takes them, now and then the next test viewer's.
  void key(window_t w, const std::string& keys) {
    if (m_x.send_key(w, keys)) {
      // A key sent while the viewer still answers the one before is now and
      // then lost on a loaded display: give each key its time.
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
      return;
    }
    ASSERT_NE(m_viewer, nullptr);
    FAIL() << "could not send " << keys << "; viewer status " << m_viewer->wait(0).value_or(-1000)
           << ": " << m_viewer->error_text() << m_viewer->output_text();
  }

  void quit(viewer_process& v, window_t w) {
    // A viewer under a busy display can take a while to end; a second q
    // goes only to a window that is still there.
    std::optional<int> status;
    for (int attempt = 0; attempt < 2 && !status; ++attempt) {
      if (attempt > 0 && !m_x.exists(w)) {
        status = v.wait(60);
        break;
      }
      m_x.send_key(w, "q");
      status = v.wait(15);
    }
    ASSERT_TRUE(status.has_value()) << "q did not end the viewer: " << m_x.title(w) << ", "
                                    << v.error_text() << v.output_text();
    EXPECT_EQ(*status, 0) << v.error_text() << v.output_text();
  }

  viewer_process* m_viewer = nullptr;
  utiltest::scratch_dir m_dir;
  std::string m_root;
  std::string m_home;
  std::string m_photos;
  viewertest::XClient m_x;
};

TEST_F(ViewerCommands, SavedViewIsWrittenComposedRestoredAndDeleted) {
  const std::string a = make_quarters("a.png");
  const std::string zev = m_photos + "/a.zev";
  const std::string title = a + " (1/1) - plimzev3";
  std::string first_snapshot;
  {
    viewer_process v({a}, m_home);
    const window_t w = start(v, title);
    ASSERT_NE(w, 0u);

    // Default options: an 800x600 window, the picture fitted at
    // 0.875 x 800 / 200.
    key(w, "w");
    ASSERT_TRUE(wait_for([&] { return exists(zev); })) << v.error_text();
    EXPECT_EQ(read_file(zev),
              "dir2l(800, 600)\n"
              "mtx3w(\t3.500000, 0.000000, 0.000000, 0.000000,\n"
              "\t0.000000, 3.500000, 0.000000, 0.000000,\n"
              "\t0.000000, 0.000000, 3.500000, 0.000000,\n"
              "\t0.000000, 0.000000, 0.000000, 1.000000)\n");
    // The colours in their places, and a first snapshot.
    key(w, "s");
    first_snapshot = m_photos + "/a.zev.1.jpg";
    ASSERT_TRUE(wait_for([&] { return jpeg_size(first_snapshot) == "800x600"; }));
    EXPECT_TRUE(near(pixel(first_snapshot, 225, 212), 255, 0, 0))
        << text(pixel(first_snapshot, 225, 212));
    EXPECT_TRUE(near(pixel(first_snapshot, 575, 212), 0, 0, 255))
        << text(pixel(first_snapshot, 575, 212));
    EXPECT_TRUE(near(pixel(first_snapshot, 225, 387), 0, 255, 0))
        << text(pixel(first_snapshot, 225, 387));
    EXPECT_TRUE(near(pixel(first_snapshot, 575, 387), 255, 0, 0))
        << text(pixel(first_snapshot, 575, 387));

    // A turn (slash: 5 degrees), a move (Right: the image moves left by
    // 10 with the default cursor_movement 1) and a zoom (Page Up), each
    // after the view in screen space.
    key(w, "slash");
    key(w, "Right");
    key(w, "Prior");
    const std::string before = read_file(zev);
    key(w, "w");
    ASSERT_TRUE(wait_for([&] { return read_file(zev) != before; }));
    const std::string saved = read_file(zev);
    EXPECT_EQ(saved.substr(0, 16), "dir2l(800, 600)\n");
    const mat_t want =
        times(scale(std::pow(2.0, 0.25)), times(move(-10, 0), times(turn(5), scale(3.5))));
    const std::vector<double> got = matrix_numbers(saved);
    ASSERT_EQ(got.size(), 16u) << saved;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << "element " << i;

    key(w, "s");
    ASSERT_TRUE(wait_for([&] { return jpeg_size(m_photos + "/a.zev.2.jpg") == "800x600"; }));
    quit(v, w);
  }
  {
    // The next start restores that view: same window, same pixels.
    viewer_process v({a}, m_home);
    const window_t w = start(v, title);
    ASSERT_NE(w, 0u);
    const viewertest::window_geometry_t g = m_x.attributes(w);
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.height, 600);
    key(w, "s");
    const std::string again = m_photos + "/a.zev.3.jpg";
    ASSERT_TRUE(wait_for([&] { return jpeg_size(again) == "800x600"; }));
    // The saved numbers have six decimals: at most a pixel's seam of the
    // edges may come out otherwise.
    EXPECT_LT(differing_pixels(again, m_photos + "/a.zev.2.jpg"), 200);
    EXPECT_GT(differing_pixels(again, first_snapshot), 10000);

    // d deletes the saved view; the snapshots stay.
    key(w, "d");
    ASSERT_TRUE(wait_for([&] { return !exists(zev); }));
    EXPECT_TRUE(exists(first_snapshot));
    quit(v, w);
  }
  {
    // Without a saved view the picture is fitted afresh.
    viewer_process v({a}, m_home);
    const window_t w = start(v, title);
    ASSERT_NE(w, 0u);
    key(w, "s");
    const std::string fresh = m_photos + "/a.zev.4.jpg";
    ASSERT_TRUE(wait_for([&] { return jpeg_size(fresh) == "800x600"; }));
    EXPECT_EQ(differing_pixels(fresh, first_snapshot), 0);
    quit(v, w);
  }
}

// A photo stored 200x100 in quarters (red, blue on top, green, yellow
// below) whose EXIF orientation asks for a turn when shown.
std::string make_turned_photo(const std::string& path, int orientation) {
  EXPECT_TRUE(
      capture({"convert", "-size", "200x100", "xc:red", "-fill", "blue", "-draw",
               "rectangle 100,0 199,49", "-fill", "lime", "-draw", "rectangle 0,50 99,99", "-fill",
               "yellow", "-draw", "rectangle 100,50 199,99", "-quality", "95", path}));
  std::string bytes = read_file(path);
  // An APP1 (34 bytes long) after the JFIF header: "Exif", a little-endian
  // TIFF header, one IFD entry: the orientation (tag 0x112, one SHORT).
  std::string app1(
      "\xFF\xE1\0\x22"
      "Exif\0\0"
      "II\x2A\0\x08\0\0\0"
      "\x01\0"
      "\x12\x01\x03\0\x01\0\0\0",
      28);
  app1 += static_cast<char>(orientation);
  app1.append(7, '\0');
  std::size_t at = 2;
  if (bytes.size() > 6 && static_cast<unsigned char>(bytes[3]) == 0xE0)
    at = 4 + (static_cast<unsigned char>(bytes[4]) << 8 | static_cast<unsigned char>(bytes[5]));
  bytes.insert(at, app1);
  write_file(path, bytes);
  return path;
}

TEST_F(ViewerCommands, TurnedPhotosComeBackAsTheyWereSaved) {
  // Colours at 60 pixels left and right of the centre, above and below,
  // as the photo is shown upright.
  const struct {
    int orientation;
    rgb_t want[4];  // top left, top right, bottom left, bottom right
  } cases[] = {
      {1, {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 0}}},
      {3, {{255, 255, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 0}}},
      {6, {{0, 255, 0}, {255, 0, 0}, {255, 255, 0}, {0, 0, 255}}},
      {8, {{0, 0, 255}, {255, 255, 0}, {255, 0, 0}, {0, 255, 0}}},
  };
  const int xs[4] = {340, 460, 340, 460};
  const int ys[4] = {240, 240, 360, 360};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.orientation);
    const std::string name = "o" + std::to_string(c.orientation);
    const std::string photo = make_turned_photo(m_photos + "/" + name + ".jpg", c.orientation);
    const std::string title = photo + " (1/1) - plimzev3";
    for (int run = 1; run <= 2; ++run) {
      // The first run saves the view, the second restores it.
      viewer_process v({photo}, m_home);
      const window_t w = start(v, title);
      ASSERT_NE(w, 0u);
      if (run == 1) key(w, "w");
      ASSERT_TRUE(wait_for([&] { return exists(m_photos + "/" + name + ".zev"); }));
      key(w, "s");
      const std::string shot = m_photos + "/" + name + ".zev." + std::to_string(run) + ".jpg";
      ASSERT_TRUE(wait_for([&] { return jpeg_size(shot) == "800x600"; })) << v.error_text();
      for (int i = 0; i < 4; ++i) {
        const rgb_t got = pixel(shot, xs[i], ys[i]);
        EXPECT_TRUE(near(got, c.want[i].r, c.want[i].g, c.want[i].b))
            << "run " << run << ", point " << i << ": " << text(got);
      }
      quit(v, w);
    }
  }
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

// A FIFO where an image, its saved view or the option file should be
// would wait for a writer for good: each counts as a file that does not
// load, and the viewer goes on answering keys.
TEST_F(ViewerCommands, WalksSkipImagesThatDoNotLoad) {
  make_quarters("a.png");
  write_file(m_photos + "/b.png", "this is no PNG");
  make_quarters("c.png");
  write_file(m_photos + "/d.jpg", "nor is this a JPEG");
  for (const std::string& name : {m_photos + "/a.zev", m_photos + "/bfifo.png",
                                  m_photos + "/x.jpg", m_home + "/.plimzev3"})
    ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0) << name;
  viewer_process v({m_photos}, m_home);
  const std::string dir = m_photos + "/";
  const window_t w = start(v, dir + "a.png (1/6) - plimzev3");
  ASSERT_NE(w, 0u);
  // Space passes over b and the FIFO; from c nothing further loads, so the
  // search back from the end finds c again.
  key(w, "space");
  EXPECT_EQ(m_x.wait_title(w, dir + "c.png (4/6) - plimzev3", 30), dir + "c.png (4/6) - plimzev3");
  key(w, "space");
  key(w, "BackSpace");
  EXPECT_EQ(m_x.wait_title(w, dir + "a.png (1/6) - plimzev3", 30), dir + "a.png (1/6) - plimzev3");
  // End finds the last image that loads, Home the first; Shift+BackSpace
  // with fewer than ten before stops at the first.
  key(w, "End");
  EXPECT_EQ(m_x.wait_title(w, dir + "c.png (4/6) - plimzev3", 30), dir + "c.png (4/6) - plimzev3");
  key(w, "shift+BackSpace");
  EXPECT_EQ(m_x.wait_title(w, dir + "a.png (1/6) - plimzev3", 30), dir + "a.png (1/6) - plimzev3");
  // The loader names the file that did not load.
  const std::string errors = v.error_text();
  EXPECT_NE(errors.find(dir + "d.jpg"), std::string::npos) << errors;
  EXPECT_NE(errors.find(dir + "bfifo.png: file open error, not a regular file"), std::string::npos)
      << errors;
  quit(v, w);
}

TEST_F(ViewerCommands, ShiftSpaceStepsByTen) {
  for (int i = 0; i < 12; ++i) make_quarters("p" + std::to_string(10 + i) + ".png");
  viewer_process v({m_photos}, m_home);
  const std::string dir = m_photos + "/";
  const window_t w = start(v, dir + "p10.png (1/12) - plimzev3");
  ASSERT_NE(w, 0u);
  key(w, "shift+space");
  EXPECT_EQ(m_x.wait_title(w, dir + "p20.png (11/12) - plimzev3", 30),
            dir + "p20.png (11/12) - plimzev3");
  // A plain Space after it steps by one again.
  key(w, "space");
  EXPECT_EQ(m_x.wait_title(w, dir + "p21.png (12/12) - plimzev3", 30),
            dir + "p21.png (12/12) - plimzev3");
  quit(v, w);
}

TEST_F(ViewerCommands, BrokenSavedViewsAreIgnored) {
  // A zero window size would end the program in the window system.
  const std::string a = make_quarters("a.png");
  for (const char* saved :
       {"dir2l(0, 0)",
        "dir2l(0, 0)\nmtx3w(\t1, 0, 0, 0,\n\t0, 1, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n",
        "dir2l(640, 480)\nmtx3w(\tnan, 0, 0, 0,\n\t0, 1, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n"}) {
    SCOPED_TRACE(saved);
    write_file(m_photos + "/a.zev", saved);
    viewer_process v({"-resizetype", "2", a}, m_home);
    const window_t w = start(v, a + " (1/1) - plimzev3");
    ASSERT_NE(w, 0u) << saved;
    // Fitted instead: the window requested is the picture's size x 1.2.
    EXPECT_TRUE(wait_for([&] { return m_x.attributes(w).width == 240; }, 10))
        << saved << ": " << m_x.attributes(w).width;
    key(w, "w");
    ASSERT_TRUE(wait_for([&] {
      return read_file(m_photos + "/a.zev").find("dir2l(240, 120)") == 0;
    })) << read_file(m_photos + "/a.zev");
    quit(v, w);
  }
}

TEST_F(ViewerCommands, TinyImagesNeverAskForAnEmptyWindow) {
  const std::string dot = m_photos + "/dot.png";
  ASSERT_TRUE(capture({"convert", "-size", "3x1", "xc:white", "PNG24:" + dot}));
  viewer_process v({"-resizetype", "2", "-window_ratio_of_image", "0.5", dot}, m_home);
  const window_t w = start(v, dot + " (1/1) - plimzev3");
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(wait_for([&] { return m_x.attributes(w).width == 1; }, 10))
      << m_x.attributes(w).width;
  EXPECT_EQ(m_x.attributes(w).height, 1);
  quit(v, w);
}

TEST_F(ViewerCommands, ShiftWWritesTheUserOptionFile) {
  const std::string a = make_quarters("a.png");
  viewer_process v({"-resizetype", "2", "-framewidth", "7", a}, m_home);
  const window_t w = start(v, a + " (1/1) - plimzev3");
  ASSERT_NE(w, 0u);
  key(w, "W");
  const std::string file = m_home + "/.plimzev3";
  ASSERT_TRUE(wait_for([&] { return read_file(file).find("-framewidth") != std::string::npos; }));
  const std::string options = read_file(file);
  EXPECT_NE(options.find("-resizetype 2"), std::string::npos) << options;
  EXPECT_NE(options.find("-framewidth 7"), std::string::npos) << options;
  quit(v, w);
}

TEST_F(ViewerCommands, KeyFTogglesTheWorkArea) {
  const std::string a = make_quarters("a.png");
  viewer_process v({"-winsize", "320x200", "-g", "30x40", a}, m_home);
  const window_t w = start(v, a + " (1/1) - plimzev3");
  ASSERT_NE(w, 0u);
  ASSERT_TRUE(wait_for([&] { return m_x.attributes(w).width == 320; }));
  key(w, "f");
  // Without a window manager the work area is the whole screen.
  ASSERT_TRUE(wait_for([&] { return m_x.attributes(w).width > 320; }));
  viewertest::window_geometry_t g = m_x.attributes(w);
  EXPECT_EQ(g.x, 0);
  EXPECT_EQ(g.y, 0);
  key(w, "f");
  ASSERT_TRUE(wait_for([&] { return m_x.attributes(w).width == 320; }));
  g = m_x.attributes(w);
  EXPECT_EQ(g.height, 200);
  EXPECT_EQ(g.x, 30);
  EXPECT_EQ(g.y, 40);
  quit(v, w);
}

// The album program starts the viewer on a book as its default viewer
// command does: the options, then "-S" + size directory, "-C" + album
// root, "-F" + the book's list, which holds "-C" + album and "-@txt/" +
// list file pairs with CR LF ends.
TEST_F(ViewerCommands, TheAlbumProgramsBookCommandLineOpensTheBooksPhotos) {
  const std::string root = m_root + "/album";
  const struct {
    const char* album;
    const char* photo;
    const char* colour;
    int r, g, b;
  } photos[] = {{"2024/spring", "p1.jpg", "#ff0000", 255, 0, 0},
                {"2024/summer", "p2.jpg", "#0000ff", 0, 0, 255}};
  for (const auto& p : photos) {
    const std::string album = root + "/" + p.album;
    fs::create_directories(album + "/size1");
    fs::create_directories(album + "/txt");
    ASSERT_TRUE(capture({"convert", "-size", "400x300", std::string("xc:") + p.colour, "-quality",
                         "95", album + "/size1/" + p.photo}));
    // The full-size photo must not be the one shown.
    fs::create_directories(album + "/original");
    write_file(album + "/original/" + p.photo, "");
    write_file(album + "/txt/best.txt", std::string(p.photo) + "\r\n");
  }
  fs::create_directories(root + "/_Best/txt");
  write_file(root + "/_Best/txt/list.txt",
             "-C2024/spring\r\n-@txt/best.txt\r\n-C2024/summer\r\n-@txt/best.txt\r\n");

  viewer_process v({"-resizetype", "2", "-window_ratio_of_image", "0.5", "-image_ratio_of_window",
                    "1", "-g", "+0+32", "-Ssize1", "-C" + root, "-F_Best/txt/list.txt"},
                   m_home, "plimzev3.lin");
  const std::string first = root + "/2024/spring/size1/p1.jpg";
  const window_t w = start(v, first + " (1/2) - plimzev3");
  ASSERT_NE(w, 0u);
  // Half the photo's size, at the place of "-g".
  ASSERT_TRUE(wait_for([&] { return m_x.attributes(w).width == 200; })) << m_x.attributes(w).width;
  EXPECT_EQ(m_x.attributes(w).height, 150);
  EXPECT_EQ(m_x.attributes(w).y, 32);
  key(w, "s");
  const std::string shot = root + "/2024/spring/size1/p1.zev.1.jpg";
  ASSERT_TRUE(wait_for([&] { return jpeg_size(shot) == "200x150"; })) << jpeg_size(shot);
  EXPECT_TRUE(near(pixel(shot, 100, 75), 255, 0, 0)) << text(pixel(shot, 100, 75));

  key(w, "space");
  const std::string second = root + "/2024/summer/size1/p2.jpg";
  EXPECT_EQ(m_x.wait_title(w, second + " (2/2) - plimzev3"), second + " (2/2) - plimzev3");
  key(w, "s");
  const std::string shot2 = root + "/2024/summer/size1/p2.zev.1.jpg";
  ASSERT_TRUE(wait_for([&] { return jpeg_size(shot2) == "200x150"; })) << jpeg_size(shot2);
  EXPECT_TRUE(near(pixel(shot2, 100, 75), 0, 0, 255)) << text(pixel(shot2, 100, 75));
  quit(v, w);
}

}  // namespace

// The real plimzev3 driven by keys under the test display: saved
// views written, composed and restored, snapshots at the first free
// number, list walks over broken files, the user option file, the
// work-area key and the album program's book command line.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

TEST_F(ViewerCommands, WalksSkipImagesThatDoNotLoad) {
  make_quarters("a.png");
  write_file(m_photos + "/b.png", "this is no PNG");
  make_quarters("c.png");
  write_file(m_photos + "/d.jpg", "nor is this a JPEG");
  viewer_process v({m_photos}, m_home);
  const std::string dir = m_photos + "/";
  const window_t w = start(v, dir + "a.png (1/4) - plimzev3");
  ASSERT_NE(w, 0u);
  // Space passes over b; from c nothing further loads, so the search back
  // from the end finds c again.
  key(w, "space");
  EXPECT_EQ(m_x.wait_title(w, dir + "c.png (3/4) - plimzev3", 30), dir + "c.png (3/4) - plimzev3");
  key(w, "space");
  key(w, "BackSpace");
  EXPECT_EQ(m_x.wait_title(w, dir + "a.png (1/4) - plimzev3", 30), dir + "a.png (1/4) - plimzev3");
  // End finds the last image that loads, Home the first; Shift+BackSpace
  // with fewer than ten before stops at the first.
  key(w, "End");
  EXPECT_EQ(m_x.wait_title(w, dir + "c.png (3/4) - plimzev3", 30), dir + "c.png (3/4) - plimzev3");
  key(w, "shift+BackSpace");
  EXPECT_EQ(m_x.wait_title(w, dir + "a.png (1/4) - plimzev3", 30), dir + "a.png (1/4) - plimzev3");
  // The loader names the file that did not load.
  EXPECT_NE(v.error_text().find(dir + "d.jpg"), std::string::npos) << v.error_text();
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

// Saved views of the real plimzev3: written, composed, restored and
// deleted by keys; turned photos restored as they were saved; broken
// saved views passed over.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands_support.h"

namespace {

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

}  // namespace

// The real plimzev3 driven by keys over its image list and window: list
// walks over broken files, steps by ten, tiny images, the user option
// file, the work-area key and the album program's book command line.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "commands_support.h"

namespace {

namespace fs = std::filesystem;
using utiltest::read_file;
using utiltest::write_file;
using viewertest::capture;
using viewertest::jpeg_size;
using viewertest::near;
using viewertest::pixel;
using viewertest::text;
using viewertest::viewer_process;
using viewertest::ViewerCommands;
using viewertest::wait_for;
using viewertest::window_t;

// A FIFO where an image, its saved view or the option file should be
// would wait for a writer for good: each counts as a file that does not
// load, and the viewer goes on answering keys.
TEST_F(ViewerCommands, WalksSkipImagesThatDoNotLoad) {
  make_quarters("a.png");
  write_file(m_photos + "/b.png", "this is no PNG");
  make_quarters("c.png");
  write_file(m_photos + "/d.jpg", "nor is this a JPEG");
  for (const std::string& name :
       {m_photos + "/a.zev", m_photos + "/bfifo.png", m_photos + "/x.jpg", m_home + "/.plimzev3"})
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

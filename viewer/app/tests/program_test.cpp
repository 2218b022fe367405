// The real plimzev3 under the test display: its window, title and
// background, the keys that end it and the window manager's close.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "display_support.h"
#include "program_support.h"
#include "utility/tests/test_support.h"
#include "xclient.h"

namespace {

namespace fs = std::filesystem;
using viewertest::window_t;
using viewertest::XClient;
using clock_type = std::chrono::steady_clock;

const std::string bin_dir = TEST_BIN_DIR;

std::vector<std::string> catalog_lines() {
  std::ifstream in(bin_dir + "/plimzev3.msg");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A viewer with HOME in a scratch directory of its own.
struct scratch_home {
  utiltest::scratch_dir m_home;
};
class Viewer : private scratch_home, public viewertest::viewer_process {
 public:
  Viewer(const std::string& program, const std::vector<std::string>& args, bool with_display = true)
      : viewer_process(args, m_home.path(), program, with_display) {}
};

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    VIEWER_REQUIRE_DISPLAY();
    ASSERT_TRUE(m_x.ok());
    m_lines = catalog_lines();
    ASSERT_GE(m_lines.size(), 2u);
    m_photos = fs::canonical(m_dir.path()).string();
    utiltest::write_file(m_photos + "/a.jpg", "");
  }

  // Starts the viewer and waits for its window with the start-up title.
  window_t start(Viewer& viewer) {
    EXPECT_GT(viewer.pid(), 0);
    // Generous: a sanitizer build starting on a loaded machine is slow.
    const window_t w = m_x.find(viewer.pid(), 60);
    EXPECT_NE(w, 0u) << "status " << viewer.wait(0).value_or(-1000) << ": " << viewer.error_text();
    if (w != 0) {
      EXPECT_EQ(m_x.wait_title(w, m_lines[0] + " - " + m_lines[1]),
                m_lines[0] + " - " + m_lines[1]);
    }
    return w;
  }

  // The key goes to the viewer's window itself rather than to whichever
  // window has the focus, so that tests running side by side on one
  // display cannot take each other's keys. The window must be gone within
  // a second of the key; the process's exit after it (sanitizer reports
  // included) may take longer on a loaded machine.
  void key_ends_it(Viewer& viewer, window_t w, const char* key) {
    ASSERT_TRUE(m_x.send_key(w, key));
    const auto sent = clock_type::now();
    while (m_x.exists(w) && clock_type::now() - sent < std::chrono::seconds(5))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double seconds = std::chrono::duration<double>(clock_type::now() - sent).count();
    EXPECT_LT(seconds, 1.0) << key << " took " << seconds << " s to close the viewer";
    const std::optional<int> status = viewer.wait(10.0);
    ASSERT_TRUE(status.has_value()) << key << " did not end the viewer";
    EXPECT_EQ(*status, 0) << viewer.error_text();
    // On a fast machine a key's release reaches a window its press has
    // closed: the X error is counted, and the test goes on.
    const unsigned long errors = XClient::errors();
    m_x.send_key(w, key);
    EXPECT_GT(XClient::errors(), errors);
  }

  utiltest::scratch_dir m_dir;
  std::string m_photos;
  XClient m_x;
  std::vector<std::string> m_lines;
};

TEST_F(Program, OpensWithTitleAndBackgroundAndQEndsIt) {
  Viewer viewer("plimzev3", {m_photos});
  const window_t w = start(viewer);
  ASSERT_NE(w, 0u);
  // The scene clears to 18 % grey (within ten seconds on a loaded machine).
  unsigned long pixel = 0;
  for (int i = 0; i < 500 && (pixel = m_x.centre_pixel(w)) != 0x2e2e2e; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(pixel, 0x2e2e2eu);
  key_ends_it(viewer, w, "q");
}

TEST_F(Program, EscapeEndsItStartedThroughTheLinkName) {
  // The album program starts plimzev3.lin; the catalog is still found.
  Viewer viewer("plimzev3.lin", {"-resizetype", "2", "-g", "+0+32", m_photos});
  const window_t w = start(viewer);
  ASSERT_NE(w, 0u);
  key_ends_it(viewer, w, "Escape");
}

TEST_F(Program, ClosingByTheWindowManagerEndsIt) {
  Viewer viewer("plimzev3", {m_photos + "/a.jpg"});
  const window_t w = start(viewer);
  ASSERT_NE(w, 0u);
  m_x.close(w);
  const std::optional<int> status = viewer.wait(10.0);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0) << viewer.error_text();
}

TEST_F(Program, WindowSizeAndPlaceFromTheOptions) {
  {
    Viewer viewer("plimzev3", {"-winsize", "320x240", "-g", "10x20", m_photos});
    const window_t w = start(viewer);
    ASSERT_NE(w, 0u);
    viewertest::window_geometry_t a = m_x.attributes(w);
    for (int i = 0; i < 100 && (a.width != 320 || a.x != 10); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      a = m_x.attributes(w);
    }
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    key_ends_it(viewer, w, "q");
  }
  {
    // A zero side would be an X error that kills the program: ignored,
    // the window keeps the size it was made with.
    Viewer viewer("plimzev3", {"-winsize", "0x0", m_photos});
    const window_t w = start(viewer);
    ASSERT_NE(w, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(m_x.attributes(w).width, 640);
    key_ends_it(viewer, w, "q");
  }
  {
    // Work-area mode: without a window manager the work area is the
    // whole screen.
    Viewer viewer("plimzev3", {"-wintype", "2", "-g", "10x20", m_photos});
    const window_t w = start(viewer);
    ASSERT_NE(w, 0u);
    const viewertest::window_geometry_t screen = m_x.attributes(m_x.root());
    viewertest::window_geometry_t a = m_x.attributes(w);
    for (int i = 0; i < 100 && (a.width != screen.width || a.x != 0); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      a = m_x.attributes(w);
    }
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, screen.width);
    EXPECT_EQ(a.height, screen.height);
    // Drawing the whole screen is slow on a loaded machine: no time limit.
    m_x.close(w);
    const std::optional<int> status = viewer.wait(30.0);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << viewer.error_text();
  }
}

TEST(ProgramStart, WithoutADisplayGlfwInitFails) {
  Viewer viewer("plimzev3", {"."}, false);
  const std::optional<int> status = viewer.wait(10);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 1);
  EXPECT_EQ(viewer.error_text(), "glfwInit() failed.\n");
}

TEST(ProgramStart, TheBuildPutsLinkAndCatalogBesideTheProgram) {
  EXPECT_EQ(fs::read_symlink(bin_dir + "/plimzev3.lin"), fs::path("plimzev3"));
  EXPECT_TRUE(fs::exists(bin_dir + "/plimzev3.msg"));
}

}  // namespace

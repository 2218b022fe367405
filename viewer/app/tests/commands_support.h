#pragma once
// What the tests of the real plimzev3 driven by keys share: the fixture
// that starts a viewer on its own display connection and sends it keys,
// and the colours and sizes of the pictures it writes, as ImageMagick
// reads them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "display_support.h"
#include "program_support.h"
#include "xclient.h"

namespace viewertest {

inline bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The colour of one pixel of an image file, as ImageMagick reads it.
struct rgb_t {
  int r = -1, g = -1, b = -1;
};
inline rgb_t pixel(const std::string& file, int x, int y) {
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
inline bool near(const rgb_t& c, int r, int g, int b) {
  return std::abs(c.r - r) < 40 && std::abs(c.g - g) < 40 && std::abs(c.b - b) < 40;
}
inline std::string text(const rgb_t& c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// A complete JPEG: ImageMagick reads its size.
inline std::string jpeg_size(const std::string& file) {
  const auto out = capture({"identify", "-format", "%wx%h", file});
  return out ? *out : std::string();
}

class ViewerCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    VIEWER_REQUIRE_DISPLAY();
    ASSERT_TRUE(m_x.ok());
    m_root = std::filesystem::canonical(m_dir.path()).string();
    m_home = m_root + "/home";
    std::filesystem::create_directories(m_home);
    m_photos = m_root + "/photos";
    std::filesystem::create_directories(m_photos);
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

}  // namespace viewertest

// The viewer's window in this process on a real GLFW window, fed a drop
// through GLFW's drop callback: the title follows what is shown.

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "display_support.h"
#include "utility/option.h"
#include "utility/tests/test_support.h"
#include "viewer/app/viewer3.h"
#include "xclient.h"

// Last: Xlib's macros would break the headers above.
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

namespace {

namespace fs = std::filesystem;

TEST(ViewerDrop, FilesThatAreNoPicturesTakeTheOldNameOffTheTitle) {
  VIEWER_REQUIRE_DISPLAY();
  viewertest::XClient x;
  ASSERT_TRUE(x.ok());
  utiltest::scratch_dir dir;
  const std::string root = fs::canonical(dir.path()).string();
  testsupport::home_guard home(root.c_str());
  const std::string notes = root + "/notes.txt";
  utiltest::write_file(notes, "no picture");
  const std::string photo = std::string(TEST_DATA_DIR) + "/Landscape_1.jpg";
  std::vector<std::string> args{std::string(TEST_BIN_DIR) + "/plimzev3", photo};
  std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
  int argc = 2;
  char** p = argv.data();

  ASSERT_TRUE(glfwInit());
  glfwWindowHint(GLFW_DOUBLEBUFFER, 1);
  std::string shown;
  std::string dropped;
  std::string want;
  {
    plimzev2::ViewWindow viewer(&argc, &p);
    if (GLFWwindow* window = vorn::glfwy4.addWindow(&viewer, "plimzev3")) {
      const viewertest::window_t xw = glfwGetX11Window(window);
      shown = x.title(xw);
      // A file of another kind and a directory without pictures.
      const char* paths[] = {notes.c_str(), root.c_str()};
      vorn::glfwyMGR4::drop_callback(window, 2, paths);
      want = viewer.getTitle();
      dropped = x.wait_title(xw, want);
      vorn::glfwy4.closeAll();
    }
  }
  glfwTerminate();
  plimlib::option_reset();
  EXPECT_NE(shown.find(photo + " (1/1)"), std::string::npos) << shown;
  EXPECT_EQ(dropped.find("Landscape_1"), std::string::npos) << dropped;
  EXPECT_EQ(dropped, want);
}

}  // namespace

// The viewer's start in this process on a real GLFW window, through the
// framework's main loop: every frame drawn while it starts has the size of
// the window, which init resizes from the size it was made with.

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "display_support.h"
#include "utility/option.h"
#include "utility/tests/test_support.h"
#include "viewer/app/viewer3.h"

namespace {

// The viewer counting the pictures it draws, and those whose viewport or
// buffer drawn into is not the window's size: a buffer short of the far
// corner leaves the pixel read there as it was.
struct RecordingViewer : plimzev2::ViewWindow {
  using ViewWindow::ViewWindow;
  void display() override {
    ViewWindow::display();
    int w = 0, h = 0;
    glfwGetFramebufferSize(glfwGetCurrentContext(), &w, &h);
    GLint view[4] = {};
    glGetIntegerv(GL_VIEWPORT, view);
    unsigned char corner[3] = {1, 2, 3};
    glReadPixels(w - 1, h - 1, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, corner);
    ++frames;
    if (view[2] != w || view[3] != h || (corner[0] == 1 && corner[1] == 2 && corner[2] == 3))
      ++wrong;
  }
  int frames = 0, wrong = 0;
};

TEST(ViewerStart, EveryFrameOfTheStartHasTheWindowsSize) {
  VIEWER_REQUIRE_DISPLAY();
  utiltest::scratch_dir dir;
  testsupport::home_guard home(dir.path().c_str());
  std::vector<std::string> args{std::string(TEST_BIN_DIR) + "/plimzev3",
                                std::string(TEST_DATA_DIR) + "/Landscape_1.jpg"};
  std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
  int argc = 2;
  char** p = argv.data();
  ASSERT_TRUE(glfwInit());
  glfwWindowHint(GLFW_DOUBLEBUFFER, 1);
  {
    RecordingViewer viewer(&argc, &p);
    if (GLFWwindow* window = vorn::glfwy4.addWindow(&viewer, "plimzev3")) {
      // A second of the start's frames and events, then closed as by its
      // window manager.
      std::thread closer([window] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        glfwSetWindowShouldClose(window, 1);
        glfwPostEmptyEvent();
      });
      vorn::glfwy4.MainLoop();
      closer.join();
    }
    EXPECT_GT(viewer.frames, 0);
    EXPECT_EQ(viewer.wrong, 0) << "of " << viewer.frames << " frames";
  }
  glfwTerminate();
  plimlib::option_reset();
}

}  // namespace

// The viewer's start in this process on a real GLFW window, through the
// framework's main loop: every frame drawn while it starts is drawn at the
// size the window has, although init resizes the window it was made with.

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "display_support.h"
#include "utility/option.h"
#include "utility/tests/test_support.h"
#include "viewer/app/viewer3.h"

namespace {

// The viewer, noting after each picture it draws the sizes of the frame:
// the viewport, the buffer drawn into (its far corner read back) and the
// window's framebuffer.
class RecordingViewer : public plimzev2::ViewWindow {
 public:
  using ViewWindow::ViewWindow;
  void display() override {
    ViewWindow::display();
    int width = 0, height = 0;
    glfwGetFramebufferSize(glfwGetCurrentContext(), &width, &height);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // A buffer smaller than the window leaves the pixel as it was.
    unsigned char corner[4] = {1, 2, 3, 4};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(width - 1, height - 1, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, corner);
    const bool filled = !(corner[0] == 1 && corner[1] == 2 && corner[2] == 3);
    std::ostringstream frame;
    frame << "viewport " << viewport[2] << "x" << viewport[3] << (filled ? "" : ", buffer smaller")
          << ", window " << width << "x" << height;
    frames.push_back(frame.str());
    if (viewport[2] != width || viewport[3] != height || !filled) wrong.push_back(frame.str());
  }
  std::vector<std::string> frames, wrong;
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
  std::vector<std::string> frames, wrong;
  {
    RecordingViewer viewer(&argc, &p);
    GLFWwindow* window = vorn::glfwy4.addWindow(&viewer, "plimzev3");
    EXPECT_NE(window, nullptr);
    if (window != nullptr) {
      // The start's frames and events, then the window closed as by its
      // window manager.
      std::atomic<bool> done{false};
      std::thread closer([&] {
        for (int i = 0; i < 100 && !done; ++i)
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        glfwSetWindowShouldClose(window, 1);
        glfwPostEmptyEvent();
      });
      vorn::glfwy4.MainLoop();
      done = true;
      closer.join();
    }
    frames = viewer.frames;
    wrong = viewer.wrong;
  }
  glfwTerminate();
  plimlib::option_reset();
  EXPECT_FALSE(frames.empty());
  std::string listed;
  for (const std::string& f : frames) listed += "\n" + f;
  EXPECT_TRUE(wrong.empty()) << listed;
}

}  // namespace

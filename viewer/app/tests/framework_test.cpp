// The window framework in-process on a real GLFW window: callbacks reach
// the interface translated, the main loop draws and ends as it should.

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "display_support.h"
#include "viewer/app/glfwymgr4.h"

namespace {

using vorn::glfwyMGR4;

// Writes every call it gets into a log.
class Recorder : public vorn::glutyAPI4 {
 public:
  ~Recorder() override = default;
  void reshape(int w, int h) override { add("reshape " + n(w) + " " + n(h)); }
  void display() override {
    add("display");
    if (on_display) on_display();
  }
  void keyboard(unsigned char k, int, int) override {
    add("keyboard " + n(k));
    if (on_key) on_key();
  }
  void specialkey(int k, int, int) override { add("specialkey " + n(k)); }
  void mouse(int b, int s, int, int) override { add("mouse " + n(b) + " " + n(s)); }
  void motion(int x, int y) override { add("motion " + n(x) + " " + n(y)); }
  void idle() override {
    add("idle");
    if (on_idle) on_idle();
  }
  void init() override {
    add("init");
    context_at_init = glfwGetCurrentContext();
  }
  void close() override {
    add("close");
    context_at_close = glfwGetCurrentContext();
  }
  void keyboardup(unsigned char k, int, int) override { add("keyboardup " + n(k)); }
  void specialkeyup(int k, int, int) override { add("specialkeyup " + n(k)); }
  void mousewheel(int w, int d, int, int) override { add("wheel " + n(w) + " " + n(d)); }
  void drop(int count, const char** paths) override {
    std::string line = "drop " + n(count);
    for (int i = 0; i < count; ++i) line += std::string(" ") + paths[i];
    add(line);
  }

  std::vector<std::string> log;
  GLFWwindow* context_at_init = nullptr;
  GLFWwindow* context_at_close = nullptr;
  std::function<void()> on_display;
  std::function<void()> on_key;
  std::function<void()> on_idle;

 private:
  static std::string n(int v) { return std::to_string(v); }
  void add(const std::string& s) { log.push_back(s); }
};

// A fresh manager (the framework's one instance for the test's duration)
// and an initialised GLFW.
class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    VIEWER_REQUIRE_DISPLAY();
    ASSERT_TRUE(glfwInit());
    m_inited = true;
    glfwWindowHint(GLFW_DOUBLEBUFFER, 1);
    m_manager = std::make_unique<glfwyMGR4>();
  }
  void TearDown() override {
    if (m_inited) glfwTerminate();
    m_manager.reset();
    // Back to the program's own instance.
    glfwyMGR4::ms_singleton = &vorn::glfwy4;
  }

  GLFWwindow* open(Recorder& rec) {
    GLFWwindow* window = m_manager->addWindow(&rec, "framework test");
    EXPECT_NE(window, nullptr);
    // Let the window system's first events pass, then start a clean log.
    for (int i = 0; i < 10; ++i) {
      glfwPollEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    rec.log.clear();
    return window;
  }

  // Runs the main loop; a watchdog closes the window after a few seconds
  // so that a loop that never ends fails instead of hanging.
  double run_loop(GLFWwindow* window) {
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
      for (int i = 0; i < 500 && !done; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!done) {
        glfwSetWindowShouldClose(window, 1);
        glfwPostEmptyEvent();
      }
    });
    const auto start = std::chrono::steady_clock::now();
    m_manager->MainLoop();
    done = true;
    watchdog.join();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  std::unique_ptr<glfwyMGR4> m_manager;
  bool m_inited = false;
};

using log_t = std::vector<std::string>;

// The loop's own calls: real input of other tests on the display may
// reach the window while the loop waits.
log_t passes(const log_t& log) {
  log_t out;
  for (const std::string& s : log)
    if (s == "idle" || s == "display") out.push_back(s);
  return out;
}

TEST_F(Framework, AddWindowRunsInitThenReshapeWithTheContextCurrent) {
  Recorder rec;
  GLFWwindow* window = m_manager->addWindow(&rec, "framework test");
  ASSERT_NE(window, nullptr);
  ASSERT_GE(rec.log.size(), 2u);
  EXPECT_EQ(rec.log[0], "init");
  EXPECT_EQ(rec.log[1], "reshape 640 480");
  EXPECT_EQ(rec.context_at_init, window);
  EXPECT_EQ(m_manager->getWindow(&rec), window);
  EXPECT_EQ(m_manager->getInterface(window), &rec);
  EXPECT_EQ(m_manager->addWindow(nullptr, "none"), nullptr);
}

TEST_F(Framework, InputCallbacksReachTheInterfaceTranslated) {
  Recorder rec;
  GLFWwindow* window = open(rec);
  glfwMakeContextCurrent(nullptr);
  glfwyMGR4::mousebutton_callback(window, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
  EXPECT_EQ(glfwGetCurrentContext(), window);
  glfwyMGR4::mousebutton_callback(window, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE, 0);
  glfwyMGR4::mousebutton_callback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
  glfwyMGR4::mousebutton_callback(window, GLFW_MOUSE_BUTTON_4, GLFW_PRESS, 0);
  glfwyMGR4::scroll_callback(window, 0, 1.5);
  glfwyMGR4::scroll_callback(window, 0, -1);
  glfwyMGR4::scroll_callback(window, -2, 0);
  glfwyMGR4::scroll_callback(window, 1, 1);
  glfwyMGR4::cursorpos_callback(window, 12.9, 7.2);
  const char* paths[] = {"/a.jpg", "b c.png"};
  glfwyMGR4::drop_callback(window, 2, paths);
  EXPECT_EQ(rec.log, (log_t{"mouse 2 0", "mouse 1 1", "mouse 0 0", "mouse 3 0", "wheel 0 -1",
                            "wheel 0 1", "wheel 1 1", "wheel 0 -1", "wheel 1 -1", "motion 12 7",
                            "drop 2 /a.jpg b c.png"}));
}

TEST_F(Framework, KeysArePressReleaseAndRepeatOnlyWhenAsked) {
  Recorder rec;
  GLFWwindow* window = open(rec);
  glfwyMGR4::key_callback(window, GLFW_KEY_A, 38, GLFW_PRESS, GLFW_MOD_SHIFT);
  glfwyMGR4::key_callback(window, GLFW_KEY_A, 38, GLFW_REPEAT, 0);
  glfwyMGR4::key_callback(window, GLFW_KEY_A, 38, GLFW_RELEASE, 0);
  glfwyMGR4::key_callback(window, GLFW_KEY_KP_8, 80, GLFW_PRESS, 0);
  glfwyMGR4::key_callback(window, GLFW_KEY_KP_8, 80, GLFW_REPEAT, 0);
  glfwyMGR4::key_callback(window, GLFW_KEY_KP_8, 80, GLFW_RELEASE, 0);
  m_manager->KeyRepeat(true);
  glfwyMGR4::key_callback(window, GLFW_KEY_A, 38, GLFW_REPEAT, 0);
  glfwyMGR4::key_callback(window, GLFW_KEY_F5, 71, GLFW_REPEAT, 0);
  EXPECT_EQ(rec.log, (log_t{"keyboard 65", "keyboardup 97", "specialkey 265", "specialkeyup 265",
                            "keyboard 97", "specialkey 294"}));
}

TEST_F(Framework, SizeEventsReshapeAndRedrawButZeroSizesAreDropped) {
  Recorder rec;
  GLFWwindow* window = open(rec);
  glfwyMGR4::windowsize_callback(window, 0, 100);
  glfwyMGR4::windowsize_callback(window, 100, 0);
  EXPECT_TRUE(rec.log.empty());
  glfwyMGR4::windowsize_callback(window, 300, 200);
  EXPECT_EQ(rec.log, (log_t{"reshape 300 200"}));
  // The reshape asked for a redraw: the next pass draws once, then the
  // window closes from display().
  rec.log.clear();
  rec.on_display = [window] { glfwSetWindowShouldClose(window, 1); };
  EXPECT_LT(run_loop(window), 4.0);
  EXPECT_EQ(passes(rec.log), (log_t{"idle", "display"}));
}

TEST_F(Framework, TwoRedisplayRequestsDrawOnceAndClosingEndsTheLoop) {
  Recorder rec;
  GLFWwindow* window = open(rec);
  m_manager->PostRedisplay();
  m_manager->PostRedisplay();
  rec.on_display = [window] { glfwSetWindowShouldClose(window, 1); };
  EXPECT_LT(run_loop(window), 4.0);
  EXPECT_EQ(passes(rec.log), (log_t{"idle", "display"}));
  // The closed window was destroyed and dropped from both maps.
  EXPECT_EQ(m_manager->getWindow(&rec), nullptr);
  EXPECT_EQ(m_manager->getInterface(window), nullptr);
}

TEST_F(Framework, RedrawHappensWithIdleOff) {
  Recorder rec;
  GLFWwindow* window = open(rec);
  m_manager->IdleOff();
  m_manager->PostRedisplay();
  rec.on_display = [window] { glfwSetWindowShouldClose(window, 1); };
  EXPECT_LT(run_loop(window), 4.0);
  EXPECT_EQ(passes(rec.log), (log_t{"display"}));
}

TEST_F(Framework, ExitFromAKeyHandlerEndsTheLoopAndKeepsTheWindow) {
  Recorder rec;
  GLFWwindow* window = open(rec);
  rec.on_key = [this] { m_manager->Exit(); };
  // The key arrives during the first pass, as if from the event wait.
  bool sent = false;
  rec.on_idle = [&] {
    if (sent) return;
    sent = true;
    glfwyMGR4::key_callback(window, GLFW_KEY_Q, 24, GLFW_PRESS, 0);
    glfwPostEmptyEvent();
  };
  EXPECT_LT(run_loop(window), 4.0);
  // One pass only (an expose may still draw during the wait).
  ASSERT_GE(rec.log.size(), 2u);
  EXPECT_EQ(rec.log[0], "idle");
  EXPECT_EQ(rec.log[1], "keyboard 113");
  EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "idle"), 1);
  EXPECT_EQ(m_manager->getWindow(&rec), window);
}

TEST_F(Framework, WindowsCloseWithTheirContextCurrentBeforeTheyGo) {
  // Closed by the window system: the loop calls close() with the window's
  // context current, then destroys it.
  Recorder looped;
  GLFWwindow* window = open(looped);
  looped.on_display = [window] { glfwSetWindowShouldClose(window, 1); };
  m_manager->PostRedisplay();
  EXPECT_LT(run_loop(window), 4.0);
  ASSERT_FALSE(looped.log.empty());
  EXPECT_EQ(looped.log.back(), "close");
  EXPECT_EQ(looped.context_at_close, window);
  EXPECT_EQ(m_manager->getWindow(&looped), nullptr);

  // Left open when the loop ended (q): closeAll() closes each window with
  // its own context current.
  Recorder first, second;
  GLFWwindow* one = open(first);
  GLFWwindow* two = open(second);
  glfwMakeContextCurrent(nullptr);
  m_manager->closeAll();
  // (An expose may still have drawn them meanwhile.)
  EXPECT_EQ(std::count(first.log.begin(), first.log.end(), "close"), 1);
  EXPECT_EQ(first.context_at_close, one);
  EXPECT_EQ(std::count(second.log.begin(), second.log.end(), "close"), 1);
  EXPECT_EQ(second.context_at_close, two);
  EXPECT_EQ(m_manager->getWindow(&first), nullptr);
  EXPECT_EQ(m_manager->getWindow(&second), nullptr);
}

TEST_F(Framework, EventsOfUnknownWindowsAreIgnored) {
  Recorder rec;
  open(rec);
  GLFWwindow* other = glfwCreateWindow(64, 64, "other", nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  glfwyMGR4::key_callback(other, GLFW_KEY_Q, 24, GLFW_PRESS, 0);
  glfwyMGR4::refresh_callback(other);
  glfwyMGR4::windowsize_callback(other, 10, 10);
  EXPECT_TRUE(rec.log.empty());
  glfwDestroyWindow(other);
}

}  // namespace

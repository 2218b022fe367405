// Main of the viewer's drawing tests: lists tests without a display;
// otherwise makes a hidden GLFW window and runs the tests with its context
// current. --gl-path=fallback asks Mesa for a context without the ARB
// vertex programs, so the photo frame takes its lit-texture path.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "viewer/app/tests/app_gltest.h"

#if defined(__SANITIZE_ADDRESS__)
#define APP_GLTEST_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define APP_GLTEST_LEAK_CHECK 1
#endif
#endif
#ifdef APP_GLTEST_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace apptest {

std::string g_path = "arb";

}  // namespace apptest

int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    if (std::strncmp(argv[i], "--gl-path=", 10) == 0) apptest::g_path = argv[i] + 10;
  }
  testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();

  // Mesa reads this when the context is made.
  if (apptest::g_path == "fallback") {
    setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_vertex_program", 1);
  }
  if (!glfwInit()) {
    std::cerr << "glfwInit() failed (no display?)" << std::endl;
    return 1;
  }
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  GLFWwindow* window =
      glfwCreateWindow(apptest::kWidth, apptest::kHeight, "viewer_app_gltests", nullptr, nullptr);
  if (!window) {
    std::cerr << "glfwCreateWindow() failed" << std::endl;
    glfwTerminate();
    return 1;
  }
  glfwMakeContextCurrent(window);
  gl_extloader_init();
  const int result = RUN_ALL_TESTS();
#ifdef APP_GLTEST_LEAK_CHECK
  // Checked while the context lives: the driver's caches are reachable
  // from it now and only look lost once it is gone.
  __lsan_do_leak_check();
#endif
  glfwDestroyWindow(window);
  glfwTerminate();
  return result;
}

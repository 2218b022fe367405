// Main of the GL tests: lists tests without a display; otherwise makes a
// hidden GLFW window of the context the --gl-path argument asks for and
// runs the tests with it current.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "viewer/graphics/tests/gltest_util.h"

#if defined(__SANITIZE_ADDRESS__)
#define GLTEST_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLTEST_LEAK_CHECK 1
#endif
#endif
#ifdef GLTEST_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace gltest {

std::string g_path = "gl30";

void reset_gl() {
  while (glGetError() != GL_NO_ERROR) {
  }
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void quad_t::Draw() const {
  ++draws;
  glColor3f(m_r, m_g, m_b);
  glBegin(GL_QUADS);
  glVertex2f(-1, -1);
  glVertex2f(1, -1);
  glVertex2f(1, 1);
  glVertex2f(-1, 1);
  glEnd();
}

void probe_t::Draw() const {
  ++draws;
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
}

}  // namespace gltest

int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    if (std::strncmp(argv[i], "--gl-path=", 10) == 0) gltest::g_path = argv[i] + 10;
  }
  testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();

  // Mesa reads these when the context is made.
  if (gltest::g_path == "sgis" || gltest::g_path == "glu") {
    setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
  }
  if (gltest::g_path == "glu") {
    setenv("MESA_EXTENSION_OVERRIDE", "-GL_SGIS_generate_mipmap", 1);
  }
  if (!glfwInit()) {
    std::cerr << "glfwInit() failed (no display?)" << std::endl;
    return 1;
  }
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  GLFWwindow* window =
      glfwCreateWindow(gltest::kWidth, gltest::kHeight, "graphics_gltests", nullptr, nullptr);
  if (!window) {
    std::cerr << "glfwCreateWindow() failed" << std::endl;
    glfwTerminate();
    return 1;
  }
  glfwMakeContextCurrent(window);
  gl_extloader_init();
  int result = RUN_ALL_TESTS();
#ifdef GLTEST_LEAK_CHECK
  // Checked while the context lives: the driver's caches are reachable
  // from it now and only look lost once it is gone.
  __lsan_do_leak_check();
#endif
  glfwDestroyWindow(window);
  glfwTerminate();
  return result;
}

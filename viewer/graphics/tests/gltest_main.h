// The main of a drawing test program: lists tests without a display;
// otherwise sets the environment its --gl-path asks Mesa for, makes a
// hidden GLFW window and runs the tests with its context current.
#pragma once

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "viewer/graphics/gl_api.h"

namespace gltest {

// path: set from --gl-path=, else kept; environment(path) runs before the
// context is made (Mesa reads its overrides then).
inline int run_gl_tests(int argc, char** argv, std::string& path, int width, int height,
                        const char* title, void (*environment)(const std::string& path)) {
  bool listing = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    if (std::strncmp(argv[i], "--gl-path=", 10) == 0) path = argv[i] + 10;
  }
  testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();

  environment(path);
  if (!glfwInit()) {
    std::cerr << "glfwInit() failed (no display?)" << std::endl;
    return 1;
  }
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  GLFWwindow* window = glfwCreateWindow(width, height, title, nullptr, nullptr);
  if (!window) {
    std::cerr << "glfwCreateWindow() failed" << std::endl;
    glfwTerminate();
    return 1;
  }
  glfwMakeContextCurrent(window);
  gl_extloader_init();
  const int result = RUN_ALL_TESTS();
  glfwDestroyWindow(window);
  glfwTerminate();
  return result;
}

}  // namespace gltest

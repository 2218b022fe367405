// Main of the viewer's drawing tests: lists tests without a display;
// otherwise makes a hidden GLFW window and runs the tests with its context
// current. --gl-path=fallback asks Mesa for a context without the ARB
// vertex programs, so the photo frame takes its lit-texture path.
#include <cstdlib>

#include "viewer/app/tests/app_gltest.h"
#include "viewer/graphics/tests/gltest_main.h"

namespace apptest {

std::string g_path = "arb";

}  // namespace apptest

int main(int argc, char** argv) {
  return gltest::run_gl_tests(argc, argv, apptest::g_path, apptest::kWidth, apptest::kHeight,
                              "viewer_app_gltests", [](const std::string& path) {
                                if (path == "fallback") {
                                  setenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_vertex_program", 1);
                                }
                              });
}

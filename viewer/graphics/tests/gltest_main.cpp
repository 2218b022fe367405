// Main of the GL tests: a hidden GLFW window of the context the
// --gl-path argument asks for (gl30, sgis or glu).
#include <cstdlib>

#include "viewer/graphics/tests/gltest_main.h"
#include "viewer/graphics/tests/gltest_util.h"

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
  return gltest::run_gl_tests(argc, argv, gltest::g_path, gltest::kWidth, gltest::kHeight,
                              "graphics_gltests", [](const std::string& path) {
                                if (path == "sgis" || path == "glu") {
                                  setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
                                }
                                if (path == "glu") {
                                  setenv("MESA_EXTENSION_OVERRIDE", "-GL_SGIS_generate_mipmap", 1);
                                }
                              });
}

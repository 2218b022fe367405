// Shared by the viewer's drawing tests: the context main made, the view
// set up as the scene sets it, and pixel reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "viewer/graphics/gl_api.h"

namespace apptest {

// "arb" (the default context) or "fallback" (no ARB vertex programs).
extern std::string g_path;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct rgb_t {
  int r, g, b;
};

// Drops pending errors, clears to the scene's grey and sets the scene's
// projection (one unit per pixel, origin at the centre; ox, oy the
// half-pixel offsets) and modelview (z = -1000).
inline void begin_frame(float ox = 0, float oy = 0) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(ox - kWidth / 2.0f, ox + kWidth / 2.0f, oy - kHeight / 2.0f, oy + kHeight / 2.0f, 0,
          10000);
  glClearColor(0.18f, 0.18f, 0.18f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_LIGHT0);
  const GLfloat position[4] = {-50, 50, 50, 1};
  const GLfloat gray[4] = {0.18f, 0.18f, 0.18f, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glLightfv(GL_LIGHT0, GL_AMBIENT, gray);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, gray);
  glLightfv(GL_LIGHT0, GL_SPECULAR, gray);
  glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 1.0f);
  glTranslatef(0, 0, -1000);
}

// The whole back buffer, bottom row first, 3 bytes a pixel.
inline std::vector<unsigned char> read_all() {
  glFinish();
  std::vector<unsigned char> px(static_cast<std::size_t>(kWidth) * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
  return px;
}

// Pixel at window column x, row y (0 at the bottom) of a read_all buffer.
inline rgb_t at(const std::vector<unsigned char>& px, int x, int y) {
  const unsigned char* p = &px[(static_cast<std::size_t>(y) * kWidth + x) * 3];
  return rgb_t{p[0], p[1], p[2]};
}

// Window position of scene point (x, y) under begin_frame() without
// offsets: the pixel whose centre is nearest.
inline int wx(float x) { return static_cast<int>(x + kWidth / 2.0f); }
inline int wy(float y) { return static_cast<int>(y + kHeight / 2.0f); }

}  // namespace apptest

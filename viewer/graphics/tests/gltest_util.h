// Shared by the GL tests: the context main made, and small drawing helpers.
#pragma once

#include <string>

#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/object3d.h"

namespace gltest {

// "gl30", "sgis" or "glu": the mipmap path the context was asked for.
extern std::string g_path;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Drops pending GL errors and puts the state the tests rely on back.
void reset_gl();

// A leaf that fills the square -1..1 with one colour and counts its draws.
class quad_t : public libgr::grObject3D {
 public:
  using libgr::grObject3D::Draw;
  quad_t(float r, float g, float b) : m_r(r), m_g(g), m_b(b) {}
  void Draw() const override;
  mutable int draws = 0;

 private:
  float m_r, m_g, m_b;
};

// A leaf that records the modelview matrix it is drawn with.
class probe_t : public libgr::grObject3D {
 public:
  using libgr::grObject3D::Draw;
  void Draw() const override;
  mutable float matrix[16] = {};
  mutable int draws = 0;
};

}  // namespace gltest

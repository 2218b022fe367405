#include "viewer/app/viewmatrix.h"

#include <cmath>

#include "viewer/graphics/matrix.h"
#include "viewer/graphics/rotation.h"

namespace plimlib {

namespace {

const libgr::direction3_t z_axis(0, 0, 1);

libgr::matrix3w_t uniform_scale(float f) {
  return libgr::getScaleMatrix(libgr::direction3_t(f, f, f));
}

}  // namespace

libgr::matrix3w_t compose_view(const libgr::matrix3w_t& view, const libgr::matrix3w_t& m) {
  return m * view;
}

void view_rotate(libgr::matrix3w_t& view, float degrees) {
  view = compose_view(view, libgr::getRotateMatrix(libgr::rotation3_t(degrees, z_axis)));
}

void view_zoom(libgr::matrix3w_t& view, float power) { view_scale(view, powf(2.0f, power)); }

void view_scale(libgr::matrix3w_t& view, float factor) {
  view = compose_view(view, uniform_scale(factor));
}

void view_move(libgr::matrix3w_t& view, const libgr::direction3_t& d) {
  view = compose_view(view, libgr::getTranslateMatrix(libgr::position3_t(d.x, d.y, d.z)));
}

bool view_scale_of(const libgr::matrix3w_t& view, float& scale) {
  const float det = libgr::Determinant(view);
  if (!std::isfinite(det) || !(det > 0)) return false;
  const float s = powf(det, 0.33333334f);
  if (!std::isfinite(s) || !(s > 0) || !std::isfinite(1.0f / s)) return false;
  scale = s;
  return true;
}

bool view_clear_zoom(libgr::matrix3w_t& view) {
  float s = 0;
  if (!view_scale_of(view, s)) return false;
  view_scale(view, 1.0f / s);
  return true;
}

bool view_clear_rotate(libgr::matrix3w_t& view, libgr::rotation3_t& inverse) {
  float s = 0;
  if (!view_scale_of(view, s)) return false;
  const libgr::matrix3w_t unscaled = compose_view(view, uniform_scale(1.0f / s));
  const libgr::rotation3_t turn = libgr::getRotation3(unscaled);
  inverse = libgr::rotation3_t(-turn.angle, turn.axis);
  view = compose_view(view, libgr::getRotateMatrix(inverse));
  return true;
}

void view_clear_move(libgr::matrix3w_t& view) {
  view_move(view, libgr::direction3_t(-view[12], -view[13], -view[14]));
}

}  // namespace plimlib

namespace plimlib {

view_projection_t view_projection(unsigned long width, unsigned long height, long max_width,
                                  long max_height, const libgr::direction2l_t* image) {
  view_projection_t p{};
  p.width = max_width > 0 && width > static_cast<unsigned long>(max_width)
                ? static_cast<unsigned long>(max_width)
                : width;
  p.height = max_height > 0 && height > static_cast<unsigned long>(max_height)
                 ? static_cast<unsigned long>(max_height)
                 : height;
  if (image != nullptr) {
    if ((static_cast<unsigned long>(image->x) ^ p.width) & 1) p.offset_x = -0.5f;
    if ((static_cast<unsigned long>(image->y) ^ p.height) & 1) p.offset_y = -0.5f;
  }
  const float hw = static_cast<float>(p.width) / 2;
  const float hh = static_cast<float>(p.height) / 2;
  p.left = p.offset_x - hw;
  p.right = p.offset_x + hw;
  p.bottom = p.offset_y - hh;
  p.top = p.offset_y + hh;
  return p;
}

}  // namespace plimlib

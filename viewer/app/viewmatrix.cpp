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

// The turn of a rotation matrix. The library's getRotation3 takes its axis
// from the skew part, which vanishes at half a turn (and rounding can push
// the cosine just below -1 there): such a view would never turn back. Near
// half a turn the axis is read from the symmetric part instead.
libgr::rotation3_t turn_of(const libgr::matrix3w_t& r) {
  const float cosine = (r.at(0, 0) + r.at(1, 1) + r.at(2, 2) - 1) * 0.5f;
  libgr::direction3_t axis(r.at(2, 1) - r.at(1, 2), r.at(0, 2) - r.at(2, 0),
                           r.at(1, 0) - r.at(0, 1));
  float length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
  // The skew part is 2 sin(angle) along the axis: atan2 keeps the angle
  // exact near half a turn, where acos of the cosine alone is coarse.
  const float angle = std::atan2(length * 0.5f, cosine) * 57.29578f;
  if (length < 1e-3f && cosine > 0) {
    if (!(length > 0)) return libgr::rotation3_t(0, z_axis);
  } else if (length < 1e-3f) {
    // R + I = 2 u u^T: its column of the largest diagonal element is along u.
    unsigned k = 0;
    for (unsigned i = 1; i < 3; ++i)
      if (r.at(i, i) > r.at(k, k)) k = i;
    const libgr::direction3_t skew = axis;
    axis = libgr::direction3_t(r.at(0, k), r.at(1, k), r.at(2, k));
    (k == 0 ? axis.x : k == 1 ? axis.y : axis.z) += 1;
    // Just short of half a turn the skew part still tells the sense.
    if (axis.x * skew.x + axis.y * skew.y + axis.z * skew.z < 0) axis = axis * -1.0f;
    length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    if (!(length > 0)) return libgr::rotation3_t(0, z_axis);
  }
  return libgr::rotation3_t(angle, axis * (1.0f / length));
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
  const libgr::rotation3_t turn = turn_of(unscaled);
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

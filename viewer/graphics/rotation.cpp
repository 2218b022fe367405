#include "viewer/graphics/rotation.h"

#include <cmath>

namespace libgr {

namespace {
constexpr double kDegToRad = 0.017453292519943122;
constexpr double kRadToDeg = 57.29577951308232;
}  // namespace

matrix3w_t getRotateMatrix_from_OpenGL(float angle, const direction3_t& axis) {
  double theta = angle * kDegToRad;
  float c = static_cast<float>(std::cos(theta));
  float s = static_cast<float>(std::sin(theta));
  direction3_t u = Normalize(axis);
  const float v[3] = {u.x, u.y, u.z};
  // Skew matrix of u, mathematical rows and columns.
  const float skew[3][3] = {{0, -u.z, u.y}, {u.z, 0, -u.x}, {-u.y, u.x, 0}};
  matrix3w_t m;
  for (unsigned r = 0; r < 3; ++r) {
    for (unsigned col = 0; col < 3; ++col) {
      float p = v[r] * v[col];
      float identity = (r == col) ? 1.0f : 0.0f;
      m.at(r, col) = p + c * (identity - p) + s * skew[r][col];
    }
  }
  m[15] = 1;
  return m;
}

matrix3w_t getRotateMatrix(const rotation3_t& r) {
  return getRotateMatrix_from_OpenGL(r.angle, r.axis);
}

rotation3_t getRotation3(const matrix3w_t& m) {
  for (float e : m.m)
    if (!std::isfinite(e)) return Irot;
  const double cosine = (static_cast<double>(m[0]) + m[5] + m[10] - 1) * 0.5;
  // The skew part is 2 sin(angle) along the axis. atan2 of both keeps the
  // angle exact near half a turn, where acos of the cosine alone is coarse
  // and rounding can push its argument just below -1.
  direction3_t axis(m[6] - m[9], m[8] - m[2], m[1] - m[4]);
  const double length = Length(axis);
  const double angle = std::atan2(length * 0.5, cosine) * kRadToDeg;
  if (length < 1e-3 && cosine < 0) {
    // Near half a turn the skew part vanishes: R + I = 2 u u^T there, and
    // its column of the largest diagonal element lies along u.
    unsigned k = 0;
    for (unsigned i = 1; i < 3; ++i)
      if (m.at(i, i) > m.at(k, k)) k = i;
    const direction3_t skew = axis;
    axis = direction3_t(m.at(0, k), m.at(1, k), m.at(2, k));
    (k == 0 ? axis.x : k == 1 ? axis.y : axis.z) += 1;
    // Just short of half a turn the skew part still tells the sense.
    if (DotProduct(axis, skew) < 0) axis = axis * -1.0f;
  }
  // No turn at all keeps a zero axis.
  return rotation3_t(static_cast<float>(angle), Normalize(axis));
}

rotation3_t calcRotation3(const direction3_t& a, const direction3_t& b) {
  direction3_t c = CrossProduct(a, b);
  float length = Length(c);
  if (length == 0) return Irot;
  float angle = static_cast<float>(std::acos(DotProduct(a, b)) * kRadToDeg);
  return rotation3_t(angle, c * (1.0f / length));
}

}  // namespace libgr

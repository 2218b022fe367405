#include "image/geometry.h"

#include <cmath>

namespace libgr {

namespace {

const float kTolerance = 0.00002f;
const float kPi = 3.1415927f;

float trunc_quotient(float c, float q) { return q * std::trunc(c * (1 / q)); }

float roundup(float a, float q) {
  float c = trunc_quotient(a, q);
  return a > c ? c + q : c;
}

// One quotient for all three axes.
direction3_t same_step(float q) { return direction3_t(q, q, q); }

// Each component of v rounded by round to the quotient of its axis.
template <class V>
V each_axis(float (*round)(float, float), const V& v, const direction3_t& q) {
  return V(round(v.x, q.x), round(v.y, q.y), round(v.z, q.z));
}

// Clamped to [0, 1], a NaN counting as 1, as a byte.
unsigned char unit_to_byte(float v) {
  if (std::isnan(v) || v > 1) v = 1;
  if (v < 0) v = 0;
  return static_cast<unsigned char>(static_cast<int>(v * 255 + 0.5f));
}

// Rounded half away from zero, plus 128.
unsigned char chroma_byte(float c) {
  float scaled = c * 127;
  int rounded = static_cast<int>(scaled < 0 ? scaled - 0.5f : scaled + 0.5f);
  return static_cast<unsigned char>(rounded + 128);
}

}  // namespace

float Length(const direction3_t& d) { return std::sqrt(DotProduct(d, d)); }

direction3_t Normalize(const direction3_t& d) {
  float length = Length(d);
  if (length == 0) return direction3_t(0, 0, 0);
  return d * (1 / length);
}

position3_t Normalize(const position3_t& p) {
  direction3_t d = Normalize(direction3_t(p.x, p.y, p.z));
  return position3_t(d.x, d.y, d.z);
}

direction3_t Normalize(const vector3w_t& v) { return Normalize(v.direction()); }

direction3_t CrossProduct(const direction3_t& a, const direction3_t& b) {
  return direction3_t(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

direction3_t CrossProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2) {
  return CrossProduct(p1 - p0, p2 - p1);
}

direction3_t CrossProductWithNormalize(const position3_t& p0, const position3_t& p1,
                                       const position3_t& p2) {
  return Normalize(CrossProduct(p0, p1, p2));
}

float ScalarTriProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2,
                       const position3_t& p3) {
  return DotProduct(CrossProduct(p1 - p0, p2 - p0), p3 - p0);
}

float ScalarTriProduct(const direction3_t& a, const direction3_t& b, const direction3_t& c) {
  return DotProduct(CrossProduct(a, b), c);
}

position3_t round_to_quotient(const position3_t& v, float q) {
  return each_axis(trunc_quotient, v, same_step(q));
}

position3_t round_to_quotient(const position3_t& v, const direction3_t& q) {
  return each_axis(trunc_quotient, v, q);
}

direction3_t round_to_quotient(const direction3_t& v, float q) {
  return each_axis(trunc_quotient, v, same_step(q));
}

direction3_t round_to_quotient(const direction3_t& v, const direction3_t& q) {
  return each_axis(trunc_quotient, v, q);
}

float roundup_to_quotient(float a, float q) { return roundup(a, q); }

position3_t roundup_to_quotient(const position3_t& v, float q) {
  return each_axis(roundup, v, same_step(q));
}

position3_t roundup_to_quotient(const position3_t& v, const direction3_t& q) {
  return each_axis(roundup, v, q);
}

direction3_t roundup_to_quotient(const direction3_t& v, float q) {
  return each_axis(roundup, v, same_step(q));
}

direction3_t roundup_to_quotient(const direction3_t& v, const direction3_t& q) {
  return each_axis(roundup, v, q);
}

position3_t SpecializeToPos(const vector3w_t& v) {
  if (v.w == 0) return position3_t(v.x, v.y, v.z);
  float inverse = 1 / v.w;
  return position3_t(inverse * v.x, inverse * v.y, inverse * v.z);
}

direction3_t SpecializeToDir(const vector3w_t& v) { return Normalize(v); }

bool compare(float a, float b) { return std::fabs(a - b) <= kTolerance; }

bool compare(float a, float b, float c) { return compare(a, b) && compare(b, c) && compare(a, c); }

bool cmp_lt(float a, float b) { return a - b < -kTolerance; }
bool cmp_gt(float a, float b) { return a - b > kTolerance; }
bool cmp_le(float a, float b) { return a - b < kTolerance; }
bool cmp_ge(float a, float b) { return a - b > -kTolerance; }

float fade(float x) { return std::cos(x * kPi / 2); }
float slope(float x) { return (std::cos((x - 1) * kPi) + 1) / 2; }
float cosine_slope(float x) { return slope(x); }
float sine_slope(float x) { return std::fabs(std::sin((x - 0.5f) * kPi) + 1) / 2; }

color3ub_t color3ub(const ycbcrub_t& c) {
  float y = c.y / 255.0f;
  float cb = static_cast<signed char>(c.cb - 128) / 127.0f;
  float cr = static_cast<signed char>(c.cr - 128) / 127.0f;
  return color3ub_t(unit_to_byte(y + 1.402f * cr), unit_to_byte(y - 0.34414f * cb - 0.71414f * cr),
                    unit_to_byte(y + 1.772f * cb));
}

ycbcrub_t ycbcrub(const color3ub_t& c) {
  float r = c.r / 255.0f;
  float g = c.g / 255.0f;
  float b = c.b / 255.0f;
  int y = static_cast<int>((0.299f * r + 0.587f * g + 0.114f * b) * 255 + 0.5f);
  return ycbcrub_t(static_cast<unsigned char>(y),
                   chroma_byte(-0.16874f * r - 0.33126f * g + 0.5f * b),
                   chroma_byte(0.5f * r - 0.41869f * g - 0.08131f * b));
}

}  // namespace libgr

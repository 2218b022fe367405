// Geometric and colour value types: plain copyable values without
// invariants. Components are stored in the order declared, with no padding,
// so arrays of them go to GL unchanged.
#pragma once

#include <cstdint>

namespace libgr {

// Points, directions and homogeneous vectors (single precision).

struct position3_t {
  float x, y, z;
  constexpr position3_t() : x(0), y(0), z(0) {}
  constexpr position3_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

struct direction3_t {
  float x, y, z;
  constexpr direction3_t() : x(0), y(0), z(0) {}
  constexpr direction3_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

// Turns about the three axes.
struct revolution3_t {
  float x, y, z;
  constexpr revolution3_t() : x(0), y(0), z(0) {}
  constexpr revolution3_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

// A point as radius and two angles.
struct polarpos3_t {
  float r, theta, phi;
  constexpr polarpos3_t() : r(0), theta(0), phi(0) {}
  constexpr polarpos3_t(float r_, float theta_, float phi_) : r(r_), theta(theta_), phi(phi_) {}
};

struct angles3_t {
  float x, y, z;
  constexpr angles3_t() : x(0), y(0), z(0) {}
  constexpr angles3_t(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

struct position2_t {
  float x, y;
  constexpr position2_t() : x(0), y(0) {}
  constexpr position2_t(float x_, float y_) : x(x_), y(y_) {}
};

struct direction2_t {
  float x, y;
  constexpr direction2_t() : x(0), y(0) {}
  constexpr direction2_t(float x_, float y_) : x(x_), y(y_) {}
};

struct position2l_t {
  int32_t x, y;
  constexpr position2l_t() : x(0), y(0) {}
  constexpr position2l_t(int32_t x_, int32_t y_) : x(x_), y(y_) {}
};

// Window, framebuffer and image sizes of the viewer: width, height.
struct direction2l_t {
  int32_t x, y;
  constexpr direction2l_t() : x(0), y(0) {}
  constexpr direction2l_t(int32_t x_, int32_t y_) : x(x_), y(y_) {}
};

struct position2ul_t {
  uint32_t x, y;
  constexpr position2ul_t() : x(0), y(0) {}
  constexpr position2ul_t(uint32_t x_, uint32_t y_) : x(x_), y(y_) {}
};

// A width and height (movie frame sizes among them).
struct direction2ul_t {
  uint32_t x, y;
  constexpr direction2ul_t() : x(0), y(0) {}
  constexpr direction2ul_t(uint32_t x_, uint32_t y_) : x(x_), y(y_) {}
};

// The size maker: datum2ul() is a size of 0 by 0.
constexpr direction2ul_t datum2ul(uint32_t x = 0, uint32_t y = 0) { return direction2ul_t(x, y); }

struct quaternion_t {
  float x, y, z, w;
  constexpr quaternion_t() : x(0), y(0), z(0), w(0) {}
  constexpr quaternion_t(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

// A homogeneous vector: the direction part, then w.
struct vector3w_t {
  float x, y, z, w;
  constexpr vector3w_t() : x(0), y(0), z(0), w(0) {}
  constexpr vector3w_t(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  constexpr vector3w_t(const direction3_t& d, float w_) : x(d.x), y(d.y), z(d.z), w(w_) {}
  constexpr direction3_t direction() const { return direction3_t(x, y, z); }
};

// A plane a x + b y + c z + d = 0.
struct surface_t {
  float a, b, c, d;
  constexpr surface_t() : a(0), b(0), c(0), d(0) {}
  constexpr surface_t(float a_, float b_, float c_, float d_) : a(a_), b(b_), c(c_), d(d_) {}
};

// A line a x + b y + c = 0.
struct line2d_t {
  float a, b, c;
  constexpr line2d_t() : a(0), b(0), c(0) {}
  constexpr line2d_t(float a_, float b_, float c_) : a(a_), b(b_), c(c_) {}
};

struct texcoord1_t {
  float s;
  constexpr texcoord1_t() : s(0) {}
  constexpr explicit texcoord1_t(float s_) : s(s_) {}
};

struct texcoord2_t {
  float s, t;
  constexpr texcoord2_t() : s(0), t(0) {}
  constexpr texcoord2_t(float s_, float t_) : s(s_), t(t_) {}
};

struct texcoord2q_t {
  float s, t, q;
  constexpr texcoord2q_t() : s(0), t(0), q(0) {}
  constexpr texcoord2q_t(float s_, float t_, float q_) : s(s_), t(t_), q(q_) {}
};

struct texcoord3_t {
  float s, t, r;
  constexpr texcoord3_t() : s(0), t(0), r(0) {}
  constexpr texcoord3_t(float s_, float t_, float r_) : s(s_), t(t_), r(r_) {}
};

struct texcoord3q_t {
  float s, t, r, q;
  constexpr texcoord3q_t() : s(0), t(0), r(0), q(0) {}
  constexpr texcoord3q_t(float s_, float t_, float r_, float q_) : s(s_), t(t_), r(r_), q(q_) {}
};

// An angle in degrees about an axis.
struct rotation3_t {
  float angle;
  direction3_t axis;
  constexpr rotation3_t() : angle(0), axis() {}
  constexpr rotation3_t(float angle_, const direction3_t& axis_) : angle(angle_), axis(axis_) {}
};

// A float, then a direction.
struct straight3_t {
  float d;
  direction3_t direction;
  constexpr straight3_t() : d(0), direction() {}
  constexpr straight3_t(float d_, const direction3_t& direction_) : d(d_), direction(direction_) {}
};

struct posture3w_t {
  revolution3_t rev1;
  revolution3_t rev2;
  position3_t pos;
  constexpr posture3w_t() : rev1(), rev2(), pos() {}
  constexpr posture3w_t(const revolution3_t& r1, const revolution3_t& r2, const position3_t& p)
      : rev1(r1), rev2(r2), pos(p) {}
};

struct inertial3_t {
  revolution3_t revolution;
  straight3_t straight;
  constexpr inertial3_t() : revolution(), straight() {}
  constexpr inertial3_t(const revolution3_t& r, const straight3_t& s)
      : revolution(r), straight(s) {}
};

// 4x4 floats in OpenGL column-major order: m[4c + r] is row r, column c;
// the translation is in m[12], m[13], m[14]. Value-initialised to zero.
struct matrix3w_t {
  float m[16];
  constexpr matrix3w_t() : m{} {}
  constexpr matrix3w_t(float m0, float m1, float m2, float m3, float m4, float m5, float m6,
                       float m7, float m8, float m9, float m10, float m11, float m12, float m13,
                       float m14, float m15)
      : m{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15} {}
  float& operator[](unsigned int i) { return m[i]; }
  constexpr const float& operator[](unsigned int i) const { return m[i]; }
  // Element of row r, column c.
  float& at(unsigned int r, unsigned int c) { return m[4 * c + r]; }
  constexpr const float& at(unsigned int r, unsigned int c) const { return m[4 * c + r]; }
};

struct box2_t {
  position2_t min, max;
  constexpr box2_t() : min(), max() {}
  constexpr box2_t(const position2_t& a, const position2_t& b) : min(a), max(b) {}
};

struct box3_t {
  position3_t min, max;
  constexpr box3_t() : min(), max() {}
  constexpr box3_t(const position3_t& a, const position3_t& b) : min(a), max(b) {}
};

struct dim2_t {
  uint64_t x, y;
  constexpr dim2_t() : x(0), y(0) {}
  constexpr dim2_t(uint64_t x_, uint64_t y_) : x(x_), y(y_) {}
};

struct dim3_t {
  uint64_t x, y, z;
  constexpr dim3_t() : x(0), y(0), z(0) {}
  constexpr dim3_t(uint64_t x_, uint64_t y_, uint64_t z_) : x(x_), y(y_), z(z_) {}
};

struct line3d_t {
  direction3_t direction;
  matrix3w_t m1;
  matrix3w_t m2;
  constexpr line3d_t() : direction(), m1(), m2() {}
  constexpr line3d_t(const direction3_t& d, const matrix3w_t& a, const matrix3w_t& b)
      : direction(d), m1(a), m2(b) {}
};

// A viewing volume as the six values of a frustum or orthographic call.
struct projection_t {
  double left, right, bottom, top, znear, zfar;
  constexpr projection_t() : left(0), right(0), bottom(0), top(0), znear(0), zfar(0) {}
  constexpr projection_t(double l, double r, double b, double t, double n, double f)
      : left(l), right(r), bottom(b), top(t), znear(n), zfar(f) {}
};

// Colours.

struct color3_t {
  float r, g, b;
  constexpr color3_t() : r(0), g(0), b(0) {}
  constexpr color3_t(float r_, float g_, float b_) : r(r_), g(g_), b(b_) {}
};

// Components 0 to 1; passed to GL as four floats.
struct color3a_t {
  float r, g, b, a;
  constexpr color3a_t() : r(0), g(0), b(0), a(0) {}
  constexpr color3a_t(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
};

struct color3ub_t {
  unsigned char r, g, b;
  constexpr color3ub_t() : r(0), g(0), b(0) {}
  constexpr color3ub_t(unsigned char r_, unsigned char g_, unsigned char b_)
      : r(r_), g(g_), b(b_) {}
};

struct color3aub_t {
  unsigned char r, g, b, a;
  constexpr color3aub_t() : r(0), g(0), b(0), a(0) {}
  constexpr color3aub_t(unsigned char r_, unsigned char g_, unsigned char b_, unsigned char a_)
      : r(r_), g(g_), b(b_), a(a_) {}
};

// Luminance and alpha.
struct color1aub_t {
  unsigned char l, a;
  constexpr color1aub_t() : l(0), a(0) {}
  constexpr color1aub_t(unsigned char l_, unsigned char a_) : l(l_), a(a_) {}
};

struct color1ub_t {
  unsigned char l;
  constexpr color1ub_t() : l(0) {}
  constexpr explicit color1ub_t(unsigned char l_) : l(l_) {}
};

// Full-range YCbCr; cb and cr are stored with 128 added.
struct ycbcrub_t {
  unsigned char y, cb, cr;
  constexpr ycbcrub_t() : y(0), cb(0), cr(0) {}
  constexpr ycbcrub_t(unsigned char y_, unsigned char cb_, unsigned char cr_)
      : y(y_), cb(cb_), cr(cr_) {}
};

static_assert(sizeof(color3ub_t) == 3, "colours are packed bytes");
static_assert(sizeof(color3a_t) == 4 * sizeof(float), "four floats");
static_assert(sizeof(matrix3w_t) == 16 * sizeof(float), "sixteen floats");

// Exact comparisons (the tolerant ones are compare() and cmp_*()).
#define LIBGR_EQUALITY2(T, a, b)                                                         \
  constexpr bool operator==(const T& p, const T& q) { return p.a == q.a && p.b == q.b; } \
  constexpr bool operator!=(const T& p, const T& q) { return !(p == q); }
#define LIBGR_EQUALITY3(T, a, b, c)                   \
  constexpr bool operator==(const T& p, const T& q) { \
    return p.a == q.a && p.b == q.b && p.c == q.c;    \
  }                                                   \
  constexpr bool operator!=(const T& p, const T& q) { return !(p == q); }
#define LIBGR_EQUALITY4(T, a, b, c, d)                           \
  constexpr bool operator==(const T& p, const T& q) {            \
    return p.a == q.a && p.b == q.b && p.c == q.c && p.d == q.d; \
  }                                                              \
  constexpr bool operator!=(const T& p, const T& q) { return !(p == q); }

LIBGR_EQUALITY3(position3_t, x, y, z)
LIBGR_EQUALITY3(direction3_t, x, y, z)
LIBGR_EQUALITY2(position2_t, x, y)
LIBGR_EQUALITY2(direction2_t, x, y)
LIBGR_EQUALITY2(position2l_t, x, y)
LIBGR_EQUALITY2(direction2l_t, x, y)
LIBGR_EQUALITY2(position2ul_t, x, y)
LIBGR_EQUALITY2(direction2ul_t, x, y)
LIBGR_EQUALITY4(vector3w_t, x, y, z, w)
LIBGR_EQUALITY2(dim2_t, x, y)
LIBGR_EQUALITY3(dim3_t, x, y, z)
LIBGR_EQUALITY4(color3a_t, r, g, b, a)
LIBGR_EQUALITY3(color3ub_t, r, g, b)
LIBGR_EQUALITY4(color3aub_t, r, g, b, a)
LIBGR_EQUALITY3(ycbcrub_t, y, cb, cr)

#undef LIBGR_EQUALITY2
#undef LIBGR_EQUALITY3
#undef LIBGR_EQUALITY4

// Constants.
inline constexpr color3a_t white(1, 1, 1, 1);
inline constexpr color3a_t black(0, 0, 0, 1);
inline constexpr color3a_t gray18(0.18f, 0.18f, 0.18f, 1.0f);
inline constexpr color3a_t brown(0.375f, 0.25f, 0, 1);
inline constexpr color3ub_t white3ub(255, 255, 255);
inline constexpr color3ub_t black3ub(0, 0, 0);
inline constexpr color3ub_t gray3ub(127, 127, 127);
inline constexpr color3aub_t white3aub(255, 255, 255, 255);
inline constexpr color3aub_t black3aub(0, 0, 0, 255);
inline constexpr color3aub_t gray3aub(127, 127, 127, 255);

// Identities: no turn (angle 0 about z), the origin, unit scales, the
// identity matrix.
inline constexpr rotation3_t Irot(0, direction3_t(0, 0, 1));
inline constexpr position3_t Ipos(0, 0, 0);
inline constexpr direction3_t Idir(1, 1, 1);
inline constexpr direction3_t Iscale(1, 1, 1);
inline constexpr matrix3w_t Imtx(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);

inline constexpr float COMPARE_THRESHOLD = 0.00001f;

// Vector arithmetic (single precision).

inline direction3_t operator-(const position3_t& a, const position3_t& b) {
  return direction3_t(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline position3_t operator+(const position3_t& p, const direction3_t& d) {
  return position3_t(p.x + d.x, p.y + d.y, p.z + d.z);
}
inline direction3_t operator+(const direction3_t& a, const direction3_t& b) {
  return direction3_t(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline direction3_t operator-(const direction3_t& a, const direction3_t& b) {
  return direction3_t(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline direction3_t operator*(const direction3_t& d, float s) {
  return direction3_t(d.x * s, d.y * s, d.z * s);
}
inline float DotProduct(const direction3_t& a, const direction3_t& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
float Length(const direction3_t& d);

// The vector times 1/length; the zero vector when the length is 0.
direction3_t Normalize(const direction3_t& d);
position3_t Normalize(const position3_t& p);
// The normalised (x, y, z); w is dropped.
direction3_t Normalize(const vector3w_t& v);

direction3_t CrossProduct(const direction3_t& a, const direction3_t& b);
// CrossProduct(p1 - p0, p2 - p1).
direction3_t CrossProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2);
direction3_t CrossProductWithNormalize(const position3_t& p0, const position3_t& p1,
                                       const position3_t& p2);
// CrossProduct(p1 - p0, p2 - p0) dot (p3 - p0).
float ScalarTriProduct(const position3_t& p0, const position3_t& p1, const position3_t& p2,
                       const position3_t& p3);
float ScalarTriProduct(const direction3_t& a, const direction3_t& b, const direction3_t& c);

// Each component c becomes q x trunc(c x (1/q)).
position3_t round_to_quotient(const position3_t& v, float q);
position3_t round_to_quotient(const position3_t& v, const direction3_t& q);
direction3_t round_to_quotient(const direction3_t& v, float q);
direction3_t round_to_quotient(const direction3_t& v, const direction3_t& q);
// c = q x trunc(a x (1/q)); c + q when a is above c, else c.
float roundup_to_quotient(float a, float q);
position3_t roundup_to_quotient(const position3_t& v, float q);
position3_t roundup_to_quotient(const position3_t& v, const direction3_t& q);
direction3_t roundup_to_quotient(const direction3_t& v, float q);
direction3_t roundup_to_quotient(const direction3_t& v, const direction3_t& q);

// (x/w, y/w, z/w) as (1/w) x component; (x, y, z) when w is 0.
position3_t SpecializeToPos(const vector3w_t& v);
direction3_t SpecializeToDir(const vector3w_t& v);

// Tolerant float comparisons (tolerance 0.00002).
bool compare(float a, float b);
bool compare(float a, float b, float c);
bool cmp_lt(float a, float b);
bool cmp_gt(float a, float b);
bool cmp_le(float a, float b);
bool cmp_ge(float a, float b);

// Easing curves of x.
float fade(float x);
float slope(float x);
float cosine_slope(float x);
float sine_slope(float x);

// Full-range BT.601 YCbCr with 127 as the chroma scale.
color3ub_t color3ub(const ycbcrub_t& c);
ycbcrub_t ycbcrub(const color3ub_t& c);

}  // namespace libgr

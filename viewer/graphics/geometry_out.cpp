// Writers of the text form of the geometric and colour value types.
#include <ostream>

#include "utility/strutil.h"
#include "viewer/graphics/geometry_stream.h"

namespace libgr {

namespace {

// Numbers as the stream writes them (floats widened to double); nested
// values through their own writers.
inline double put_value(float v) { return v; }
inline double put_value(double v) { return v; }
inline int32_t put_value(int32_t v) { return v; }
inline uint32_t put_value(uint32_t v) { return v; }
inline uint64_t put_value(uint64_t v) { return v; }
template <class T>
inline const T& put_value(const T& v) {
  return v;
}

// tag(a, b, ...) in fixed notation; the caller's flags come back after.
template <class... V>
std::ostream& put(std::ostream& os, const char* tag, const V&... values) {
  libutils::keepflag keep(os);
  os.setf(std::ios_base::fixed, std::ios_base::floatfield);
  os << tag << "(";
  const char* separator = "";
  ((os << separator << put_value(values), separator = ", "), ...);
  return os << ")";
}

template <class... V>
std::ostream& put_bytes(std::ostream& os, const char* tag, const V&... bytes) {
  libutils::keepflag keep(os);
  if (os.flags() & std::ios_base::showbase) os << "0x";
  os.unsetf(std::ios_base::showbase);
  os << tag << "(";
  ((os << libutils::_puthex<unsigned char>(bytes)), ...);
  return os << ")";
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const position3_t& v) {
  return put(os, "pos3", v.x, v.y, v.z);
}
std::ostream& operator<<(std::ostream& os, const direction3_t& v) {
  return put(os, "dir3", v.x, v.y, v.z);
}
std::ostream& operator<<(std::ostream& os, const position2_t& v) {
  return put(os, "pos2", v.x, v.y);
}
std::ostream& operator<<(std::ostream& os, const direction2_t& v) {
  return put(os, "dir2", v.x, v.y);
}
std::ostream& operator<<(std::ostream& os, const position2l_t& v) {
  return put(os, "pos2l", v.x, v.y);
}
std::ostream& operator<<(std::ostream& os, const direction2l_t& v) {
  return put(os, "dir2l", v.x, v.y);
}
std::ostream& operator<<(std::ostream& os, const position2ul_t& v) {
  return put(os, "pos2ul", v.x, v.y);
}
std::ostream& operator<<(std::ostream& os, const direction2ul_t& v) {
  return put(os, "dir2ul", v.x, v.y);
}
std::ostream& operator<<(std::ostream& os, const quaternion_t& v) {
  return put(os, "qua", v.x, v.y, v.z, v.w);
}
std::ostream& operator<<(std::ostream& os, const rotation3_t& v) {
  return put(os, "rot3", v.angle, v.axis);
}
std::ostream& operator<<(std::ostream& os, const posture3w_t& v) {
  return put(os, "pst3w", v.rev1, v.rev2, v.pos);
}
std::ostream& operator<<(std::ostream& os, const polarpos3_t& v) {
  return put(os, "plr3", v.r, v.theta, v.phi);
}
std::ostream& operator<<(std::ostream& os, const angles3_t& v) {
  return put(os, "ang3", v.x, v.y, v.z);
}
std::ostream& operator<<(std::ostream& os, const revolution3_t& v) {
  return put(os, "rev3", v.x, v.y, v.z);
}
std::ostream& operator<<(std::ostream& os, const straight3_t& v) {
  return put(os, "srt3", v.d, v.direction);
}
std::ostream& operator<<(std::ostream& os, const inertial3_t& v) {
  return put(os, "irt3", v.revolution, v.straight);
}
std::ostream& operator<<(std::ostream& os, const vector3w_t& v) {
  return put(os, "vec3w", v.x, v.y, v.z, v.w);
}
std::ostream& operator<<(std::ostream& os, const color3_t& v) {
  return put(os, "col3", v.r, v.g, v.b);
}
std::ostream& operator<<(std::ostream& os, const color3a_t& v) {
  return put(os, "col3a", v.r, v.g, v.b, v.a);
}
std::ostream& operator<<(std::ostream& os, const texcoord1_t& v) { return put(os, "txc1", v.s); }
std::ostream& operator<<(std::ostream& os, const texcoord2_t& v) {
  return put(os, "txc2", v.s, v.t);
}
std::ostream& operator<<(std::ostream& os, const texcoord2q_t& v) {
  return put(os, "txc2q", v.s, v.t, v.q);
}
std::ostream& operator<<(std::ostream& os, const texcoord3_t& v) {
  return put(os, "txc3", v.s, v.t, v.r);
}
std::ostream& operator<<(std::ostream& os, const texcoord3q_t& v) {
  return put(os, "txc3q", v.s, v.t, v.r, v.q);
}

std::ostream& operator<<(std::ostream& os, const matrix3w_t& v) {
  libutils::keepflag keep(os);
  os.setf(std::ios_base::fixed, std::ios_base::floatfield);
  os << "mtx3w(\t";
  for (unsigned int i = 0; i < 16; ++i) {
    os << static_cast<double>(v.m[i]);
    if (i == 15) break;
    os << (i % 4 == 3 ? ",\n\t" : ", ");
  }
  return os << ")";
}

std::ostream& operator<<(std::ostream& os, const box2_t& v) {
  return put(os, "box2", v.min, v.max);
}
std::ostream& operator<<(std::ostream& os, const box3_t& v) {
  return put(os, "box3", v.min, v.max);
}
std::ostream& operator<<(std::ostream& os, const dim2_t& v) { return put(os, "dim2", v.x, v.y); }
std::ostream& operator<<(std::ostream& os, const dim3_t& v) {
  return put(os, "dim3", v.x, v.y, v.z);
}
std::ostream& operator<<(std::ostream& os, const color3aub_t& v) {
  return put_bytes(os, "col3aub", v.r, v.g, v.b, v.a);
}
std::ostream& operator<<(std::ostream& os, const color3ub_t& v) {
  return put_bytes(os, "col3ub", v.r, v.g, v.b);
}
std::ostream& operator<<(std::ostream& os, const color1aub_t& v) {
  return put_bytes(os, "col1aub", v.l, v.a);
}
std::ostream& operator<<(std::ostream& os, const color1ub_t& v) {
  return put_bytes(os, "col1ub", v.l);
}
std::ostream& operator<<(std::ostream& os, const surface_t& v) {
  return put(os, "surface", v.a, v.b, v.c, v.d);
}
std::ostream& operator<<(std::ostream& os, const line2d_t& v) {
  return put(os, "line2d", v.a, v.b, v.c);
}
std::ostream& operator<<(std::ostream& os, const line3d_t& v) {
  return put(os, "line3d", v.direction, v.m1, v.m2);
}
std::ostream& operator<<(std::ostream& os, const projection_t& v) {
  return put(os, "projection", v.left, v.right, v.bottom, v.top, v.znear, v.zfar);
}

std::ostream& operator<<(std::ostream& os, const triangle_t& v) {
  os << "s: " << v.surface << std::endl;
  os << v.matrix << std::endl;
  os << "l: " << v.lines[0] << v.lines[1] << v.lines[2] << std::endl;
  os << "p: " << v.positions[0] << v.positions[1] << v.positions[2] << std::endl;
  for (const auto& triple : v.extra) {
    os << triple[0] << ", " << triple[1] << ", " << triple[2] << std::endl;
  }
  return os;
}

}  // namespace libgr

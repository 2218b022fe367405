// Readers of the text form of the geometric and colour value types. None
// of them loops at the end of the input: every skip stops when the stream
// ends or fails.
#include <istream>

#include "viewer/graphics/geometry_stream.h"
#include "viewer/graphics/streamtype.h"

namespace libgr {

namespace {

// Skips up to and including the next "(" (blanks are skipped by >>, so a
// blank right before the "(" goes with it).
void skipkakko_beg(std::istream& is) {
  char c;
  while (is && is.peek() != '(') {
    if (!(is >> c)) return;
  }
  is >> c;
}

void separator(std::istream& is) {
  char c;
  is >> c;
}

void closing(std::istream& is) {
  if (is && is.peek() == ')') is.get();
}

// The first component, then one separator before each further one.
template <class T, class... R>
std::istream& components(std::istream& is, T& first, R&... rest) {
  is >> first;
  ((separator(is), is >> rest), ...);
  return is;
}

template <class... V>
std::istream& get(std::istream& is, V&... values) {
  skipkakko_beg(is);
  components(is, values...);
  closing(is);
  return is;
}

// A nested value must carry its own tag; another tag fails the stream so
// that the caller sees the garbled input.
bool expect(std::istream& is, e_mtype_t wanted) {
  e_mtype_t tag;
  is >> tag;
  if (!is) return false;
  if (tag != wanted) {
    is.setstate(std::ios_base::failbit);
    return false;
  }
  return true;
}

int hexdigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Two hexadecimal digits; the stream fails on anything else.
std::istream& hexbyte(std::istream& is, unsigned char& byte) {
  char c[2];
  if (!(is >> c[0] >> c[1])) return is;
  int high = hexdigit(c[0]);
  int low = hexdigit(c[1]);
  if (high < 0 || low < 0) {
    is.setstate(std::ios_base::failbit);
    return is;
  }
  byte = static_cast<unsigned char>(high * 16 + low);
  return is;
}

template <class... V>
std::istream& get_bytes(std::istream& is, V&... bytes) {
  skipkakko_beg(is);
  (hexbyte(is, bytes), ...);
  closing(is);
  return is;
}

}  // namespace

std::istream& operator>>(std::istream& is, position3_t& v) { return get(is, v.x, v.y, v.z); }
std::istream& operator>>(std::istream& is, direction3_t& v) { return get(is, v.x, v.y, v.z); }
std::istream& operator>>(std::istream& is, position2_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, direction2_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, position2l_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, direction2l_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, position2ul_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, direction2ul_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, quaternion_t& v) { return get(is, v.x, v.y, v.z, v.w); }

std::istream& operator>>(std::istream& is, rotation3_t& v) {
  skipkakko_beg(is);
  is >> v.angle;
  separator(is);
  if (!expect(is, MTYPE_DIR3)) return is;
  is >> v.axis;
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, posture3w_t& v) {
  revolution3_t r1, r2;
  position3_t p;
  skipkakko_beg(is);
  if (!expect(is, MTYPE_REV3)) return is;
  is >> r1;
  separator(is);
  if (!expect(is, MTYPE_REV3)) return is;
  is >> r2;
  separator(is);
  if (!expect(is, MTYPE_POS3)) return is;
  is >> p;
  if (!is) return is;
  v = posture3w_t(r1, r2, p);
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, polarpos3_t& v) { return get(is, v.r, v.theta, v.phi); }
std::istream& operator>>(std::istream& is, angles3_t& v) { return get(is, v.x, v.y, v.z); }
std::istream& operator>>(std::istream& is, revolution3_t& v) { return get(is, v.x, v.y, v.z); }

std::istream& operator>>(std::istream& is, straight3_t& v) {
  skipkakko_beg(is);
  is >> v.d;
  separator(is);
  if (!expect(is, MTYPE_DIR3)) return is;
  is >> v.direction;
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, inertial3_t& v) {
  revolution3_t r;
  straight3_t s;
  skipkakko_beg(is);
  if (!expect(is, MTYPE_REV3)) return is;
  is >> r;
  separator(is);
  if (!expect(is, MTYPE_SRT3)) return is;
  is >> s;
  if (!is) return is;
  v = inertial3_t(r, s);
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, vector3w_t& v) { return get(is, v.x, v.y, v.z, v.w); }
std::istream& operator>>(std::istream& is, color3_t& v) { return get(is, v.r, v.g, v.b); }
std::istream& operator>>(std::istream& is, color3a_t& v) { return get(is, v.r, v.g, v.b, v.a); }
std::istream& operator>>(std::istream& is, texcoord1_t& v) { return get(is, v.s); }
std::istream& operator>>(std::istream& is, texcoord2_t& v) { return get(is, v.s, v.t); }
std::istream& operator>>(std::istream& is, texcoord2q_t& v) { return get(is, v.s, v.t, v.q); }
std::istream& operator>>(std::istream& is, texcoord3_t& v) { return get(is, v.s, v.t, v.r); }
std::istream& operator>>(std::istream& is, texcoord3q_t& v) { return get(is, v.s, v.t, v.r, v.q); }

std::istream& operator>>(std::istream& is, matrix3w_t& v) {
  float* m = v.m;
  return get(is, m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12],
             m[13], m[14], m[15]);
}

std::istream& operator>>(std::istream& is, box2_t& v) {
  skipkakko_beg(is);
  if (!expect(is, MTYPE_POS2)) return is;
  is >> v.min;
  separator(is);
  if (!expect(is, MTYPE_POS2)) return is;
  is >> v.max;
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, box3_t& v) {
  skipkakko_beg(is);
  if (!expect(is, MTYPE_POS3)) return is;
  is >> v.min;
  separator(is);
  if (!expect(is, MTYPE_POS3)) return is;
  is >> v.max;
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, dim2_t& v) { return get(is, v.x, v.y); }
std::istream& operator>>(std::istream& is, dim3_t& v) { return get(is, v.x, v.y, v.z); }
std::istream& operator>>(std::istream& is, color3aub_t& v) {
  return get_bytes(is, v.r, v.g, v.b, v.a);
}
std::istream& operator>>(std::istream& is, color3ub_t& v) { return get_bytes(is, v.r, v.g, v.b); }
std::istream& operator>>(std::istream& is, color1aub_t& v) { return get_bytes(is, v.l, v.a); }
std::istream& operator>>(std::istream& is, color1ub_t& v) { return get_bytes(is, v.l); }
std::istream& operator>>(std::istream& is, surface_t& v) { return get(is, v.a, v.b, v.c, v.d); }
std::istream& operator>>(std::istream& is, line2d_t& v) { return get(is, v.a, v.b, v.c); }

// No tags are tested here: each nested reader skips to its own "(".
std::istream& operator>>(std::istream& is, line3d_t& v) {
  skipkakko_beg(is);
  is >> v.direction;
  separator(is);
  is >> v.m1;
  separator(is);
  is >> v.m2;
  closing(is);
  return is;
}

std::istream& operator>>(std::istream& is, projection_t& v) {
  return get(is, v.left, v.right, v.bottom, v.top, v.znear, v.zfar);
}

}  // namespace libgr

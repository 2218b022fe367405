// The text form of the geometric and colour value types: a short tag, "(",
// the components separated by ", " and ")", as in "dir2l(800, 600)". The
// saved-view file and the trace output use these writers and readers.
//
// Writers save and restore the stream's flags and write fixed notation.
// Readers skip everything up to the first "(" (the tag is not looked at,
// except for nested values), take one separator character between
// components and eat a closing ")" when it is next. A failed extraction
// leaves the stream failed; nested tags of the wrong kind fail it too.
#pragma once

#include <istream>
#include <ostream>

#include "image/geometry.h"

namespace libgr {

// A triangle as the viewer prints it for inspection (written only).
struct triangle_t {
  matrix3w_t matrix;
  surface_t surface;
  line2d_t lines[3];
  position3_t positions[3];
  float extra[3][3] = {};
};

std::ostream& operator<<(std::ostream& os, const position3_t& v);
std::ostream& operator<<(std::ostream& os, const direction3_t& v);
std::ostream& operator<<(std::ostream& os, const position2_t& v);
std::ostream& operator<<(std::ostream& os, const direction2_t& v);
std::ostream& operator<<(std::ostream& os, const position2l_t& v);
std::ostream& operator<<(std::ostream& os, const direction2l_t& v);
std::ostream& operator<<(std::ostream& os, const position2ul_t& v);
std::ostream& operator<<(std::ostream& os, const direction2ul_t& v);
std::ostream& operator<<(std::ostream& os, const quaternion_t& v);
std::ostream& operator<<(std::ostream& os, const rotation3_t& v);
std::ostream& operator<<(std::ostream& os, const posture3w_t& v);
std::ostream& operator<<(std::ostream& os, const polarpos3_t& v);
std::ostream& operator<<(std::ostream& os, const angles3_t& v);
std::ostream& operator<<(std::ostream& os, const revolution3_t& v);
std::ostream& operator<<(std::ostream& os, const straight3_t& v);
std::ostream& operator<<(std::ostream& os, const inertial3_t& v);
std::ostream& operator<<(std::ostream& os, const vector3w_t& v);
std::ostream& operator<<(std::ostream& os, const color3_t& v);
std::ostream& operator<<(std::ostream& os, const color3a_t& v);
std::ostream& operator<<(std::ostream& os, const texcoord1_t& v);
std::ostream& operator<<(std::ostream& os, const texcoord2_t& v);
std::ostream& operator<<(std::ostream& os, const texcoord2q_t& v);
std::ostream& operator<<(std::ostream& os, const texcoord3_t& v);
std::ostream& operator<<(std::ostream& os, const texcoord3q_t& v);
// "mtx3w(", TAB, then four elements to a line in storage order, the lines
// joined by ",\n\t", and ")".
std::ostream& operator<<(std::ostream& os, const matrix3w_t& v);
std::ostream& operator<<(std::ostream& os, const box2_t& v);
std::ostream& operator<<(std::ostream& os, const box3_t& v);
std::ostream& operator<<(std::ostream& os, const dim2_t& v);
std::ostream& operator<<(std::ostream& os, const dim3_t& v);
// Colour bytes as two hexadecimal digits each, no separator:
// "col3ub(ff8000)"; "0x" in front when the stream shows the base.
std::ostream& operator<<(std::ostream& os, const color3aub_t& v);
std::ostream& operator<<(std::ostream& os, const color3ub_t& v);
std::ostream& operator<<(std::ostream& os, const color1aub_t& v);
std::ostream& operator<<(std::ostream& os, const color1ub_t& v);
std::ostream& operator<<(std::ostream& os, const surface_t& v);
std::ostream& operator<<(std::ostream& os, const line2d_t& v);
std::ostream& operator<<(std::ostream& os, const line3d_t& v);
std::ostream& operator<<(std::ostream& os, const projection_t& v);
// Several lines without a tag, each ended by std::endl.
std::ostream& operator<<(std::ostream& os, const triangle_t& v);

std::istream& operator>>(std::istream& is, position3_t& v);
std::istream& operator>>(std::istream& is, direction3_t& v);
std::istream& operator>>(std::istream& is, position2_t& v);
std::istream& operator>>(std::istream& is, direction2_t& v);
std::istream& operator>>(std::istream& is, position2l_t& v);
std::istream& operator>>(std::istream& is, direction2l_t& v);
std::istream& operator>>(std::istream& is, position2ul_t& v);
std::istream& operator>>(std::istream& is, direction2ul_t& v);
std::istream& operator>>(std::istream& is, quaternion_t& v);
std::istream& operator>>(std::istream& is, rotation3_t& v);
std::istream& operator>>(std::istream& is, posture3w_t& v);
std::istream& operator>>(std::istream& is, polarpos3_t& v);
std::istream& operator>>(std::istream& is, angles3_t& v);
std::istream& operator>>(std::istream& is, revolution3_t& v);
std::istream& operator>>(std::istream& is, straight3_t& v);
std::istream& operator>>(std::istream& is, inertial3_t& v);
std::istream& operator>>(std::istream& is, vector3w_t& v);
std::istream& operator>>(std::istream& is, color3_t& v);
std::istream& operator>>(std::istream& is, color3a_t& v);
std::istream& operator>>(std::istream& is, texcoord1_t& v);
std::istream& operator>>(std::istream& is, texcoord2_t& v);
std::istream& operator>>(std::istream& is, texcoord2q_t& v);
std::istream& operator>>(std::istream& is, texcoord3_t& v);
std::istream& operator>>(std::istream& is, texcoord3q_t& v);
std::istream& operator>>(std::istream& is, matrix3w_t& v);
std::istream& operator>>(std::istream& is, box2_t& v);
std::istream& operator>>(std::istream& is, box3_t& v);
std::istream& operator>>(std::istream& is, dim2_t& v);
std::istream& operator>>(std::istream& is, dim3_t& v);
// Colour bytes as the writers write them: two hexadecimal digits a byte.
std::istream& operator>>(std::istream& is, color3aub_t& v);
std::istream& operator>>(std::istream& is, color3ub_t& v);
std::istream& operator>>(std::istream& is, color1aub_t& v);
std::istream& operator>>(std::istream& is, color1ub_t& v);
std::istream& operator>>(std::istream& is, surface_t& v);
std::istream& operator>>(std::istream& is, line2d_t& v);
std::istream& operator>>(std::istream& is, line3d_t& v);
std::istream& operator>>(std::istream& is, projection_t& v);

}  // namespace libgr

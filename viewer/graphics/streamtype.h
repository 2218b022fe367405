// Type tags of the text form (geometry_stream.h) and a value that carries
// its own tag, read and written as "tag(components)".
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "image/geometry.h"
#include "viewer/graphics/geometry_stream.h"

namespace libgr {

enum e_mtype_t : int32_t {
  MTYPE_FLOAT = 0,
  MTYPE_POS3 = 1,
  MTYPE_DIR3 = 2,
  MTYPE_POS2 = 3,
  MTYPE_DIR2 = 4,
  MTYPE_POS2L = 5,
  MTYPE_DIR2L = 6,
  MTYPE_POS2UL = 7,  // no tag reads as these two
  MTYPE_DIR2UL = 8,
  MTYPE_QUA = 9,
  MTYPE_ROT3 = 10,
  MTYPE_PST3W = 11,
  MTYPE_PLR3 = 12,
  MTYPE_ANG3 = 13,
  MTYPE_REV3 = 14,
  MTYPE_SRT3 = 15,
  MTYPE_IRT3 = 16,
  MTYPE_VEC3W = 17,
  MTYPE_COL3 = 18,
  MTYPE_COL3A = 19,
  MTYPE_TXC1 = 20,
  MTYPE_TXC2 = 21,
  MTYPE_TXC2Q = 22,
  MTYPE_TXC3 = 23,
  MTYPE_TXC3Q = 24,
  MTYPE_MTX3W = 25,
  MTYPE_BOX2 = 26,
  MTYPE_BOX3 = 27,
  MTYPE_DIM2 = 28,
  MTYPE_DIM3 = 29,
  MTYPE_COL3AUB = 30,
  MTYPE_COL3UB = 31,
  MTYPE_COL1AUB = 32,
  MTYPE_COL1UB = 33,
  MTYPE_SURFACE = 34,
  MTYPE_LINE2D = 35,
  MTYPE_LINE3D = 36,
  MTYPE_PROJECTION = 37,
  MTYPE_MAX = 38,  // a tag the table does not hold
};

// The type of a tag (compared in at most 16 characters); MTYPE_MAX when
// the table has no such tag.
e_mtype_t get_mtype(const char* name);

// Up to 16 characters before "(", ")", TAB, CR, LF, "," or NUL (blanks
// dropped, the delimiter left in the stream); MTYPE_MAX when none or not a
// tag.
std::istream& operator>>(std::istream& is, e_mtype_t& type);
// The tag; "no type" or "range over" and a line end for values without one.
std::ostream& operator<<(std::ostream& os, e_mtype_t type);

// One value of any tagged type.
struct mtype_reader {
  e_mtype_t type = MTYPE_MAX;
  union value_t {
    float f;
    position3_t pos3;
    direction3_t dir3;
    position2_t pos2;
    direction2_t dir2;
    position2l_t pos2l;
    direction2l_t dir2l;
    position2ul_t pos2ul;
    direction2ul_t dir2ul;
    quaternion_t qua;
    rotation3_t rot3;
    posture3w_t pst3w;
    polarpos3_t plr3;
    angles3_t ang3;
    revolution3_t rev3;
    straight3_t srt3;
    inertial3_t irt3;
    vector3w_t vec3w;
    color3_t col3;
    color3a_t col3a;
    texcoord1_t txc1;
    texcoord2_t txc2;
    texcoord2q_t txc2q;
    texcoord3_t txc3;
    texcoord3q_t txc3q;
    matrix3w_t mtx3w;
    box2_t box2;
    box3_t box3;
    dim2_t dim2;
    dim3_t dim3;
    color3aub_t col3aub;
    color3ub_t col3ub;
    color1aub_t col1aub;
    color1ub_t col1ub;
    surface_t surface;
    line2d_t line2d;
    line3d_t line3d;
    projection_t projection;
    value_t() : line3d() {}
  } value;
};

// Reads a tag and the value of its type. An unknown tag skips to and past
// the next ")" and leaves the value alone.
std::istream& operator>>(std::istream& is, mtype_reader& v);
// The value in its own text form; "float(x)" for the lone float; nothing
// for MTYPE_MAX.
std::ostream& operator<<(std::ostream& os, const mtype_reader& v);

}  // namespace libgr

// Angle-and-axis rotations (rotation3_t, degrees) and their matrices.
// Needs no GL context. Inputs are not validated: a zero axis stays zero.
#pragma once

#include "image/geometry.h"

namespace libgr {

// The matrix glRotatef(angle, x, y, z) multiplies by.
matrix3w_t getRotateMatrix_from_OpenGL(float angle, const direction3_t& axis);
matrix3w_t getRotateMatrix(const rotation3_t& r);
// Angle (0 to 180) and unit axis of a rotation matrix, also at and near
// half a turn; a zero axis for no turn, Irot when an element is not finite.
rotation3_t getRotation3(const matrix3w_t& m);
// The rotation that turns unit direction a into unit direction b; Irot
// when they are parallel.
rotation3_t calcRotation3(const direction3_t& a, const direction3_t& b);

}  // namespace libgr

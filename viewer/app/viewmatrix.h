#pragma once
// The view operations on a view matrix, without GL: each replaces the view
// V by M x V (column vectors), so that a new turn, zoom or move acts in
// screen space after the existing view.

#include "image/geometry.h"

namespace plimlib {

// M x V.
libgr::matrix3w_t compose_view(const libgr::matrix3w_t& view, const libgr::matrix3w_t& m);

// Turn by degrees about the screen's z axis, counter-clockwise positive.
void view_rotate(libgr::matrix3w_t& view, float degrees);
// Uniform scale by 2 to the power.
void view_zoom(libgr::matrix3w_t& view, float power);
void view_scale(libgr::matrix3w_t& view, float factor);
void view_move(libgr::matrix3w_t& view, const libgr::direction3_t& d);

// The view's overall scale, the cube root of its determinant; false when
// the determinant is not positive and finite (no usable scale).
bool view_scale_of(const libgr::matrix3w_t& view, float& scale);
// Removes the overall scale (the translation shrinks with it). False, and
// the view unchanged, when the view has no usable scale.
bool view_clear_zoom(libgr::matrix3w_t& view);
// Undoes the view's turn about the screen centre; inverse is the rotation
// composed. False, and the view unchanged, when it has no usable scale.
bool view_clear_rotate(libgr::matrix3w_t& view, libgr::rotation3_t& inverse);
// Removes the translation.
void view_clear_move(libgr::matrix3w_t& view);

}  // namespace plimlib

namespace plimlib {

// The orthographic box of a framebuffer: one unit per pixel, the origin at
// the centre, each side cut to the largest viewport. When an image is shown
// and its width (height) differs in parity from the viewport's, the box
// moves by half a pixel so that the image's pixel edges fall on pixel
// edges of the framebuffer.
struct view_projection_t {
  unsigned long width, height;
  float offset_x, offset_y;
  float left, right, bottom, top;
};
view_projection_t view_projection(unsigned long width, unsigned long height, long max_width,
                                  long max_height, const libgr::direction2l_t* image);

}  // namespace plimlib

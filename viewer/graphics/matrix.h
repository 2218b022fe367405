// 4x4 matrix arithmetic on matrix3w_t (OpenGL column-major order). Needs no
// GL context.
#pragma once

#include "image/geometry.h"

namespace libgr {

// R rows by C columns of floats, stored row by row. The 4 by 4 one holds
// the 16 floats of a matrix3w_t in their array order (row i = m[4i..4i+3]),
// that is the transpose of the mathematical matrix; determinant and
// inverse commute with transposing, so the order does not matter to them.
template <unsigned R, unsigned C>
struct tmatrix_t {
  float a[R][C];
  float* operator[](unsigned r) { return a[r]; }
  const float* operator[](unsigned r) const { return a[r]; }
};

// The minor of t without the given row and column.
template <unsigned N>
tmatrix_t<N - 1, N - 1> shrink(const tmatrix_t<N, N>& t, unsigned row, unsigned column) {
  tmatrix_t<N - 1, N - 1> out;
  for (unsigned r = 0, rr = 0; r < N; ++r) {
    if (r == row) continue;
    for (unsigned c = 0, cc = 0; c < N; ++c) {
      if (c == column) continue;
      out[rr][cc++] = t[r][c];
    }
    ++rr;
  }
  return out;
}

inline float Determinant(const tmatrix_t<2, 2>& t) { return t[1][1] * t[0][0] - t[1][0] * t[0][1]; }

// Cofactor expansion along the last row.
template <unsigned N>
float Determinant(const tmatrix_t<N, N>& t) {
  float sum = 0;
  for (unsigned i = 0; i < N; ++i) {
    float sign = ((N - 1 + i) % 2) ? -1.0f : 1.0f;
    sum += t[N - 1][i] * sign * Determinant(shrink(t, N - 1, i));
  }
  return sum;
}

tmatrix_t<4, 4> to_tmatrix(const matrix3w_t& m);
matrix3w_t to_matrix3w(const tmatrix_t<4, 4>& t);

// t[i + 4j] = m[4i + j].
matrix3w_t Transpose(const matrix3w_t& m);
// M v for column vector v.
vector3w_t operator*(const vector3w_t& v, const matrix3w_t& m);
// The transpose of M times v.
vector3w_t operator*(const matrix3w_t& m, const vector3w_t& v);
// The product A B of the mathematical matrices.
matrix3w_t operator*(const matrix3w_t& a, const matrix3w_t& b);

float Determinant(const matrix3w_t& m);
// The adjugate over the determinant. A singular matrix is not caught: its
// elements come out infinite or not-a-number.
matrix3w_t Invert(const matrix3w_t& m);

// The identity with the translation p.
matrix3w_t getTranslateMatrix(const position3_t& p);
// diag(d.x, d.y, d.z, 1).
matrix3w_t getScaleMatrix(const direction3_t& d);

}  // namespace libgr

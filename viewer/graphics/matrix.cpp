#include "viewer/graphics/matrix.h"

namespace libgr {

tmatrix_t<4, 4> to_tmatrix(const matrix3w_t& m) {
  tmatrix_t<4, 4> t;
  for (unsigned i = 0; i < 4; ++i) {
    for (unsigned j = 0; j < 4; ++j) t[i][j] = m[4 * i + j];
  }
  return t;
}

matrix3w_t to_matrix3w(const tmatrix_t<4, 4>& t) {
  matrix3w_t m;
  for (unsigned i = 0; i < 4; ++i) {
    for (unsigned j = 0; j < 4; ++j) m[4 * i + j] = t[i][j];
  }
  return m;
}

matrix3w_t Transpose(const matrix3w_t& m) {
  matrix3w_t t;
  for (unsigned i = 0; i < 4; ++i) {
    for (unsigned j = 0; j < 4; ++j) t[i + 4 * j] = m[4 * i + j];
  }
  return t;
}

vector3w_t operator*(const vector3w_t& v, const matrix3w_t& m) {
  float r[4];
  for (unsigned k = 0; k < 4; ++k) {
    r[k] = v.x * m[k] + v.y * m[4 + k] + v.z * m[8 + k] + v.w * m[12 + k];
  }
  return vector3w_t(r[0], r[1], r[2], r[3]);
}

vector3w_t operator*(const matrix3w_t& m, const vector3w_t& v) {
  float r[4];
  for (unsigned k = 0; k < 4; ++k) {
    r[k] = v.x * m[4 * k] + v.y * m[4 * k + 1] + v.z * m[4 * k + 2] + v.w * m[4 * k + 3];
  }
  return vector3w_t(r[0], r[1], r[2], r[3]);
}

matrix3w_t operator*(const matrix3w_t& a, const matrix3w_t& b) {
  matrix3w_t p;
  for (unsigned r = 0; r < 4; ++r) {
    for (unsigned c = 0; c < 4; ++c) {
      float s = 0;
      for (unsigned k = 0; k < 4; ++k) s += a.at(r, k) * b.at(k, c);
      p.at(r, c) = s;
    }
  }
  return p;
}

float Determinant(const matrix3w_t& m) { return Determinant(to_tmatrix(m)); }

matrix3w_t Invert(const matrix3w_t& m) {
  tmatrix_t<4, 4> t = to_tmatrix(m);
  float inv = 1.0f / Determinant(t);
  tmatrix_t<4, 4> out;
  for (unsigned i = 0; i < 4; ++i) {
    for (unsigned j = 0; j < 4; ++j) {
      float sign = ((i + j) % 2) ? -1.0f : 1.0f;
      out[i][j] = sign * Determinant(shrink(t, j, i)) * inv;
    }
  }
  return to_matrix3w(out);
}

matrix3w_t getTranslateMatrix(const position3_t& p) {
  matrix3w_t m = Imtx;
  m[12] = p.x;
  m[13] = p.y;
  m[14] = p.z;
  return m;
}

matrix3w_t getScaleMatrix(const direction3_t& d) {
  matrix3w_t m;
  m[0] = d.x;
  m[5] = d.y;
  m[10] = d.z;
  m[15] = 1;
  return m;
}

}  // namespace libgr

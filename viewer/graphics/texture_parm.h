// Texture parameter records and their application to the bound texture.
// The records are plain values; grTexParameter needs a current GL context.
#pragma once

#include "image/geometry.h"

namespace libgr {

struct texparameter1d_t {
  unsigned int min_filter;
  unsigned int mag_filter;
  unsigned int wrap_s;
};

struct texparameter2d_t {
  unsigned int min_filter;
  unsigned int mag_filter;
  unsigned int wrap_s;
  unsigned int wrap_t;
  float max_anisotropy;
};

struct texparametercubemap_t {
  unsigned int min_filter;
  unsigned int mag_filter;
  float max_anisotropy;
};

struct texparameter3d_t {
  unsigned int min_filter;
  unsigned int mag_filter;
  unsigned int wrap_s;
  unsigned int wrap_t;
  unsigned int wrap_r;
  float max_anisotropy;
};

inline texparameter1d_t texparameter1d(unsigned int min, unsigned int mag, unsigned int wrap_s) {
  return texparameter1d_t{min, mag, wrap_s};
}
inline texparameter2d_t texparameter2d(unsigned int min, unsigned int mag, unsigned int wrap_s,
                                       unsigned int wrap_t, float anisotropy) {
  return texparameter2d_t{min, mag, wrap_s, wrap_t, anisotropy};
}
inline texparametercubemap_t texparametercubemap(unsigned int min, unsigned int mag,
                                                 float anisotropy) {
  return texparametercubemap_t{min, mag, anisotropy};
}
inline texparameter3d_t texparameter3d(unsigned int min, unsigned int mag, unsigned int wrap_s,
                                       unsigned int wrap_t, unsigned int wrap_r, float anisotropy) {
  return texparameter3d_t{min, mag, wrap_s, wrap_t, wrap_r, anisotropy};
}

// Each applies its record to the target of its kind (GL_TEXTURE_1D, _2D,
// _CUBE_MAP, _3D); the anisotropy only where the filter extension exists.
// A null record does nothing.
void grTexParameter(const texparameter1d_t* p);
void grTexParameter(const texparameter2d_t* p);
void grTexParameter(const texparametercubemap_t* p);
void grTexParameter(const texparameter3d_t* p);
// The border colour of target; nothing for a null colour.
void grTexParameter(unsigned int target, const color3a_t* color);

}  // namespace libgr

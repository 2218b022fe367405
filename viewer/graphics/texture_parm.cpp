#include "viewer/graphics/texture_parm.h"

#include "viewer/graphics/error.h"
#include "viewer/graphics/gl_api.h"

namespace libgr {

namespace {

constexpr GLenum kMaxAnisotropy = 0x84FE;  // GL_TEXTURE_MAX_ANISOTROPY_EXT

void filters(GLenum target, unsigned int min, unsigned int mag) {
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(min));
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(mag));
}

void anisotropy(GLenum target, float value) {
  if (is_GL_EXT_texture_filter_anisotropic_supported) {
    glTexParameterf(target, kMaxAnisotropy, value);
  }
}

}  // namespace

void grTexParameter(const texparameter1d_t* p) {
  if (!p) return;
  filters(GL_TEXTURE_1D, p->min_filter, p->mag_filter);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, static_cast<GLint>(p->wrap_s));
}

void grTexParameter(const texparameter2d_t* p) {
  if (!p) return;
  filters(GL_TEXTURE_2D, p->min_filter, p->mag_filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(p->wrap_s));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(p->wrap_t));
  anisotropy(GL_TEXTURE_2D, p->max_anisotropy);
}

void grTexParameter(const texparametercubemap_t* p) {
  if (!p) return;
  grPrintError("grTexParameter(cubemap) start");
  filters(GL_TEXTURE_CUBE_MAP, p->min_filter, p->mag_filter);
  anisotropy(GL_TEXTURE_CUBE_MAP, p->max_anisotropy);
  grPrintError("grTexParameter(cubemap) end");
}

void grTexParameter(const texparameter3d_t* p) {
  if (!p) return;
  filters(GL_TEXTURE_3D, p->min_filter, p->mag_filter);
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, static_cast<GLint>(p->wrap_s));
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, static_cast<GLint>(p->wrap_t));
  glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, static_cast<GLint>(p->wrap_r));
  anisotropy(GL_TEXTURE_3D, p->max_anisotropy);
}

void grTexParameter(unsigned int target, const color3a_t* color) {
  if (!color) return;
  glTexParameterfv(target, GL_TEXTURE_BORDER_COLOR, &color->r);
}

}  // namespace libgr

#include "viewer/graphics/bindvar.h"

#include "viewer/graphics/gl_api.h"

namespace libgr {

unsigned int grFormatToComponents(unsigned int format) {
  switch (format) {
    case GL_COLOR_INDEX:
    case GL_DEPTH_COMPONENT:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
    case GL_ALPHA:
    case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB:
    case GL_BGR: return 3;
    case GL_RGBA:
    case GL_BGRA: return 4;
    default:  // GL_STENCIL_INDEX among them
      return 0;
  }
}

unsigned int grTypeToSize(unsigned int type) {
  switch (type) {
    case GL_BYTE:
    case GL_UNSIGNED_BYTE:
    case GL_BITMAP: return 1;
    case GL_SHORT:
    case GL_UNSIGNED_SHORT: return 2;
    case GL_INT:
    case GL_UNSIGNED_INT:
    case GL_FLOAT: return 4;
    case GL_DOUBLE: return 8;
    default: return 0;
  }
}

unsigned int grSizeToType(unsigned int size) {
  switch (size) {
    case 1: return GL_UNSIGNED_BYTE;
    case 2: return GL_UNSIGNED_SHORT;
    case 4: return GL_FLOAT;
    case 8: return GL_DOUBLE;
    default: return 0;
  }
}

unsigned int grTextureDimToEnum(unsigned int dimension) {
  switch (dimension) {
    case 1: return GL_TEXTURE_1D;
    case 2: return GL_TEXTURE_2D;
    case 3: return GL_TEXTURE_3D;
    case 6: return GL_TEXTURE_CUBE_MAP;
    default: return GL_INVALID_VALUE;
  }
}

unsigned int grTextureEnumToDim(unsigned int target) {
  switch (target) {
    case GL_TEXTURE_1D: return 1;
    case GL_TEXTURE_2D: return 2;
    case GL_TEXTURE_3D: return 3;
    case GL_TEXTURE_CUBE_MAP: return 6;
    default: return 0;
  }
}

}  // namespace libgr

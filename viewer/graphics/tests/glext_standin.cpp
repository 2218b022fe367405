// TEMPORARY stand-in for the GL extension loader; see glext_standin.h.
#include "viewer/graphics/tests/glext_standin.h"

#include <GL/glx.h>

#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
int is_GL_VERSION_3_0_supported = 0;
int is_GL_SGIS_generate_mipmap_supported = 0;
int is_GL_ARB_texture_compression_supported = 0;
int is_GL_EXT_texture_filter_anisotropic_supported = 0;
int is_GL_EXT_texture3D_supported = 0;

PFNGLGENERATEMIPMAPPROC glGenerateMipmap = nullptr;
PFNGLCOMPRESSEDTEXIMAGE1DARBPROC glCompressedTexImage1DARB = nullptr;
PFNGLCOMPRESSEDTEXIMAGE2DARBPROC glCompressedTexImage2DARB = nullptr;
PFNGLCOMPRESSEDTEXIMAGE3DARBPROC glCompressedTexImage3DARB = nullptr;
PFNGLCOMPRESSEDTEXSUBIMAGE2DARBPROC glCompressedTexSubImage2DARB = nullptr;
PFNGLTEXIMAGE3DEXTPROC glTexImage3DEXT = nullptr;
PFNGLTEXSUBIMAGE3DEXTPROC glTexSubImage3DEXT = nullptr;
PFNGLBINDIMAGETEXTUREPROC glBindImageTexture = nullptr;
PFNGLGETTEXTUREIMAGEPROC glGetTextureImage = nullptr;
PFNGLGETTEXTURELEVELPARAMETERIVPROC glGetTextureLevelParameteriv = nullptr;
}

namespace {

template <class F>
void resolve(F& pointer, const char* name) {
  pointer = reinterpret_cast<F>(
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

bool has_extension(const char* name, int major) {
  if (major >= 3) {
    PFNGLGETSTRINGIPROC get_stringi = nullptr;
    resolve(get_stringi, "glGetStringi");
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; get_stringi && i < count; ++i) {
      const GLubyte* s = get_stringi(GL_EXTENSIONS, i);
      if (s && std::strcmp(reinterpret_cast<const char*>(s), name) == 0) {
        return true;
      }
    }
    return false;
  }
  const GLubyte* all = glGetString(GL_EXTENSIONS);
  if (!all) return false;
  std::string list = std::string(" ") + reinterpret_cast<const char*>(all) + " ";
  return list.find(std::string(" ") + name + " ") != std::string::npos;
}

}  // namespace

extern "C" void gl_extloader_init() {
  int major = 0, minor = 0;
  const GLubyte* version = glGetString(GL_VERSION);
  if (version) {
    std::sscanf(reinterpret_cast<const char*>(version), "%d.%d", &major, &minor);
  }
  int v = major * 10 + minor;
  if (v >= 30) {
    is_GL_VERSION_3_0_supported = 1;
    resolve(glGenerateMipmap, "glGenerateMipmap");
  }
  if (v >= 42) resolve(glBindImageTexture, "glBindImageTexture");
  if (v >= 45) {
    resolve(glGetTextureImage, "glGetTextureImage");
    resolve(glGetTextureLevelParameteriv, "glGetTextureLevelParameteriv");
  }
  if (has_extension("GL_SGIS_generate_mipmap", major)) {
    is_GL_SGIS_generate_mipmap_supported = 1;
  }
  if (has_extension("GL_EXT_texture_filter_anisotropic", major)) {
    is_GL_EXT_texture_filter_anisotropic_supported = 1;
  }
  if (has_extension("GL_ARB_texture_compression", major)) {
    is_GL_ARB_texture_compression_supported = 1;
    resolve(glCompressedTexImage1DARB, "glCompressedTexImage1DARB");
    resolve(glCompressedTexImage2DARB, "glCompressedTexImage2DARB");
    resolve(glCompressedTexImage3DARB, "glCompressedTexImage3DARB");
    resolve(glCompressedTexSubImage2DARB, "glCompressedTexSubImage2DARB");
  }
  if (has_extension("GL_EXT_texture3D", major)) {
    is_GL_EXT_texture3D_supported = 1;
    resolve(glTexImage3DEXT, "glTexImage3DEXT");
    resolve(glTexSubImage3DEXT, "glTexSubImage3DEXT");
  }
}

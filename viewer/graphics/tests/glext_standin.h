// TEMPORARY stand-in for the GL extension loader (viewer/glext), declaring
// only what the graphics library uses. Delete this pair once the loader is
// on main; gl_api.h and CMakeLists.txt then pick up the real one.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// Hidden, as the loader's own names: a library resolving glGenerateMipmap
// through the program's symbol table must find libGL's function, not this
// pointer.
#pragma GCC visibility push(hidden)
extern "C" {
extern int is_GL_VERSION_3_0_supported;
extern int is_GL_SGIS_generate_mipmap_supported;
extern int is_GL_ARB_texture_compression_supported;
extern int is_GL_EXT_texture_filter_anisotropic_supported;
extern int is_GL_EXT_texture3D_supported;

extern PFNGLGENERATEMIPMAPPROC glGenerateMipmap;
extern PFNGLCOMPRESSEDTEXIMAGE1DARBPROC glCompressedTexImage1DARB;
extern PFNGLCOMPRESSEDTEXIMAGE2DARBPROC glCompressedTexImage2DARB;
extern PFNGLCOMPRESSEDTEXIMAGE3DARBPROC glCompressedTexImage3DARB;
extern PFNGLCOMPRESSEDTEXSUBIMAGE2DARBPROC glCompressedTexSubImage2DARB;
extern PFNGLTEXIMAGE3DEXTPROC glTexImage3DEXT;
extern PFNGLTEXSUBIMAGE3DEXTPROC glTexSubImage3DEXT;
extern PFNGLBINDIMAGETEXTUREPROC glBindImageTexture;
extern PFNGLGETTEXTUREIMAGEPROC glGetTextureImage;
extern PFNGLGETTEXTURELEVELPARAMETERIVPROC glGetTextureLevelParameteriv;

// Sets the flags above from the current context and resolves the pointers
// of the names found.
void gl_extloader_init();
}
#pragma GCC visibility pop

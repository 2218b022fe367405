// The GL extension loader: which extensions and GL versions the current
// context offers (one int flag per name, is_<NAME>_supported), and the
// addresses of their entry points in pointers named as the entry points
// (glGenerateMipmap, glGenProgramsARB). gl_extloader_init fills them once,
// with the window's context current, before anything is drawn.
#ifndef VIEWER_GLEXT_GL_EXTLOADER_H
#define VIEWER_GLEXT_GL_EXTLOADER_H

// The pointers carry the entry points' own names, so prototypes of those
// names cannot be declared beside them.
#if defined(GL_GLEXT_PROTOTYPES) || defined(GLX_GLXEXT_PROTOTYPES)
#error \
    "gl_extloader.h declares the GL entry points as pointers: do not define GL_GLEXT_PROTOTYPES or GLX_GLXEXT_PROTOTYPES"
#endif

#include <GL/gl.h>
#include <GL/glext.h>

// The pointers share their names with functions that libGL exports
// (glGenerateMipmap). Were they in the program's dynamic symbol table, a
// library resolving such a name through the global scope would bind to the
// pointer and call a data word as code. libGL, libGLX and the Mesa driver
// call no entry point by its exported name and GLU calls only GL 1.x ones,
// which have no pointer here; hidden visibility keeps every name of the
// loader out of that table all the same, whatever the link options. The
// tests check that the lookup of a pointer's name still finds libGL's.
#pragma GCC visibility push(hidden)
extern "C" {

// What glXGetProcAddressARB returns.
typedef void (*gl_extloader_proc_t)(void);

// 1 when the current context offers the extension or reaches the GL version
// (names such as "GL_ARB_texture_compression", "GL_VERSION_3_0"), else 0.
int isExtensionSupported(const char* name);
// The address that glXGetProcAddressARB gives for an entry point, null included.
gl_extloader_proc_t __gl_GetProcAddress(const char* name);
// Tests every known name, sets the flags of those found and runs their loaders.
void gl_extloader_init(void);
// 1 once gl_extloader_init has finished.
extern int is_gl_extloader_inited;

// Every flag and loader, and the pointers of the GL entry points.
#include "viewer/glext/GL_extloader_decls.h"
}
#pragma GCC visibility pop

#endif

// The pointers of the GLX entry points need the X11 types, and the X11
// headers define macros (None, Bool, Status) that break other code: they are
// declared only where <GL/glx.h> was included before this header (including
// this header again after <GL/glx.h> adds them).
#if defined(GLX_H) && !defined(VIEWER_GLEXT_GL_EXTLOADER_GLX_DECLARED)
#define VIEWER_GLEXT_GL_EXTLOADER_GLX_DECLARED
#pragma GCC visibility push(hidden)
extern "C" {
#include "viewer/glext/GLX_extloader_decls.h"
}
#pragma GCC visibility pop
#endif

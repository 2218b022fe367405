// The one place the graphics library takes its GL declarations from: the
// GL and GLU headers, and the extension loader's flags and entry points.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#if __has_include("viewer/glext/gl_extloader.h")
#include "viewer/glext/gl_extloader.h"
#else
// TEMPORARY until the extension loader is on main.
#include "viewer/graphics/tests/glext_standin.h"
#endif

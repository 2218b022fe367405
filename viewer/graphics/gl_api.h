// The one place the graphics library takes its GL declarations from: the
// GL and GLU headers, and the extension loader's flags and entry points.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include "viewer/glext/gl_extloader.h"

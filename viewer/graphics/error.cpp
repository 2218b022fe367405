#include "viewer/graphics/error.h"

#include <iostream>

#include "utility/futil.h"
#include "viewer/graphics/gl_api.h"

namespace libgr {

int grPrintError(const char* where) { return grPrintErrorCode(where) != GL_NO_ERROR ? 1 : 0; }

unsigned int grPrintErrorCode(const char* where) {
  GLenum e = glGetError();
  if (e == GL_NO_ERROR) return GL_NO_ERROR;
  if (where) std::cerr << where << ": ";
  std::cerr << "Error " << e << ": ";
  const GLubyte* text = gluErrorString(e);
  if (text) std::cerr << reinterpret_cast<const char*>(text);
  libutils::error();
  std::cerr << std::endl;
  return e;
}

}  // namespace libgr

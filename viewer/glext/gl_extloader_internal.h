// The loader's tables and the GL calls of its query, shared with the tests.
#ifndef VIEWER_GLEXT_GL_EXTLOADER_INTERNAL_H
#define VIEWER_GLEXT_GL_EXTLOADER_INTERNAL_H

#include "viewer/glext/gl_extloader.h"

#include <cstddef>

#pragma GCC visibility push(hidden)
extern "C" {

// A GL version name and the version number that reaches it ("1.2.0").
struct addexts_t {
  const char* name;
  const char* version;
};
// GL_VERSION_1_2 to GL_VERSION_4_6, then a row whose name is null.
extern const addexts_t addexts[18];

// The version names the context reaches, highest first; built by the first
// query that has a context, then kept until the process ends.
struct extension_node_t {
  extension_node_t* next;
  const char* name;  // shared with addexts
};
extern extension_node_t* extension_linkedlist;

// The GL calls of the query, replaceable so that tests answer them without
// a context. They start as glGetString, glGetIntegerv and init_GL_VERSION_3_0;
// the indexed search calls through the glGetStringi pointer that the last
// of them stores.
struct gl_extloader_calls_t {
  const GLubyte* (*get_string)(GLenum name);
  void (*get_integerv)(GLenum pname, GLint* data);
  void (*load_version_3_0)(void);
};
extern gl_extloader_calls_t gl_extloader_calls;

// Whether the version string reaches the version number of a table row.
int gl_extloader_version_reaches(const char* version, const char* row);

// Every known name with its flag and loader, in the order they are tested.
struct gl_extloader_entry_t {
  const char* name;
  int* flag;
  void (*init)(void);
};
extern const gl_extloader_entry_t gl_extloader_entries[];
extern const std::size_t gl_extloader_entry_count;
}
#pragma GCC visibility pop

#endif

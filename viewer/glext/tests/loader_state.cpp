// Kept apart from the tests: the GLX pointers need the X11 headers, whose
// macros break GoogleTest's.
#include <GL/glx.h>

#include "viewer/glext/tests/loader_state.h"

#include <cstdlib>
#include <cstring>

namespace glexttest {

const pointer_entry_t pointer_entries[] = {
#include "viewer/glext/GL_extloader_pointers.inc"
};
const std::size_t pointer_entry_count = sizeof(pointer_entries) / sizeof(pointer_entries[0]);

gl_extloader_proc_t pointer_value(const pointer_entry_t& entry) {
  gl_extloader_proc_t value;
  std::memcpy(&value, entry.address, sizeof value);
  return value;
}

int* flag_of(const std::string& name) {
  for (std::size_t i = 0; i < gl_extloader_entry_count; ++i) {
    if (name == gl_extloader_entries[i].name) return gl_extloader_entries[i].flag;
  }
  return nullptr;
}

void reset_loader() {
  for (std::size_t i = 0; i < gl_extloader_entry_count; ++i) *gl_extloader_entries[i].flag = 0;
  for (const pointer_entry_t& entry : pointer_entries) {
    std::memset(const_cast<void*>(entry.address), 0, sizeof(gl_extloader_proc_t));
  }
  while (extension_linkedlist != nullptr) {
    extension_node_t* next = extension_linkedlist->next;
    std::free(extension_linkedlist);
    extension_linkedlist = next;
  }
  is_gl_extloader_inited = 0;
  gl_extloader_calls = {glGetString, glGetIntegerv, init_GL_VERSION_3_0};
}

}  // namespace glexttest

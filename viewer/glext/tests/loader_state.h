#pragma once
// Puts the loader back to its state at process start, so that each test sees
// fresh flags, pointers and version list; and the table of every pointer.

#include "viewer/glext/gl_extloader_internal.h"

#include <cstddef>
#include <string>

namespace glexttest {

struct pointer_entry_t {
  const char* owner;
  const char* name;
  const void* address;  // of the pointer variable
};
extern const pointer_entry_t pointer_entries[];
extern const std::size_t pointer_entry_count;

gl_extloader_proc_t pointer_value(const pointer_entry_t& entry);
int* flag_of(const std::string& name);
void reset_loader();

}  // namespace glexttest

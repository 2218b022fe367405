// The extension and version query, the entry-point look-up and the table of
// GL versions.
#include <GL/glx.h>

#include "viewer/glext/gl_extloader_internal.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* gl_string(GLenum name) {
  return reinterpret_cast<const char*>(gl_extloader_calls.get_string(name));
}

// Builds the version list once, from the first query that has a version.
void set_up_version_list(const char* version) {
  if (extension_linkedlist != nullptr || version == nullptr) {
    return;
  }
  for (const addexts_t* row = addexts; row->name != nullptr; ++row) {
    if (!gl_extloader_version_reaches(version, row->version)) {
      continue;
    }
    auto* node = static_cast<extension_node_t*>(std::malloc(sizeof(extension_node_t)));
    if (node == nullptr) {
      return;  // out of memory: versions reached so far stay listed
    }
    node->next = extension_linkedlist;
    node->name = row->name;
    extension_linkedlist = node;
  }
}

// The name as a whole blank-separated word of the extension string.
bool string_search(const char* name) {
  const char* extensions = gl_string(GL_EXTENSIONS);
  if (extensions == nullptr) {
    return false;
  }
  const std::size_t length = std::strlen(name);
  for (const char* start = extensions;;) {
    const char* where = std::strstr(start, name);
    if (where == nullptr) {
      return false;
    }
    const char* behind = where + length;
    if ((where == extensions || where[-1] == ' ') && (*behind == ' ' || *behind == '\0')) {
      return true;
    }
    start = behind;
  }
}

// The name as a whole entry of the indexed extension list of GL 3.0.
bool indexed_search(const char* name) {
  gl_extloader_calls.load_version_3_0();
  GLint count = 0;  // stays 0 when the query fails
  gl_extloader_calls.get_integerv(GL_NUM_EXTENSIONS, &count);
  if (glGetStringi == nullptr) {
    return false;
  }
  for (GLint index = 0; index < count; ++index) {
    const char* entry =
        reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(index)));
    if (entry != nullptr && std::strcmp(entry, name) == 0) {
      return true;
    }
  }
  return false;
}

bool in_version_list(const char* name) {
  for (const extension_node_t* node = extension_linkedlist; node != nullptr; node = node->next) {
    if (std::strcmp(node->name, name) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" {

const addexts_t addexts[18] = {
    {"GL_VERSION_1_2", "1.2.0"}, {"GL_VERSION_1_3", "1.3.0"}, {"GL_VERSION_1_4", "1.4.0"},
    {"GL_VERSION_1_5", "1.5.0"}, {"GL_VERSION_2_0", "2.0.0"}, {"GL_VERSION_2_1", "2.1.0"},
    {"GL_VERSION_3_0", "3.0.0"}, {"GL_VERSION_3_1", "3.1.0"}, {"GL_VERSION_3_2", "3.2.0"},
    {"GL_VERSION_3_3", "3.3.0"}, {"GL_VERSION_4_0", "4.0.0"}, {"GL_VERSION_4_1", "4.1.0"},
    {"GL_VERSION_4_2", "4.2.0"}, {"GL_VERSION_4_3", "4.3.0"}, {"GL_VERSION_4_4", "4.4.0"},
    {"GL_VERSION_4_5", "4.5.0"}, {"GL_VERSION_4_6", "4.6.0"}, {nullptr, nullptr},
};

extension_node_t* extension_linkedlist = nullptr;

gl_extloader_calls_t gl_extloader_calls = {glGetString, glGetIntegerv, init_GL_VERSION_3_0};

// Both strings are runs of decimal numbers, each followed by one separator
// of any kind; numbers compare in turn. Text after the numbers reads as 0
// and never lowers the version, but "4.6" stops short of "4.6.0".
int gl_extloader_version_reaches(const char* version, const char* row) {
  for (;;) {
    if (*row == '\0') {
      return 1;
    }
    char* version_end = nullptr;
    char* row_end = nullptr;
    const unsigned long have = std::strtoul(version, &version_end, 10);
    const unsigned long want = std::strtoul(row, &row_end, 10);
    if (have != want) {
      return have > want ? 1 : 0;
    }
    if (*version_end == '\0') {
      return *row_end == '\0' ? 1 : 0;
    }
    if (*row_end == '\0') {
      return 1;
    }
    version = version_end + 1;
    row = row_end + 1;
    if (*version == '\0') {
      return *row == '\0' ? 1 : 0;
    }
  }
}

int isExtensionSupported(const char* name) {
  const char* version = gl_string(GL_VERSION);
  set_up_version_list(version);
  if (name == nullptr || *name == '\0' || std::strchr(name, ' ') != nullptr) {
    return 0;
  }
  // Without a version string there is no context to search: only the
  // version list of an earlier context can answer.
  if (version != nullptr) {
    const bool found = std::strcmp(version, "3.0") < 0 ? string_search(name) : indexed_search(name);
    if (found) {
      return 1;
    }
  }
  return in_version_list(name) ? 1 : 0;
}

gl_extloader_proc_t __gl_GetProcAddress(const char* name) {
  return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}
}

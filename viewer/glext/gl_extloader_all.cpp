// The start-up initialisation: every known name put to the query in turn.
#include "viewer/glext/gl_extloader_internal.h"

extern "C" {

const gl_extloader_entry_t gl_extloader_entries[] = {
#include "viewer/glext/GL_extloader_table.inc"
};
const std::size_t gl_extloader_entry_count =
    sizeof(gl_extloader_entries) / sizeof(gl_extloader_entries[0]);

int is_gl_extloader_inited = 0;

void gl_extloader_init(void) {
  for (const gl_extloader_entry_t& entry : gl_extloader_entries) {
    // Never tested: the viewer calls their entry points straight from libGL.
    if (entry.flag == &is_GL_ARB_imaging_supported ||
        entry.flag == &is_GL_ARB_multitexture_supported) {
      continue;
    }
    if (isExtensionSupported(entry.name)) {
      *entry.flag = 1;
      entry.init();
    }
  }
  is_gl_extloader_inited = 1;
}
}

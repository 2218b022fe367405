// Linked into every program of the sanitizer build, never into a release.
//
// A shared object unloaded before the leak check at exit takes its globals
// with it: whatever heap it still held then looks lost, and the report's
// frames inside it have no module for a reader or a suppression to name.
// GL drivers do exactly this under glfwTerminate. Keeping every object
// mapped until the process ends lets the leak check see what they hold.
//
// The program defines dlclose itself; the dynamic linker binds every
// library's calls to this one (the link exports it) ahead of the C
// library's and the sanitizer runtime's.

extern "C" int dlclose(void*) { return 0; }

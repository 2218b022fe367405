// Loads, calls and unloads a library from inside a library, as a window
// toolkit does with its GL driver: the unloading call is bound at run time.
#include <dlfcn.h>

#include <cstdio>

extern "C" int kept_block_load_call_unload(const char* path) {
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 2;
  }
  auto init = reinterpret_cast<int (*)()>(dlsym(handle, "kept_block_init"));
  if (init == nullptr || init() != 0) return 2;
  return dlclose(handle) == 0 ? 0 : 2;
}

// unload_probe library PATH: has a library load PATH, call its
//                            kept_block_init and unload it; ends with 0.
// unload_probe leak:         drops a block of its own and ends.
// The leak check at exit decides the status of both.
#include <cstdio>
#include <cstring>

extern "C" int kept_block_load_call_unload(const char* path);

namespace {

void* volatile sink;

__attribute__((noinline)) void leak_on_purpose() {
  sink = new char[64];
  sink = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "library") == 0)
    return kept_block_load_call_unload(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "leak") == 0) {
    leak_on_purpose();
    return 0;
  }
  std::fprintf(stderr, "usage: %s library PATH | leak\n", argv[0]);
  return 2;
}

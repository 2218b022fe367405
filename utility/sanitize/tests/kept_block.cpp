// A library that does what some GL drivers do: a once-only initialisation
// allocates a block and keeps it only in a global of the library.
#include <pthread.h>

#include <cstdlib>

extern "C" {

void* kept_block = nullptr;

static pthread_once_t kept_once = PTHREAD_ONCE_INIT;

static void make_block() { kept_block = std::malloc(128); }

int kept_block_init() {
  pthread_once(&kept_once, make_block);
  return kept_block != nullptr ? 0 : 1;
}
}

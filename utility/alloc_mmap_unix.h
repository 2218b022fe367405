// Allocator policies for the reference-counted vectors: memory mapped from a
// file (or anonymous memory), and plain heap memory. An allocator object is
// the per-block state kept inside the shared block of a vector.
#pragma once

#include <cstddef>
#include <cstdint>

namespace libutils {

// Opaque platform handle passed through the loaders; always null here.
struct android_app;

// Protection of a block. Any other value makes allocate() fail.
enum e_prot_t {
  E_PROT_READ = 0,       // read-only
  E_PROT_READWRITE = 1,  // readable and writable
};

class alloc_mmap_unix {
 public:
  // Anonymous mappings come zero-filled from the system.
  static constexpr bool zero_fills = true;

  // size is in and out, in bytes: 0 in with a path maps the file from offset
  // to its end and comes back as that length (read-only blocks of under a
  // megabyte are read into the heap instead, never written back). Without a path the result is
  // anonymous, private, read-write, zero-filled memory (small blocks from
  // the heap, large ones mapped). Returns null on failure. A length of 0
  // succeeds with a non-null pointer that must not be dereferenced.
  void* allocate(size_t& size, const char* path, e_prot_t prot, unsigned long long offset,
                 android_app* app);
  // A new region of size bytes with the recorded protection, flags and
  // descriptor; the old region is released only on success.
  void* reallocate(void* data, size_t size, unsigned long long offset);
  void deallocate(void* data);

  bool writable() const;

 private:
  int m_fd = -1;          // -1 for anonymous memory
  uint64_t m_length = 0;  // mapped length in bytes
  int m_mode = 0;         // open mode
  int m_prot = 0;         // mapping protection
  int m_flags = 0;        // mapping flags
  bool m_heap = false;    // a small anonymous block taken from the heap
};

class alloc_new {
 public:
  static constexpr bool zero_fills = false;

  // With a path the file is read from its beginning (size 0: its whole
  // length); prot and offset are not used. Without a path the bytes are
  // not initialised. Returns null on failure.
  void* allocate(size_t& size, const char* path, e_prot_t prot, unsigned long long offset,
                 android_app* app);
  void* reallocate(void* data, size_t size, unsigned long long offset);
  void deallocate(void* data);

  bool writable() const { return true; }

 private:
  uint64_t m_length = 0;
};

}  // namespace libutils

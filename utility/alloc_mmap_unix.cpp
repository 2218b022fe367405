#include "utility/alloc_mmap_unix.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "utility/futil.h"

namespace libutils {

namespace {

// What a block of 0 bytes points at: not null (null means failure), never
// mapped, never freed.
char g_empty_block;

bool valid_prot(e_prot_t prot) { return prot == E_PROT_READ || prot == E_PROT_READWRITE; }

// Anonymous blocks below this size come from the heap, whose freed memory
// is reused without new page faults (thumbnails, marker copies, rows of
// small images); larger ones are fresh mappings on huge pages, so that a
// photo's store takes a few dozen page faults instead of thousands.
const size_t kLargeBlock = size_t{2} << 20;

// Read-only files below this size are read into the heap rather than
// mapped: unmapping makes every other thread's processor drop its address
// translations, which costs more than copying a level or a thumbnail file.
const size_t kSmallFile = size_t{1} << 20;

void* map_region(size_t size, int prot, int flags, int fd, unsigned long long offset) {
  if (size == 0) return &g_empty_block;
  void* p = mmap(nullptr, size, prot, flags, fd, static_cast<off_t>(offset));
  if (p == MAP_FAILED) return nullptr;
  if (fd < 0 && size >= kLargeBlock) madvise(p, size, MADV_HUGEPAGE);
  return p;
}

// Zero-filled read-write memory; heap tells where it came from.
void* anonymous_region(size_t size, bool& heap) {
  heap = size != 0 && size < kLargeBlock;
  if (heap) return std::calloc(size, 1);
  return map_region(size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
}

// size bytes of fd from offset on, in heap memory; null with errno set when
// the file ends before (it was cut since it was measured). fd is freshly
// opened, at the file's start.
void* read_region(int fd, size_t size, unsigned long long offset) {
  if (offset != 0 && lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) return nullptr;
  unsigned char* p = static_cast<unsigned char*>(std::malloc(size));
  if (!p) return nullptr;
  size_t got = 0;
  const bool read = read_all(fd, p, size, got);
  if (!read || got < size) {
    const int saved = read ? EIO : errno;
    std::free(p);
    errno = saved;
    return nullptr;
  }
  return p;
}

void release_region(void* data, uint64_t length, bool heap) {
  if (heap) {
    std::free(data);
  } else if (length != 0 && data != &g_empty_block) {
    munmap(data, length);
  }
}

}  // namespace

void* alloc_mmap_unix::allocate(size_t& size, const char* path, e_prot_t prot,
                                unsigned long long offset, android_app*) {
  if (!valid_prot(prot)) return nullptr;
  if (!path) {
    m_fd = -1;
    m_mode = 0;
    m_prot = PROT_READ | PROT_WRITE;
    m_flags = MAP_PRIVATE | MAP_ANONYMOUS;
    void* p = anonymous_region(size, m_heap);
    if (p) m_length = size;
    return p;
  }
  int mode = prot == E_PROT_READ ? O_RDONLY : O_RDWR;
  // Only a regular file is mapped: opening a FIFO or a device named like a
  // photo would wait for good (errno tells the caller why).
  int fd = mode == O_RDONLY ? open_regular(path) : open(path, mode | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  const bool stated = fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode)) {
    const int saved = stated ? ENXIO : errno;
    close(fd);
    errno = saved;
    return nullptr;
  }
  if (size == 0) {
    // The part of the file from offset on; mapping past the end would fault
    // on the first read.
    unsigned long long length = static_cast<unsigned long long>(st.st_size);
    size = offset < length ? static_cast<size_t>(length - offset) : 0;
  }
  int mprot = prot == E_PROT_READ ? PROT_READ : PROT_READ | PROT_WRITE;
  const bool heap = prot == E_PROT_READ && size != 0 && size < kSmallFile;
  void* p = heap ? read_region(fd, size, offset) : map_region(size, mprot, MAP_SHARED, fd, offset);
  if (!p) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return nullptr;
  }
  m_fd = fd;
  m_heap = heap;
  m_mode = mode;
  m_prot = mprot;
  m_flags = MAP_SHARED;
  m_length = size;
  return p;
}

void* alloc_mmap_unix::reallocate(void* data, size_t size, unsigned long long offset) {
  bool heap = false;
  void* p =
      m_fd < 0 ? anonymous_region(size, heap) : map_region(size, m_prot, m_flags, m_fd, offset);
  if (!p) return nullptr;
  // A read-only file mapping already shows the file's bytes; copying into
  // it would fault.
  if (size != 0 && m_length != 0 && (m_prot & PROT_WRITE)) {
    std::memcpy(p, data, std::min<uint64_t>(m_length, size));
  }
  release_region(data, m_length, m_heap);
  m_heap = heap;
  m_length = size;
  return p;
}

void alloc_mmap_unix::deallocate(void* data) {
  release_region(data, m_length, m_heap);
  m_heap = false;
  m_length = 0;
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

bool alloc_mmap_unix::writable() const { return (m_prot & PROT_WRITE) != 0; }

void* alloc_new::allocate(size_t& size, const char* path, e_prot_t, unsigned long long,
                          android_app*) {
  int fd = -1;
  if (path) {
    fd = open_regular(path);
    if (fd < 0) return nullptr;
    struct stat st;
    if (size == 0) size = fstat(fd, &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
  }
  char* p = new (std::nothrow) char[size ? size : 1];
  if (!p) {
    if (fd >= 0) close(fd);
    return nullptr;
  }
  if (path) {
    FILE* f = fdopen(fd, "rb");
    bool ok = f && std::fread(p, 1, size, f) == size;
    if (f) {
      std::fclose(f);
    } else {
      close(fd);
    }
    if (!ok) {
      delete[] p;
      return nullptr;
    }
  }
  m_length = size;
  return p;
}

void* alloc_new::reallocate(void* data, size_t size, unsigned long long) {
  char* p = new (std::nothrow) char[size ? size : 1];
  if (!p) return nullptr;
  std::memcpy(p, data, std::min<uint64_t>(m_length, size));
  m_length = size;
  delete[] static_cast<char*>(data);
  return p;
}

void alloc_new::deallocate(void* data) {
  delete[] static_cast<char*>(data);
  m_length = 0;
}

}  // namespace libutils

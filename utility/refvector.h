// Reference-counted vectors over an allocator policy. A copy shares the
// block (no copy-on-write: a write through one handle is seen through all of
// them) and the last holder releases it. ofsvector adds a window so that
// marker payloads, TIFF blocks and sub-images are cut out of a file's bytes
// without copying them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "utility/alloc_mmap_unix.h"

namespace libutils {

// value rounded up to the next multiple of alignment, computed in T (so the
// unsigned short instance wraps modulo 65536). Alignment 0 leaves value.
template <class T>
constexpr T UpAlign(T value, unsigned long alignment) {
  if (alignment == 0) return value;
  T rest = static_cast<T>(value % alignment);
  if (rest == 0) return value;
  return static_cast<T>(value + static_cast<T>(alignment - rest));
}

namespace detail {

// The heap record every handle of one block points at. Sizes are kept in
// bytes so that vectors of different element types can window one block.
template <class Alloc>
struct shared_block_t {
  long long count;
  unsigned long long bytes;
  Alloc alloc;
  void* data;
};

// n elements of size each in bytes, false when that does not fit a size_t.
inline bool element_bytes(size_t n, size_t each, size_t& bytes) {
  if (each != 0 && n > SIZE_MAX / each) return false;
  bytes = n * each;
  return true;
}

}  // namespace detail

template <class T, class Alloc>
class ofsvector;

template <class T, class Alloc>
class refvector2 {
  static_assert(std::is_trivially_copyable<T>::value, "refvector2 holds raw bytes");

 public:
  typedef T value_type;
  typedef T* iterator;
  typedef const T* const_iterator;

  refvector2() = default;
  refvector2(const refvector2& other) : m_block(other.m_block) { retain(); }
  refvector2(refvector2&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
  refvector2& operator=(const refvector2& other) {
    share(other.m_block);
    return *this;
  }
  refvector2& operator=(refvector2&& other) noexcept {
    if (this != &other) {
      release();
      m_block = other.m_block;
      other.m_block = nullptr;
    }
    return *this;
  }

  virtual bool empty() const { return size() == 0; }
  virtual size_t size() const { return m_block ? m_block->bytes / sizeof(T) : 0; }
  virtual T* begin() { return data(); }
  virtual T* end() { return data() ? data() + size() : nullptr; }
  virtual const T* begin() const { return data(); }
  virtual const T* end() const { return data() ? data() + size() : nullptr; }
  virtual T& operator[](size_t i) { return data()[i]; }
  virtual const T& operator[](size_t i) const { return data()[i]; }
  virtual T* operator->() { return data(); }
  virtual const T* operator->() const { return data(); }

  // A new block of size elements filled by the allocator (a file mapping
  // from offset, the whole file when size is 0, anonymous memory when path
  // is null). Unless keep is set the current block is dropped first, so a
  // failure leaves the vector empty. With keep the start of the old block is
  // copied into a writable new one.
  virtual bool load(size_t size, const char* path, e_prot_t prot, unsigned long long offset = 0,
                    bool keep = false, android_app* app = nullptr) {
    if (!keep) release();
    size_t bytes;
    if (!detail::element_bytes(size, sizeof(T), bytes)) return false;
    block_t* fresh = make_block(bytes, path, prot, offset, app);
    if (!fresh) return false;
    if (keep && m_block) {
      if (fresh->alloc.writable()) {
        size_t n = std::min<unsigned long long>(m_block->bytes, fresh->bytes);
        if (n) std::memcpy(fresh->data, m_block->data, n);
      }
      release();
    }
    m_block = fresh;
    return true;
  }

  // With a block: its size changes in place for every sharer. Without one:
  // a new anonymous read-write block. False leaves the vector as it was.
  virtual bool resize(size_t size, unsigned long long offset = 0) {
    size_t bytes;
    if (!detail::element_bytes(size, sizeof(T), bytes)) return false;
    if (!m_block) {
      m_block = make_anonymous(bytes);
      return m_block != nullptr;
    }
    void* p = m_block->alloc.reallocate(m_block->data, bytes, offset);
    if (!p) return false;
    m_block->data = p;
    m_block->bytes = bytes;
    return true;
  }

  virtual void clear() { release(); }

  virtual ~refvector2() { release(); }

  // How many handles share the block; 0 when there is none.
  long long use_count() const { return m_block ? m_block->count : 0; }

 protected:
  typedef detail::shared_block_t<Alloc> block_t;

  T* data() const { return m_block ? static_cast<T*>(m_block->data) : nullptr; }

  void retain() {
    if (m_block) ++m_block->count;
  }
  void release() {
    if (m_block && --m_block->count == 0) {
      m_block->alloc.deallocate(m_block->data);
      delete m_block;
    }
    m_block = nullptr;
  }
  void share(block_t* other) {
    if (other == m_block) return;
    if (other) ++other->count;
    release();
    m_block = other;
  }

  static block_t* make_block(size_t bytes, const char* path, e_prot_t prot,
                             unsigned long long offset, android_app* app) {
    block_t* b = new (std::nothrow) block_t{1, 0, Alloc(), nullptr};
    if (!b) return nullptr;
    b->data = b->alloc.allocate(bytes, path, prot, offset, app);
    if (!b->data) {
      delete b;
      return nullptr;
    }
    b->bytes = bytes;
    return b;
  }
  // Zero-filled read-write memory, whatever the allocator gives.
  static block_t* make_anonymous(size_t bytes) {
    block_t* b = make_block(bytes, nullptr, E_PROT_READWRITE, 0, nullptr);
    if (b && !Alloc::zero_fills && bytes) std::memset(b->data, 0, bytes);
    return b;
  }

  block_t* m_block = nullptr;

  template <class, class>
  friend class refvector2;
  template <class, class>
  friend class ofsvector;
};

// A window {offset in bytes, length in elements} on a shared block. Every
// access goes through the window.
template <class T, class Alloc>
class ofsvector : public refvector2<T, Alloc> {
  typedef refvector2<T, Alloc> base_t;
  using typename base_t::block_t;

 public:
  // The window length that means "to the end of the block".
  static constexpr unsigned long long whole = ~0ull;

  ofsvector() = default;
  ofsvector(const ofsvector& other)
      : base_t(other), m_offset(other.m_offset), m_length(other.m_length) {}
  ofsvector(ofsvector&& other) noexcept
      : base_t(std::move(other)), m_offset(other.m_offset), m_length(other.m_length) {
    other.reset_window();
  }
  ofsvector& operator=(const ofsvector& other) {
    this->share(other.m_block);
    m_offset = other.m_offset;
    m_length = other.m_length;
    return *this;
  }
  ofsvector& operator=(ofsvector&& other) noexcept {
    if (this != &other) {
      base_t::operator=(std::move(other));
      m_offset = other.m_offset;
      m_length = other.m_length;
      other.reset_window();
    }
    return *this;
  }

  // A window of 0 elements at the block's end has size 0 but is not empty.
  bool empty() const override {
    return !this->m_block || this->m_block->bytes == 0 || m_length == 0;
  }
  size_t size() const override {
    if (!this->m_block || m_offset >= this->m_block->bytes) return 0;
    unsigned long long whole_elements = (this->m_block->bytes - m_offset) / sizeof(T);
    return static_cast<size_t>(std::min(m_length, whole_elements));
  }
  T* begin() override { return window(); }
  T* end() override { return window() ? window() + size() : nullptr; }
  const T* begin() const override { return window(); }
  const T* end() const override { return window() ? window() + size() : nullptr; }
  T& operator[](size_t i) override { return window()[i]; }
  const T& operator[](size_t i) const override { return window()[i]; }
  T* operator->() override { return window(); }
  const T* operator->() const override { return window(); }

  bool load(size_t size, const char* path, e_prot_t prot, unsigned long long offset = 0,
            bool keep = false, android_app* app = nullptr) override {
    bool ok = base_t::load(size, path, prot, offset, keep, app);
    reset_window();
    return ok;
  }

  // Gives this vector a private zero-filled block of size elements holding
  // the start of its window; other sharers keep the old block.
  bool resize(size_t size, unsigned long long offset = 0) override {
    if (!this->m_block) {
      bool ok = base_t::resize(size, offset);
      reset_window();
      return ok;
    }
    size_t bytes;
    if (!detail::element_bytes(size, sizeof(T), bytes)) return false;
    block_t* fresh = base_t::make_anonymous(bytes);
    if (!fresh) return false;
    size_t keep = std::min(size, this->size()) * sizeof(T);
    if (keep) std::memcpy(fresh->data, window(), keep);
    this->release();
    this->m_block = fresh;
    reset_window();
    return true;
  }

  void clear() override {
    base_t::clear();
    reset_window();
  }

  // This vector shares source's block; its window starts offset bytes into
  // source's window (at most at that window's end) and holds up to length
  // elements of T (clamped to the block when read).
  template <class U>
  void setwindow(const ofsvector<U, Alloc>& source, size_t offset, size_t length) {
    unsigned long long start = source.m_offset;
    unsigned long long span = static_cast<unsigned long long>(source.size()) * sizeof(U);
    set_from(source.m_block, start + std::min<unsigned long long>(offset, span), length);
  }
  // The same over a plain vector: its window is the whole block.
  template <class U>
  void setwindow(const refvector2<U, Alloc>& source, size_t offset, size_t length) {
    unsigned long long span = source.m_block ? source.m_block->bytes : 0;
    set_from(source.m_block, std::min<unsigned long long>(offset, span), length);
  }

  unsigned long long offset() const { return m_offset; }
  unsigned long long length() const { return m_length; }

 private:
  T* window() const {
    if (!this->m_block) return nullptr;
    return reinterpret_cast<T*>(static_cast<unsigned char*>(this->m_block->data) + m_offset);
  }
  void reset_window() {
    m_offset = 0;
    m_length = whole;
  }
  void set_from(block_t* block, unsigned long long offset, unsigned long long length) {
    this->share(block);
    m_offset = block ? offset : 0;
    m_length = length;
  }

  unsigned long long m_offset = 0;      // bytes from the block's start
  unsigned long long m_length = whole;  // elements

  template <class, class>
  friend class ofsvector;
};

// A vector whose block is one allocation: a header {count, element count,
// allocator state} followed by the elements. Used for palette channels.
template <class T, class Alloc>
class refvector {
  static_assert(std::is_trivially_copyable<T>::value, "refvector holds raw elements");

  struct header_t {
    long long count;
    unsigned long long n;
    Alloc alloc;
  };
  static constexpr size_t data_offset = UpAlign<size_t>(sizeof(header_t), alignof(T));

 public:
  typedef T value_type;
  typedef T* iterator;
  typedef const T* const_iterator;

  refvector() = default;
  refvector(const refvector& other) : m_block(other.m_block) {
    if (m_block) ++m_block->count;
  }
  refvector(refvector&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }
  refvector& operator=(refvector&& other) noexcept {
    if (this != &other) {
      release();
      m_block = other.m_block;
      other.m_block = nullptr;
    }
    return *this;
  }

  virtual bool empty() const { return size() == 0; }
  virtual size_t size() const { return m_block ? m_block->n : 0; }
  virtual T* begin() { return data(); }
  virtual T* end() { return data() ? data() + size() : nullptr; }
  virtual const T* begin() const { return data(); }
  virtual const T* end() const { return data() ? data() + size() : nullptr; }
  virtual T& operator[](size_t i) { return data()[i]; }
  virtual const T& operator[](size_t i) const { return data()[i]; }
  virtual T* operator->() { return data(); }
  virtual const T* operator->() const { return data(); }

  virtual refvector& operator=(const refvector& other) {
    if (other.m_block != m_block) {
      if (other.m_block) ++other.m_block->count;
      release();
      m_block = other.m_block;
    }
    return *this;
  }

  // n = 0 empties the vector. Otherwise a new private block of n elements
  // (not initialised) holding the first min(old, n) old ones; false only
  // when the memory cannot be had, and then nothing changes.
  virtual bool resize(size_t n) {
    if (n == 0) {
      release();
      return true;
    }
    size_t bytes;
    if (!detail::element_bytes(n, sizeof(T), bytes) || bytes > SIZE_MAX - data_offset) {
      return false;
    }
    bytes += data_offset;
    Alloc alloc;
    void* p = alloc.allocate(bytes, nullptr, E_PROT_READWRITE, 0, nullptr);
    if (!p) return false;
    header_t* fresh = new (p) header_t{1, n, alloc};
    if (m_block) {
      size_t keep = std::min<unsigned long long>(m_block->n, n) * sizeof(T);
      std::memcpy(elements(fresh), elements(m_block), keep);
    }
    release();
    m_block = fresh;
    return true;
  }

  virtual void clear() { release(); }

  virtual ~refvector() { release(); }

  long long use_count() const { return m_block ? m_block->count : 0; }

 private:
  static T* elements(header_t* h) {
    return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(h) + data_offset);
  }
  T* data() const { return m_block ? elements(m_block) : nullptr; }
  void release() {
    if (m_block && --m_block->count == 0) {
      Alloc alloc = m_block->alloc;
      m_block->~header_t();
      alloc.deallocate(m_block);
    }
    m_block = nullptr;
  }

  header_t* m_block = nullptr;
};

// Owns at most one heap object; not copyable.
template <class T>
class ptr_t {
 public:
  ptr_t() = default;
  explicit ptr_t(T* p) : m_pointer(p) {}
  ptr_t(const ptr_t&) = delete;
  ptr_t& operator=(const ptr_t&) = delete;
  ptr_t(ptr_t&& other) noexcept : m_pointer(other.m_pointer) { other.m_pointer = nullptr; }
  ptr_t& operator=(ptr_t&& other) noexcept {
    if (this != &other) {
      free();
      m_pointer = other.m_pointer;
      other.m_pointer = nullptr;
    }
    return *this;
  }
  // Takes ownership of p, deleting what was held before.
  ptr_t& operator=(T* p) {
    if (p != m_pointer) {
      free();
      m_pointer = p;
    }
    return *this;
  }
  ~ptr_t() { free(); }

  void free() {
    delete m_pointer;
    m_pointer = nullptr;
  }

  T* get() const { return m_pointer; }
  T* operator->() const { return m_pointer; }
  T& operator*() const { return *m_pointer; }
  explicit operator bool() const { return m_pointer != nullptr; }

 private:
  T* m_pointer = nullptr;
};

}  // namespace libutils

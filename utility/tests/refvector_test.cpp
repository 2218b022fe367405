#include "utility/refvector.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "utility/bmpheader.h"

using libutils::alloc_mmap_unix;
using libutils::alloc_new;
using libutils::ofsvector;
using libutils::refvector;
using libutils::refvector2;

namespace {

// Counts the blocks an allocator holds, to see that the last holder
// releases a block exactly once.
template <class Base>
class counting_alloc : public Base {
 public:
  static int live;
  void* allocate(size_t& size, const char* path, libutils::e_prot_t prot, unsigned long long offset,
                 libutils::android_app* app) {
    void* p = Base::allocate(size, path, prot, offset, app);
    if (p) ++live;
    return p;
  }
  void deallocate(void* data) {
    --live;
    Base::deallocate(data);
  }
};
template <class Base>
int counting_alloc<Base>::live = 0;

typedef counting_alloc<alloc_mmap_unix> counted_mmap;
typedef counting_alloc<alloc_new> counted_new;
typedef ofsvector<unsigned char, alloc_mmap_unix> bytes_t;

std::string temp_file(const std::string& name, const std::string& content) {
  std::string path = ::testing::TempDir() + "refvector_" + std::to_string(getpid()) + "_" + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

bool mapped_in_process(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.size() >= path.size() &&
        line.compare(line.size() - path.size(), path.size(), path) == 0) {
      return true;
    }
  }
  return false;
}

bytes_t anonymous_bytes(const std::string& content) {
  bytes_t v;
  EXPECT_TRUE(v.resize(content.size()));
  std::memcpy(v.begin(), content.data(), content.size());
  return v;
}

std::string text(const bytes_t& v) {
  return std::string(reinterpret_cast<const char*>(v.begin()), v.size());
}

}  // namespace

TEST(RefVectorSharing, CopiesShareOneBlockAndTheLastReleasesIt) {
  ASSERT_EQ(counted_mmap::live, 0);
  {
    refvector2<unsigned char, counted_mmap> a;
    ASSERT_TRUE(a.resize(16));
    EXPECT_EQ(counted_mmap::live, 1);
    refvector2<unsigned char, counted_mmap> b(a);
    refvector2<unsigned char, counted_mmap> c;
    c = b;
    c = a;  // same block: nothing changes
    EXPECT_EQ(a.use_count(), 3);
    b[0] = 42;
    EXPECT_EQ(a[0], 42);
    EXPECT_EQ(c.begin(), a.begin());
    {
      auto d = std::move(b);
      EXPECT_TRUE(b.empty());
      EXPECT_EQ(d.use_count(), 3);
    }
    a.clear();
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.begin(), nullptr);
    EXPECT_EQ(c[0], 42);
    EXPECT_EQ(counted_mmap::live, 1);
  }
  EXPECT_EQ(counted_mmap::live, 0);
}

TEST(RefVectorSharing, FileMappingIsUnmappedWithTheLastHolder) {
  // A megabyte and more is mapped; below that a read-only file is read.
  const std::string big(size_t{1} << 20, 'b');
  std::string path = temp_file("shared.bin", "abcdefgh" + big);
  {
    bytes_t a;
    ASSERT_TRUE(a.load(0, path.c_str(), libutils::E_PROT_READ));
    EXPECT_EQ(text(a), "abcdefgh" + big);
    bytes_t window;
    window.setwindow(a, 2, 3);
    a.clear();
    EXPECT_TRUE(mapped_in_process(path));
    EXPECT_EQ(text(window), "cde");
  }
  EXPECT_FALSE(mapped_in_process(path));
  std::remove(path.c_str());
}

TEST(RefVectorSharing, SmallReadOnlyFileIsReadNotMapped) {
  std::string path = temp_file("small.bin", "abcdefgh");
  bytes_t a, tail;
  ASSERT_TRUE(a.load(0, path.c_str(), libutils::E_PROT_READ));
  ASSERT_TRUE(tail.load(0, path.c_str(), libutils::E_PROT_READ, 5));
  EXPECT_FALSE(mapped_in_process(path));
  EXPECT_EQ(text(a), "abcdefgh");
  EXPECT_EQ(text(tail), "fgh");
  // The file cut after it was measured: a failure, never bytes that are not
  // the file's.
  ASSERT_TRUE(a.load(4, path.c_str(), libutils::E_PROT_READ));
  ASSERT_EQ(truncate(path.c_str(), 2), 0);
  EXPECT_FALSE(a.load(4, path.c_str(), libutils::E_PROT_READ));
  EXPECT_TRUE(a.empty());
  std::remove(path.c_str());
}

TEST(RefVectorSharing, InPlaceResizeIsSeenByEverySharer) {
  refvector2<unsigned char, alloc_mmap_unix> a;
  ASSERT_TRUE(a.resize(3));
  a[0] = 7;
  refvector2<unsigned char, alloc_mmap_unix> b(a);
  ASSERT_TRUE(a.resize(100000));
  EXPECT_EQ(b.size(), 100000u);
  EXPECT_EQ(b[0], 7);
  EXPECT_EQ(b.begin(), a.begin());
  // Small and large anonymous blocks live in different places; data moves
  // along both ways and the grown part is zero.
  b[99999] = 8;
  ASSERT_TRUE(a.resize(size_t{3} << 20));
  EXPECT_EQ(b[0], 7);
  EXPECT_EQ(b[99999], 8);
  EXPECT_EQ(b[(size_t{3} << 20) - 1], 0);
  ASSERT_TRUE(b.resize(2));
  EXPECT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0], 7);
}

TEST(OfsVectorWindow, WindowsShareTheBlockAndClampToIt) {
  bytes_t all = anonymous_bytes("0123456789");
  bytes_t mid;
  mid.setwindow(all, 3, 4);
  EXPECT_EQ(text(mid), "3456");
  EXPECT_EQ(mid.end() - mid.begin(), 4);
  all[4] = 'x';
  EXPECT_EQ(mid[1], 'x');

  bytes_t inner;
  inner.setwindow(mid, 2, 100);  // length is kept, size() clamps
  EXPECT_EQ(inner.length(), 100u);
  EXPECT_EQ(text(inner), "56789");

  // An offset past the source's window starts at that window's end; the
  // length is bounded by the block, not by the source's window.
  bytes_t past;
  past.setwindow(mid, 50, 2);
  EXPECT_EQ(past.begin(), mid.end());
  EXPECT_EQ(text(past), "78");
  past.setwindow(all, 50, 2);
  EXPECT_EQ(past.size(), 0u);
  EXPECT_FALSE(past.empty());
  EXPECT_EQ(past.begin(), all.end());

  bytes_t none;
  none.setwindow(all, 1, 0);
  EXPECT_TRUE(none.empty());

  mid.setwindow(mid, 1, 2);  // a window of itself
  EXPECT_EQ(text(mid), "x5");
  EXPECT_EQ(all.use_count(), 5);  // all, mid, inner, past, none
}

TEST(OfsVectorWindow, ResizeDetachesAndKeepsTheWindowStart) {
  ASSERT_EQ(counted_mmap::live, 0);
  {
    ofsvector<unsigned char, counted_mmap> all;
    ASSERT_TRUE(all.resize(6));
    std::memcpy(all.begin(), "abcdef", 6);
    ofsvector<unsigned char, counted_mmap> w;
    w.setwindow(all, 2, 3);
    ASSERT_TRUE(w.resize(5));
    EXPECT_EQ(counted_mmap::live, 2);
    EXPECT_EQ(w.use_count(), 1);
    EXPECT_EQ(all.use_count(), 1);
    EXPECT_EQ(w.offset(), 0u);
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(w.begin()), 5), std::string("cde\0\0", 5));
    w[0] = 'Z';
    EXPECT_EQ(all[2], 'c');

    ASSERT_TRUE(w.resize(2));  // shrinking keeps the start
    EXPECT_EQ(w[0], 'Z');
    EXPECT_EQ(w.size(), 2u);
  }
  EXPECT_EQ(counted_mmap::live, 0);
}

TEST(OfsVectorWindow, ResizeOverAHeapBlockIsZeroFilled) {
  ofsvector<unsigned char, alloc_new> v;
  ASSERT_TRUE(v.resize(4));
  std::memset(v.begin(), 0xAA, 4);
  ofsvector<unsigned char, alloc_new> other(v);
  ASSERT_TRUE(v.resize(64));
  EXPECT_EQ(v[3], 0xAA);
  for (size_t i = 4; i < 64; ++i) ASSERT_EQ(v[i], 0) << i;
}

TEST(OfsVectorWindow, ResizeThatCannotBeHadChangesNothing) {
  bytes_t v = anonymous_bytes("abc");
  EXPECT_FALSE(v.resize(SIZE_MAX));
  EXPECT_EQ(text(v), "abc");
  ofsvector<uint32_t, alloc_mmap_unix> words;
  EXPECT_FALSE(words.resize(SIZE_MAX / 2));  // bytes overflow
  EXPECT_TRUE(words.empty());
}

TEST(VectorLoad, EmptyFileLoadsAsEmptyVector) {
  std::string path = temp_file("empty.bin", "");
  bytes_t v;
  ASSERT_TRUE(v.load(0, path.c_str(), libutils::E_PROT_READ));
  EXPECT_EQ(v.size(), 0u);
  EXPECT_TRUE(v.empty());
  EXPECT_EQ(v.use_count(), 1);
  refvector2<unsigned char, alloc_new> h;
  ASSERT_TRUE(h.load(0, path.c_str(), libutils::E_PROT_READ));
  EXPECT_EQ(h.size(), 0u);
  std::remove(path.c_str());
}

TEST(VectorLoad, MissingFileEmptiesTheVector) {
  bytes_t v = anonymous_bytes("held");
  bytes_t window;
  window.setwindow(v, 1, 2);
  EXPECT_FALSE(v.load(0, "/nonexistent/dir/file.jpg", libutils::E_PROT_READ));
  EXPECT_TRUE(v.empty());
  EXPECT_EQ(v.use_count(), 0);
  EXPECT_EQ(text(window), "el");  // other holders keep the block

  refvector2<unsigned char, alloc_new> h;
  ASSERT_TRUE(h.resize(2));
  EXPECT_FALSE(h.load(0, "/nonexistent/file", libutils::E_PROT_READ));
  EXPECT_TRUE(h.empty());
}

// A FIFO under a photo's name fails at once instead of waiting for a writer.
TEST(VectorLoad, NamesThatAreNoRegularFileFailWithoutWaiting) {
  const std::string fifo = temp_file("fifo.jpg", "");
  std::remove(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  bytes_t v;
  EXPECT_FALSE(v.load(0, fifo.c_str(), libutils::E_PROT_READ));
  EXPECT_FALSE(v.load(0, fifo.c_str(), libutils::E_PROT_READWRITE));
  refvector2<unsigned char, alloc_new> h;
  EXPECT_FALSE(h.load(0, fifo.c_str(), libutils::E_PROT_READ));
  EXPECT_FALSE(v.load(0, "/dev/zero", libutils::E_PROT_READ));
  std::remove(fifo.c_str());
}

TEST(VectorLoad, BadProtectionFails) {
  alloc_mmap_unix mm;
  size_t size = 16;
  EXPECT_EQ(mm.allocate(size, nullptr, static_cast<libutils::e_prot_t>(2), 0, nullptr), nullptr);
  std::string path = temp_file("prot.bin", "data");
  size = 0;
  EXPECT_EQ(mm.allocate(size, path.c_str(), static_cast<libutils::e_prot_t>(2), 0, nullptr),
            nullptr);
  bytes_t v;
  EXPECT_FALSE(v.load(0, path.c_str(), static_cast<libutils::e_prot_t>(-1)));
  std::remove(path.c_str());
}

TEST(VectorLoad, ReadWriteMappingWritesTheFile) {
  std::string path = temp_file("rw.bin", "hello");
  {
    bytes_t v;
    ASSERT_TRUE(v.load(0, path.c_str(), libutils::E_PROT_READWRITE));
    v[0] = 'j';
  }
  std::ifstream in(path, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "jello");
  std::remove(path.c_str());
}

TEST(VectorLoad, OffsetAndKeep) {
  std::string page(static_cast<size_t>(sysconf(_SC_PAGESIZE)), 'p');
  std::string path = temp_file("offset.bin", page + "tail");
  bytes_t v;
  ASSERT_TRUE(v.load(0, path.c_str(), libutils::E_PROT_READ, page.size()));
  EXPECT_EQ(text(v), "tail");  // only what lies after the offset

  refvector2<unsigned char, alloc_mmap_unix> k;
  ASSERT_TRUE(k.resize(3));
  std::memcpy(k.begin(), "abc", 3);
  ASSERT_TRUE(k.load(6, nullptr, libutils::E_PROT_READWRITE, 0, true));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(k.begin()), 6), std::string("abc\0\0\0", 6));

  refvector2<unsigned char, alloc_new> h;
  ASSERT_TRUE(h.load(0, path.c_str(), libutils::E_PROT_READ));
  EXPECT_EQ(h.size(), page.size() + 4);
  EXPECT_EQ(h[page.size()], 't');
  std::remove(path.c_str());
}

TEST(OfsVectorRecords, BmpHeadersAreWindowsAtByteOffsets) {
  unsigned char file[66] = {'B', 'M', 66, 0, 0, 0, 0, 0,    0,    0,    62,   0, 0, 0, 40,
                            0,   0,   0,  3, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 8, 0};
  file[54] = 1;  // blue of entry 0
  file[60] = 9;  // red of entry 1
  bytes_t bytes;
  ASSERT_TRUE(bytes.resize(sizeof(file)));
  std::memcpy(bytes.begin(), file, sizeof(file));

  ofsvector<libutils::tagBITMAPFILEHEADER, alloc_mmap_unix> fh;
  fh.setwindow(bytes, 0, 1);
  ofsvector<libutils::tagBITMAPINFOHEADER, alloc_mmap_unix> ih;
  ih.setwindow(bytes, 14, 1);
  ofsvector<libutils::tagRGBQUAD, alloc_mmap_unix> table;
  table.setwindow(bytes, 54, (62 - 54) / 4);

  ASSERT_EQ(fh.size(), 1u);
  EXPECT_EQ(uint16_t(fh->bfType), 0x4D42);  // copies: fields are packed
  EXPECT_EQ(uint32_t(fh->bfOffBits), 62u);
  ASSERT_EQ(ih.size(), 1u);
  EXPECT_EQ(int32_t(ih->biWidth), 3);
  EXPECT_EQ(int32_t(ih->biHeight), -2);
  EXPECT_EQ(uint16_t(ih->biBitCount), 8);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].rgbBlue, 1);
  EXPECT_EQ(table[1].rgbRed, 9);

  // 66 - 54 = 12 bytes hold three whole entries, not more.
  table.setwindow(bytes, 54, ~0ull);
  EXPECT_EQ(table.size(), 3u);
  table.setwindow(bytes, 64, 5);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_FALSE(table.empty());
}

TEST(RefVectorPalette, ResizeKeepsTheStartAndDetaches) {
  ASSERT_EQ(counted_new::live, 0);
  {
    refvector<unsigned short, counted_new> red;
    ASSERT_TRUE(red.resize(4));
    for (int i = 0; i < 4; ++i) red[i] = static_cast<unsigned short>(1000 + i);
    refvector<unsigned short, counted_new> shared(red);
    ASSERT_TRUE(red.resize(8));
    EXPECT_EQ(red.size(), 8u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(red[i], 1000 + i);
    EXPECT_EQ(shared.size(), 4u);
    EXPECT_EQ(counted_new::live, 2);
    red[0] = 1;
    EXPECT_EQ(shared[0], 1000);

    shared = red;
    EXPECT_EQ(counted_new::live, 1);
    EXPECT_EQ(red.use_count(), 2);
    EXPECT_TRUE(red.resize(0));
    EXPECT_TRUE(red.empty());
    EXPECT_EQ(red.begin(), nullptr);
    EXPECT_EQ(shared[0], 1);
  }
  EXPECT_EQ(counted_new::live, 0);
}

TEST(OwningPointer, FreeDeletesOnce) {
  struct counted {
    explicit counted(int* n) : deaths(n) {}
    virtual ~counted() { ++*deaths; }
    int* deaths;
  };
  int deaths = 0;
  {
    libutils::ptr_t<counted> p;
    EXPECT_FALSE(p);
    p = new counted(&deaths);
    p = new counted(&deaths);  // the first is deleted
    EXPECT_EQ(deaths, 1);
    p.free();
    p.free();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(p.get(), nullptr);
    p = new counted(&deaths);
  }
  EXPECT_EQ(deaths, 3);
}

TEST(UpAlign, RoundsUpInItsOwnType) {
  EXPECT_EQ(libutils::UpAlign<unsigned short>(5, 4), 8);
  EXPECT_EQ(libutils::UpAlign<unsigned short>(8, 4), 8);
  EXPECT_EQ(libutils::UpAlign<unsigned short>(0, 4), 0);
  EXPECT_EQ(libutils::UpAlign<unsigned short>(65535, 4), 0);  // wraps
  EXPECT_EQ(libutils::UpAlign<unsigned long>(65535, 4), 65536u);
  EXPECT_EQ(libutils::UpAlign<unsigned int>(13, 1), 13u);
  EXPECT_EQ(libutils::UpAlign<unsigned int>(13, 0), 13u);
}

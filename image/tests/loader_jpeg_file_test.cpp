// jpegdata_t's files: whole files mapped, heads read, streams saved.
#include "image/loader_jpeg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "image/tests/jpeg_test_support.h"

using namespace jpegtest;

// --- jpegdata_t ---------------------------------------------------------------

TEST(JpegData, LoadMapsTheWholeFileAndAnEmptyOneFailsToDecode) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  libgr::jpegdata_t data;
  std::string path = data_file("Sony_D700.jpg");
  ASSERT_TRUE(data.load(path.c_str(), nullptr));
  EXPECT_EQ(data.name, path.c_str());
  EXPECT_TRUE(to_bytes(data.data) == read_file(path));

  std::string empty = s.path("empty.jpg");
  ASSERT_TRUE(write_file(empty, bytes_t()));
  ASSERT_TRUE(data.load(empty.c_str(), nullptr));
  EXPECT_EQ(data.data.size(), 0u);
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  std::string err;
  EXPECT_FALSE(decode(info, image, data, err));
  EXPECT_EQ(err, empty + ": error detected.\nEmpty input file\n" + empty +
                     ": jpeg decompress fail, stop.\n");

  EXPECT_FALSE(data.load(s.path("missing.jpg").c_str(), nullptr));
  EXPECT_TRUE(data.data.empty());
}

TEST(JpegData, SaveReplacesLinksInsteadOfWritingThroughThem) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  const bytes_t original = {'o', 'l', 'd'}, jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
  std::string other = s.path("other.jpg"), soft = s.path("soft.jpg"), hard = s.path("hard.jpg");
  ASSERT_TRUE(write_file(other, original));
  ASSERT_EQ(symlink(other.c_str(), soft.c_str()), 0);
  ASSERT_EQ(link(other.c_str(), hard.c_str()), 0);
  libgr::jpegdata_t data;
  set_bytes(data, jpeg);
  for (const std::string* target : {&soft, &hard}) {
    SCOPED_TRACE(*target);
    ASSERT_TRUE(data.save(target->c_str(), nullptr));
    EXPECT_EQ(data.name, target->c_str());
    struct stat st;
    ASSERT_EQ(lstat(target->c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_TRUE(read_file(*target) == jpeg);
    EXPECT_TRUE(read_file(other) == original);
  }
  // Where no file can be made: false, silently, name unchanged.
  testing::internal::CaptureStderr();
  std::string bad = s.path("no/such/dir.jpg");
  EXPECT_FALSE(data.save(bad.c_str(), nullptr));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(data.name, hard.c_str());
}

TEST(JpegData, SetvectorDecodesBytesInsideAnotherStream) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  std::string jpg = make_jpeg(s, "inner", 20, 12, 3, "");
  bytes_t inner = read_file(jpg), outer(100, 0x55);
  outer.insert(outer.end(), inner.begin(), inner.end());
  outer.insert(outer.end(), 100, 0xAA);
  libgr::jpegdata_t container, data;
  set_bytes(container, outer);
  libgr::jpeg_bytes_t window;
  window.setwindow(container.data, 100, inner.size());
  data.setvector(window, "thumbnail");
  EXPECT_STREQ(data.name, "thumbnail");
  EXPECT_EQ(data.data.begin(), container.data.begin() + 100);
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  std::string err;
  ASSERT_TRUE(decode(info, image, data, err));
  EXPECT_EQ(err, "");
  EXPECT_TRUE(as_pnm(image) == djpeg(s, jpg));
}

TEST(JpegData, HeadEndsAfterTheScanHeaderElseIsTheWholeFile) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  for (const char* name : {"Sony_D700.jpg", "exiv2-nikon-d70.jpg", "pentax_K-3_from_exv.jpg"}) {
    SCOPED_TRACE(name);
    const std::string path = data_file(name);
    const bytes_t whole = read_file(path);
    const size_t sos = segment_offset(whole, 0xDA);
    ASSERT_LT(sos + 4, whole.size());
    const size_t end = sos + 2 + ((size_t{whole[sos + 2]} << 8) | whole[sos + 3]);
    libgr::jpegdata_t head, all;
    ASSERT_TRUE(head.load_head(path.c_str()));
    EXPECT_EQ(head.name, path.c_str());
    EXPECT_TRUE(to_bytes(head.data) == bytes_t(whole.begin(), whole.begin() + end));
    // What the head is read for: the frame size and every marker.
    ASSERT_TRUE(all.load(path.c_str()));
    libgr::jpeginfo_t from_head, from_all;
    ASSERT_TRUE(from_head.analyze_markers(head));
    ASSERT_TRUE(from_all.analyze_markers(all));
    EXPECT_EQ(from_head.width, from_all.width);
    EXPECT_EQ(from_head.height, from_all.height);
    ASSERT_EQ(from_head.markers.size(), from_all.markers.size());
    for (auto a = from_head.markers.begin(), b = from_all.markers.begin();
         a != from_head.markers.end(); ++a, ++b) {
      EXPECT_EQ(a->code, b->code);
      EXPECT_TRUE(to_bytes(a->payload) == to_bytes(b->payload));
    }
  }
  // Fill bytes before a segment, a file cut inside one, no JPEG at all:
  // the whole file, for the decoder to judge as before.
  bytes_t filled = read_file(data_file("Sony_D700.jpg"));
  filled.insert(filled.begin() + static_cast<long>(segment_offset(filled, 0xDB)), 0xFF);
  const bytes_t cut(filled.begin(), filled.begin() + 40), other = {'G', 'I', 'F', '8', '9', 'a'};
  for (const bytes_t* bytes : std::initializer_list<const bytes_t*>{&filled, &cut, &other}) {
    const std::string path = s.path("odd.jpg");
    ASSERT_TRUE(write_file(path, *bytes));
    libgr::jpegdata_t head;
    ASSERT_TRUE(head.load_head(path.c_str()));
    EXPECT_TRUE(to_bytes(head.data) == *bytes);
  }
  libgr::jpegdata_t missing;
  EXPECT_FALSE(missing.load_head(s.path("missing.jpg").c_str()));
  EXPECT_TRUE(missing.data.empty());
}

// One buffer for head after head: heads longer than a first read and
// longer than the room it keeps, then a short one again, each read whole
// and exactly.
TEST(JpegData, HeadsShareTheCallersBuffer) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  const bytes_t camera = read_file(data_file("Sony_D700.jpg"));
  const size_t dqt = segment_offset(camera, 0xDB);
  libgr::jpeg_head_buffer_t buffer;
  for (int app_segments : {3, 24, 0}) {
    SCOPED_TRACE(app_segments);
    // APP2 segments of the largest length, before the tables.
    bytes_t file(camera.begin(), camera.begin() + static_cast<long>(dqt));
    for (int i = 0; i < app_segments; ++i) {
      file.insert(file.end(), {0xFF, 0xE2, 0xFF, 0xFF});
      file.insert(file.end(), 0xFFFD, static_cast<unsigned char>(i));
    }
    file.insert(file.end(), camera.begin() + static_cast<long>(dqt), camera.end());
    const size_t sos = segment_offset(file, 0xDA);
    const size_t end = sos + 2 + ((size_t{file[sos + 2]} << 8) | file[sos + 3]);
    const std::string path = s.path("long.jpg");
    ASSERT_TRUE(write_file(path, file));
    libgr::jpegdata_t head;
    ASSERT_TRUE(head.load_head(path.c_str(), buffer));
    EXPECT_TRUE(to_bytes(head.data) ==
                bytes_t(file.begin(), file.begin() + static_cast<long>(end)));
    // Room for a camera's head stays for the next; a far longer head's goes.
    if (end > size_t{1} << 20)
      EXPECT_EQ(buffer.room(), 0u);
    else
      EXPECT_GE(buffer.room(), end);
  }
}

// The head walker against what the readers make of whole files: camera
// files, heads cut anywhere, and heads with random bytes changed.
#include "image/jpeg_head.h"

#include <gtest/gtest.h>

#include <random>

#include "image/loader_jpeg2.h"
#include "image/tests/jpeg_test_support.h"

using namespace jpegtest;
using libgr::jpeg_head_end_t;

namespace {

const char* const cameras[] = {"Sony_D700.jpg", "exiv2-nikon-d70.jpg", "pentax_K-3_from_exv.jpg",
                               "FujiFilm_SP-2500.jpg", "Olympus_PEN_E-P3.jpg"};

jpeg_head_end_t walk(const bytes_t& b) {
  // A block of exactly the bytes, so that the sanitizer sees a read past them.
  std::unique_ptr<unsigned char[]> exact(new unsigned char[b.size() + !b.size()]);
  std::copy(b.begin(), b.end(), exact.get());
  return libgr::find_jpeg_head_end(exact.get(), b.size());
}

// What the readers that only need a head make of bytes: the frame and
// markers through libjpeg, the decoder's verdict, and the baseline
// reader's segments up to the scan.
struct reading_t {
  bool analyzed, probed, walked;
  unsigned long width, height;
  std::vector<segment_t> markers;
  std::vector<unsigned> codes;
  bool operator==(const reading_t& o) const {
    auto same = [](const std::vector<segment_t>& a, const std::vector<segment_t>& b) {
      if (a.size() != b.size()) return false;
      for (size_t i = 0; i < a.size(); ++i)
        if (a[i].code != b[i].code || a[i].payload != b[i].payload) return false;
      return true;
    };
    // After a failure the baseline reader's list is not read by anyone.
    return analyzed == o.analyzed && probed == o.probed && walked == o.walked && width == o.width &&
           height == o.height && same(markers, o.markers) && (!walked || codes == o.codes);
  }
};

reading_t read_as_the_readers_do(const bytes_t& bytes) {
  reading_t r;
  libgr::jpegdata_t data;
  set_bytes(data, bytes);
  libgr::jpeginfo_t info, probe;
  testing::internal::CaptureStderr();
  r.analyzed = info.analyze_markers(data);
  r.probed = probe.probe(data);
  libgr::jpegdata2_t data2;
  data2.bytes = data.data;
  libgr::jpeginfo2_t info2;
  r.walked = info2.analyze(data2);
  testing::internal::GetCapturedStderr();
  r.width = info.width;
  r.height = info.height;
  for (const libgr::jpeginfo_t::marker_t& m : info.markers)
    r.markers.push_back({m.code, to_bytes(m.payload)});
  // The scan node holds what follows the head, which a head lacks.
  for (const libgr::jpeginfo2_t::marker_t& m : info2.markers)
    if (m.code != 0) r.codes.push_back(m.code);
  return r;
}

// The end of the first SOS segment by the tests' own walk.
size_t sos_end(const bytes_t& b) {
  size_t end = 2;
  for (const segment_t& s : segments(b)) end += 4 + s.payload.size();
  return end;
}

}  // namespace

TEST(JpegHead, CameraHeadsReadAsTheirWholeFiles) {
  for (const char* name : cameras) {
    SCOPED_TRACE(name);
    const bytes_t whole = read_file(data_file(name));
    const jpeg_head_end_t end = walk(whole);
    ASSERT_EQ(end.state, jpeg_head_end_t::HEAD_FOUND);
    ASSERT_EQ(end.size, sos_end(whole));
    const bytes_t head(whole.begin(), whole.begin() + static_cast<long>(end.size));
    const reading_t from_whole = read_as_the_readers_do(whole);
    EXPECT_TRUE(from_whole.analyzed && from_whole.probed);
    EXPECT_TRUE(read_as_the_readers_do(head) == from_whole);
    EXPECT_EQ(walk(head).size, end.size);
  }
}

// However a head is cut, the walk asks for more than it has and no more
// than the head; fed just what it asks for, it comes to the same end.
TEST(JpegHead, CutHeadsAskForTheBytesTheWalkNeeds) {
  const bytes_t whole = read_file(data_file("exiv2-nikon-d70.jpg"));
  const uint64_t end = walk(whole).size;
  auto prefix = [&](uint64_t n) { return bytes_t(whole.begin(), whole.begin() + long(n)); };
  // Every cut near a segment's first bytes, and a sample of the others.
  std::vector<uint64_t> cuts;
  uint64_t at = 2;
  for (const segment_t& s : segments(whole)) {
    for (uint64_t k = at - 2; k < at + 6; ++k) cuts.push_back(k);
    at += 4 + s.payload.size();
  }
  for (uint64_t n = 0; n < end; n += 211) cuts.push_back(n);
  for (uint64_t n : cuts) {
    const jpeg_head_end_t cut = walk(prefix(n));
    ASSERT_EQ(cut.state, jpeg_head_end_t::HEAD_NEEDS_MORE) << n;
    ASSERT_GT(cut.size, n);
    ASSERT_LE(cut.size, end);
  }
  jpeg_head_end_t fed = walk(bytes_t());
  for (int steps = 0; fed.state == jpeg_head_end_t::HEAD_NEEDS_MORE && steps < 1000; ++steps)
    fed = walk(prefix(fed.size));
  EXPECT_EQ(fed.state, jpeg_head_end_t::HEAD_FOUND);
  EXPECT_EQ(fed.size, end);
}

TEST(JpegHead, OddSegmentsAreNotPlain) {
  const bytes_t camera = read_file(data_file("Sony_D700.jpg"));
  const size_t dqt = segment_offset(camera, 0xDB);
  auto with = [&](std::initializer_list<unsigned char> bytes) {
    bytes_t b = camera;
    b.insert(b.begin() + static_cast<long>(dqt), bytes);
    return b;
  };
  const bytes_t cases[] = {{'G', 'I', 'F', '8'},
                           with({0xFF}),
                           with({0x00}),
                           with({0xFF, 0xD0}),
                           with({0xFF, 0x01}),
                           with({0xFF, 0xD8}),
                           with({0xFF, 0xD9}),
                           with({0xFF, 0xE3, 0x00, 0x01}),
                           with({0xFF, 0x00, 0x00, 0x04, 0x32, 0x32})};
  for (const bytes_t& b : cases) EXPECT_EQ(walk(b).state, jpeg_head_end_t::HEAD_NOT_PLAIN);
}

// Random bytes changed in camera heads: the walk stays inside the bytes,
// its end is an end again, and where it finds one the readers make of the
// head what they make of the whole file.
TEST(JpegHead, FuzzedHeadsReadAsTheirWholeFiles) {
  std::mt19937 rng(47);
  for (const char* name : {"exiv2-nikon-d70.jpg", "FujiFilm_SP-2500.jpg"}) {
    const bytes_t camera = read_file(data_file(name));
    const size_t head_size = sos_end(camera);
    for (int round = 0; round < 150; ++round) {
      SCOPED_TRACE(std::string(name) + " round " + std::to_string(round));
      bytes_t b = camera;
      for (int k = 0; k < 1 + round % 4; ++k) {
        // Mostly where the lengths and codes are: the first bytes of segments.
        size_t at = rng() % (round % 2 ? head_size : std::min<size_t>(head_size, 64));
        b[at] = static_cast<unsigned char>(rng());
      }
      const jpeg_head_end_t end = walk(b);
      if (end.state == jpeg_head_end_t::HEAD_NEEDS_MORE) {
        EXPECT_GT(end.size, b.size());
        continue;
      }
      if (end.state != jpeg_head_end_t::HEAD_FOUND) continue;
      ASSERT_LE(end.size, b.size());
      const bytes_t head(b.begin(), b.begin() + static_cast<long>(end.size));
      EXPECT_EQ(walk(head).size, end.size);
      EXPECT_TRUE(read_as_the_readers_do(head) == read_as_the_readers_do(b));
    }
  }
}

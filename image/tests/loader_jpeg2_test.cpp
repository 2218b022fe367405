#include "image/loader_jpeg2.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include "utility/testsupport/gtest.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/exif.h"
#include "image/tests/camera_files.h"

using namespace testutil;

namespace {

const bytes_t soi{0xFF, 0xD8}, eoi{0xFF, 0xD9};

bytes_t dqt() {
  bytes_t t(65, 1);
  t[0] = 0x00;
  return segment(0xFFDB, t);
}
bytes_t sof0() { return segment(0xFFC0, bytes_t{8, 0, 8, 0, 8, 1, 1, 0x11, 0}); }
bytes_t dht() {
  return segment(0xFFC4, bytes_t{0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00});
}
bytes_t sos(unsigned ss, unsigned se, unsigned al) {
  return segment(0xFFDA, bytes_t{1, 1, 0x00, uint8_t(ss), uint8_t(se), uint8_t(al)});
}
bytes_t app1() {
  return segment(0xFFE1, app1_payload(text(std::string("II*\0\x08\0\0\0\0\0", 10))));
}

struct analyzed {
  libgr::jpegdata2_t data;
  libgr::jpeginfo2_t info;
  bool ok = false;
  std::string err;

  explicit analyzed(const bytes_t& file) {
    data.bytes = window(file);
    testing::internal::CaptureStderr();
    ok = info.analyze(data);
    err = testing::internal::GetCapturedStderr();
  }
  std::vector<unsigned> codes() const {
    std::vector<unsigned> c;
    for (const auto& m : info.markers) c.push_back(m.code);
    return c;
  }
};

std::string data_file(const char* name) { return std::string(TEST_DATA_DIR) + "/" + name; }

using testutil::camera_files;

}  // namespace

TEST(JpegInfo2, WalksABaselineFileUpToItsScan) {
  bytes_t scan{0x12, 0xFF, 0x00, 0x34};
  analyzed a(soi + app1() + dqt() + sof0() + dht() + sos(0, 63, 0) + scan + eoi);
  ASSERT_TRUE(a.ok) << a.err;
  EXPECT_EQ(a.codes(), (std::vector<unsigned>{0xFFE1, 0xFFDB, 0xFFC0, 0xFFC4, 0xFFDA, 0}));
  libgr::byte_window_t exif = a.info.get_marker(libgr::marker_APP1);
  ASSERT_GE(exif.size(), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(exif.begin()), 4), "Exif");
  EXPECT_GE(exif.begin(), a.data.bytes.begin()) << "a window on the file's bytes";
  EXPECT_LT(exif.begin(), a.data.bytes.end());
  libgr::byte_window_t s = a.info.get_marker(0);
  EXPECT_EQ(s.size(), scan.size() + 2);
  EXPECT_EQ(s[0], 0x12);
  EXPECT_EQ(a.info.sof0_marker.samples, 8);
  EXPECT_TRUE(a.info.get_marker(libgr::marker_COM).empty());
}

TEST(JpegInfo2, FirstOfRepeatedSegmentsIsReturned) {
  analyzed a(soi + segment(0xFFFE, text("one")) + segment(0xFFFE, text("two")) + sos(0, 63, 0));
  ASSERT_TRUE(a.ok);
  libgr::byte_window_t c = a.info.get_marker(libgr::marker_COM);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.begin()), c.size()), "one");
}

TEST(JpegInfo2, RejectsBrokenStreams) {
  struct {
    bytes_t file;
    const char* message;
  } cases[] = {
      {bytes_t{0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0}, "too few size of JPEG.\n"},
      {eoi + segment(0xFFE0, text("JFIF")), "not JPEG data.\n"},
      {soi + bytes_t{0xFF, 0xE0, 0x00, 0x01, 0, 0, 0, 0}, "broken JPEG data.\n"},
      {soi + bytes_t{0xFF, 0xE0, 0x00, 0x20, 0, 0, 0, 0}, "broken JPEG data.\n"},
      {soi + segment(0xFFE0, text("JFIF")) + bytes_t{0xFF, 0xE1, 0}, "broken JPEG data.\n"},
      {soi + dqt() + sof0() + dht() + sos(0, 0, 1) + bytes_t{1, 2},
       "constant value illegal. ss=0, se=0, ah=0, al=1\nsos_marker.parse() fail.\n"},
      {soi + segment(0xFFC0, bytes_t{12, 0, 8, 0, 8, 1, 1, 0x11, 0}) + sos(0, 63, 0),
       "not support JPEG data. sample_precision=12\n"},
  };
  for (auto& c : cases) {
    analyzed a(c.file);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.err, c.message);
  }
}

TEST(JpegInfo2, EndOfImageIsOnlyAcceptedAsTheLastBytes) {
  bytes_t file = soi + segment(0xFFE0, text("JFIF")) + eoi;
  analyzed last(file);
  EXPECT_TRUE(last.ok);
  analyzed early(file + bytes_t{0});
  EXPECT_FALSE(early.ok);
  EXPECT_EQ(early.err, "");
  EXPECT_EQ(early.codes(), std::vector<unsigned>{0xFFE0}) << "nodes read so far are kept";
}

TEST(JpegData2, LoadsFilesReadOnly) {
  libgr::jpegdata2_t missing;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(missing.load("/nonexistent/photo.jpg"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(missing.name, nullptr);

  std::string path = data_file("Olympus_X-2.jpg");
  libgr::jpegdata2_t data;
  ASSERT_TRUE(data.load(path.c_str()));
  EXPECT_EQ(data.name, path.c_str());
  EXPECT_EQ(data.bytes.size(), 20480u);
}

TEST(JpegInfo2, ReadsTheCameraFiles) {
  for (const char* name : camera_files) {
    SCOPED_TRACE(name);
    std::string path = data_file(name);
    libgr::jpegdata2_t data;
    ASSERT_TRUE(data.load(path.c_str()));
    libgr::jpeginfo2_t info(path.c_str());
    EXPECT_TRUE(info.analyze(data));
    EXPECT_EQ(info.markers.back().code, 0);
    libgr::byte_window_t app1 = info.get_marker(libgr::marker_APP1);
    libgr::app1_marker_t exif;
    exif.set_app1_buffer(app1);
    EXPECT_TRUE(exif.parse());
  }
}

TEST(JpegInfo2, RefusesProgressiveFiles) {
  REQUIRE_PROGRAM("jpegtran");
  char out[] = "/tmp/jpeginfo2_progressive_XXXXXX";
  int fd = mkstemp(out);
  ASSERT_GE(fd, 0);
  close(fd);
  std::string cmd = "jpegtran -copy all -progressive -outfile " + std::string(out) + " " +
                    data_file("olympus_u10D_from_exv.jpg");
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  libgr::jpegdata2_t data;
  ASSERT_TRUE(data.load(out));
  libgr::jpeginfo2_t info(out);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(info.analyze(data));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("sos_marker.parse() fail."), std::string::npos) << err;
  EXPECT_FALSE(info.get_marker(libgr::marker_APP1).empty()) << "segments before the scan are kept";
  std::remove(out);
}

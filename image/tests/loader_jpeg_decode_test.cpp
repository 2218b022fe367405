// The JPEG front end's decoding: rows, broken and hostile streams, and the
// markers kept.
#include "image/loader_jpeg.h"

#include <gtest/gtest.h>

#include "image/tests/jpeg_test_support.h"

using namespace jpegtest;

// --- decoding ---------------------------------------------------------------

TEST(JpegDecode, MatchesDjpegWithRowsStoredBottomUp) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  // Sizes off the MCU grid, every common sampling, grey, the RGB colour
  // space, progressive, arithmetic and restart intervals; then camera files.
  struct {
    unsigned width, height;
    int channels;
    const char* options;
  } generated[] = {
      {1, 1, 3, "-sample 1x1"},
      {17, 13, 3, ""},
      {100, 75, 3, "-sample 2x1"},
      {33, 65, 3, "-sample 1x2"},
      {35, 21, 1, ""},
      {30, 20, 3, "-rgb"},
      {90, 70, 3, "-progressive"},
      {40, 30, 3, "-arithmetic"},
      {50, 40, 3, "-restart 1 -quality 95"},
  };
  std::vector<std::string> files;
  for (auto& g : generated)
    files.push_back(make_jpeg(s, "gen" + std::to_string(files.size()), g.width, g.height,
                              g.channels, g.options));
  for (const char* name :
       {"FujiFilm_SP-2500.jpg", "Sony_D700.jpg", "Olympus_X-2.jpg", "exiv2-nikon-d70.jpg"})
    files.push_back(data_file(name));

  for (const std::string& jpg : files) {
    SCOPED_TRACE(jpg);
    libgr::jpegdata_t data;
    ASSERT_TRUE(data.load(jpg.c_str(), nullptr));
    libgr::jpeginfo_t info;
    libgr::image2d_t image;
    std::string err;
    ASSERT_TRUE(decode(info, image, data, err));
    EXPECT_EQ(err, "");
    bytes_t reference = djpeg(s, jpg);
    ASSERT_FALSE(reference.empty());
    bool grey = reference[1] == '5';
    EXPECT_EQ(image.desc,
              libgr::image_desc_t(grey ? libgr::IMAGE_FORMAT_GRAYSCALE : libgr::IMAGE_FORMAT_RGB,
                                  libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8));
    ASSERT_NE(image.store, nullptr);
    EXPECT_EQ(image.store->alignment, 4u);
    EXPECT_EQ(image.rowsize(), (image.rowbyte() + 3) / 4 * 4);
    EXPECT_EQ(info.width, image.width);
    EXPECT_EQ(info.height, image.height);
    EXPECT_TRUE(as_pnm(image) == reference);

    std::string ours = s.path("tool.pnm");
    ASSERT_EQ(run(quote(imagetool()) + " decode " + quote(jpg) + " " + quote(ours)), 0);
    EXPECT_TRUE(read_file(ours) == reference);
  }
}

TEST(JpegDecode, CmykFileIsRefusedSilently) {
  REQUIRE_PROGRAM("/usr/bin/convert");
  scratch_t s;
  ASSERT_TRUE(s.ok());
  std::string ppm = s.path("in.ppm"), jpg = s.path("cmyk.jpg");
  ASSERT_TRUE(write_picture(ppm, 24, 16, 3));
  ASSERT_EQ(run("/usr/bin/convert " + quote(ppm) + " -colorspace CMYK " + quote(jpg)), 0);
  bytes_t bytes = read_file(jpg);
  size_t sof = segment_offset(bytes, 0xC0);
  ASSERT_LT(sof + 9, bytes.size());
  ASSERT_EQ(bytes[sof + 9], 4) << "not a four-component file";

  libgr::jpegdata_t data;
  ASSERT_TRUE(data.load(jpg.c_str(), nullptr));
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  std::string err;
  EXPECT_FALSE(decode(info, image, data, err));
  EXPECT_EQ(err, "");
  EXPECT_TRUE(image.pixels.empty());

  // The layout is judged before the size: a huge CMYK frame is refused
  // without a word too.
  libgr::jpegdata_t huge;
  set_bytes(huge, forge_frame_size(bytes));
  EXPECT_FALSE(decode(info, image, huge, err));
  EXPECT_EQ(err, "");
}

TEST(JpegDecode, TruncatedFileKeepsTheRowsDecodedSoFar) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  bytes_t whole = read_file(make_jpeg(s, "tall", 48, 256, 3, ""));
  libgr::jpegdata_t full, cut;
  libgr::jpeginfo_t info;
  libgr::image2d_t reference, image;
  std::string err;
  set_bytes(full, whole);
  ASSERT_TRUE(decode(info, reference, full, err));

  set_bytes(cut, bytes_t(whole.begin(), whole.begin() + whole.size() / 2));
  cut.name = "cut.jpg";
  ASSERT_TRUE(decode(info, image, cut, err));
  EXPECT_EQ(err,
            "cut.jpg: error detected.\nPremature end of input file\n"
            "cut.jpg: jpeg decompress fail, but continue.\n");
  ASSERT_EQ(image.height, 256u);
  // The top band equals the complete decode; the bottom was never reached.
  for (uint32_t r = 240; r < 256; ++r)
    EXPECT_TRUE(std::equal(image[r], image[r] + image.rowbyte(), reference[r])) << r;
  EXPECT_TRUE(
      std::all_of(image[0], image[0] + image.rowbyte(), [](unsigned char c) { return c == 0; }));
}

TEST(JpegDecode, BrokenHeadersFailWithTheStopLine) {
  bytes_t camera = read_file(data_file("FujiFilm_SP-2500.jpg"));
  size_t sos = segment_offset(camera, 0xDA);
  ASSERT_GT(sos, 10000u);
  struct {
    const char* label;
    bytes_t bytes;
  } cases[] = {
      {"empty", {}},
      {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}},
      {"SOI only", {0xFF, 0xD8}},
      {"cut inside APP1", bytes_t(camera.begin(), camera.begin() + 1000)},
      {"cut before the scan", bytes_t(camera.begin(), camera.begin() + sos)},
      {"cut inside the scan header", bytes_t(camera.begin(), camera.begin() + sos + 6)},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.label);
    libgr::jpegdata_t data;
    set_bytes(data, c.bytes);
    data.name = "broken.jpg";
    libgr::jpeginfo_t info;
    libgr::image2d_t image;
    std::string err;
    EXPECT_FALSE(decode(info, image, data, err));
    EXPECT_EQ(err.find("broken.jpg: error detected.\n"), 0u) << err;
    EXPECT_NE(err.find("\nbroken.jpg: jpeg decompress fail, stop.\n"), std::string::npos) << err;
    EXPECT_TRUE(info.markers.empty());

    testing::internal::CaptureStderr();
    EXPECT_FALSE(info.analyze_markers(data));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("broken.jpg: jpeg decompress fail, stop.\n"), std::string::npos) << err;
    EXPECT_TRUE(info.markers.empty());
  }
}

// probe says what decompress will, without a row: on a camera file, a
// file cut in its scan (decoded in part), broken heads and a huge frame.
TEST(JpegDecode, ProbeDecidesAsDecompressDoesWithItsFrameAndMarkers) {
  bytes_t camera = read_file(data_file("FujiFilm_SP-2500.jpg"));
  const size_t sos = segment_offset(camera, 0xDA);
  const bytes_t inputs[] = {camera,
                            bytes_t(camera.begin(), camera.begin() + sos + 400),
                            bytes_t(camera.begin(), camera.begin() + 1000),
                            {0xFF, 0xD8},
                            forge_frame_size(camera)};
  for (const bytes_t& bytes : inputs) {
    SCOPED_TRACE(bytes.size());
    libgr::jpegdata_t data;
    set_bytes(data, bytes);
    libgr::jpeginfo_t probed, decoded;
    libgr::image2d_t image;
    std::string err;
    testing::internal::CaptureStderr();
    const bool probe = probed.probe(data);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(probe, decode(decoded, image, data, err)) << err;
    if (!probe) continue;
    EXPECT_EQ(probed.width, image.width);
    EXPECT_EQ(probed.height, image.height);
    EXPECT_EQ(to_bytes(probed.get_marker(libgr::jpeginfo_t::MARKER_APP1)),
              to_bytes(decoded.get_marker(libgr::jpeginfo_t::MARKER_APP1)));
    EXPECT_EQ(probed.markers.size(), decoded.markers.size());
  }
}

TEST(JpegDecode, ForgedHugeFrameIsRefusedBeforeAllocating) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  libgr::jpegdata_t data;
  set_bytes(data, forge_frame_size(read_file(make_jpeg(s, "small", 16, 16, 3, ""))));
  data.name = "huge.jpg";
  libgr::jpeginfo_t info;
  EXPECT_TRUE(info.analyze_markers(data));
  EXPECT_EQ(info.width, 65500u);
  EXPECT_EQ(info.height, 65500u);
  libgr::image2d_t image;
  std::string err;
  EXPECT_FALSE(decode(info, image, data, err));
  EXPECT_EQ(err, "huge.jpg: image too large, 65500x65500 pixels.\n");
  EXPECT_TRUE(image.pixels.empty());
  // A 200-megapixel photo is still welcome.
  EXPECT_TRUE(libgr::check_image_size("big.jpg", 17320, 11547));
}

TEST(JpegDecode, EndlessScanListIsCutShort) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  bytes_t forged =
      repeat_last_scan(read_file(make_jpeg(s, "prog", 64, 64, 1, "-progressive")), 600);

  libgr::jpegdata_t data;
  set_bytes(data, forged);
  data.name = "scans.jpg";
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  std::string err;
  EXPECT_TRUE(decode(info, image, data, err));
  EXPECT_NE(err.find("scans.jpg: error detected.\nJPEG image has more than 500 scans\n"
                     "scans.jpg: jpeg decompress fail, but continue.\n"),
            std::string::npos)
      << err;
}

// --- markers ------------------------------------------------------------------

TEST(JpegMarkers, KeepEverySegmentInFileOrderAsPrivateCopies) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  std::string commented = s.path("com.jpg");
  ASSERT_EQ(run("wrjpgcom -comment 'hello, album' " + quote(make_jpeg(s, "plain", 8, 8, 3, "")) +
                " > " + quote(commented)),
            0);
  for (const std::string& path :
       {data_file("FujiFilm_SP-2500.jpg"), data_file("Sony_D700.jpg"), commented}) {
    SCOPED_TRACE(path);
    std::vector<segment_t> expected = app_segments(segments(read_file(path)));
    libgr::jpegdata_t data;
    ASSERT_TRUE(data.load(path.c_str(), nullptr));
    libgr::jpeginfo_t analysed, decoded;
    ASSERT_TRUE(analysed.analyze_markers(data));
    libgr::image2d_t image;
    std::string err;
    ASSERT_TRUE(decode(decoded, image, data, err));
    for (const libgr::jpeginfo_t* info : {&analysed, &decoded}) {
      ASSERT_EQ(info->markers.size(), expected.size());
      auto want = expected.begin();
      for (const libgr::jpeginfo_t::marker_t& m : info->markers) {
        EXPECT_EQ(m.code, want->code);
        EXPECT_TRUE(to_bytes(m.payload) == want->payload);
        EXPECT_TRUE(m.payload.end() <= data.data.begin() || m.payload.begin() >= data.data.end())
            << "a window on the file";
        ++want;
      }
    }
    bytes_t com = to_bytes(decoded.get_marker(libgr::jpeginfo_t::MARKER_COM));
    bytes_t exif = to_bytes(decoded.get_marker(1u));
    if (path == commented) {
      EXPECT_EQ(std::string(com.begin(), com.end()), "hello, album");
      EXPECT_TRUE(exif.empty());
    } else {
      EXPECT_TRUE(com.empty());
      ASSERT_GE(exif.size(), 6u);
      EXPECT_TRUE(std::equal(exif.begin(), exif.begin() + 6, "Exif\0\0"));
    }
    EXPECT_TRUE(decoded.get_marker(17u).empty());
  }
}

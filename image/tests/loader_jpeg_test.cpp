#include "image/loader_jpeg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "image/tests/jpeg_test_support.h"

using namespace jpegtest;

namespace {

bool decode(libgr::jpeginfo_t& info, libgr::image2d_t& image, libgr::jpegdata_t& data,
            std::string& err) {
  testing::internal::CaptureStderr();
  bool ok = info.decompress(image, data, 0, false, libgr::black3ub);
  err = testing::internal::GetCapturedStderr();
  return ok;
}

bool encode(libgr::jpeginfo_t& info, libgr::jpegdata_t& out, const libgr::image2d_t& image,
            std::string& err) {
  testing::internal::CaptureStderr();
  bool ok = info.compress(out, image, 90, true);
  err = testing::internal::GetCapturedStderr();
  return ok;
}

// The image as djpeg writes it: the picture's top row (the last stored
// row) first.
bytes_t as_pnm(const libgr::image2d_t& image) {
  bool grey = image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE;
  std::string head = std::string(grey ? "P5\n" : "P6\n") + std::to_string(image.width) + " " +
                     std::to_string(image.height) + "\n255\n";
  bytes_t out(head.begin(), head.end());
  for (uint32_t r = image.height; r-- > 0;)
    out.insert(out.end(), image[r], image[r] + image.rowbyte());
  return out;
}

libgr::image2d_t rgb_image(uint32_t width, uint32_t height) {
  libgr::image2d_t image;
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = width;
  image.height = height;
  EXPECT_TRUE(image.allocate());
  for (uint32_t r = 0; r < height; ++r)
    for (uint64_t i = 0; i < image.rowbyte(); ++i)
      image[r][i] = static_cast<unsigned char>(r * 31 + i * 7);
  return image;
}

size_t count_code(const bytes_t& jpeg, unsigned char code) {
  size_t n = 0;
  for (const segment_t& x : segments(jpeg)) n += x.code == code;
  return n;
}

}  // namespace

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
  const bytes_t inputs[] = {camera, bytes_t(camera.begin(), camera.begin() + sos + 400),
                            bytes_t(camera.begin(), camera.begin() + 1000),
                            {0xFF, 0xD8}, forge_frame_size(camera)};
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

// --- encoding -----------------------------------------------------------------

TEST(JpegEncode, MatchesCjpegBaseline) {
  scratch_t s;
  ASSERT_TRUE(s.ok());
  struct {
    unsigned width, height;
    int channels, quality, noise;
  } cases[] = {
      {1, 1, 3, 90, 24},   {17, 13, 3, 90, 24},     {100, 75, 3, 90, 24}, {35, 21, 1, 90, 24},
      {64, 48, 3, 40, 24}, {300, 200, 3, 100, 255},  // noise at full quality outgrows the first
                                                     // output block
  };
  for (auto& c : cases) {
    std::string pnm = s.path(c.channels == 1 ? "in.pgm" : "in.ppm");
    std::string ours = s.path("ours.jpg"), theirs = s.path("theirs.jpg"),
                q = std::to_string(c.quality);
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " q" + q);
    ASSERT_TRUE(write_picture(pnm, c.width, c.height, c.channels, 3, c.noise));
    ASSERT_EQ(run(quote(imagetool()) + " encode " + q + " " + quote(pnm) + " " + quote(ours)), 0);
    ASSERT_EQ(
        run("cjpeg -quality " + q + " -baseline -outfile " + quote(theirs) + " " + quote(pnm)), 0);
    EXPECT_TRUE(read_file(ours) == read_file(theirs));
  }
}

TEST(JpegEncode, MarkerListFollowsLibjpegsOwnJfifSegment) {
  libgr::jpegdata_t data, out;
  ASSERT_TRUE(data.load(data_file("Olympus_X-2.jpg").c_str(), nullptr));
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  std::string err;
  ASSERT_TRUE(decode(info, image, data, err));
  ASSERT_EQ(info.markers.size(), 2u);
  ASSERT_TRUE(encode(info, out, image, err));
  bytes_t stream = to_bytes(out.data);
  std::vector<segment_t> apps = app_segments(segments(stream));
  ASSERT_EQ(apps.size(), 3u);
  EXPECT_EQ(apps[0].code, 0xE0);
  EXPECT_EQ(apps[1].code, 0xE0);
  EXPECT_EQ(apps[2].code, 0xE1);
  EXPECT_TRUE(apps[1].payload == to_bytes(info.markers.front().payload));
  EXPECT_TRUE(apps[2].payload == to_bytes(info.markers.back().payload));
  ASSERT_GE(stream.size(), 2u);  // exactly the stream: it ends with EOI
  EXPECT_TRUE(stream[stream.size() - 2] == 0xFF && stream.back() == 0xD9);

  info.markers.clear();
  ASSERT_TRUE(encode(info, out, image, err));
  EXPECT_EQ(app_segments(segments(to_bytes(out.data))).size(), 1u);
}

TEST(JpegEncode, ReencodeOfCameraFileKeepsExifByteForByte) {
  REQUIRE_PROGRAM("exiftool");
  scratch_t s;
  ASSERT_TRUE(s.ok());
  for (const char* name : {"FujiFilm_SP-2500.jpg", "Sony_D700.jpg"}) {
    SCOPED_TRACE(name);
    std::string in = data_file(name), out = s.path("re.jpg");
    ASSERT_EQ(run(quote(imagetool()) + " reencode " + quote(in) + " " + quote(out)), 0);
    ASSERT_EQ(run("exiftool -b -EXIF " + quote(in) + " > " + quote(s.path("a.exif"))), 0);
    ASSERT_EQ(run("exiftool -b -EXIF " + quote(out) + " > " + quote(s.path("b.exif"))), 0);
    bytes_t a = read_file(s.path("a.exif"));
    EXPECT_GT(a.size(), 1000u);
    EXPECT_TRUE(a == read_file(s.path("b.exif")));
    EXPECT_EQ(count_code(read_file(out), 0xE0), count_code(read_file(in), 0xE0) + 1);
  }
}

TEST(JpegEncode, RefusesImagesItCannotEncodeWithoutEndingTheProgram) {
  libgr::jpeginfo_t info;
  libgr::jpegdata_t out;
  out.name = "out.jpg";
  std::string err;

  libgr::image2d_t rgba = rgb_image(4, 4);
  rgba.desc.format = libgr::IMAGE_FORMAT_RGBA;
  EXPECT_FALSE(encode(info, out, rgba, err));
  EXPECT_EQ(err, "");
  EXPECT_TRUE(out.data.empty());

  // A 1 x N photo halved has no columns left; libjpeg's own error exit
  // would end the whole program here.
  EXPECT_FALSE(encode(info, out, rgb_image(0, 7), err));
  EXPECT_EQ(err, "out.jpg: jpeg compress fail, image is 0x7 pixels.\n");
  EXPECT_TRUE(out.data.empty());

  libgr::image2d_t short_store = rgb_image(8, 2);
  short_store.height = 9;
  EXPECT_FALSE(encode(info, out, short_store, err));
  EXPECT_EQ(err, "out.jpg: jpeg compress fail, image store too small.\n");

  // An error inside libjpeg: a marker longer than a segment can hold.
  libgr::jpeginfo_t::marker_t big;
  big.code = 0xE2;
  ASSERT_TRUE(big.payload.resize(70000));
  info.markers.push_back(big);
  EXPECT_FALSE(encode(info, out, rgb_image(8, 8), err));
  EXPECT_EQ(err.find("out.jpg: error detected.\n"), 0u) << err;
  EXPECT_NE(err.find("\nout.jpg: jpeg compress fail.\n"), std::string::npos) << err;
  EXPECT_TRUE(out.data.empty());
}

TEST(JpegEncode, WindowedImageEncodesItsWindow) {
  libgr::image2d_t window = rgb_image(12, 10);
  window.window.row_length = 12;
  window.window.skip_pixels = 3;
  window.window.skip_rows = 2;
  window.width = 5;
  window.height = 6;
  libgr::image2d_t packed = rgb_image(5, 6);
  for (uint32_t r = 0; r < 6; ++r) std::copy(window[r], window[r] + 15, packed[r]);
  libgr::jpeginfo_t info;
  libgr::jpegdata_t a, b;
  std::string err;
  ASSERT_TRUE(encode(info, a, window, err));
  ASSERT_TRUE(encode(info, b, packed, err));
  EXPECT_TRUE(to_bytes(a.data) == to_bytes(b.data));
}

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

// The BMP readers and writer: BMP Suite against ImageMagick, forged
// headers, and round trips.
#include <cstring>
#include <sstream>

#include "image/imageutil.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/loader_bmp.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using namespace libgr;
using grtest::bytes_t;

// Uncompressed BMPs of 1 to 8 bits with a palette, and true colour.
const char* const in_scope[] = {
    "pal1.bmp",   "pal1bg.bmp",   "pal1wb.bmp",   "pal4.bmp",          "pal4gs.bmp",
    "pal8.bmp",   "pal8-0.bmp",   "pal8gs.bmp",   "pal8nonsquare.bmp", "pal8topdown.bmp",
    "pal8v4.bmp", "pal8v5.bmp",   "pal8w124.bmp", "pal8w125.bmp",      "pal8w126.bmp",
    "rgb24.bmp",  "rgb24pal.bmp", "rgb32.bmp",
};
// Run-length coded, bit fields, 16 bits and the OS/2 header.
const char* const out_of_scope[] = {
    "pal4rle.bmp",      "pal8rle.bmp",    "pal8os2.bmp", "rgb16.bmp",      "rgb16-565.bmp",
    "rgb16-565pal.bmp", "rgb16bfdef.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp",
};

bool load_mapped(image2d_t& image, const std::string& path) {
  image_bmp2_t object;
  return object.load(image, path.c_str());
}

TEST(BmpSuite, InScopeFilesHaveTheirReferencePixels) {
  if (!grtest::have_imagemagick()) GTEST_SKIP() << "no ImageMagick";
  grtest::scratch_t scratch;
  for (const char* name : in_scope) {
    SCOPED_TRACE(name);
    const std::string path = grtest::data_file(std::string("bmpsuite/g/") + name);
    image2d_t image;
    ASSERT_TRUE(load_mapped(image, path));
    EXPECT_TRUE(grtest::same_pixels(grtest::rgba16(image),
                                    grtest::imagemagick_rgba16(path, scratch / "ref.rgba"), false));
  }
}

TEST(BmpSuite, StreamReaderGivesTheIndicesAndColoursOfTheMappedOne) {
  for (const char* name : {"pal4.bmp", "pal8.bmp", "pal8topdown.bmp", "pal8v5.bmp", "rgb24.bmp"}) {
    SCOPED_TRACE(name);
    const std::string path = grtest::data_file(std::string("bmpsuite/g/") + name);
    image2d_t mapped, streamed;
    ASSERT_TRUE(load_mapped(mapped, path));
    image_bmp_t object;
    ASSERT_TRUE(object.load(streamed, path.c_str()));
    if (mapped.desc.format == IMAGE_FORMAT_INDEX) {
      EXPECT_EQ(streamed.desc.format, IMAGE_FORMAT_GRAYSCALE);
      // The colours-used count, at most 2 to the bits.
      EXPECT_GT(mapped.palette.size, 1u);
      EXPECT_LE(mapped.palette.size, 1u << (streamed.desc.bits == IMAGE_BITS_4 ? 4 : 8));
      mapped.desc.format = IMAGE_FORMAT_GRAYSCALE;
      mapped.palette.clear();
    }
    EXPECT_EQ(grtest::rgba16(streamed), grtest::rgba16(mapped));
  }
}

TEST(BmpSuite, OtherFilesAreRefusedOrReadWithinTheFile) {
  std::vector<std::string> names;
  for (const char* name : out_of_scope) names.push_back(std::string("g/") + name);
  for (std::string dir : {"b", "q"}) {
    for (const std::string& name : grtest::data_files("bmpsuite/" + dir, ".bmp")) {
      names.push_back(dir + "/" + name);
    }
  }
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string path = grtest::data_file("bmpsuite/" + name);
    image2d_t a, b, c;
    testing::internal::CaptureStderr();
    bool mapped = load_mapped(a, path);
    image_bmp_t object;
    bool streamed = object.load(b, path.c_str());
    bool direct = BmpLoad(c, path.c_str(), IMAGE_FORMAT_BGR);
    testing::internal::GetCapturedStderr();
    if (name.compare(0, 2, "g/") == 0) {
      EXPECT_FALSE(mapped);
      EXPECT_FALSE(streamed);
    }
    // Every pixel of what was read lies inside its store (ASan would say).
    for (image2d_t* image : {&a, &b}) {
      if (image->height) {
        EXPECT_EQ(grtest::rgba16(*image).size(), uint64_t(image->width) * image->height * 4);
      }
    }
    (void)direct;
  }
}

TEST(BmpSuite, BadFilesAreRefused) {
  for (const char* name : {"badbitcount.bmp", "badwidth.bmp", "reallybig.bmp", "rletopdown.bmp",
                           "shortfile.bmp", "badplanes.bmp"}) {
    SCOPED_TRACE(name);
    image2d_t image;
    testing::internal::CaptureStderr();
    bool loaded = load_mapped(image, grtest::data_file(std::string("bmpsuite/b/") + name));
    testing::internal::GetCapturedStderr();
    // A wrong planes count harms nothing: the rows are read as they are.
    EXPECT_EQ(loaded, std::string(name) == "badplanes.bmp");
  }
}

// A BMP of the given layout: header_size bytes of information header,
// colours palette entries, then rows of bytes row_fill(r).
bytes_t make_bmp(int32_t width, int32_t height, uint16_t bits, uint32_t header_size = 40,
                 uint32_t colours = 0, uint32_t compression = 0) {
  uint64_t rows = static_cast<uint64_t>(height < 0 ? -int64_t(height) : height);
  uint64_t rowbytes = ((uint64_t(width > 0 ? width : 0) * bits + 31) / 32) * 4;
  uint32_t offset = 14 + header_size + 4 * colours;
  bytes_t b(offset + rowbytes * rows, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, offset);
  put32(14, header_size);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<unsigned char>(bits);
  put32(30, compression);
  put32(46, colours);
  for (uint32_t i = 0; i < colours; ++i) {
    b[14 + header_size + 4 * i] = static_cast<unsigned char>(i);          // blue
    b[14 + header_size + 4 * i + 1] = static_cast<unsigned char>(2 * i);  // green
    b[14 + header_size + 4 * i + 2] = static_cast<unsigned char>(255 - i);
  }
  for (uint64_t i = offset; i < b.size(); ++i) b[i] = static_cast<unsigned char>(i * 7);
  return b;
}

bool mapped_bytes(image2d_t& image, const bytes_t& bytes, bool* loaded = nullptr) {
  pixel_store_t window;
  window.resize(bytes.size());
  if (!bytes.empty()) std::memcpy(window.begin(), bytes.data(), bytes.size());
  bmpimage2_t bmp;
  bool ok = bmp.load(window);
  if (loaded) *loaded = ok;
  return ok && convert(image, bmp);
}

bool streamed_bytes(image2d_t& image, const bytes_t& bytes) {
  std::istringstream is(std::string(bytes.begin(), bytes.end()));
  bmpimage_t bmp;
  return bmp.load(is) && convert(image, bmp);
}

TEST(BmpHeader, ForgedHeadersAreRefusedByEveryReader) {
  std::vector<std::pair<const char*, bytes_t>> cases;
  bytes_t not_bm = make_bmp(4, 4, 8);
  not_bm[0] = 'X';
  cases.push_back({"not BM", not_bm});
  cases.push_back({"width 0", make_bmp(0, 4, 24)});
  cases.push_back({"negative width", make_bmp(-4, 4, 24)});
  cases.push_back({"height 0", make_bmp(4, 0, 24)});
  cases.push_back({"OS/2 header", make_bmp(4, 4, 24, 12)});
  cases.push_back({"depth 7", make_bmp(4, 4, 7)});
  bytes_t too_large = make_bmp(4, 4, 1);
  too_large[20] = 0x10;  // 1M pixels wide
  too_large[23] = 0x04;  // 1K pixels high
  cases.push_back({"too large", too_large});
  bytes_t offset_inside = make_bmp(4, 4, 24);
  offset_inside[10] = 20;
  cases.push_back({"pixels inside the headers", offset_inside});
  bytes_t short_header = make_bmp(4, 4, 24);
  short_header.resize(40);
  cases.push_back({"cut in the header", short_header});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    image2d_t image;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(mapped_bytes(image, c.second));
    EXPECT_FALSE(streamed_bytes(image, c.second));
    std::istringstream is(std::string(c.second.begin(), c.second.end()));
    EXPECT_FALSE(BmpLoad(image, is, IMAGE_FORMAT_RGB));
    testing::internal::GetCapturedStderr();
  }
}

TEST(BmpHeader, RowsPastTheFileAreNeverRead) {
  bytes_t b = make_bmp(10, 10, 24);
  b.resize(b.size() - 5);  // row 9 ends at byte 29, padded to 32
  image2d_t image;
  bool loaded = false;
  EXPECT_FALSE(mapped_bytes(image, b, &loaded));
  EXPECT_TRUE(loaded);  // the headers are sound; convert finds the rows short
  // The stream reader keeps what is there and zeroes the rest.
  ASSERT_TRUE(streamed_bytes(image, b));
  EXPECT_EQ(image.height, 10u);
  EXPECT_EQ(image[9][29], 0);
  EXPECT_NE(image[0][0] | image[0][1] | image[0][2], 0);
}

TEST(BmpHeader, TopDownRowsAreTurnedBottomUp) {
  bytes_t up = make_bmp(5, 3, 8, 40, 256);
  bytes_t down = up;
  const uint32_t offset = 14 + 40 + 1024;
  const size_t rowbytes = 8;
  for (int r = 0; r < 3; ++r) {
    std::memcpy(&down[offset + r * rowbytes], &up[offset + (2 - r) * rowbytes], rowbytes);
  }
  int32_t minus3 = -3;
  std::memcpy(&down[22], &minus3, 4);
  image2d_t a, b, c, d;
  ASSERT_TRUE(mapped_bytes(a, up));
  ASSERT_TRUE(mapped_bytes(b, down));
  EXPECT_EQ(b.height, 3u);
  EXPECT_EQ(grtest::rgba16(a), grtest::rgba16(b));
  ASSERT_TRUE(streamed_bytes(c, up));
  ASSERT_TRUE(streamed_bytes(d, down));
  EXPECT_EQ(grtest::rgba16(c), grtest::rgba16(d));
}

TEST(BmpHeader, PaletteFollowsLongerInformationHeaders) {
  for (uint32_t header : {40u, 108u, 124u}) {
    SCOPED_TRACE(header);
    image2d_t image;
    ASSERT_TRUE(mapped_bytes(image, make_bmp(4, 2, 8, header, 5)));
    EXPECT_EQ(image.desc.format, IMAGE_FORMAT_INDEX);
    ASSERT_EQ(image.palette.size, 5u);
    EXPECT_EQ(image.palette.red[3], 252 * 257);
    EXPECT_EQ(image.palette.green[3], 6 * 257);
    EXPECT_EQ(image.palette.blue[3], 3 * 257);
  }
  // Without room for a table: grey values.
  image2d_t grey;
  ASSERT_TRUE(mapped_bytes(grey, make_bmp(4, 2, 8, 40, 0)));
  EXPECT_EQ(grey.desc.format, IMAGE_FORMAT_GRAYSCALE);
}

TEST(BmpHeader, LayoutsByDepth) {
  image2d_t image;
  // 1 bit, 33 pixels: 5 bytes of bits padded to 8.
  ASSERT_TRUE(streamed_bytes(image, make_bmp(33, 3, 1)));
  EXPECT_EQ(image.rowsize(), 8u);
  EXPECT_EQ(image.pixels.size(), 24u);
  ASSERT_TRUE(mapped_bytes(image, make_bmp(3, 3, 24, 40, 4)));
  EXPECT_EQ(image.desc.format, IMAGE_FORMAT_BGR);
  EXPECT_EQ(image.palette.size, 0u);
  // 32 bits: BGRA from the mapped reader, refused by the stream reader.
  ASSERT_TRUE(mapped_bytes(image, make_bmp(3, 3, 32)));
  EXPECT_EQ(image.desc.format, IMAGE_FORMAT_BGRA);
  EXPECT_FALSE(streamed_bytes(image, make_bmp(3, 3, 32)));
  // Compressed: the headers load, convert refuses.
  bool loaded = false;
  EXPECT_FALSE(mapped_bytes(image, make_bmp(4, 4, 8, 40, 256, 1), &loaded));
  EXPECT_TRUE(loaded);
  EXPECT_FALSE(streamed_bytes(image, make_bmp(4, 4, 8, 40, 256, 1)));
}

TEST(BmpLoad, TurnsTrueColourIntoRgbOrder) {
  bytes_t b = make_bmp(3, 2, 24);
  image2d_t bgr, rgb;
  ASSERT_TRUE(mapped_bytes(bgr, b));
  std::istringstream is(std::string(b.begin(), b.end()));
  ASSERT_TRUE(BmpLoad(rgb, is, IMAGE_FORMAT_RGB));
  EXPECT_EQ(rgb.desc, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8));
  EXPECT_EQ(grtest::rgba16(rgb), grtest::rgba16(bgr));
}

TEST(BmpLoad, RefusesALabelThatDoesNotFitTheRows) {
  // Found by the fuzzer: a 1-bit file labelled RGB claimed 24 times the
  // bytes that were read.
  image2d_t image;
  EXPECT_FALSE(BmpLoad(image,
                       grtest::data_file("regress/bmpload_label_wider_than_rows.bmp").c_str(),
                       IMAGE_FORMAT_RGB));
  bytes_t b = make_bmp(5, 2, 24);
  std::istringstream is(std::string(b.begin(), b.end()));
  EXPECT_FALSE(BmpLoad(image, is, IMAGE_FORMAT_GRAYSCALE));
  std::istringstream again(std::string(b.begin(), b.end()));
  EXPECT_TRUE(BmpLoad(image, again, IMAGE_FORMAT_BGR));
}

TEST(BmpSave, WritesTrueColourAndGreyFilesOthersRead) {
  grtest::scratch_t scratch;
  for (e_image_format_t format : {IMAGE_FORMAT_BGR, IMAGE_FORMAT_GRAYSCALE}) {
    SCOPED_TRACE(format);
    const std::string path = scratch / "out.bmp";
    image2d_t image = grtest::pattern(format, IMAGE_BITS_8, 7, 5, 40, 9);
    image_bmp_t writer;
    ASSERT_TRUE(writer.save(image, path.c_str()));
    bytes_t file = grtest::read_file(path);
    const bool grey = format == IMAGE_FORMAT_GRAYSCALE;
    const uint32_t offset = grey ? 54 + 1024 : 54;
    EXPECT_EQ(file.size(), offset + 5 * (grey ? 8u : 24u));
    EXPECT_EQ(file[10], offset & 0xFF);
    EXPECT_EQ(file[28], grey ? 8 : 24);
    EXPECT_EQ(file[38], 72);
    image2d_t back;
    image_bmp_t reader;
    ASSERT_TRUE(reader.load(back, path.c_str()));
    EXPECT_EQ(back.desc, image.desc);
    EXPECT_EQ(grtest::rgba16(back), grtest::rgba16(image));
    if (grtest::have_imagemagick()) {
      EXPECT_TRUE(grtest::same_pixels(grtest::imagemagick_rgba16(path, scratch / "ref.rgba"),
                                      grtest::rgba16(image), false));
    }
  }
}

TEST(BmpSave, CopiesWindowRowsAndRefusesOtherLayouts) {
  grtest::scratch_t scratch;
  image2d_t big = grtest::pattern(IMAGE_FORMAT_BGR, IMAGE_BITS_8, 9, 9, 40, 9), part;
  ASSERT_TRUE(makewindow(part, big, 1, 2, 5, 4));
  image_bmp_t object;
  ASSERT_TRUE(object.save(part, (scratch / "part.bmp").c_str()));
  image2d_t back;
  ASSERT_TRUE(object.load(back, (scratch / "part.bmp").c_str()));
  EXPECT_EQ(grtest::rgba16(back), grtest::rgba16(part));

  image2d_t rgb = grtest::pattern(IMAGE_FORMAT_RGB, IMAGE_BITS_8, 4, 4, 40, 9);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(object.save(rgb, (scratch / "rgb.bmp").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "convert(to bmp): not supported format.\n");
  image_bmp2_t mapped;
  EXPECT_FALSE(mapped.save(part, (scratch / "mapped.bmp").c_str()));
  EXPECT_FALSE(std::filesystem::exists(scratch / "mapped.bmp"));
}

}  // namespace

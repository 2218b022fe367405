#include "image/exif.h"

#include <gtest/gtest.h>

#include "image/tests/camera_files.h"

using namespace testutil;
using libgr::app1_marker_t;

namespace {

bool parse_tiff(app1_marker_t& m, const tiff_writer& w, std::string* err = nullptr) {
  return parse(m, app1_payload(w.b), err);
}

const app1_marker_t::tiff_header_t& t(const app1_marker_t& m) { return m.tiff_header; }

}  // namespace

TEST(TiffHeader, ReadsMainIfdInBothByteOrders) {
  for (bool big : {true, false}) {
    SCOPED_TRACE(big ? "MM" : "II");
    tiff_writer w(big);
    build_tiff(w, {w.e_ascii(0x010F, "Maker"), w.e_short(0x0112, 6), w.e_rational(0x011A, 300, 1),
                   w.e_ascii(0x0131, "fw 1.0")});
    app1_marker_t m;
    ASSERT_TRUE(parse_tiff(m, w));
    EXPECT_EQ(t(m).tag_0th.make, std::string("Maker\0", 6));
    EXPECT_EQ(t(m).tag_0th.orientation, std::vector<uint16_t>{6});
    ASSERT_EQ(t(m).tag_0th.x_resolution.size(), 1u);
    EXPECT_EQ(t(m).tag_0th.x_resolution[0].numerator, 300u);
    EXPECT_EQ(t(m).tag_0th.x_resolution[0].denominator, 1u);
    EXPECT_STREQ(t(m).tag_0th.software.c_str(), "fw 1.0");
    EXPECT_TRUE(t(m).thumbnail.empty());
    EXPECT_EQ(big, t(m).is_motorola());
  }
}

TEST(TiffHeader, RejectsBrokenHeaders) {
  struct {
    bytes_t tiff;
    const char* message;
  } cases[] = {
      {text(std::string("MM\0*\0\0\0", 7)), "too few tiff header size.\n"},
      {text(std::string("XX\0*\0\0\0\x08", 8)), "byteorder mark not recognized.\n"},
      {text(std::string("II\x2b\0\x08\0\0\0", 8)), "not tiff(0x00, 0x2a).\n"},
      {text(std::string("II*\0\xff\0\0\0", 8)), "value over, offset 255 tiff size: 8\n"},
  };
  for (auto& c : cases) {
    app1_marker_t m;
    std::string err;
    EXPECT_FALSE(parse(m, app1_payload(c.tiff), &err));
    EXPECT_EQ(err, c.message);
  }
}

TEST(TiffHeader, NonExifPayloadFailsSilently) {
  app1_marker_t m;
  std::string err;
  EXPECT_FALSE(parse(m, text("http://ns.adobe.com/xap/1.0/"), &err));
  EXPECT_FALSE(parse(m, text("Exif"), &err));
  EXPECT_EQ(err, "");
}

TEST(TiffHeader, TakesValuesByByteLengthNotType) {
  tiff_writer w(false);
  build_tiff(w,
             {w.e_long(0x0112, 6),               // LONG orientation: 4 bytes
              entry_t{0x0213, 11, 1, w.u16(1)},  // FLOAT counts 0 bytes
              entry_t{0x0128, 1, 2, w.u16(2)}},  // two BYTEs = 2 bytes
             {entry_t{0x8822, 4, 1, w.u32(3)}});
  // The Exif pointer itself is tried as four BYTEs below.
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_TRUE(t(m).tag_0th.orientation.empty());
  EXPECT_TRUE(t(m).tag_0th.ycbcr_positioning.empty());
  EXPECT_EQ(t(m).tag_0th.resolution_unit, std::vector<uint16_t>{2});
  EXPECT_TRUE(t(m).tag_exif.exposure_program.empty());

  tiff_writer w2(true);
  size_t ifd = w2.ifd({w2.e_raw(0x8769, 1, 4, 26)});
  ASSERT_EQ(w2.ifd({w2.e_short(0x8822, 3)}), 26u);
  (void)ifd;
  app1_marker_t m2;
  ASSERT_TRUE(parse_tiff(m2, w2));
  EXPECT_EQ(t(m2).tag_exif.exposure_program, std::vector<uint16_t>{3});
}

TEST(TiffHeader, StringRules) {
  tiff_writer w(false);
  build_tiff(w, {w.e_ascii(0x010E, "", 0), w.e_ascii(0x0110, "Model", 12)},
             {w.e_ascii(0x9003, "2020:01:02 03:04:05", 19),  // no NUL: not taken
              w.e_ascii(0x9004, "2020:01:02 03:04:05"),      // 20 bytes
              w.e_ascii(0xA434, "XYZ")});
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_EQ(t(m).tag_0th.image_description, "");
  EXPECT_EQ(t(m).tag_0th.model, std::string("Model\0\0\0\0\0\0\0", 12));
  EXPECT_EQ(t(m).tag_exif.date_time_original, "");
  EXPECT_EQ(t(m).tag_exif.date_time_digitized, std::string("2020:01:02 03:04:05\0", 20));
  EXPECT_EQ(t(m).tag_exif.lens_model, "XYZ");
}

TEST(TiffHeader, ExifFieldsAreIndependent) {
  tiff_writer w(true);
  build_tiff(w, {},
             {w.e_short(0xA408, 1), w.e_srational(0x9204, -2, 3), w.e_rational(0x829A, 1, 125),
              w.e_short(0xA408, 2)});
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_EQ(t(m).tag_exif.contrast, std::vector<uint16_t>{2}) << "the last occurrence wins";
  EXPECT_TRUE(t(m).tag_exif.saturation.empty());
  EXPECT_TRUE(t(m).tag_exif.sharpness.empty());
  EXPECT_TRUE(t(m).tag_exif.lens_model.empty());
  ASSERT_EQ(t(m).tag_exif.exposure_bias_value.size(), 1u);
  EXPECT_EQ(t(m).tag_exif.exposure_bias_value[0].numerator, -2);
  EXPECT_EQ(t(m).tag_exif.exposure_time[0].denominator, 125u);
}

TEST(TiffHeader, UnknownTypes) {
  // In the 0th IFD an entry of type 14 is skipped; in the Exif IFD it ends
  // the walk, and the parse still succeeds.
  tiff_writer w(false);
  build_tiff(w, {entry_t{0x0112, 14, 1, w.u16(3)}, w.e_short(0x0112, 8)},
             {w.e_short(0x8822, 2), entry_t{0x9207, 14, 1, w.u16(5)}, w.e_short(0x9209, 1)});
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_EQ(t(m).tag_0th.orientation, std::vector<uint16_t>{8});
  EXPECT_EQ(t(m).tag_exif.exposure_program, std::vector<uint16_t>{2});
  EXPECT_TRUE(t(m).tag_exif.flash.empty());
}

TEST(TiffHeader, EmptyIfdIsValid) {
  tiff_writer w(true);
  w.ifd({});
  app1_marker_t m;
  EXPECT_TRUE(parse_tiff(m, w));
  EXPECT_TRUE(t(m).tag_0th.make.empty());
}

TEST(TiffHeader, StopsAtTruncatedIfds) {
  tiff_writer w(false);
  w.append(w.u16(10) + w.u16(0x0112) + w.u16(3));  // 10 entries announced, 4 bytes follow
  app1_marker_t m;
  std::string err;
  EXPECT_FALSE(parse_tiff(m, w, &err));
  EXPECT_EQ(err, "value over, offset: 10 ifd size: 6\n");

  // An Exif IFD whose entries run past the block.
  tiff_writer w2(true);
  w2.ifd({w2.e_long(0x8769, 26)});
  w2.append(w2.u16(3) + w2.u16(0x8822));
  app1_marker_t m2;
  EXPECT_FALSE(parse_tiff(m2, w2, &err));
  EXPECT_EQ(err, "exif ifd size exceed: 66 > 30\n");
}

TEST(TiffHeader, BadExifAndGpsPointers) {
  struct {
    uint16_t tag;
    uint32_t pointer;
    const char* message;
  } cases[] = {
      {0x8769, 26, "exif_ifd_offset size exceed: 26 > 26\n"},  // the block's size
      {0x8769, 0xFFFFFFF8u, "exif_ifd_offset size exceed: 4294967288 > 26\n"},
      {0x8825, 0xFFFFFFFFu, "gps_ifd size exceed: 4294967299 > 26\n"},
  };
  for (auto& c : cases) {
    tiff_writer w(false);
    w.ifd({w.e_long(c.tag, c.pointer)});
    app1_marker_t m;
    std::string err;
    EXPECT_FALSE(parse_tiff(m, w, &err));
    EXPECT_EQ(err, c.message);
  }
}

TEST(TiffHeader, HugeCountsNeitherWrapNorAllocate) {
  // 0x20000000 rationals are 2^32 bytes: a 32-bit product would be 0, an
  // inline empty value. Offset + length must not wrap either.
  tiff_writer w(false);
  build_tiff(w, {}, {entry_t{0x829A, 5, 0x20000000u, {}, true, 8}});
  app1_marker_t m;
  std::string err;
  EXPECT_FALSE(parse_tiff(m, w, &err));
  EXPECT_EQ(err, "offset+size over: 8, 4294967296, tiff size: 44\n");

  tiff_writer w2(false);
  build_tiff(w2, {}, {w2.e_raw(0x829A, 5, 2, 0xFFFFFFF8u)});
  app1_marker_t m2;
  EXPECT_FALSE(parse_tiff(m2, w2, &err));
  EXPECT_EQ(err, "offset+size over: 4294967288, 16, tiff size: 44\n");

  // A text whose count runs far past the block is cut where the bytes end.
  tiff_writer w3(true);
  w3.ifd({w3.e_raw(0x010F, 2, 0xFFFFFFFFu, 26)});
  w3.append(text("Maker"));
  app1_marker_t m3;
  ASSERT_TRUE(parse_tiff(m3, w3));
  EXPECT_EQ(t(m3).tag_0th.make, "Maker");
}

TEST(TiffHeader, FixedSizeValueCutShortIsNotRead) {
  tiff_writer w(true);
  w.ifd({w.e_raw(0x011A, 5, 1, 26)});
  w.append(w.u32(72));  // half a rational, then the block ends
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_TRUE(t(m).tag_0th.x_resolution.empty());
}

TEST(TiffHeader, ThumbnailIsAWindowOnThePayload) {
  tiff_writer w(false);
  size_t jpeg_at = w.append(text("\xff\xd8thumb\xff\xd9"));
  build_tiff(w, {w.e_short(0x0112, 1)}, {},
             {w.e_long(0x0201, uint32_t(jpeg_at)), w.e_long(0x0202, 9)});
  libgr::byte_window_t payload = window(app1_payload(w.b));
  app1_marker_t m;
  m.set_app1_buffer(payload);
  ASSERT_TRUE(m.parse());
  ASSERT_EQ(t(m).thumbnail.size(), 9u);
  EXPECT_EQ(t(m).thumbnail.begin(), payload.begin() + 6 + jpeg_at);
  EXPECT_EQ(t(m).tag_1st.jpeg_interchange_format_length, std::vector<uint32_t>{9});
  EXPECT_TRUE(t(m).tag_0th.jpeg_interchange_format.empty());
}

TEST(TiffHeader, ThumbnailNeedsBothTagsAndBytes) {
  struct {
    std::vector<std::pair<uint16_t, uint32_t>> tags;
    size_t size;
  } cases[] = {
      {{{0x0201, 8}}, 0},                    // no length
      {{{0x0201, 8}, {0x0202, 0}}, 0},       // no bytes
      {{{0x0201, 4000}, {0x0202, 10}}, 0},   // starts past the block
      {{{0x0201, 8}, {0x0202, 100000}}, 0},  // cut where the block ends
  };
  for (auto& c : cases) {
    tiff_writer w(true);
    std::vector<entry_t> ifd1;
    for (auto& tag : c.tags) ifd1.push_back(w.e_long(tag.first, tag.second));
    build_tiff(w, {w.e_short(0x0112, 1)}, {}, ifd1);
    app1_marker_t m;
    ASSERT_TRUE(parse_tiff(m, w));
    if (c.tags.size() == 2 && c.tags[1].second == 100000) {
      EXPECT_EQ(t(m).thumbnail.size(), w.b.size() - 8);
    } else {
      EXPECT_TRUE(t(m).thumbnail.empty());
    }
  }
}

TEST(TiffHeader, BadNextIfdOffsetMeansNoThumbnail) {
  tiff_writer w(false);
  w.ifd({w.e_short(0x0112, 3)}, 0xFFFFFFF0u);
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_EQ(t(m).tag_0th.orientation, std::vector<uint16_t>{3});
  EXPECT_TRUE(t(m).ifd_1st.empty());
}

TEST(TiffHeader, ClearEmptiesForReuse) {
  tiff_writer w(false);
  build_tiff(w, {w.e_short(0x0112, 6)}, {w.e_undefined(0x927C, text("some note"))});
  app1_marker_t m;
  ASSERT_TRUE(parse_tiff(m, w));
  EXPECT_EQ(t(m).tag_exif.maker_note.size(), 9u);
  m.clear();
  EXPECT_TRUE(t(m).tag_0th.orientation.empty());
  EXPECT_TRUE(t(m).tag_exif.maker_note.empty());
  EXPECT_EQ(t(m).byteorder, nullptr);
  EXPECT_TRUE(m.payload.empty());
}

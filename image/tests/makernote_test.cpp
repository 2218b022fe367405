#include <gtest/gtest.h>

#include "image/exif.h"
#include "image/tests/camera_files.h"

using namespace testutil;
using libgr::app1_marker_t;

namespace {

const bytes_t olymp_prefix = text(std::string("OLYMP\0\x01\x00", 8));
const bytes_t olympus_prefix = text(std::string("OLYMPUS\0II\x03\x00", 12));
const bytes_t om_prefix = text(std::string("OM SYSTEM\0\0\0II\x04\x00", 16));
const bytes_t pentax_prefix = text(std::string("PENTAX \0II", 10));

// The APP1 payload of a block whose 0th IFD holds make, an orientation of 6
// and a thumbnail, and whose Exif IFD holds the note note(base) makes; base
// is where the note lands in the TIFF block.
template <class Note>
bytes_t with_note(bool big, const std::string& make, Note note) {
  uint32_t base = 0;
  for (int pass = 0; pass < 2; ++pass) {
    tiff_writer w(big);
    size_t thumb = w.append(text("\xff\xd8\xff\xd9"));
    tiff_layout_t at = build_tiff(w, {w.e_ascii(0x010F, make), w.e_short(0x0112, 6)},
                                  {w.e_undefined(0x927C, note(base))},
                                  {w.e_long(0x0201, uint32_t(thumb)), w.e_long(0x0202, 4)});
    if (pass == 1) return app1_payload(w.b);
    base = uint32_t(at.exif + 18);  // the note is the Exif IFD's only long value
  }
  return {};
}

// A note with prefix and a main IFD of three sub-IFD pointers (type 13)
// followed by the Equipment, CameraSettings and FocusInfo IFDs; offsets
// count from the note's first byte.
bytes_t olympus3_note(bool big, const bytes_t& prefix, const std::vector<entry_t>& equipment,
                      const std::vector<entry_t>& camerasettings,
                      const std::vector<entry_t>& focusinfo) {
  tiff_writer n(big, false);
  n.append(prefix);
  size_t main =
      n.ifd({n.e_raw(0x2010, 13, 1, 0), n.e_raw(0x2020, 13, 1, 0), n.e_raw(0x2050, 13, 1, 0)});
  n.put32(tiff_writer::field_of(main, 0), uint32_t(n.ifd(equipment)));
  n.put32(tiff_writer::field_of(main, 1), uint32_t(n.ifd(camerasettings)));
  n.put32(tiff_writer::field_of(main, 2), uint32_t(n.ifd(focusinfo)));
  return n.b;
}

// The note declares its own byte order in the two bytes before its version.
bytes_t olympus3_sample(bool big, const bytes_t& prefix) {
  tiff_writer n(big, false);
  bytes_t declared = prefix;
  if (big) declared[prefix.size() - 4] = declared[prefix.size() - 3] = 'M';
  return olympus3_note(
      big, declared, {n.e_ascii(0x0203, "M.17mm F1.8", 32)},
      {entry_t{0x0301, 3, 2, n.u16(0) + n.u16(65)}, n.e_short(0x0500, 18),
       entry_t{0x0804, 4, 2, n.u32(1) + n.u32(5)}},
      {n.e_short(0x0209, 1), n.e_short(0x0301, 1914), n.e_rational(0x0305, 250, 10)});
}

void expect_olympus3_sample(const app1_marker_t::tiff_header_t& t) {
  EXPECT_EQ(t.tag_olympus3_equipment.lens_model.size(), 32u);
  EXPECT_STREQ(t.tag_olympus3_equipment.lens_model.c_str(), "M.17mm F1.8");
  EXPECT_EQ(t.tag_olympus3_camerasettings.focus_mode, (std::vector<uint16_t>{0, 65}));
  EXPECT_EQ(t.tag_olympus3_camerasettings.white_balance2, std::vector<uint16_t>{18});
  ASSERT_EQ(t.tag_olympus3_camerasettings.stacked_image.size(), 1u);
  EXPECT_EQ(t.tag_olympus3_camerasettings.stacked_image[0].numerator, 1u);
  EXPECT_EQ(t.tag_olympus3_camerasettings.stacked_image[0].denominator, 5u);
  EXPECT_EQ(t.tag_olympus3_focusinfo.auto_focus, std::vector<uint16_t>{1});
  EXPECT_EQ(t.tag_olympus3_focusinfo.focus_step_count, std::vector<uint16_t>{1914});
  ASSERT_EQ(t.tag_olympus3_focusinfo.focus_distance.size(), 1u);
  EXPECT_EQ(t.tag_olympus3_focusinfo.focus_distance[0].numerator, 250u);
  // The rest of the record survives the note.
  EXPECT_EQ(t.tag_0th.orientation, std::vector<uint16_t>{6});
  EXPECT_EQ(t.thumbnail.size(), 4u);
}

}  // namespace

TEST(OlympusNote, OldLayoutIsCopiedWithOffsetsFromTheTiffBlock) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "MM" : "II");
    bytes_t payload = with_note(big, "OLYMPUS OPTICAL CO.,LTD", [&](uint32_t base) {
      tiff_writer n(big, false, base);
      n.append(olymp_prefix);
      n.ifd({n.e_short(0x100B, 1), n.e_rational(0x100C, 150, 100),
             entry_t{0x1015, 3, 2, n.u16(2) + n.u16(3)}});
      return n.b;
    });
    libgr::byte_window_t w = window(payload);
    app1_marker_t m;
    m.set_app1_buffer(w);
    ASSERT_TRUE(m.parse());
    const auto& t = m.tiff_header;
    EXPECT_EQ(t.ifd_makernote.size(), 38u);
    const unsigned char* ifd = t.ifd_makernote.begin();
    EXPECT_TRUE(ifd < w.begin() || ifd >= w.end()) << "a private copy";
    EXPECT_EQ(t.tag_olympus.focus_mode, std::vector<uint16_t>{1});
    ASSERT_EQ(t.tag_olympus.manual_focus_distance.size(), 1u);
    EXPECT_EQ(t.tag_olympus.manual_focus_distance[0].numerator, 150u);
    EXPECT_EQ(t.tag_olympus.wb_mode, (std::vector<uint16_t>{2, 3}));
  }
}

TEST(OlympusNote, MakeIsComparedWithoutCase) {
  bytes_t payload = with_note(false, "olympus", [](uint32_t base) {
    tiff_writer n(false, false, base);
    n.append(olymp_prefix);
    n.ifd({n.e_short(0x1029, 2), n.e_short(0x1015, 1)});
    return n.b;
  });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  EXPECT_EQ(m.tiff_header.tag_olympus.contrast, std::vector<uint16_t>{2});
  EXPECT_TRUE(m.tiff_header.tag_olympus.wb_mode.empty()) << "0x1015 needs 4 bytes";
}

TEST(OlympusNote, OldLayoutWithoutEntriesFailsTheParse) {
  bytes_t payload = with_note(false, "OLYMPUS",
                              [](uint32_t) { return olymp_prefix + bytes_t{0, 0, 0, 0, 0, 0}; });
  app1_marker_t m;
  std::string err;
  EXPECT_FALSE(parse(m, payload, &err));
  EXPECT_EQ(err, "");
  EXPECT_EQ(m.tiff_header.tag_0th.orientation, std::vector<uint16_t>{6}) << "kept from before";
}

TEST(OlympusNote, BareIfdLongerThanTheNoteIsIgnored) {
  bytes_t payload = with_note(false, "OLYMPUS", [](uint32_t) {
    tiff_writer n(false, false);
    return n.u16(200) + n.u16(0x100B) + n.u16(3) + n.u32(1) + n.u32(1);
  });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  EXPECT_TRUE(m.tiff_header.tag_olympus.focus_mode.empty());
  EXPECT_EQ(m.tiff_header.thumbnail.size(), 4u);
}

TEST(OlympusNote, CurrentLayoutReadsTheSubIfds) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "MM" : "II");
    bytes_t payload = with_note(big, "OLYMPUS IMAGING CORP.",
                                [&](uint32_t) { return olympus3_sample(big, olympus_prefix); });
    app1_marker_t m;
    ASSERT_TRUE(parse(m, payload));
    expect_olympus3_sample(m.tiff_header);
  }
}

// Desktop software that rewrote the TIFF block in the other byte order
// keeps the note as the camera wrote it.
TEST(OlympusNote, NoteKeepsItsDeclaredOrderInABlockOfTheOther) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "note MM in II" : "note II in MM");
    for (const char* make : {"OLYMPUS IMAGING CORP.", "OM Digital Solutions"}) {
      const bytes_t& prefix = make[1] == 'L' ? olympus_prefix : om_prefix;
      bytes_t payload =
          with_note(!big, make, [&](uint32_t) { return olympus3_sample(big, prefix); });
      app1_marker_t m;
      ASSERT_TRUE(parse(m, payload)) << make;
      expect_olympus3_sample(m.tiff_header);
      EXPECT_EQ(m.tiff_header.is_motorola(), !big) << "the block keeps its own order";
    }
  }
}

TEST(OlympusNote, OmSystemHeaderUnderAnOlympusMake) {
  bytes_t payload = with_note(false, "OLYMPUS IMAGING CORP.",
                              [](uint32_t) { return olympus3_sample(false, om_prefix); });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  expect_olympus3_sample(m.tiff_header);
}

TEST(OmSystemNote, ReadsMainIfdAndSubIfds) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "MM" : "II");
    bytes_t payload = with_note(big, "OM Digital Solutions",
                                [&](uint32_t) { return olympus3_sample(big, om_prefix); });
    app1_marker_t m;
    ASSERT_TRUE(parse(m, payload));
    expect_olympus3_sample(m.tiff_header);
    EXPECT_EQ(m.tiff_header.ifd_makernote.begin(), m.tiff_header.tag_exif.maker_note.begin() + 16)
        << "a window, not a copy";
  }
}

TEST(OmSystemNote, NeedsTheOmSystemHeader) {
  bytes_t payload = with_note(false, "OM Digital Solutions",
                              [](uint32_t) { return olympus3_sample(false, olymp_prefix); });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  EXPECT_TRUE(m.tiff_header.tag_olympus3_camerasettings.focus_mode.empty());
  EXPECT_TRUE(m.tiff_header.tag_olympus.focus_mode.empty());
}

TEST(OmSystemNote, CountBeyondTheNoteFailsTheParse) {
  bytes_t payload = with_note(false, "OM Digital Solutions", [](uint32_t) {
    tiff_writer n(false, false);
    return om_prefix + n.u16(50) + bytes_t(20, 0);
  });
  app1_marker_t m;
  std::string err;
  EXPECT_FALSE(parse(m, payload, &err));
  EXPECT_EQ(err, "");
}

TEST(OmSystemNote, ValueBeyondTheNoteIsSkippedWithALine) {
  bytes_t payload = with_note(false, "OM Digital Solutions", [](uint32_t) {
    tiff_writer n(false, false);
    n.append(om_prefix);
    size_t main = n.ifd({n.e_short(0x0100, 0), n.e_short(0x0101, 0), n.e_short(0x0102, 0),
                         n.e_raw(0x2010, 7, 12, 70000), n.e_raw(0x2020, 13, 1, 0)});
    n.put32(tiff_writer::field_of(main, 4), uint32_t(n.ifd({n.e_short(0x0500, 23)})));
    n.b.resize(5000, 0);
    return n.b;
  });
  app1_marker_t m;
  std::string err;
  ASSERT_TRUE(parse(m, payload, &err));
  EXPECT_EQ(err, "2010: [3]: 70000, 12: app1 size: 5000 over.\n");
  EXPECT_EQ(m.tiff_header.tag_olympus3_camerasettings.white_balance2, std::vector<uint16_t>{23});
  EXPECT_TRUE(m.tiff_header.ifd_olympus3_equipment.empty());
}

TEST(OmSystemNote, FocusModeTakesOneOrTwoValues) {
  struct {
    entry_t entry;
    std::vector<uint16_t> expected;
  } cases[] = {
      {{0x0301, 3, 1, {7, 0}}, {7}},
      {{0x0301, 3, 3, {1, 0, 2, 0, 3, 0}}, {}},
  };
  for (auto& c : cases) {
    bytes_t payload = with_note(false, "OM Digital Solutions", [&](uint32_t) {
      return olympus3_note(false, om_prefix, {}, {c.entry}, {});
    });
    app1_marker_t m;
    ASSERT_TRUE(parse(m, payload));
    EXPECT_EQ(m.tiff_header.tag_olympus3_camerasettings.focus_mode, c.expected);
  }
}

TEST(OmSystemNote, SubIfdsThatDoNotFit) {
  // A pointer outside the note is not followed; a sub-IFD that runs past
  // the note's end fails with its line.
  for (uint32_t where : {100000u, 0u}) {
    bytes_t payload = with_note(false, "OM Digital Solutions", [&](uint32_t) {
      tiff_writer n(false, false);
      n.append(om_prefix);
      size_t main = n.ifd({n.e_raw(0x2010, 4, 1, where)});
      size_t sub = n.append(n.u16(5) + n.u16(0x0203));
      if (where == 0) n.put32(tiff_writer::field_of(main, 0), uint32_t(sub));
      return n.b;
    });
    app1_marker_t m;
    std::string err;
    if (where != 0) {
      EXPECT_TRUE(parse(m, payload, &err));
      EXPECT_EQ(err, "");
    } else {
      EXPECT_FALSE(parse(m, payload, &err));
      EXPECT_EQ(err, "olympus3 equipment ifd: 5: size 62 over than ifd.size(4).\n");
    }
  }
}

TEST(MakerNote, EntryOfUnknownTypeFailsTheParse) {
  bytes_t payload = with_note(false, "OM Digital Solutions", [](uint32_t) {
    return olympus3_note(false, om_prefix, {entry_t{0x0203, 14, 1, {}}}, {}, {});
  });
  app1_marker_t m;
  EXPECT_FALSE(parse(m, payload));
}

TEST(PentaxNote, ReadAtByteTenUnderARicohMake) {
  bytes_t payload = with_note(false, "RICOH IMAGING COMPANY, LTD.", [](uint32_t) {
    tiff_writer n(false, false);
    n.append(pentax_prefix);
    n.ifd({n.e_short(0x000D, 16), n.e_short(0x0010, 1234), n.e_short(0x0019, 3),
           n.e_short(0x001A, 1), n.e_ascii(0x0002, "long text value")});
    return n.b;
  });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  const auto& p = m.tiff_header.tag_pentax5;
  EXPECT_EQ(p.focus_mode, std::vector<uint16_t>{16});
  EXPECT_EQ(p.focus_position, std::vector<uint16_t>{1234});
  EXPECT_EQ(p.white_balance, std::vector<uint16_t>{3});
  EXPECT_EQ(p.white_balance_mode, std::vector<uint16_t>{1});
}

TEST(PentaxNote, OtherNotesOfRicohAreLeftAlone) {
  bytes_t payload = with_note(true, "RICOH", [](uint32_t) {
    tiff_writer n(true, false);
    return text("Ricoh") + n.u16(1) + n.u16(0x000D) + n.u16(3) + n.u32(1) + n.u32(0);
  });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  EXPECT_TRUE(m.tiff_header.tag_pentax5.focus_mode.empty());
}

TEST(PentaxNote, CountBeyondTheNoteFailsTheParse) {
  bytes_t payload = with_note(false, "RICOH", [](uint32_t) {
    tiff_writer n(false, false);
    return pentax_prefix + n.u16(9) + bytes_t(12, 0);
  });
  app1_marker_t m;
  EXPECT_FALSE(parse(m, payload));
}

TEST(MakerNote, OtherMakersAreNotRead) {
  bytes_t payload =
      with_note(false, "Canon", [](uint32_t) { return olympus3_sample(false, om_prefix); });
  app1_marker_t m;
  ASSERT_TRUE(parse(m, payload));
  EXPECT_TRUE(m.tiff_header.ifd_makernote.empty());
  EXPECT_TRUE(m.tiff_header.tag_olympus3_focusinfo.auto_focus.empty());
}

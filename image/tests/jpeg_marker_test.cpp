#include "image/jpeg_marker.h"

#include <gtest/gtest.h>

#include <string>

#include "image/tests/tiff_writer.h"

using namespace testutil;

namespace {

// Runs record.parse() on payload; err gets the standard error text.
template <class Record, class Set>
bool parse(Record& r, Set set, const bytes_t& payload, std::string* err = nullptr) {
  libgr::byte_window_t w = window(payload);
  (r.*set)(w);
  testing::internal::CaptureStderr();
  bool ok = r.parse();
  std::string text = testing::internal::GetCapturedStderr();
  if (err) *err = text;
  return ok;
}

bytes_t sof0(unsigned precision, const std::vector<unsigned char>& factors) {
  bytes_t b{uint8_t(precision), 0, 120, 0, 160, uint8_t(factors.size())};
  for (size_t i = 0; i < factors.size(); ++i) b = b + bytes_t{uint8_t(i + 1), factors[i], 0};
  return b;
}

// The zig-zag order walked along the anti-diagonals, as a reference.
std::vector<int> zigzag_reference() {
  std::vector<int> order;
  for (int s = 0; s < 15; ++s) {
    for (int i = 0; i <= s; ++i) {
      int row = s % 2 ? i : s - i, col = s - row;
      if (row < 8 && col < 8) order.push_back(row * 8 + col);
    }
  }
  return order;
}

std::string bits(unsigned code, unsigned length) {
  std::string s;
  for (unsigned i = length; i-- > 0;) s += (code >> i) & 1 ? '1' : '0';
  return s;
}

}  // namespace

TEST(Sof0Marker, AcceptsBaselineFrames) {
  libgr::sof0_marker_t r;
  ASSERT_TRUE(parse(r, &libgr::sof0_marker_t::set_sof0_buffer, sof0(8, {0x22, 0x11, 0x11})));
  EXPECT_EQ(r.lines, 120);
  EXPECT_EQ(r.samples, 160);
  ASSERT_EQ(r.components.size(), 3u);
  EXPECT_EQ(r.components[0].horiz_factor, 2);
  EXPECT_EQ(r.components[2].component_id, 3);
  EXPECT_EQ(r.max_horiz, 2);
  EXPECT_EQ(r.max_verts, 2);

  libgr::sof0_marker_t none;
  EXPECT_TRUE(parse(none, &libgr::sof0_marker_t::set_sof0_buffer, sof0(8, {})));
  EXPECT_TRUE(none.components.empty());
}

TEST(Sof0Marker, RejectsWhatBaselineCannotDecode) {
  struct {
    bytes_t payload;
    const char* message;
  } cases[] = {
      {sof0(12, {0x11}), "not support JPEG data. sample_precision=12\n"},
      {sof0(8, {0x22, 0x31}), "invalid JPEG data.\n"},
      {sof0(8, {0x11, 0x01}), "invalid JPEG data.\n"},
      {bytes_t{8, 0, 1, 0, 1}, "broken JPEG data.\n"},
      {bytes_t{8, 0, 1, 0, 1, 3, 1, 0x11, 0}, "broken JPEG data.\n"},  // 3 colours, 1 given
  };
  for (auto& c : cases) {
    libgr::sof0_marker_t r;
    std::string err;
    EXPECT_FALSE(parse(r, &libgr::sof0_marker_t::set_sof0_buffer, c.payload, &err));
    EXPECT_EQ(err, c.message);
  }
}

TEST(DqtMarker, StoresTablesInNaturalOrder) {
  bytes_t payload{0x00};
  for (int k = 0; k < 64; ++k) payload.push_back(uint8_t(k));
  payload.push_back(0x03);
  for (int k = 0; k < 64; ++k) payload.push_back(uint8_t(100 + k));
  libgr::dqt_marker_t r;
  ASSERT_TRUE(parse(r, &libgr::dqt_marker_t::set_dqt_buffer, payload));
  EXPECT_EQ(r.n, 2);
  std::vector<int> order = zigzag_reference();
  ASSERT_EQ(order.size(), 64u);
  for (int k = 0; k < 64; ++k) {
    EXPECT_EQ(libgr::zigzag_to_array[k], order[k]);
    EXPECT_EQ(r.tables[0].value[order[k]], k);
    EXPECT_EQ(r.tables[3].value[order[k]], 100 + k);
  }
  // A later segment replaces only its own destination.
  bytes_t one(65, 7);
  one[0] = 0x00;
  ASSERT_TRUE(parse(r, &libgr::dqt_marker_t::set_dqt_buffer, one));
  EXPECT_EQ(r.n, 1);
  EXPECT_EQ(r.tables[0].value[63], 7);
  EXPECT_EQ(r.tables[3].value[63], 163);
}

TEST(DqtMarker, RejectsBadSegments) {
  auto table = [](uint8_t pt) {
    bytes_t t(65, 1);
    t[0] = pt;
    return t;
  };
  struct {
    bytes_t payload;
    const char* message;
  } cases[] = {
      {bytes_t(131, 0), "broken JPEG data.\n"},           {bytes_t(), "broken JPEG data.\n"},
      {bytes_t(325, 0), "broken JPEG data.\n"},  // five tables
      {table(0x10), "not support JPEG data. DQT pq=1\n"}, {table(0x04), "invalid JPEG data.\n"},
  };
  for (auto& c : cases) {
    libgr::dqt_marker_t r;
    std::string err;
    EXPECT_FALSE(parse(r, &libgr::dqt_marker_t::set_dqt_buffer, c.payload, &err));
    EXPECT_EQ(err, c.message);
  }
}

TEST(DhtMarker, BuildsCanonicalCodes) {
  // The luminance DC table of the standard, then an AC table with EOB and
  // ZRL, in one segment.
  bytes_t payload{0x00, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
  for (int s = 0; s < 12; ++s) payload.push_back(uint8_t(s));
  payload = payload + bytes_t{0x11, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0xF0};
  libgr::dht_marker_t r;
  ASSERT_TRUE(parse(r, &libgr::dht_marker_t::set_dht_buffer, payload));
  ASSERT_EQ(r.length, 2u);
  EXPECT_EQ(r.table[1].tc, 1);
  EXPECT_EQ(r.table[1].th, 1);
  const char* expected[12] = {"00",   "010",   "011",    "100",     "101",      "110",
                              "1110", "11110", "111110", "1111110", "11111110", "111111110"};
  const unsigned lengths[12] = {2, 3, 3, 3, 3, 3, 4, 5, 6, 7, 8, 9};
  const auto& dc = r.dc_table[0].data;
  ASSERT_EQ(dc.size(), 12u);
  for (int s = 0; s < 12; ++s) {
    EXPECT_EQ(bits(dc[s].code, lengths[s]), expected[s]) << "symbol " << s;
    EXPECT_EQ(dc[s].data_bits, s);
  }
  const auto& ac = r.ac_table[1].data;
  ASSERT_EQ(ac.size(), 2u);
  EXPECT_EQ(ac[1].run_length, 15);
  EXPECT_EQ(bits(ac[1].code, 2), "01");
}

TEST(DhtMarker, RejectsBadTables) {
  bytes_t counts_1{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  bytes_t nine;
  for (int i = 0; i < 9; ++i) nine = nine + bytes_t{0x00} + bytes_t(16, 0);
  bytes_t too_many{0x01, 0, 0, 0, 0, 0, 0, 0, 255, 1, 0, 0, 0, 0, 0, 0, 0};
  too_many.resize(too_many.size() + 256, 1);
  struct {
    bytes_t payload;
    const char* message;
  } cases[] = {
      {bytes_t{0x10} + counts_1 + bytes_t{0x30},
       "huffman table error: run_length=3, data_bits=0\n"},
      {bytes_t{0x02} + counts_1 + bytes_t{0x01}, "broken JPEG data.\n"},  // Th 2
      {bytes_t{0x20} + counts_1 + bytes_t{0x01}, "broken JPEG data.\n"},  // Tc 2
      {bytes_t{0x00} + counts_1, "broken JPEG data.\n"},                  // symbol missing
      {bytes_t{0x00, 0, 1}, "broken JPEG data.\n"},                       // counts cut
      {nine, "broken JPEG data.\n"},
      {too_many, "broken JPEG data.\n"},
  };
  for (auto& c : cases) {
    libgr::dht_marker_t r;
    std::string err;
    EXPECT_FALSE(parse(r, &libgr::dht_marker_t::set_dht_buffer, c.payload, &err));
    EXPECT_EQ(err, c.message);
  }
}

TEST(JpegIterator, StepsOverStuffedZero) {
  unsigned char bytes[] = {1, 0xFF, 0x00, 2, 0xFF};
  libgr::jpeg_iterator it(bytes, bytes + sizeof bytes);
  std::vector<int> seen;
  while (it < bytes + sizeof bytes) seen.push_back(*it++);
  EXPECT_EQ(seen, (std::vector<int>{1, 0xFF, 2, 0xFF}));
}

TEST(DriMarker, NeedsExactlyTwoBytes) {
  libgr::dri_marker_t r;
  ASSERT_TRUE(parse(r, &libgr::dri_marker_t::set_dri_buffer, bytes_t{0x01, 0x40}));
  EXPECT_EQ(r.intervals, 320);
  std::string err;
  EXPECT_FALSE(parse(r, &libgr::dri_marker_t::set_dri_buffer, bytes_t{0, 1, 0, 0}, &err));
  EXPECT_EQ(err, "broken JPEG data.\n");
  r.clear();
  EXPECT_EQ(r.intervals, 0);
}

TEST(SosMarker, AcceptsOnlySequentialScans) {
  libgr::sos_marker_t r;
  ASSERT_TRUE(parse(r, &libgr::sos_marker_t::set_sos_buffer,
                    bytes_t{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
  ASSERT_EQ(r.elements.size(), 3u);
  EXPECT_EQ(r.elements[1].dc_huffman_table_selector, 1);
  EXPECT_EQ(r.elements[2].scan_element_selector, 3);

  struct {
    bytes_t payload;
    const char* message;
  } cases[] = {
      {bytes_t{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 0, 0x01},
       "constant value illegal. ss=0, se=0, ah=0, al=1\n"},
      {bytes_t{1, 1, 0x20, 0, 63, 0}, "invalid JPEG data.\n"},
      {bytes_t{2, 1, 0x00, 0, 63, 0}, "broken JPEG data.\n"},
      {bytes_t{1, 1, 0}, "broken JPEG data.\n"},
  };
  for (auto& c : cases) {
    libgr::sos_marker_t s;
    std::string err;
    EXPECT_FALSE(parse(s, &libgr::sos_marker_t::set_sos_buffer, c.payload, &err));
    EXPECT_EQ(err, c.message);
  }
}

// The text form of the geometric and colour types: written forms, round
// trips, and readers that stop cleanly on cut or garbled input.
#include <gtest/gtest.h>

#include <sstream>

#include "utility/strutil.h"
#include "viewer/graphics/geometry_stream.h"
#include "viewer/graphics/streamtype.h"

namespace {

using namespace libgr;

template <class T>
std::string text(const T& v) {
  std::ostringstream os;
  os << v;
  return os.str();
}

template <class T>
T parse(const std::string& s, T v = T()) {
  std::istringstream is(s);
  is >> v;
  return v;
}

template <class T>
void expect_round_trip(const T& v) {
  std::string written = text(v);
  SCOPED_TRACE(written);
  std::istringstream is(written + " tail");
  T back;
  is >> back;
  ASSERT_TRUE(is);
  EXPECT_EQ(text(back), written);
  std::string rest;
  is >> rest;
  EXPECT_EQ(rest, "tail");  // the reader took exactly the value
}

const matrix3w_t sample_matrix(1.5f, -2, 0.25f, 0, 0, 1, 0, 0, 0.125f, 0, 1, 0, 12, -13.5f, 14, 1);

TEST(GeometryStream, EveryTypeReadsBackWhatWasWritten) {
  expect_round_trip(position3_t(1, -2.5f, 3));
  expect_round_trip(direction3_t(0.5f, 0.25f, -1));
  expect_round_trip(position2_t(7, 8));
  expect_round_trip(direction2_t(-7, 8.5f));
  expect_round_trip(position2l_t(-3, 4));
  expect_round_trip(direction2l_t(640, 480));
  expect_round_trip(position2ul_t(3000000000u, 4));
  expect_round_trip(direction2ul_t(1920, 1080));
  expect_round_trip(quaternion_t(0.1f, 0.2f, 0.3f, 0.9f));
  expect_round_trip(rotation3_t(90, direction3_t(0, 0, 1)));
  expect_round_trip(
      posture3w_t(revolution3_t(1, 2, 3), revolution3_t(4, 5, 6), position3_t(7, 8, 9)));
  expect_round_trip(polarpos3_t(2, 0.5f, 0.25f));
  expect_round_trip(angles3_t(10, 20, 30));
  expect_round_trip(revolution3_t(-1, -2, -3));
  expect_round_trip(straight3_t(4.5f, direction3_t(1, 0, 0)));
  expect_round_trip(inertial3_t(revolution3_t(1, 1, 1), straight3_t(2, direction3_t(0, 1, 0))));
  expect_round_trip(vector3w_t(1, 2, 3, 0.5f));
  expect_round_trip(color3_t(0.1f, 0.2f, 0.3f));
  expect_round_trip(color3a_t(0.1f, 0.2f, 0.3f, 1));
  expect_round_trip(texcoord1_t(0.5f));
  expect_round_trip(texcoord2_t(0.5f, 1));
  expect_round_trip(texcoord2q_t(0.5f, 1, 2));
  expect_round_trip(texcoord3_t(0.5f, 1, 3));
  expect_round_trip(texcoord3q_t(0.5f, 1, 3, 4));
  expect_round_trip(sample_matrix);
  expect_round_trip(box2_t(position2_t(0, 1), position2_t(2, 3)));
  expect_round_trip(box3_t(position3_t(0, 1, 2), position3_t(3, 4, 5)));
  expect_round_trip(dim2_t(uint64_t(1) << 40, 2));
  expect_round_trip(dim3_t(1, 2, uint64_t(1) << 50));
  expect_round_trip(color3aub_t(255, 128, 0, 7));
  expect_round_trip(color3ub_t(255, 128, 0));
  expect_round_trip(color1aub_t(16, 1));
  expect_round_trip(color1ub_t(200));
  expect_round_trip(surface_t(1, 2, 3, 4));
  expect_round_trip(line2d_t(1, 2, 3));
  expect_round_trip(line3d_t(direction3_t(1, 2, 3), sample_matrix, Imtx));
  expect_round_trip(projection_t(-1, 1, -0.75, 0.75, 1, 1000));
}

TEST(GeometryStream, WrittenForms) {
  EXPECT_EQ(text(direction2l_t(640, 480)), "dir2l(640, 480)");
  EXPECT_EQ(text(position3_t(1, -0.5f, 0)), "pos3(1.000000, -0.500000, 0.000000)");
  EXPECT_EQ(text(rotation3_t(90, direction3_t(0, 0, 1))),
            "rot3(90.000000, dir3(0.000000, 0.000000, 1.000000))");
  EXPECT_EQ(text(Imtx),
            "mtx3w(\t1.000000, 0.000000, 0.000000, 0.000000,\n"
            "\t0.000000, 1.000000, 0.000000, 0.000000,\n"
            "\t0.000000, 0.000000, 1.000000, 0.000000,\n"
            "\t0.000000, 0.000000, 0.000000, 1.000000)");
  EXPECT_EQ(text(color3ub_t(255, 128, 0)), "col3ub(ff8000)");
  std::ostringstream based;
  based << std::showbase << color3ub_t(255, 128, 0);
  EXPECT_EQ(based.str(), "0xcol3ub(ff8000)");
  EXPECT_TRUE(based.flags() & std::ios_base::showbase);
  // The caller's notation comes back.
  std::ostringstream sci;
  sci << std::scientific << position3_t(1, 2, 3);
  EXPECT_EQ(sci.str(), "pos3(1.000000, 2.000000, 3.000000)");
  EXPECT_TRUE(sci.flags() & std::ios_base::scientific);
  std::ostringstream hex;
  hex << std::left << libutils::_puthex<unsigned char>(10) << libutils::_puthex<unsigned char>(255);
  EXPECT_EQ(hex.str(), "0aff");
  EXPECT_TRUE(hex.flags() & std::ios_base::left);
}

TEST(GeometryStream, SavedViewMatrixKeepsSixDecimals) {
  matrix3w_t m(0.123456f, 1e-7f, -0.9999994f, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14);
  std::istringstream is(text(direction2l_t(800, 600)) + "\n" + text(m) + "\n");
  direction2l_t size;
  matrix3w_t back;
  is >> size >> back;
  ASSERT_TRUE(is);
  EXPECT_EQ(size, direction2l_t(800, 600));
  EXPECT_FLOAT_EQ(back[0], 0.123456f);
  EXPECT_EQ(back[1], 0.0f);
  EXPECT_FLOAT_EQ(back[2], -0.999999f);
  EXPECT_EQ(back[12], 11.0f);
  EXPECT_EQ(back[15], 14.0f);
}

TEST(GeometryStream, SeparatorsAndTags) {
  EXPECT_EQ(parse<direction2l_t>("dir2l(800,600)"), direction2l_t(800, 600));
  EXPECT_EQ(parse<direction2l_t>("dir2l(800; 600)"), direction2l_t(800, 600));
  EXPECT_EQ(parse<position2_t>("pos2(1.0 , 2.0)"), position2_t(1, 2));
  // The plain readers do not look at the tag.
  EXPECT_EQ(parse<direction2l_t>("pos2l(3, 4)"), direction2l_t(3, 4));
  // Two separators: the second is taken where a number is wanted.
  std::istringstream twice("pos2(1.0,,2.0)");
  position2_t p(9, 9);
  twice >> p;
  EXPECT_FALSE(twice);
  EXPECT_EQ(p.x, 1.0f);
  // A blank before "(" goes with it: the next "(" is looked for.
  std::istringstream blank("dir2l (8, 6)");
  direction2l_t d;
  blank >> d;
  EXPECT_FALSE(blank);
}

TEST(GeometryStream, NestedTagsMustMatch) {
  std::istringstream good("rot3(45.000000, dir3(0.000000, 0.000000, 1.000000)) next");
  rotation3_t r;
  good >> r;
  EXPECT_EQ(r.angle, 45.0f);
  EXPECT_EQ(r.axis, direction3_t(0, 0, 1));
  std::string rest;
  good >> rest;
  EXPECT_EQ(rest, "next");

  std::istringstream wrong("rot3(45, rev3(0, 0, 1))");
  rotation3_t w(1, direction3_t(5, 5, 5));
  wrong >> w;
  EXPECT_FALSE(wrong);  // a garbled value is a failed read
  EXPECT_EQ(w.angle, 45.0f);
  EXPECT_EQ(w.axis, direction3_t(5, 5, 5));

  // posture3w_t stores nothing until all three parts are read.
  posture3w_t p(revolution3_t(1, 1, 1), revolution3_t(2, 2, 2), position3_t(3, 3, 3));
  std::istringstream cut("pst3w(rev3(9, 9, 9), rev3(8, 8, 8), pos2(7, 7))");
  cut >> p;
  EXPECT_FALSE(cut);
  EXPECT_EQ(text(p), text(posture3w_t(revolution3_t(1, 1, 1), revolution3_t(2, 2, 2),
                                      position3_t(3, 3, 3))));
}

TEST(GeometryStream, CutInputStopsWithTheStreamFailed) {
  const std::string whole = text(line3d_t(direction3_t(1, 2, 3), sample_matrix, Imtx));
  for (size_t keep = 0; keep < whole.size(); ++keep) {
    std::istringstream is(whole.substr(0, keep));
    line3d_t v;
    is >> v;
    // Without the closing ")" the value may be complete; never more.
    if (keep + 1 < whole.size()) {
      EXPECT_FALSE(is) << keep;
    }
  }
  std::istringstream garbage("mtx3w(1, 2, x, 4)");
  matrix3w_t m = Imtx;
  garbage >> m;
  EXPECT_FALSE(garbage);
  EXPECT_EQ(m[0], 1.0f);
  EXPECT_EQ(m[1], 2.0f);
  EXPECT_EQ(m[2], 0.0f);  // the failed component
  EXPECT_EQ(m[5], 1.0f);  // untouched
  std::istringstream bad_hex("col3ub(ffzz00)");
  color3ub_t c;
  bad_hex >> c;
  EXPECT_FALSE(bad_hex);
}

TEST(StreamType, TagTable) {
  EXPECT_EQ(get_mtype("mtx3w"), MTYPE_MTX3W);
  EXPECT_EQ(get_mtype("projection"), MTYPE_PROJECTION);
  EXPECT_EQ(get_mtype("pos2ul"), MTYPE_MAX);
  EXPECT_EQ(get_mtype(""), MTYPE_MAX);
  EXPECT_EQ(text(MTYPE_DIR3), "dir3");
  EXPECT_EQ(text(MTYPE_PROJECTION), "projection");
  EXPECT_EQ(text(MTYPE_POS2UL), "no type\n");
  EXPECT_EQ(text(MTYPE_MAX), "range over\n");
  // Every tag the table writes reads back as its type.
  for (int t = 0; t < MTYPE_MAX; ++t) {
    if (t == MTYPE_POS2UL || t == MTYPE_DIR2UL) continue;
    EXPECT_EQ(get_mtype(text(static_cast<e_mtype_t>(t)).c_str()), t);
  }
}

TEST(StreamType, TagReader) {
  e_mtype_t t;
  std::istringstream spaced("  d i r 3(");
  spaced >> t;
  EXPECT_EQ(t, MTYPE_DIR3);
  EXPECT_EQ(spaced.peek(), '(');
  std::istringstream paren("(");
  paren >> t;
  EXPECT_EQ(t, MTYPE_MAX);
  EXPECT_EQ(paren.peek(), '(');
  std::istringstream longword("abcdefghijklmnopqrst");
  longword >> t;
  EXPECT_EQ(t, MTYPE_MAX);
  std::string rest;
  longword >> rest;
  EXPECT_EQ(rest, "qrst");
}

TEST(StreamType, TaggedValues) {
  std::istringstream is("dir2l(640, 480) float(2.5) xyz(1, 2) rest");
  mtype_reader v;
  is >> v;
  ASSERT_EQ(v.type, MTYPE_DIR2L);
  EXPECT_EQ(v.value.dir2l, direction2l_t(640, 480));
  EXPECT_EQ(text(v), "dir2l(640, 480)");
  is >> v;
  ASSERT_EQ(v.type, MTYPE_FLOAT);
  EXPECT_EQ(v.value.f, 2.5f);
  EXPECT_EQ(text(v), "float(2.500000)");
  is >> v;
  EXPECT_EQ(v.type, MTYPE_MAX);
  EXPECT_EQ(v.value.f, 2.5f);  // untouched
  std::string rest;
  std::getline(is, rest);
  EXPECT_EQ(rest, " rest");
  EXPECT_EQ(text(v), "");
  // Every type with a tag goes through the tagged value.
  mtype_reader m;
  m.type = MTYPE_LINE3D;
  m.value.line3d = line3d_t(direction3_t(1, 2, 3), sample_matrix, Imtx);
  mtype_reader back;
  std::istringstream again(text(m));
  again >> back;
  EXPECT_EQ(back.type, MTYPE_LINE3D);
  EXPECT_EQ(text(back), text(m));
}

TEST(GeometryStream, TriangleForInspection) {
  triangle_t t;
  t.matrix = Imtx;
  t.extra[2][1] = 5;
  std::string s = text(t);
  EXPECT_EQ(s.compare(0, 11, "s: surface("), 0);
  EXPECT_NE(s.find("\nl: line2d("), std::string::npos);
  EXPECT_NE(s.find("\np: pos3("), std::string::npos);
  EXPECT_NE(s.find("\n0, 5, 0\n"), std::string::npos);
}

}  // namespace

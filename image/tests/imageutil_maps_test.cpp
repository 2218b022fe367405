// Colours added and filled, normal maps, and row access.
#include "image/imageutil.h"

#include <gtest/gtest.h>

#include <cmath>

#include "image/tests/imageutil_test.h"

using namespace libgr;
using namespace imagetest;

// ---- colours and normal maps ------------------------------------------------

TEST(Colour, FillAndAddClampEachComponent) {
  image2d_t image = picture(desc_of(IMAGE_FORMAT_RGBA), 2, {{10, 20, 30, 0, 250, 0, 128, 9}});
  ASSERT_TRUE(addcolor(image, color3a_t(0.1f, -1.0f, NAN, 0.5f)));
  // 10/255 + 0.1 = 0.139 -> 36; 250/255 + 0.1 caps at 1; NaN counts as 1.
  EXPECT_EQ(seen(image), (rows_t{{36, 0, 255, 0, 255, 0, 255, 255}}));
  ASSERT_TRUE(fillcolor(image, color3a_t(0.5f, 2.0f, -1.0f, NAN)));
  EXPECT_EQ(seen(image), (rows_t{{128, 255, 0, 255, 128, 255, 0, 255}}));

  image2d_t bgr = picture(desc_of(IMAGE_FORMAT_BGR), 1, {{1, 2, 3}});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(fillcolor(bgr, white));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "not support format.\n");
  image2d_t sint =
      picture(desc_of(IMAGE_FORMAT_BGR, IMAGE_BITS_16, IMAGE_TYPE_SINT), 1, {{1, 2, 3, 4, 5, 6}});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(addcolor(sint, white));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "not support image type.\n");
  sint.desc.type = IMAGE_TYPE_UINT;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(addcolor(sint, white));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "not support image bits.\n");
}

TEST(NormalMap, SlopesTiltTheNormal) {
  image2d_t normals;
  ASSERT_TRUE(
      heightmap2normalmap(normals, picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 2, {{0, 255}}), 1.0f));
  EXPECT_EQ(normals.desc, desc_of(IMAGE_FORMAT_RGB, IMAGE_BITS_8, IMAGE_TYPE_SINT));
  // Rising to the right: (1, 0, 1) / sqrt 2; falling back (wrap): (-1, 0, 1).
  EXPECT_EQ(seen(normals), (rows_t{{90, 0, 90, 256 - 90, 0, 90}}));
  ASSERT_TRUE(heightmap2normalmap(normals,
                                  picture(desc_of(IMAGE_FORMAT_GRAYSCALE), 1, {{40}, {40}}), 1.0f));
  EXPECT_EQ(seen(normals), (rows_t{{0, 0, 127}, {0, 0, 127}}));

  const image2d_t rgb = picture(desc_of(IMAGE_FORMAT_RGB), 1, {{1, 2, 3}});
  ASSERT_TRUE(heightmap2normalmap(normals, rgb, 1.0f));
  EXPECT_EQ(normals.pixels.begin(), rgb.pixels.begin());
  const image2d_t bgr = picture(desc_of(IMAGE_FORMAT_BGR), 1, {{1, 2, 3}});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(heightmap2normalmap(normals, bgr, 1.0f));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "normalmap(): image type not supported.\n");
  EXPECT_EQ(normals.pixels.begin(), bgr.pixels.begin());
}

TEST(NormalMap, CubeFacesPointAlongTheirAxes) {
  image2d_t faces[6];
  ASSERT_TRUE(makenormalcubemap(faces));
  const int centre[6][3] = {{255, 128, 128}, {0, 128, 128},   {128, 255, 128},
                            {128, 0, 128},   {128, 128, 255}, {128, 128, 0}};
  for (int f = 0; f < 6; ++f) {
    ASSERT_EQ(faces[f].width, 256u);
    ASSERT_EQ(faces[f].height, 256u);
    const unsigned char* p = faces[f][127] + 127 * 3;
    EXPECT_EQ(p[0], centre[f][0]) << "face " << f;
    EXPECT_EQ(p[1], centre[f][1]) << "face " << f;
    EXPECT_EQ(p[2], centre[f][2]) << "face " << f;
  }
  // +Z at row 0, column 255: s = 1.008, t = -1: (s, 1, 1) normalised.
  const unsigned char* corner = faces[4][0] + 255 * 3;
  EXPECT_NEAR(corner[0], 201, 1);
  EXPECT_NEAR(corner[1], 201, 1);
  EXPECT_NEAR(corner[2], 201, 1);
}

TEST(RowAccess, EditorAndReaderUseFourByteRows) {
  image2d_t image = picture(desc_of(IMAGE_FORMAT_RGB), 3,
                            {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 0, 0, 0, 0, 0, 0, 0, 0}});
  image2d_editor_t<color3ub_t> editor;
  ASSERT_TRUE(editor.setimage(image));
  EXPECT_EQ(
      reinterpret_cast<unsigned char*>(editor[1]) - reinterpret_cast<unsigned char*>(editor[0]),
      12);
  editor[1][2] = color3ub_t(70, 80, 90);
  EXPECT_EQ(image[1][6], 70);
  image2d_reader_t<unsigned char> reader;
  ASSERT_TRUE(reader.setimage(image));
  EXPECT_EQ(reader[1][8], 90);
  image.compressed = true;
  EXPECT_FALSE(reader.setimage(image));
  EXPECT_EQ(reader.width(), 0u);
}

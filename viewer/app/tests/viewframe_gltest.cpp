// The photo frame on a real context: ring geometry and colours of the five
// types, the ARB program path and the lit-texture fallback (the
// "fallback." run has no ARB vertex programs), missing and rejected
// program files, and a framed camera photo saved for a person to look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "utility/option.h"
#include "viewer/app/tests/app_gltest.h"
#include "viewer/app/viewframe.h"
#include "viewer/app/viewobj.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/tests/graphics_test_support.h"

namespace {

using apptest::at;
using apptest::kHeight;
using apptest::kWidth;
using apptest::rgb_t;
using plimlib::ViewFrame;

const std::string kDataDir = std::string(TEST_BIN_DIR) + "/";

bool is_bg(const rgb_t& c) { return c.r == 46 && c.g == 46 && c.b == 46; }
std::string str(const rgb_t& c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Sum of the ring's pixels along its bottom band at 24 pixels out from
// the 640 x 480 image, and how many of them are background.
struct band_t {
  double r = 0, g = 0, b = 0;
  int background = 0;
  int count = 0;
  int distinct = 0;
};

band_t sample_band(const std::vector<unsigned char>& px) {
  band_t s;
  rgb_t last{-1, -1, -1};
  for (int x = -300; x < 300; x += 3) {
    for (int d = 2; d < 30; d += 3) {
      const rgb_t c = at(px, apptest::wx(x + 0.5f), apptest::wy(-240 - d - 0.5f));
      s.r += c.r;
      s.g += c.g;
      s.b += c.b;
      s.background += is_bg(c);
      s.distinct += (c.r != last.r || c.g != last.g || c.b != last.b);
      last = c;
      ++s.count;
    }
  }
  s.r /= s.count;
  s.g /= s.count;
  s.b /= s.count;
  return s;
}

class ViewFrameGL : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ViewFrame::init(kDataDir.c_str()); }
  void SetUp() override {
    plimlib::option_reset();
    ASSERT_TRUE(ViewFrame::s_inited);
  }
  // Draws a frame of the type around a 640 x 480 image (32 wide) and
  // reads the window back.
  std::vector<unsigned char> draw(int type, unsigned width = 32, const char* directory = nullptr) {
    ViewFrame frame;
    frame.setFrameType(type);
    frame.setSize(libgr::direction2_t(640, 480), width);
    frame.make_graph(directory ? directory : kDataDir.c_str());
    apptest::begin_frame();
    frame.Draw();
    std::vector<unsigned char> px = apptest::read_all();
    m_programs = ViewFrame::use_programs();
    frame.free_graph();
    m_error = glGetError();
    return px;
  }
  bool m_programs = false;
  GLenum m_error = GL_NO_ERROR;
};

TEST_F(ViewFrameGL, FrameTexturesAreRead) {
  ASSERT_EQ(ViewFrame::s_monotex.images().size(), 1u);
  EXPECT_EQ(ViewFrame::s_monotex.images()[0].width, 256u);
  ASSERT_EQ(ViewFrame::s_flowertex.images().size(), 1u);
  ASSERT_EQ(ViewFrame::s_hairlinetex.images().size(), 1u);
  // The height map became a signed normal map.
  EXPECT_EQ(ViewFrame::s_hairlinetex.images()[0].desc.format, libgr::IMAGE_FORMAT_RGB);
  EXPECT_EQ(ViewFrame::s_hairlinetex.images()[0].desc.type, libgr::IMAGE_TYPE_SINT);
}

TEST_F(ViewFrameGL, FlatRingBordersTheImageExactly) {
  plimlib::g_option.framecolor = {200, 40, 10, 255};
  const std::vector<unsigned char> px = draw(1);
  EXPECT_EQ(m_error, static_cast<GLenum>(GL_NO_ERROR));
  // Outer corners at (+-352, +-272), inner at (+-320, +-240).
  for (const auto& p : {std::pair<float, float>{-351.5f, 0},
                        {351.5f, 0},
                        {0, 271.5f},
                        {0, -271.5f},
                        {-320.5f, -240.5f},
                        {320.5f, 240.5f},
                        {-351.5f, -271.5f},
                        {351.5f, 271.5f}}) {
    EXPECT_EQ(str(at(px, apptest::wx(p.first), apptest::wy(p.second))), "200,40,10")
        << p.first << "," << p.second;
  }
  for (const auto& p : {std::pair<float, float>{-352.5f, 0},
                        {352.5f, 0},
                        {0, 272.5f},
                        {-319.5f, 0},
                        {319.5f - 1, 0},
                        {0, 0},
                        {-353.5f, -273.5f}}) {
    EXPECT_TRUE(is_bg(at(px, apptest::wx(p.first), apptest::wy(p.second))))
        << p.first << "," << p.second;
  }
}

TEST_F(ViewFrameGL, NoFrameAndZeroWidthDrawNothing) {
  for (const auto& [type, width] : {std::pair<int, unsigned>{0, 32}, {1, 0}, {2, 0}, {4, 0}}) {
    const std::vector<unsigned char> px = draw(type, width);
    EXPECT_EQ(m_error, static_cast<GLenum>(GL_NO_ERROR));
    int drawn = 0;
    for (std::size_t i = 0; i < px.size(); i += 3) drawn += px[i] != 46;
    EXPECT_EQ(drawn, 0) << "type " << type << " width " << width;
  }
}

TEST_F(ViewFrameGL, BumpMappedTypesTakeThePathTheContextOffers) {
  const bool arb = apptest::g_path != "fallback";
  EXPECT_EQ(is_GL_ARB_vertex_program_supported != 0, arb);

  const band_t brown = sample_band(draw(2));
  EXPECT_EQ(m_programs, arb);
  EXPECT_EQ(m_error, static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_EQ(brown.background, 0);
  // Brown: red over green over blue; the hairlines vary it.
  EXPECT_GT(brown.r, brown.g);
  EXPECT_GE(brown.g, brown.b);
  EXPECT_GT(brown.distinct, 10);

  plimlib::g_option.framecolor = {255, 255, 255, 255};
  const band_t grey = sample_band(draw(3));
  EXPECT_EQ(m_programs, arb);
  EXPECT_EQ(grey.background, 0);
  EXPECT_NEAR(grey.r, grey.g, 2.0);
  EXPECT_NEAR(grey.g, grey.b, 2.0);
  if (arb) {
    // Lit from the front: about the colour 0.75 with highlights.
    EXPECT_GT(grey.r, 120);
    EXPECT_GT(brown.r, 60);
  }
  // The image's place stays empty.
  const std::vector<unsigned char> px = draw(3);
  EXPECT_TRUE(is_bg(at(px, 400, 300)));
}

TEST_F(ViewFrameGL, HairlinesOfTheBumpMapShowBothSides) {
  if (apptest::g_path == "fallback") GTEST_SKIP() << "no ARB programs in this context";
  // Across the bottom band's lines: each line is a ridge with a lit and a
  // shaded side, brighter and darker than the flat frame between lines. A
  // normal map stored unsigned loses every negative slope, and with it one
  // side of each line.
  const std::vector<unsigned char> px = draw(2);
  std::vector<int> red;
  for (int d = 1; d < 31; ++d) {
    red.push_back(at(px, apptest::wx(0.5f), apptest::wy(-240 - d - 0.5f)).r);
  }
  std::vector<int> sorted = red;
  std::sort(sorted.begin(), sorted.end());
  const int flat = sorted[sorted.size() / 2];
  int brighter = 0, darker = 0;
  for (int r : red) {
    brighter += r > flat + 2;
    darker += r < flat - 10;
  }
  std::string profile;
  for (int r : red) profile += std::to_string(r) + " ";
  EXPECT_GT(brighter, 0) << profile;
  EXPECT_GT(darker, 0) << profile;
}

TEST_F(ViewFrameGL, DestroyDeletesTheFrameTextures) {
  // The window's close frees them this way while its context exists.
  draw(2);
  draw(4);
  std::vector<GLuint> names;
  for (const libgr::grTextureObject* t :
       {&ViewFrame::s_monotexobj, &ViewFrame::s_flowertexobj, &ViewFrame::s_hairlinetexobj}) {
    if (t->isPreload()) names.push_back(t->texname());
  }
  ASSERT_EQ(names.size(), 2u);
  for (GLuint name : names) EXPECT_TRUE(glIsTexture(name));
  ViewFrame::destroy();
  for (GLuint name : names) EXPECT_FALSE(glIsTexture(name));
  ViewFrame::init(kDataDir.c_str());
}

TEST_F(ViewFrameGL, FlowerFrameDrawsItsTexture) {
  const std::vector<unsigned char> px = draw(4);
  EXPECT_EQ(m_error, static_cast<GLenum>(GL_NO_ERROR));
  const band_t band = sample_band(px);
  EXPECT_EQ(band.background, 0);
  EXPECT_GT(band.distinct, 10);
  EXPECT_TRUE(is_bg(at(px, 400, 300)));
  // Blending is switched off again.
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(ViewFrameGL, MissingProgramFileFallsBackWithOneLine) {
  if (apptest::g_path == "fallback") {
    // No programs offered: the files are never read.
    testing::internal::CaptureStderr();
    const band_t band = sample_band(draw(2, 32, "/nonexistent/"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(band.background, 0);
    return;
  }
  testing::internal::CaptureStderr();
  const band_t band = sample_band(draw(2, 32, "/nonexistent/"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "/usr/site/share/plimlib/bumpmapv.vp1: read error.\n"
            "/usr/site/share/plimlib/bumpmapf.fp1: read error.\n");
  EXPECT_FALSE(m_programs);
  EXPECT_EQ(band.background, 0);
  // With the files back the programs are used again.
  draw(2);
  EXPECT_TRUE(m_programs);
}

TEST_F(ViewFrameGL, RejectedProgramIsReportedAndFallsBack) {
  if (apptest::g_path == "fallback") GTEST_SKIP() << "no ARB programs in this context";
  char pattern[] = "/tmp/viewframe_gltest.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = std::string(pattern) + "/";
  {
    std::ofstream(dir + "bumpmapv.vp1") << "!!ARBvp1.0\nMOV result.position, nothing;\nEND\n";
    std::ifstream in(kDataDir + "bumpmapf.fp1");
    std::ofstream(dir + "bumpmapf.fp1") << in.rdbuf();
  }
  testing::internal::CaptureStderr();
  const band_t band = sample_band(draw(2, 32, dir.c_str()));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("bumpmapv.vp1: ", 0), 0u) << err;
  EXPECT_EQ(err.find("bumpmapf.fp1"), std::string::npos) << err;
  EXPECT_FALSE(m_programs);
  EXPECT_EQ(band.background, 0);
  unlink((dir + "bumpmapv.vp1").c_str());
  unlink((dir + "bumpmapf.fp1").c_str());
  rmdir(pattern);
  draw(2);
  EXPECT_TRUE(m_programs);
}

TEST_F(ViewFrameGL, FramedCameraPhotoSnapshot) {
  // A real photo in its bump-mapped frame, drawn as the scene draws it
  // (frame, then the image's display list), fitted into the window.
  plimlib::ViewObject photo;
  ASSERT_TRUE(photo.setImage((std::string(TEST_DATA_DIR) + "/Olympus_PEN_E-P3.jpg").c_str(), ""));
  const libgr::direction2l_t size = photo.getImageSize();
  photo.load_texture();
  ViewFrame frame;
  frame.setFrameType(2);
  frame.setSize(libgr::direction2_t(static_cast<float>(size.x), static_cast<float>(size.y)), 48);
  frame.make_graph(kDataDir.c_str());
  const float scale = 0.55f;
  apptest::begin_frame();
  glScalef(scale, scale, scale);
  glPushMatrix();
  frame.Draw();
  glPopMatrix();
  glPushMatrix();
  photo.Draw();
  glPopMatrix();
  const std::vector<unsigned char> px = apptest::read_all();
  frame.free_graph();
  photo.free_texture();

  // The frame band and the photo are drawn, the corners stay background.
  EXPECT_FALSE(is_bg(at(px, apptest::wx(0), apptest::wy(-(size.y / 2.0f + 24) * scale))));
  EXPECT_FALSE(is_bg(at(px, 400, 300)));
  EXPECT_TRUE(is_bg(at(px, 2, 2)));

  libgr::image2d_t shot = grtest::uint_image(kWidth, kHeight);
  ASSERT_NE(shot.pixels.begin(), nullptr);
  for (int y = 0; y < kHeight; ++y) {
    std::copy(&px[static_cast<std::size_t>(y) * kWidth * 3],
              &px[static_cast<std::size_t>(y + 1) * kWidth * 3], shot[y]);
  }
  // In the build tree, whatever the working directory.
  std::filesystem::create_directories(TEST_SHOT_DIR);
  const std::string name = std::string(TEST_SHOT_DIR) + "/framed_photo_" + apptest::g_path + ".png";
  libgr::image_png_t png;
  EXPECT_TRUE(png.save(shot, name.c_str()));
  std::cout << "snapshot: " << name << std::endl;
}

}  // namespace

// Scene nodes, display lists, matrix pushers, the error checkpoint and the
// viewport read, drawn into the hidden window.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <iostream>
#include <string>

#include "viewer/graphics/buffer.h"
#include "viewer/graphics/dsplist_gl.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/grtransformer.h"
#include "viewer/graphics/matrixmgr.h"
#include "viewer/graphics/tests/gltest_util.h"

namespace libgr {
namespace {

using gltest::probe_t;
using gltest::quad_t;

class SceneGL : public testing::Test {
 protected:
  void SetUp() override { gltest::reset_gl(); }
  void TearDown() override { EXPECT_EQ(glGetError(), unsigned{GL_NO_ERROR}); }
};

GLint matrix_mode() {
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  return mode;
}

std::array<float, 16> current(GLenum query) {
  std::array<float, 16> m;
  glGetFloatv(query, m.data());
  return m;
}

const unsigned char* pixel(const image2d_t& image, unsigned x, unsigned y) {
  return image[y] + 3 * x;
}

TEST_F(SceneGL, ViewportReadGivesRgbRowsOfTheViewport) {
  glClearColor(1, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  image2d_t image;
  ASSERT_TRUE(grReadPixelsRGB(image, GL_BACK));
  EXPECT_EQ(image.width, 640u);
  EXPECT_EQ(image.height, 480u);
  EXPECT_EQ(image.rowsize(), 1920u);
  EXPECT_EQ(image.desc, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8));
  EXPECT_EQ(pixel(image, 639, 479)[0], 255);
  EXPECT_EQ(pixel(image, 0, 0)[1], 0);

  // A store record with alignment 1 is honoured by the read.
  static const image_store_t tight(false, 1);
  glViewport(0, 0, 3, 2);
  image2d_t small;
  small.store = &tight;
  ASSERT_TRUE(grReadPixelsRGB(small, GL_BACK));
  EXPECT_EQ(small.rowsize(), 9u);
  EXPECT_EQ(small[1][8], 0);
  EXPECT_EQ(small[1][6], 255);

  image2d_t depth;
  glViewport(0, 0, 4, 4);
  ASSERT_TRUE(grReadPixelsDepth(depth, GL_BACK));
  EXPECT_EQ(depth.rowsize(), 16u);
}

TEST_F(SceneGL, DisplayListRecordedOnceDrawsTheSamePixelsTwice) {
  quad_t quad(0, 1, 0);
  grTransformer half;
  half.m_matrix = Imtx;
  half.m_matrix[0] = half.m_matrix[5] = 0.5f;  // the middle half of the view
  half.setObject(&quad);
  grDspList list;
  ASSERT_TRUE(list.Preload(&half));
  EXPECT_EQ(quad.draws, 1);
  image2d_t before, first, second;
  ASSERT_TRUE(grReadPixelsRGB(before, GL_BACK));
  EXPECT_EQ(pixel(before, 320, 240)[1], 0) << "compiling must not draw";

  list.Draw();
  ASSERT_TRUE(grReadPixelsRGB(first, GL_BACK));
  // The recorded transform stays applied, as a transform node's does.
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT);
  list.Draw();
  ASSERT_TRUE(grReadPixelsRGB(second, GL_BACK));
  EXPECT_EQ(quad.draws, 1);
  EXPECT_EQ(pixel(first, 320, 240)[1], 255);
  EXPECT_EQ(pixel(first, 10, 10)[1], 0);
  EXPECT_EQ(pixel(first, 170, 130)[1], 255);
  EXPECT_EQ(0, std::memcmp(first.pixels.begin(), second.pixels.begin(), first.pixels.size()));
}

TEST_F(SceneGL, DisplayListNameIsKeptAndDeletedWithTheLastHolder) {
  quad_t quad(1, 1, 1);
  GLuint name;
  {
    grDspList list;
    EXPECT_EQ(list.listname(), unsigned{GL_INVALID_VALUE});
    list.Draw();  // nothing compiled: nothing happens
    list.Preload(&quad);
    name = list.listname();
    EXPECT_TRUE(glIsList(name));
    list.Preload(&quad);
    EXPECT_EQ(list.listname(), name);
    {
      grDspList copy(list);
      EXPECT_EQ(copy.listname(), name);
    }
    EXPECT_TRUE(glIsList(name)) << "a copy going must not delete the list";

    list.Unload();
    EXPECT_FALSE(glIsList(name));
    glClear(GL_COLOR_BUFFER_BIT);
    list.Draw();
    image2d_t image;
    grReadPixelsRGB(image, GL_BACK);
    EXPECT_EQ(pixel(image, 320, 240)[0], 0);
    list.Preload(&quad);
    name = list.listname();
    EXPECT_TRUE(glIsList(name));
  }
  EXPECT_FALSE(glIsList(name));
}

TEST_F(SceneGL, ContainerKeepsEachChildsTransformToItself) {
  probe_t before, after;
  grTranslater move;
  move.setPosition(position3_t(5, 6, 7));
  move.setObject(&before);
  grRotater turn;
  turn.setRotation(rotation3_t(90, direction3_t(0, 0, 1)));
  turn.setObject(&move);
  grContainer container;
  container.addObject(&turn);
  container.addObject(nullptr);
  container.addObject(&after);
  glMatrixMode(GL_PROJECTION);
  std::array<float, 16> modelview = current(GL_MODELVIEW_MATRIX);
  container.Draw();
  EXPECT_EQ(before.draws, 1);
  EXPECT_EQ(after.draws, 1);
  // The rotated translation (5, 6) became (-6, 5).
  EXPECT_NEAR(before.matrix[12], -6, 1e-5);
  EXPECT_NEAR(before.matrix[13], 5, 1e-5);
  EXPECT_NEAR(before.matrix[14], 7, 1e-5);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after.matrix[i], Imtx[i]) << i;
  EXPECT_EQ(matrix_mode(), GL_PROJECTION);
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), modelview);

  grContainer empty;
  empty.Draw();
  EXPECT_EQ(matrix_mode(), GL_PROJECTION);
  glMatrixMode(GL_MODELVIEW);

  // Without a child a transform node changes nothing.
  grTranslater lonely;
  lonely.setPosition(position3_t(1, 1, 1));
  lonely.Draw();
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), modelview);
}

TEST_F(SceneGL, PushersRestoreTheMatrixAndTheMode) {
  glMatrixMode(GL_PROJECTION);
  glOrtho(-2, 2, -2, 2, -1, 1);
  std::array<float, 16> projection = current(GL_PROJECTION_MATRIX);
  std::array<float, 16> modelview = current(GL_MODELVIEW_MATRIX);
  {
    grMatrixPusher pusher(GL_MODELVIEW);
    EXPECT_EQ(matrix_mode(), GL_MODELVIEW);
    glTranslatef(1, 2, 3);
  }
  EXPECT_EQ(matrix_mode(), GL_PROJECTION);
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), modelview);
  {
    grMatrixPusher pusher(0);  // the current mode, projection
    EXPECT_EQ(matrix_mode(), GL_PROJECTION);
    glLoadIdentity();
  }
  EXPECT_EQ(current(GL_PROJECTION_MATRIX), projection);
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(SceneGL, EnhancedModeSavesBeyondTheStackInMemory) {
  grMatrixPusher::setEnhanceMode(true);
  while (glGetError() != GL_NO_ERROR) {
  }  // the colour matrix query may be refused without imaging
  EXPECT_GT(grMatrixPusher::g_modelview_matrix.maxDepth(), 0);
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  grMatrixPusher::g_modelview_matrix.setMaxDepth(depth + 1);  // room for one
  {
    glLoadIdentity();
    glTranslatef(1, 0, 0);
    grMatrixPusher first(GL_MODELVIEW);
    glTranslatef(0, 1, 0);
    {
      grMatrixPusher second(GL_MODELVIEW);
      glTranslatef(0, 0, 1);
      {
        grMatrixPusher third(GL_MODELVIEW);
        EXPECT_EQ(grMatrixPusher::g_modelview_matrix.overflowSize(), 2u);
        glLoadIdentity();
      }
      EXPECT_EQ(current(GL_MODELVIEW_MATRIX)[14], 1);
      EXPECT_EQ(current(GL_MODELVIEW_MATRIX)[13], 1);
    }
    EXPECT_EQ(current(GL_MODELVIEW_MATRIX)[14], 0);
    EXPECT_EQ(current(GL_MODELVIEW_MATRIX)[13], 1);
  }
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX)[13], 0);
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX)[12], 1);
  EXPECT_EQ(grMatrixPusher::g_modelview_matrix.overflowSize(), 0u);
  grMatrixPusher::setEnhanceMode(false);
  EXPECT_EQ(grMatrixPusher::g_modelview_matrix.maxDepth(), 0);
}

TEST_F(SceneGL, PrintErrorReportsOneErrorOnceWithItsLabel) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(grPrintError("quiet"), 0);
  glEnable(0x7fff);  // not a capability
  EXPECT_EQ(grPrintError("after glEnable"), 1);
  EXPECT_EQ(grPrintError("after glEnable"), 0);
  glMatrixMode(0x7fff);
  EXPECT_EQ(grPrintError(nullptr), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "after glEnable: Error 1280: invalid enumerant\n"
            "Error 1280: invalid enumerant\n");
}

TEST_F(SceneGL, UnknownPusherModeFallsBackToModelview) {
  testing::internal::CaptureStdout();
  grMatrixPusher::grMatrixManager* m = grMatrixPusher::getMatrixManager(0x1234);
  std::string out = testing::internal::GetCapturedStdout();
  std::cout << std::dec;
  EXPECT_EQ(m, &grMatrixPusher::g_modelview_matrix);
  EXPECT_EQ(out, "1234: unknown enum! fall back to modelview.\n");
  EXPECT_EQ(grMatrixPusher::getMatrixManager(GL_TEXTURE), &grMatrixPusher::g_texture_matrix);
}

}  // namespace
}  // namespace libgr

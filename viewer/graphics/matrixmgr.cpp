#include "viewer/graphics/matrixmgr.h"

#include <iostream>

#include "viewer/graphics/gl_api.h"

namespace libgr {

grMatrixModeKeeper::grMatrixModeKeeper(unsigned int mode) {
  if (mode == 0) return;
  GLint current = 0;
  glGetIntegerv(GL_MATRIX_MODE, &current);
  if (static_cast<unsigned int>(current) != mode) {
    glMatrixMode(mode);
    m_old_mode = static_cast<unsigned int>(current);
  }
}

grMatrixModeKeeper::~grMatrixModeKeeper() {
  if (m_old_mode) glMatrixMode(m_old_mode);
}

grMatrixPusher::grMatrixManager::grMatrixManager(unsigned int mode, unsigned int max_depth_query,
                                                 unsigned int depth_query,
                                                 unsigned int matrix_query)
    : m_mode(mode),
      m_max_depth_query(max_depth_query),
      m_depth_query(depth_query),
      m_matrix_query(matrix_query) {}

bool grMatrixPusher::grMatrixManager::canPush() const {
  if (m_max_depth == 0) return true;
  GLint depth = 0;
  glGetIntegerv(m_depth_query, &depth);
  return depth < m_max_depth;
}

void grMatrixPusher::grMatrixManager::readMaxDepth() {
  GLint depth = 0;
  glGetIntegerv(m_max_depth_query, &depth);
  m_max_depth = depth;
}

void grMatrixPusher::grMatrixManager::pushOverflow() {
  m_overflow.emplace_back();
  glGetFloatv(m_matrix_query, m_overflow.back().m);
}

void grMatrixPusher::grMatrixManager::popOverflow() {
  if (m_overflow.empty()) return;
  glLoadMatrixf(m_overflow.back().m);
  m_overflow.pop_back();
}

grMatrixPusher::grMatrixManager grMatrixPusher::g_modelview_matrix(GL_MODELVIEW,
                                                                   GL_MAX_MODELVIEW_STACK_DEPTH,
                                                                   GL_MODELVIEW_STACK_DEPTH,
                                                                   GL_MODELVIEW_MATRIX);
grMatrixPusher::grMatrixManager grMatrixPusher::g_projection_matrix(GL_PROJECTION,
                                                                    GL_MAX_PROJECTION_STACK_DEPTH,
                                                                    GL_PROJECTION_STACK_DEPTH,
                                                                    GL_PROJECTION_MATRIX);
grMatrixPusher::grMatrixManager grMatrixPusher::g_texture_matrix(GL_TEXTURE,
                                                                 GL_MAX_TEXTURE_STACK_DEPTH,
                                                                 GL_TEXTURE_STACK_DEPTH,
                                                                 GL_TEXTURE_MATRIX);
grMatrixPusher::grMatrixManager grMatrixPusher::g_color_matrix(GL_COLOR,
                                                               GL_MAX_COLOR_MATRIX_STACK_DEPTH,
                                                               GL_COLOR_MATRIX_STACK_DEPTH,
                                                               GL_COLOR_MATRIX);
bool grMatrixPusher::g_enhance = false;

grMatrixPusher::grMatrixManager* grMatrixPusher::getMatrixManager(unsigned int mode) {
  if (mode == 0) {
    GLint current = 0;
    glGetIntegerv(GL_MATRIX_MODE, &current);
    mode = static_cast<unsigned int>(current);
  }
  switch (mode) {
    case GL_MODELVIEW: return &g_modelview_matrix;
    case GL_PROJECTION: return &g_projection_matrix;
    case GL_TEXTURE: return &g_texture_matrix;
    case GL_COLOR: return &g_color_matrix;
    default:
      std::cout << std::hex << mode << ": unknown enum! fall back to modelview." << std::endl;
      return &g_modelview_matrix;
  }
}

void grMatrixPusher::setEnhanceMode(bool on) {
  g_enhance = on;
  grMatrixManager* managers[] = {&g_modelview_matrix, &g_projection_matrix, &g_texture_matrix,
                                 &g_color_matrix};
  for (grMatrixManager* m : managers) {
    if (on) {
      m->readMaxDepth();
    } else {
      m->setMaxDepth(0);
    }
  }
}

grMatrixPusher::grMatrixPusher(unsigned int mode)
    : m_keeper(mode), m_manager(getMatrixManager(mode)) {
  m_gl_saved = m_manager->canPush();
  if (m_gl_saved) {
    glPushMatrix();
  } else {
    m_manager->pushOverflow();
  }
}

grMatrixPusher::~grMatrixPusher() {
  if (m_gl_saved) {
    glPopMatrix();
  } else {
    m_manager->popOverflow();
  }
}

}  // namespace libgr

#include "viewer/app/viewscene.h"

#include <GL/gl.h>

#include <algorithm>
#include <iostream>
#include <iterator>

#include "utility/option.h"

namespace plimlib {

ViewScene::ViewScene() : m_current(m_objs.end()) {}

ViewScene::~ViewScene() = default;

void ViewScene::Init(const char*) {
  if (g_option.debug) std::cout << "gl_init" << std::endl;
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_BLEND);
  glHint(GL_POINT_SMOOTH_HINT, GL_FASTEST);
  glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
  glShadeModel(GL_SMOOTH);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  const libgr::color3a_t& c = libgr::gray18;
  glClearColor(c.r, c.g, c.b, c.a);
  glClearDepth(1.0);
}

void ViewScene::Display() const {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // The light is set in eye coordinates; only the photo frame lights.
  glEnable(GL_LIGHT0);
  const GLfloat position[4] = {-50, 50, 50, 1};
  const libgr::color3a_t& c = libgr::gray18;
  const GLfloat gray[4] = {c.r, c.g, c.b, c.a};
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glLightfv(GL_LIGHT0, GL_AMBIENT, gray);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, gray);
  glLightfv(GL_LIGHT0, GL_SPECULAR, gray);
  glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, libgr::white.r);
  glTranslatef(0, 0, -1000);
  if (hasCurrent()) glMultMatrixf(m_current->view.m);
}

void ViewScene::Reshape(unsigned long width, unsigned long height) {
  if (g_option.debug) std::cout << "ViewScene::Reshape()" << std::endl;
  GLint dims[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  if (dims[0] > 0) width = std::min<unsigned long>(width, static_cast<unsigned long>(dims[0]));
  if (dims[1] > 0) height = std::min<unsigned long>(height, static_cast<unsigned long>(dims[1]));
  glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  const float hw = static_cast<float>(width) / 2;
  const float hh = static_cast<float>(height) / 2;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-hw, hw, -hh, hh, 0, 10000);
}

void ViewScene::setCurrent(unsigned long index) {
  if (index >= m_objs.size()) {
    m_current = m_objs.end();
    return;
  }
  m_current = std::next(m_objs.begin(), static_cast<long>(index));
}

bool ViewScene::delImage() {
  if (m_current == m_objs.end()) return false;
  m_current = m_objs.erase(m_current);
  if (m_current == m_objs.end() && !m_objs.empty()) m_current = std::prev(m_objs.end());
  return true;
}

}  // namespace plimlib

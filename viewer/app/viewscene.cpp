#include "viewer/app/viewscene.h"

#include <GL/gl.h>
#include <sys/stat.h>

#include <iostream>
#include <iterator>

#include "utility/futil.h"
#include "utility/option.h"
#include "viewer/app/viewmatrix.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/geometry_stream.h"
#include "viewer/graphics/rotation.h"

namespace plimlib {

ViewScene::obj_t::~obj_t() { free_graph(); }

void ViewScene::obj_t::make_graph(const char* directory) {
  if (built) return;
  libgr::grPrintError("ViewScene::obj_t::make_graph() - before viewobj.load_texture().");
  viewobj.load_texture();
  libgr::grPrintError("ViewScene::obj_t::make_graph() - after viewobj.load_texture().");
  objdspl.Preload(&viewobj);
  libgr::grPrintError("ViewScene::obj_t::make_graph() - after objdspl.Preload().");
  viewframe.make_graph(directory);
  libgr::grPrintError("ViewScene::obj_t::make_graph() - after viewframe.make_graph().");
  built = true;
}

void ViewScene::obj_t::free_graph() {
  if (!built) return;
  viewframe.free_graph();
  objdspl.Unload();
  viewobj.free_texture();
  built = false;
}

ViewScene::ViewScene() : m_current(m_objs.end()) {}

ViewScene::~ViewScene() = default;

void ViewScene::Init(const char* directory) {
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
  libgr::grPrintError("end ViewScene::Init()");
  ViewFrame::init(directory);
  libgr::grPrintError("end ViewFrame::init()");
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
  if (!hasCurrent()) return;
  libgr::grPrintError("before Draw()");
  m_current->view.Draw();
  libgr::grPrintError("after Draw()");
}

void ViewScene::Reshape(unsigned long width, unsigned long height) {
  if (g_option.debug) std::cout << "ViewScene::Reshape()" << std::endl;
  GLint dims[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  const libgr::direction2l_t image = getCurrentImageSize();
  const view_projection_t p =
      view_projection(width, height, dims[0], dims[1], hasCurrent() ? &image : nullptr);
  glViewport(0, 0, static_cast<GLsizei>(p.width), static_cast<GLsizei>(p.height));
  if (hasCurrent() && g_option.verbose)
    std::cout << "viewofs: " << libgr::direction2_t(p.offset_x, p.offset_y) << std::endl;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(p.left, p.right, p.bottom, p.top, 0, 10000);
}

void ViewScene::Destroy() { ViewFrame::destroy(); }

bool ViewScene::addImage(const char* path, const char* directory) {
  struct stat st;
  if (::stat(path, &st) != 0) {
    libutils::error();
    std::cerr << path << ": image file not found." << std::endl;
    return false;
  }
  m_objs.emplace_back();
  obj_t& obj = m_objs.back();
  if (!obj.viewobj.setImage(path, directory)) {
    // m_current never points at the new record yet.
    m_objs.pop_back();
    return false;
  }
  const libgr::direction2l_t size = obj.viewobj.getImageSize();
  obj.viewframe.setFrameType(g_option.frametype);
  obj.viewframe.setSize(libgr::direction2_t(static_cast<float>(size.x), static_cast<float>(size.y)),
                        g_option.framewidth);
  obj.container.addObject(&obj.viewframe);
  obj.container.addObject(&obj.objdspl);
  obj.view.setObject(&obj.container);
  if (m_current == m_objs.end()) m_current = m_objs.begin();
  Rotate(-90.0f * static_cast<float>(m_current->viewobj.getOrientation()));
  return true;
}

bool ViewScene::delImage() {
  if (m_current == m_objs.end()) return false;
  m_current = m_objs.erase(m_current);
  if (m_current == m_objs.end() && !m_objs.empty()) m_current = std::prev(m_objs.end());
  return true;
}

void ViewScene::setCurrent(unsigned long index) {
  if (index >= m_objs.size()) {
    m_current = m_objs.end();
    return;
  }
  m_current = std::next(m_objs.begin(), static_cast<long>(index));
}

void ViewScene::make_graph(const char* directory) {
  unsigned long i = 0;
  for (obj_t& obj : m_objs) {
    if (g_option.debug) std::cout << "ViewScene::make_graph() count= " << i << std::endl;
    obj.make_graph(directory);
    ++i;
  }
}

void ViewScene::free_graph() {
  for (obj_t& obj : m_objs) obj.free_graph();
}

bool ViewScene::is_resident() const {
  for (const obj_t& obj : m_objs)
    if (!obj.viewobj.is_resident()) return false;
  return true;
}

void ViewScene::Rotate(float degrees, float) {
  if (hasCurrent()) view_rotate(m_current->view.m_matrix, degrees);
}

void ViewScene::Zoom(float power, float) {
  if (hasCurrent()) view_zoom(m_current->view.m_matrix, power);
}

void ViewScene::Scale(float factor, float) {
  if (hasCurrent()) view_scale(m_current->view.m_matrix, factor);
}

void ViewScene::Move(const libgr::direction3_t& d, float) {
  if (hasCurrent()) view_move(m_current->view.m_matrix, d);
}

void ViewScene::Matrix(const libgr::matrix3w_t& m) {
  if (hasCurrent()) m_current->view.m_matrix = compose_view(m_current->view.m_matrix, m);
}

void ViewScene::setView(const libgr::matrix3w_t& m) {
  if (hasCurrent()) m_current->view.m_matrix = m;
}

void ViewScene::Origin() {
  if (!hasCurrent()) return;
  m_current->view.m_matrix = libgr::Imtx;
  Rotate(-90.0f * static_cast<float>(m_current->viewobj.getOrientation()));
}

bool ViewScene::clrZoom() { return hasCurrent() && view_clear_zoom(m_current->view.m_matrix); }

bool ViewScene::clrRotate() {
  if (!hasCurrent()) return false;
  libgr::rotation3_t inverse;
  if (!view_clear_rotate(m_current->view.m_matrix, inverse)) return false;
  if (g_option.debug) {
    std::cout << "inv_rot: " << inverse << std::endl;
    std::cout << "inv_mtx: " << std::endl << libgr::getRotateMatrix(inverse) << std::endl;
  }
  return true;
}

void ViewScene::clrMove() {
  if (hasCurrent()) view_clear_move(m_current->view.m_matrix);
}

const libgr::matrix3w_t& ViewScene::getMatrix() const {
  return hasCurrent() ? m_current->view.m_matrix : libgr::Imtx;
}

bool ViewScene::toggleSmooth() {
  if (!hasCurrent()) return false;
  obj_t& obj = *m_current;
  obj.viewobj.setMagSmooth(!obj.viewobj.getMagSmooth());
  // The recorded drawing holds the filter: record it again.
  if (obj.built) obj.objdspl.Preload(&obj.viewobj);
  return obj.viewobj.getMagSmooth();
}

libgr::direction2l_t ViewScene::getCurrentImageSize() const {
  return hasCurrent() ? m_current->viewobj.getImageSize() : libgr::direction2l_t();
}

std::uint64_t ViewScene::getCurrentOrientation() const {
  return hasCurrent() ? m_current->viewobj.getOrientation() : 0;
}

}  // namespace plimlib

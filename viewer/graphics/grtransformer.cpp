#include "viewer/graphics/grtransformer.h"

#include <cmath>

#include "viewer/graphics/error.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/matrixmgr.h"

namespace libgr {

void grRotater::Draw() const {
  if (!m_object) return;
  glRotatef(m_rotation.angle, m_rotation.axis.x, m_rotation.axis.y, m_rotation.axis.z);
  m_object->Draw();
}

void grZoomer::setZoom(const direction3_t& exponents) {
  m_zoom = exponents;
  rescale();
}

void grZoomer::addZoom(const direction3_t& delta) {
  m_zoom = m_zoom + delta;
  rescale();
}

void grZoomer::rescale() {
  m_scale = direction3_t(static_cast<float>(std::pow(2.0, m_zoom.x)),
                         static_cast<float>(std::pow(2.0, m_zoom.y)),
                         static_cast<float>(std::pow(2.0, m_zoom.z)));
}

void grZoomer::Draw() const {
  if (!m_object) return;
  glScalef(m_scale.x, m_scale.y, m_scale.z);
  m_object->Draw();
}

void grTranslater::Draw() const {
  if (!m_object) return;
  grPrintError("grTranslater::Draw() - before translate.");
  glTranslatef(m_position.x, m_position.y, m_position.z);
  grPrintError("grTranslater::Draw() - after translate.");
  m_object->Draw();
  grPrintError("grTranslater::Draw() - after m_object->Draw().");
}

void grTransformer::Draw() const {
  if (!m_object) return;
  grPrintError("grTransformer::Draw() - before MultMatrix()");
  glMultMatrixf(m_matrix.m);
  grPrintError("grTransformer::Draw() - after MultMatrix()");
  m_object->Draw();
  grPrintError("grTransformer::Draw() - after m_object->Draw()");
}

const grObject3D* grContainer::getObject(unsigned long i) const {
  if (i >= m_objects.size()) return nullptr;
  auto it = m_objects.begin();
  std::advance(it, i);
  return *it;
}

void grContainer::Draw() const {
  for (const grObject3D* object : m_objects) {
    grMatrixPusher pusher(GL_MODELVIEW);
    if (object) object->Draw();
  }
}

}  // namespace libgr

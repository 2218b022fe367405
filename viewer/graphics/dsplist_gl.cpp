#include "viewer/graphics/dsplist_gl.h"

#include <iostream>

#include "utility/futil.h"
#include "viewer/graphics/gl_api.h"

namespace libgr {

void grDspListMgr::Generate() {
  if (m_generated) return;
  m_name = glGenLists(1);
  m_generated = true;
}

void grDspListMgr::Release() {
  if (!m_generated) return;
  glDeleteLists(m_name, 1);
  m_generated = false;
}

unsigned int grDspListMgr::listname() const { return m_generated ? m_name : GL_INVALID_VALUE; }

unsigned int grDspList::listname() const { return m_list ? m_list->listname() : GL_INVALID_VALUE; }

bool grDspList::Preload(const grObject3D* object) {
  if (!m_list && !m_list.newobject()) {
    libutils::error();
    std::cerr << "grDspList::Preload(): out of memory." << std::endl;
    return false;
  }
  m_list->Generate();
  glNewList(m_list->listname(), GL_COMPILE);
  if (object) object->Draw();
  glEndList();
  return true;
}

void grDspList::Unload() {
  if (m_list) m_list->Release();
}

void grDspList::Draw() const {
  if (m_list && m_list->isGenerated()) glCallList(m_list->listname());
}

}  // namespace libgr

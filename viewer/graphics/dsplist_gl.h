// A display-list node: records another node's drawing once and replays it.
// The GL list name lives in a shared record and is deleted with its last
// holder. Needs a current GL context, destructors included.
#pragma once

#include "viewer/graphics/object3d.h"
#include "viewer/graphics/refobject.h"

namespace libgr {

class grDspListMgr {
 public:
  grDspListMgr() = default;
  grDspListMgr(const grDspListMgr&) = delete;
  grDspListMgr& operator=(const grDspListMgr&) = delete;
  ~grDspListMgr() { Release(); }
  // glGenLists once while no name is held.
  void Generate();
  // Deletes the list when one is held.
  void Release();
  bool isGenerated() const { return m_generated; }
  // The name when generated, else GL_INVALID_VALUE.
  unsigned int listname() const;

 private:
  unsigned int m_name = 0;
  bool m_generated = false;
};

class grDspList : public grObject3D {
 public:
  using grObject3D::Draw;
  // Compiles object's drawing (nothing for null) into this node's list,
  // reusing the name it already has. False only when the record cannot
  // be had.
  bool Preload(const grObject3D* object);
  // Deletes the GL list and keeps the record.
  void Unload();
  // Replays the list when one is compiled.
  void Draw() const override;
  unsigned int listname() const;

 private:
  libutils::refobject<grDspListMgr> m_list;
};

}  // namespace libgr

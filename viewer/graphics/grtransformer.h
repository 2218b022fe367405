// Transform nodes that wrap one child, and the container that draws a list
// of children each from the same starting matrix. Draw needs a current GL
// context; the rest does not.
#pragma once

#include <list>

#include "image/geometry.h"
#include "viewer/graphics/object3d.h"

namespace libgr {

// The transform nodes apply their transform to the current matrix, draw the
// child and leave the transform applied; without a child they do nothing.

class grRotater : public grObject3D {
 public:
  using grObject3D::Draw;
  void Draw() const override;
  const grObject3D* getObject() const { return m_object; }
  void setObject(const grObject3D* object) { m_object = object; }
  const rotation3_t& getRotation() const { return m_rotation; }
  void setRotation(const rotation3_t& r) { m_rotation = r; }

 private:
  const grObject3D* m_object = nullptr;
  rotation3_t m_rotation = Irot;
};

class grZoomer : public grObject3D {
 public:
  using grObject3D::Draw;
  void Draw() const override;
  const grObject3D* getObject() const { return m_object; }
  void setObject(const grObject3D* object) { m_object = object; }
  // Scale factor of each axis = 2 ^ exponent.
  void setZoom(const direction3_t& exponents);
  void addZoom(const direction3_t& delta);
  const direction3_t& getZoom() const { return m_zoom; }
  const direction3_t& getScale() const { return m_scale; }

 private:
  void rescale();
  const grObject3D* m_object = nullptr;
  direction3_t m_zoom = Idir;
  direction3_t m_scale = direction3_t(2, 2, 2);  // matches the exponents
};

class grTranslater : public grObject3D {
 public:
  using grObject3D::Draw;
  void Draw() const override;
  const grObject3D* getObject() const { return m_object; }
  void setObject(const grObject3D* object) { m_object = object; }
  const position3_t& getPosition() const { return m_position; }
  void setPosition(const position3_t& p) { m_position = p; }

 private:
  const grObject3D* m_object = nullptr;
  position3_t m_position = Ipos;
};

class grTransformer : public grObject3D {
 public:
  using grObject3D::Draw;
  void Draw() const override;
  const grObject3D* getObject() const { return m_object; }
  void setObject(const grObject3D* object) { m_object = object; }

  // Read and overwritten directly by the view to compose it.
  matrix3w_t m_matrix = Imtx;

 private:
  const grObject3D* m_object = nullptr;
};

// Draws its entries in order, each between a save and a restore of the
// modelview matrix and the matrix mode; null entries draw nothing.
class grContainer : public grObject3D {
 public:
  using grObject3D::Draw;
  void Draw() const override;
  void addObject(const grObject3D* object) { m_objects.push_back(object); }
  // The i-th entry, or null when i is not below size().
  const grObject3D* getObject(unsigned long i) const;
  unsigned long size() const { return m_objects.size(); }
  void clear() { m_objects.clear(); }
  // Truncates from the end or appends null entries.
  void resize(unsigned long n) { m_objects.resize(n, nullptr); }

 private:
  std::list<const grObject3D*> m_objects;
};

}  // namespace libgr

#include "viewer/graphics/object3d.h"

namespace libgr {

void grDrawable3D::Draw() {}
grDrawable3D::~grDrawable3D() {}

void grObject3D::Draw() { static_cast<const grObject3D*>(this)->Draw(); }
grObject3D::~grObject3D() {}
void grObject3D::Draw() const {}

}  // namespace libgr

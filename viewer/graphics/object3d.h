// The scene node bases. A node draws itself with GL calls into the current
// context; nodes borrow their children and never own them.
#pragma once

namespace libgr {

class grDrawable3D {
 public:
  virtual void Draw() = 0;
  virtual ~grDrawable3D();
};

class grObject3D : public grDrawable3D {
 public:
  // Calls the const Draw; no subclass overrides it.
  void Draw() override;
  ~grObject3D() override;
  virtual void Draw() const = 0;
};

}  // namespace libgr

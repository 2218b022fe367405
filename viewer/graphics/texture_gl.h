// A GL texture name shared by reference count, and the object that binds it
// and lets a texture image upload into it. Everything here needs the GL
// context of the window to be current, destructors included.
#pragma once

#include "image/imagetype.h"
#include "viewer/graphics/refobject.h"
#include "viewer/graphics/texturable.h"

namespace libgr {

// The record behind a shared texture name; deletes the name with itself.
class grTextureMgr {
 public:
  grTextureMgr() = default;
  grTextureMgr(const grTextureMgr&) = delete;
  grTextureMgr& operator=(const grTextureMgr&) = delete;
  ~grTextureMgr();
  // glGenTextures once per record.
  void Generate();
  bool isGenerated() const { return m_generated; }
  // The name when generated, else GL_INVALID_VALUE.
  unsigned int texname() const;

 private:
  unsigned int m_name = 0;
  bool m_generated = false;
};

class grTextureObject : public grTexturableObject {
 public:
  grTextureObject() = default;
  // Copies share the texture name; it is deleted with the last of them.
  grTextureObject(const grTextureObject&) = default;
  grTextureObject& operator=(const grTextureObject&) = default;
  ~grTextureObject() override = default;

  // Generates the name if needed, binds it, and has image upload into it.
  void Preload(const grTexturableImageGL* image);
  unsigned int Dimension() const override;
  // Binds for drawing (enabling the target below GL 3.0).
  void Load() const override;
  // Uploads the image of the last Preload again into the same name.
  void Reload() const override;
  bool isPreload() const override { return m_preload; }
  void Unload() const override;
  bool isResident() const;
  // Releases this object's share of the name when preloaded.
  void clear();

  void BindImage(unsigned int unit, int level, unsigned int access) const;
  void UnbindImage(unsigned int unit) const;
  // Level of the texture bound to target, as RGBA in the component type
  // and size GL reports; false for a layout it cannot take.
  bool GetTexImage(unsigned int target, int level, image2d_t& image) const;
  // The same for this object's own name (GL 4.5 direct state access).
  bool GetTextureImage(int level, image2d_t& image) const;

  // The GL name, or GL_INVALID_VALUE without a generated one.
  unsigned int texname() const;
  unsigned int target() const { return m_target; }

 private:
  libutils::refobject<grTextureMgr> m_texture;
  unsigned int m_target = 0x0501;  // GL_INVALID_VALUE
  bool m_preload = false;
  const grTexturableImageGL* m_image = nullptr;
};

}  // namespace libgr

// The two halves of a texture: an image that uploads its pixels into the
// bound texture, and an object that owns the texture name and binds it.
#pragma once

namespace libgr {

class grTexturable {
 public:
  // 1, 2 (also the rectangle texture), 3, or 6 (cube map).
  virtual unsigned int Dimension() const = 0;
  virtual void Load() const = 0;
  // Calls Load.
  virtual void Reload() const;
  virtual ~grTexturable() = 0;
};

class grTexturableImage : public grTexturable {
 public:
  ~grTexturableImage() override;
};

class grTexturableImageGL : public grTexturableImage {
 public:
  ~grTexturableImageGL() override;
  // The GL internal format Load would use; GL_INVALID_VALUE when none.
  virtual unsigned int GetInternalFormat() const = 0;
};

class grTexturableObject : public grTexturable {
 public:
  virtual bool isPreload() const = 0;
  virtual void Unload() const = 0;
};

}  // namespace libgr

// The image half of a texture: level images that upload into the bound
// texture, with the GL layout chosen from each image's description, the
// unpack pixel store set from its store record and window, and mipmaps
// built the best way the context offers (GL 3.0, else automatic SGIS
// generation, else GLU). Load and Reload need a current GL context.
#pragma once

#include <cstdint>
#include <vector>

#include "image/geometry.h"
#include "image/imagetype.h"
#include "viewer/graphics/texturable.h"
#include "viewer/graphics/texture_parm.h"

namespace libgr {

// Settings shared by the 1D, 2D, 3D and cube-map textures.
template <class Record>
class grTextureSettings {
 public:
  void setInternalCompression(bool on) { m_compress = on; }
  void setBuildMipmap(bool on) { m_mipmap = on; }
  // A one-texel border.
  void setBorder(bool on) { m_border = on; }
  // Borrowed; must outlive the texture.
  void setTextureParameter(const Record* record) { m_param = record; }
  void setBorderColor(const color3a_t* color) { m_border_color = color; }
  // 0: every level has its image's own size; else level 0 is a square (a
  // cube for 3D) of the smallest power of two not below it, and the image
  // sits at texel (0, 0).
  uint32_t size() const { return m_size; }

 protected:
  uint32_t m_size = 0;
  bool m_compress = false;
  bool m_mipmap = false;
  bool m_border = false;
  const Record* m_param = nullptr;
  const color3a_t* m_border_color = nullptr;
};

// The level images of the 1D, 2D, 3D and cube-map textures.
template <class Image, class Record>
class grTextureImages : public grTexturableImageGL, public grTextureSettings<Record> {
 public:
  void clear() { m_images.clear(); }
  // Keeps levels 0..index, level index a shallow copy of image.
  void setImage(const Image& image, uint32_t size = 0, unsigned long index = 0);
  // Levels index.. from images; never drops levels.
  void setImages(const std::vector<Image>& images, uint32_t size = 0, unsigned long index = 0);
  const std::vector<Image>& images() const { return m_images; }
  // Level 0's; GL_INVALID_VALUE without a level 0 GL can take.
  unsigned int GetInternalFormat() const override;

 protected:
  std::vector<Image> m_images;
};

class grTexture1D : public grTextureImages<image1d_t, texparameter1d_t> {
 public:
  unsigned int Dimension() const override { return 1; }
  void Load() const override;
};

class grTexture2D : public grTextureImages<image2d_t, texparameter2d_t> {
 public:
  unsigned int Dimension() const override { return 2; }
  void Load() const override { upload(false); }
  // Replaces the pixels of the texture made by Load.
  void Reload() const override { upload(true); }

 private:
  void upload(bool reload) const;
};

class grTexture3D : public grTextureImages<image3d_t, texparameter3d_t> {
 public:
  unsigned int Dimension() const override { return 3; }
  void Load() const override;
};

// Six faces per level, +X, -X, +Y, -Y, +Z, -Z; face f of level l at 6l + f.
// Its setImage and setImages take whole levels, in place of the others'.
class grTextureCubeMap : public grTextureImages<image2d_t, texparametercubemap_t> {
 public:
  void setImage(const image2d_t (&faces)[6], uint32_t size = 0, unsigned long index = 0);
  void setImages(const std::vector<std::vector<image2d_t>>& levels, uint32_t size = 0,
                 unsigned long index = 0);
  unsigned int Dimension() const override { return 6; }
  void Load() const override;
};

// One image, no mipmaps, no border.
class grTextureRectangle : public grTexturableImageGL {
 public:
  void clear() { m_image.clear(); }
  void setImage(const image2d_t& image) { m_image = image; }
  void setTextureParameter(const texparameter2d_t* record) { m_param = record; }
  const image2d_t& image() const { return m_image; }
  unsigned int Dimension() const override { return 2; }
  void Load() const override { upload(false); }
  void Reload() const override { upload(true); }
  unsigned int GetInternalFormat() const override;

 private:
  void upload(bool reload) const;
  image2d_t m_image;
  const texparameter2d_t* m_param = nullptr;
};

}  // namespace libgr

#pragma once
// The scene leaf that shows one photograph: loaded by its extension, cut
// into square tiles with a texture each, drawn centred on the origin with
// one model unit per image pixel.

#include <cstdint>
#include <string>

#include "image/geometry.h"
#include "image/imagetype.h"
#include "utility/refvector.h"
#include "viewer/app/image_handling.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/object3d.h"
#include "viewer/graphics/texture_parm.h"

namespace plimlib {

class ViewObject : public libgr::grObject3D {
 public:
  using libgr::grObject3D::Draw;

  ViewObject();
  // Copies share the texture names.
  ViewObject(const ViewObject& other);
  ViewObject& operator=(const ViewObject&) = delete;
  ~ViewObject() override;

  // Loads path through the loader of its extension (.jpg, .jpeg, .bmp,
  // .png, .tga, any case), turns palette and 1-, 2-, 4-bit grey images
  // into uploadable ones and tiles them. No GL upload yet, but the GL
  // context must be current (the tile side asks for GL_MAX_TEXTURE_SIZE).
  // directory is not used.
  bool setImage(const char* path, const char* directory);
  // Uploads the textures once.
  void load_texture();
  void free_texture();
  bool is_resident() const;
  // GL_LINEAR (true) or GL_NEAREST magnification from the next drawing on.
  void setMagSmooth(bool smooth);
  bool getMagSmooth() const { return m_magsmooth; }
  // Width and height as loaded (not turned by the orientation).
  libgr::direction2l_t getImageSize() const;
  // Quarter turns to the right the file asks for (JPEG EXIF only).
  std::uint64_t getOrientation() const { return m_orientation; }
  const multi_square_image_t& getTiles() const { return m_tiles; }
  const libgr::texparameter2d_t& getTexParm() const { return m_parm; }
  bool isLoaded() const { return m_loaded; }

  // Draws the tiles (nothing before load_texture).
  void Draw() const override;

 private:
  std::string m_path;
  std::uint64_t m_orientation = 0;
  libgr::image2d_t m_image;
  multi_square_image_t m_tiles;
  multi_texture_object_t m_textures;
  libgr::texparameter2d_t m_parm;
  bool m_loaded = false;
  bool m_magsmooth = true;

  // Created on first need, freed after every successful load.
  static libutils::ptr_t<libgr::image_object_t> m_jpeg1imgobj;
  static libutils::ptr_t<libgr::image_object_t> m_bmpimgobj;
  static libutils::ptr_t<libgr::image_object_t> m_pngimgobj;
  static libutils::ptr_t<libgr::image_object_t> m_tgaimgobj;
};

}  // namespace plimlib

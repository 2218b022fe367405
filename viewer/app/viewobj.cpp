#include "viewer/app/viewobj.h"

#include <iostream>

#include "image/imageutil.h"
#include "utility/futil.h"
#include "utility/option.h"
#include "viewer/graphics/error.h"
#include "viewer/graphics/gl_api.h"

namespace plimlib {

libutils::ptr_t<libgr::image_object_t> ViewObject::m_jpeg1imgobj;
libutils::ptr_t<libgr::image_object_t> ViewObject::m_bmpimgobj;
libutils::ptr_t<libgr::image_object_t> ViewObject::m_pngimgobj;
libutils::ptr_t<libgr::image_object_t> ViewObject::m_tgaimgobj;

namespace {

// The tile side never exceeds this, whatever larger textures GL allows:
// a large photograph becomes a grid of small textures.
constexpr unsigned long kMaxTile = 256;

template <class T>
libgr::image_object_t* need(libutils::ptr_t<libgr::image_object_t>& slot) {
  if (!slot.get()) slot = new T;
  return slot.get();
}

}  // namespace

ViewObject::ViewObject()
    : m_parm(libgr::texparameter2d(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE,
                                   GL_CLAMP_TO_EDGE, 1.0f)) {
  m_textures.setTexParm(&m_parm);
}

ViewObject::ViewObject(const ViewObject& other)
    : libgr::grObject3D(other),
      m_path(other.m_path),
      m_orientation(other.m_orientation),
      m_image(other.m_image),
      m_tiles(other.m_tiles),
      m_textures(other.m_textures),
      m_parm(other.m_parm),
      m_loaded(other.m_loaded),
      m_magsmooth(other.m_magsmooth) {
  // The copy draws with its own parameters, not the original's.
  m_textures.setTexParm(&m_parm);
}

ViewObject::~ViewObject() = default;

bool ViewObject::setImage(const char* path, const char*) {
  m_path = path ? path : "";
  libgr::image_object_t* loader = nullptr;
  if (libutils::extcasecmp(m_path, ".jpg") == 0 || libutils::extcasecmp(m_path, ".jpeg") == 0) {
    loader = need<libgr::image_jpeg1_t>(m_jpeg1imgobj);
  } else if (libutils::extcasecmp(m_path, ".bmp") == 0) {
    loader = need<libgr::image_bmp2_t>(m_bmpimgobj);
  } else if (libutils::extcasecmp(m_path, ".png") == 0) {
    loader = need<libgr::image_png_t>(m_pngimgobj);
  } else if (libutils::extcasecmp(m_path, ".tga") == 0) {
    loader = need<libgr::image_tga_t>(m_tgaimgobj);
  } else {
    return false;
  }

  // Loaded into a fresh image: a failed load leaves the object as it was.
  libgr::image2d_t image;
  image.store = nullptr;
  if (!loader->load(image, m_path.c_str())) return false;
  const std::uint64_t orientation = loader->rightrotatecount;

  GLint maxtex = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxtex);
  if (g_option.debug) std::cerr << "max_tex_size: " << maxtex << std::endl;
  unsigned long limit = maxtex > 0 ? static_cast<unsigned long>(maxtex) : kMaxTile;
  if (limit > kMaxTile) limit = kMaxTile;

  // GL keeps no palette textures and cannot take 1-, 2- or 4-bit grey
  // rows as they are stored.
  if (image.desc.format == libgr::IMAGE_FORMAT_INDEX) {
    if (!libgr::index2rgb(image, image)) return false;
  } else if (image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE &&
             image.desc.type == libgr::IMAGE_TYPE_UINT) {
    if (image.desc.bits == libgr::IMAGE_BITS_1) {
      if (!libgr::grayscale(image, image)) return false;
    } else if (image.desc.bits == libgr::IMAGE_BITS_2 || image.desc.bits == libgr::IMAGE_BITS_4) {
      if (!libgr::grayscale_to_8bit(image, image)) return false;
    }
  }

  multi_square_image_t tiles;
  libgr::grPrintError("before rectangle_to_squares");
  const bool tiled = rectangle_to_squares(tiles, image, limit, true);
  libgr::grPrintError("rectangle-to-squares");
  if (!tiled) return false;
  if (g_option.debug) std::cerr << "rectangle_to_square() complete." << std::endl;

  free_texture();
  m_image = image;
  m_orientation = orientation;
  m_tiles = tiles;
  squares_to_texobjs(m_textures, m_tiles);
  libgr::grPrintError("squares_to_texobjs");
  m_textures.setTexParm(&m_parm);
  if (g_option.debug) std::cerr << "ViewObject::setImage() end" << std::endl;

  // No loader state (a mapped file, its markers) outlives the load.
  m_jpeg1imgobj.free();
  m_bmpimgobj.free();
  m_pngimgobj.free();
  m_tgaimgobj.free();
  return true;
}

void ViewObject::load_texture() {
  if (m_loaded) return;
  m_textures.Preload();
  m_loaded = true;
}

void ViewObject::free_texture() {
  if (!m_loaded) return;
  m_textures.Unload();
  m_loaded = false;
}

bool ViewObject::is_resident() const { return m_textures.isResident(); }

void ViewObject::setMagSmooth(bool smooth) {
  m_magsmooth = smooth;
  m_parm.mag_filter = smooth ? GL_LINEAR : GL_NEAREST;
}

libgr::direction2l_t ViewObject::getImageSize() const {
  return libgr::direction2l_t(static_cast<std::int32_t>(m_image.width),
                              static_cast<std::int32_t>(m_image.height));
}

void ViewObject::Draw() const {
  if (!m_loaded) return;
  libgr::grPrintError("before-ViewObject::Draw()");
  if (g_option.debug) std::cerr << "ViewObject::Draw()" << std::endl;
  const float w = static_cast<float>(m_image.width);
  const float h = static_cast<float>(m_image.height);
  m_textures.draw_image(libgr::position2_t(-w / 2, -h / 2), libgr::position2_t(w / 2, h / 2));
  libgr::grPrintError("after-ViewObject::Draw()");
}

}  // namespace plimlib

#pragma once
// The photo frame: a ring of four quads around the image in its plane,
// flat, bump-mapped (ARB vertex and fragment programs, else a lit
// texture) or a blended flower texture. Textures and programs are
// class-level: one set serves every frame.

#include <cstdint>

#include "image/geometry.h"
#include "viewer/graphics/object3d.h"
#include "viewer/graphics/texture_gl.h"
#include "viewer/graphics/texture_image.h"
#include "viewer/graphics/texture_parm.h"

namespace plimlib {

// 0 none, 1 flat framecolor, 2 bump-mapped brown, 3 bump-mapped
// framecolor x 0.75, 4 flower texture.
typedef std::int32_t e_frametype_t;

// Frame texture parameters and border colour.
extern const libgr::texparameter2d_t s_textureparameter;
extern const libgr::texparameter2d_t s_textureparameter_heightmap;
extern const libgr::color3a_t s_bordercolor;

class ViewFrame : public libgr::grObject3D {
 public:
  using libgr::grObject3D::Draw;

  ViewFrame() = default;
  ~ViewFrame() override;

  void setFrameType(e_frametype_t type);
  e_frametype_t getFrameType() const { return m_frametype; }
  // Image size in pixels and the width of the ring.
  void setSize(libgr::direction2_t size, unsigned int width);
  const libgr::direction2_t& getSize() const { return m_size; }
  float getWidth() const { return m_width; }

  // Prepare and release the GL objects this frame type needs; directory
  // is the program directory (ending in "/", or empty).
  void make_graph(const char* directory);
  void free_graph();
  void Draw() const override;

  // Reads the frame textures once (GL context current); destroy drops
  // their images and GL names (context current too).
  static void init(const char* directory);
  static void destroy();
  // True when types 2 and 3 draw with the ARB programs.
  static bool use_programs();

  static bool s_inited;
  static libgr::grTexture2D s_monotex;
  static libgr::grTexture2D s_flowertex;
  static libgr::grTexture2D s_hairlinetex;
  static libgr::grTextureObject s_monotexobj;
  static libgr::grTextureObject s_flowertexobj;
  static libgr::grTextureObject s_hairlinetexobj;
  static std::uint32_t s_vertex_program;
  static std::uint32_t s_fragment_program;
  static bool s_vertex_program_loaded;
  static bool s_fragment_program_loaded;

 private:
  e_frametype_t m_frametype = 0;
  libgr::direction2_t m_size;
  float m_width = 0;
};

// The data-file search: name itself, directory + name, then the share
// directory + name; the first that opens wins. Each returns true on
// success.
bool load_program(unsigned int target, const char* name, const char* directory);
bool load_image_rgb(libgr::grTexture2D& texture, const char* name, const char* directory);
bool load_image_heightmap(libgr::grTexture2D& texture, const char* name, float scale,
                          const char* directory);

}  // namespace plimlib

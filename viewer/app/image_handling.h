#pragma once
// Cutting an image into square tiles that textures of a power-of-two side
// can hold, and the textures of those tiles. The tiles are windows onto
// the image's pixel store: no pixel is copied.

#include <cstdint>
#include <vector>

#include "image/geometry.h"
#include "image/imagetype.h"
#include "viewer/graphics/texture_gl.h"
#include "viewer/graphics/texture_image.h"
#include "viewer/graphics/texture_parm.h"

namespace plimlib {

// The grid of tiles a picture is cut into.
struct tile_grid_t {
  std::uint32_t m_columns = 0;
  std::uint32_t m_rows = 0;
  // Image width and height over the tile side.
  float m_column_coverage = 0;
  float m_row_coverage = 0;
};

class multi_square_image_t : public tile_grid_t {
 public:
  // Tile (row r, column c) at r x columns + c; row 0 is the bottom strip
  // of the picture.
  std::vector<libgr::image2d_t> m_images;
  libgr::image_desc_t m_desc;

  // columns x rows empty tiles; true when the vector has that size.
  bool allocate();
  void clear();
};

class multi_texture_object_t : public tile_grid_t {
 public:
  std::vector<libgr::grTexture2D> m_textures;
  std::vector<libgr::grTextureObject> m_texobjs;

  // Names, binds and uploads every texture. Needs the GL context.
  void Preload();
  // Unbinds and drops the texture objects (the last holder deletes a name).
  void Unload();
  // True without texture objects; false when a preloaded one is not
  // resident.
  bool isResident() const;
  // Draws the tiles as textured fans filling the rectangle btm_lft to
  // top_rit, the texture parameters applied per tile.
  void draw_image(const libgr::position2_t& btm_lft, const libgr::position2_t& top_rit) const;
  // Borrowed; must outlive the drawing.
  void setTexParm(const libgr::texparameter2d_t* parm) { m_parm = parm; }

 private:
  const libgr::texparameter2d_t* m_parm = nullptr;
};

// Tiles of inimg with a side that is a power of two not above maxsize (a
// power of two itself). window true: each tile is a window onto inimg;
// false: each tile gets its own copy. False after a message on a
// compressed image or a failed tile.
bool rectangle_to_squares(multi_square_image_t& outimg, libgr::image2d_t& inimg,
                          unsigned long maxsize, bool window);
// One texture per tile, each a square of the largest tile side rounded up
// to a power of two with its tile at texel (0, 0), mipmaps built.
bool squares_to_texobjs(multi_texture_object_t& textures, const multi_square_image_t& tiles);

}  // namespace plimlib

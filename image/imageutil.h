// Operations that make one image2d_t from another: channel order and format
// conversions, copies, windows, quarter turns, halving, colour fills and
// normal maps. The destination comes first; source and destination may be
// the same object. Failures return false after libutils::error() and one
// line on standard error.
#pragma once

#include <cstdint>

#include "image/geometry.h"
#include "image/imagetype.h"

namespace libgr {

// Channel order and format conversions. A source of another layout passes
// through (the destination shares it).
bool rgb2bgr(image2d_t& dst, const image2d_t& src);
bool bgr2rgb(image2d_t& dst, const image2d_t& src);
bool rgb2rgba(image2d_t& dst, const image2d_t& src);
bool rgba2rgb(image2d_t& dst, const image2d_t& src);
bool index2rgb(image2d_t& dst, const image2d_t& src);
bool grayscale2rgb(image2d_t& dst, const image2d_t& src);
bool monochrome(image2d_t& dst, const image2d_t& src);
bool grayscale(image2d_t& dst, const image2d_t& src);
// 2- or 4-bit GRAYSCALE UINT into 8-bit GRAYSCALE (levels spread over 0 to
// 255); any other image passes through shared.
bool grayscale_to_8bit(image2d_t& dst, const image2d_t& src);

// Deep compact copy (window all 0), and the same upside down.
bool copy(image2d_t& dst, const image2d_t& src);
bool flip(image2d_t& dst, const image2d_t& src);

// dst becomes a window on src's pixels starting at column x, row y, at most
// w x h pixels and never beyond src's width and height. No pixel is copied.
bool makewindow(image2d_t& dst, const image2d_t& src, int x, int y, unsigned int w, unsigned int h);

// The picture turned clockwise (as shown, row 0 at the bottom) by count
// quarter turns; 0 shares the source, above 3 is refused.
bool rotate(unsigned long count, image2d_t& dst, const image2d_t& src);

// Adds the turn an EXIF orientation asks for (6: 1, 8: 3, 3: 2, mod 4) to
// a clockwise quarter-turn count; other orientations return count as is.
unsigned long mixorientandrightrotatecount(unsigned long count, unsigned long orientation);

// Halving by 2x2 averages rounded down; an odd last row or column is
// dropped. GRAYSCALE, RGB, BGR, RGBA, BGRA of 8-bit components.
bool scaledown(image2d_t& dst, const image2d_t& src);
// The same halving of image itself: 8-bit GRAYSCALE, RGB, BGR, RGBA or
// BGRA with no window and a store no other image shares is halved within
// that store (a ladder of halvings then costs no new memory, and the
// store keeps its old size); any other image through scaledown into a new
// store with image's own store record. False, image unchanged, when a
// side would become 0.
bool scaledown_inplace(image2d_t& image);
// image halved `times` times (fewer when a side would become 0), within
// its own store as scaledown_inplace does but for the last halving, which
// goes into a new store of the result's own size: a small picture that is
// kept holds only its own bytes, and the large store goes with the last
// image that holds it. False after a failed halving.
bool scaledown_times(image2d_t& image, unsigned long times);
// Halvings of a Bayer mosaic: the letters name the cell's colours in the
// order row 2i column 2j, row 2i column 2j+1, row 2i+1 column 2j, row 2i+1
// column 2j+1. GRAYSCALE, RGB, RGBA.
bool scaledownGRBG(image2d_t& dst, const image2d_t& src);
bool scaledownGBRG(image2d_t& dst, const image2d_t& src);
bool scaledownRGGB(image2d_t& dst, const image2d_t& src);
bool scaledownBGGR(image2d_t& dst, const image2d_t& src);

// In place on RGB or RGBA, UINT, 8-bit images.
bool fillcolor(image2d_t& image, const color3a_t& colour);
bool addcolor(image2d_t& image, const color3a_t& colour);

// A GRAYSCALE height map to an RGB SINT normal map (x, y, z times 127);
// an RGB 8-bit source is a normal map already. The float is not used.
bool heightmap2normalmap(image2d_t& dst, const image2d_t& src, float scale);
// Six 256 x 256 RGB faces +X, -X, +Y, -Y, +Z, -Z of a normalisation cube
// map.
bool makenormalcubemap(image2d_t* faces);

// Row accessors that assume rows padded to 4 bytes and no window: row r is
// begin() + r x UpAlign(ceil(width x pixel bits / 8), 4). Both share the
// image's pixels; a compressed image empties the accessor.
class image2d_rows_t {
 public:
  uint64_t width() const { return m_width; }
  uint64_t height() const { return m_height; }
  const image_desc_t& desc() const { return m_desc; }

 protected:
  bool share(const image2d_t& image) {
    if (image.compressed) {
      m_pixels.clear();
      m_width = m_height = 0;
      m_desc = image_desc_t();
      return false;
    }
    m_pixels = image.pixels;
    m_width = image.width;
    m_height = image.height;
    m_desc = image.desc;
    return true;
  }
  unsigned char* row(uint64_t r) { return m_pixels.begin() + r * stride(); }
  const unsigned char* row(uint64_t r) const { return m_pixels.begin() + r * stride(); }

 private:
  uint64_t stride() const {
    return libutils::UpAlign<uint64_t>((m_width * m_desc.getPixelBits() + 7) / 8, 4);
  }
  pixel_store_t m_pixels;
  uint64_t m_width = 0;
  uint64_t m_height = 0;
  image_desc_t m_desc;
};

template <class T>
class image2d_editor_t : public image2d_rows_t {
 public:
  bool setimage(image2d_t& image) { return share(image); }
  T* operator[](uint64_t r) { return reinterpret_cast<T*>(row(r)); }
};

template <class T>
class image2d_reader_t : public image2d_rows_t {
 public:
  bool setimage(const image2d_t& image) { return share(image); }
  const T* operator[](uint64_t r) const { return reinterpret_cast<const T*>(row(r)); }
};

}  // namespace libgr

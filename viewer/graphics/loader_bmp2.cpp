// The mapped BMP reader: windows onto the file's bytes, checked before any
// size from the file is used.
#include <algorithm>

#include "image/imageutil.h"
#include "viewer/graphics/bmp_layout.h"
#include "viewer/graphics/loader_bmp.h"

namespace libgr {

namespace {

bmp::fields_t fields_of(const bmpimage2_t& b) {
  bmp::fields_t f;
  if (b.file.size() == 1 && b.info.size() == 1) {
    f = bmp::parse(reinterpret_cast<const unsigned char*>(b.file.begin()));
  }
  return f;
}

}  // namespace

bool bmpimage2_t::load(const char* path, libutils::android_app* app) {
  pixel_store_t bytes;
  name = path;
  if (!bytes.load(0, path, libutils::E_PROT_READ, 0, false, app)) {
    file.clear();
    info.clear();
    colours.clear();
    pixels.clear();
    return false;
  }
  return load(bytes);
}

bool bmpimage2_t::load(const pixel_store_t& bytes) {
  file.clear();
  info.clear();
  colours.clear();
  pixels.clear();
  const uint64_t size = bytes.size();
  if (size < bmp::headers_size) return false;
  const bmp::fields_t f = bmp::parse(bytes.begin());
  if (!bmp::headers_valid(f) || f.offset > size) return false;
  file.setwindow(bytes, 0, 1);
  info.setwindow(bytes, 14, 1);
  // The table follows the information header, whatever its size (108 and
  // 124 bytes in most files written today), and ends at the pixels.
  const uint64_t start = 14 + uint64_t(f.header_size);
  uint64_t count = f.colours_used;
  if (count == 0 && f.bits <= 8) count = uint64_t(1) << f.bits;
  count = std::min<uint64_t>(count, (f.offset - start) / 4);
  colours.setwindow(bytes, start, count);
  pixels.setwindow(bytes, f.offset, pixel_store_t::whole);
  return true;
}

bool convert(image2d_t& image, const bmpimage2_t& bmp) {
  const bmp::fields_t f = fields_of(bmp);
  if (!bmp::headers_valid(f) || f.compression != 0) return false;
  if (!bmp::size_valid(f, bmp.name)) return false;
  const uint64_t rows = bmp::rows(f);
  const uint64_t rowbytes = bmp::rowbytes(uint64_t(f.width), f.bits);
  // Every row the header promises must lie within the file.
  if (bmp.pixels.size() < rowbytes * rows) return false;

  image.palette.clear();
  const uint64_t entries = bmp.colours.size();
  if (entries && image.palette.resize(entries)) {
    const libutils::tagRGBQUAD* table = bmp.colours.begin();
    for (uint64_t i = 0; i < entries; ++i) {
      image.palette.red[i] = static_cast<unsigned short>(table[i].rgbRed * 257);
      image.palette.green[i] = static_cast<unsigned short>(table[i].rgbGreen * 257);
      image.palette.blue[i] = static_cast<unsigned short>(table[i].rgbBlue * 257);
    }
  }
  const bool indexed = image.palette.size != 0;
  e_image_format_t format = indexed ? IMAGE_FORMAT_INDEX : IMAGE_FORMAT_GRAYSCALE;
  e_image_bits_t bits = IMAGE_BITS_8;
  switch (f.bits) {
    case 1: bits = IMAGE_BITS_1; break;
    case 4: bits = IMAGE_BITS_4; break;
    case 8: bits = IMAGE_BITS_8; break;
    // A colour table in a true-colour file is only a hint for displays
    // with few colours.
    case 24:
      image.palette.clear();
      format = IMAGE_FORMAT_BGR;
      break;
    case 32:
      image.palette.clear();
      format = IMAGE_FORMAT_BGRA;
      break;
    default: image.palette.clear(); return false;
  }
  image.desc = image_desc_t(format, IMAGE_TYPE_UINT, bits);
  image.store = nullptr;  // rows padded to 4 bytes as in the file
  image.window = image_window2d_t();
  image.width = static_cast<uint32_t>(f.width);
  image.height = static_cast<uint32_t>(rows);
  image.compressed = false;
  image.pixels.setwindow(bmp.pixels, 0, rowbytes * rows);
  if (f.height < 0) {
    // Stored top-down: turned into a store of its own, bottom-up.
    palette_t palette = image.palette;
    if (!flip(image, image)) return false;
    image.palette = palette;
  }
  return true;
}

}  // namespace libgr

#include "viewer/graphics/image_object.h"

#include "image/exif.h"
#include "image/imageutil.h"
#include "viewer/graphics/loader_png.h"
#include "viewer/graphics/loader_tga.h"

namespace libgr {

bool image_object_t::load(image2d_t&, const char*) { return false; }
bool image_object_t::save(const image2d_t&, const char*) { return false; }
image_object_t::~image_object_t() {}

bool image_jpeg1_t::load(image2d_t& image, const char* path) {
  // A turn left from an earlier file must not turn this one.
  rightrotatecount = 0;
  if (!data.load(path, nullptr)) return false;
  if (!info.decompress(image, data, 0, false, white3ub)) return false;
  jpeg_bytes_t app1 = info.get_marker(jpeginfo_t::MARKER_APP1);
  if (!app1.empty()) {
    app1_marker_t exif;
    exif.set_app1_buffer(app1);
    if (exif.parse()) {
      const std::vector<uint16_t>& orientation = exif.tiff_header.tag_0th.orientation;
      if (!orientation.empty()) {
        rightrotatecount = mixorientandrightrotatecount(0, orientation[0]);
      }
    }
  }
  return true;
}

bool image_jpeg1_t::save(const image2d_t& image, const char* path) {
  return info.compress(data, image, 95, true) && data.save(path, nullptr);
}

image_jpeg1_t::~image_jpeg1_t() {}

bool image_bmp_t::load(image2d_t& image, const char* path) {
  return bmp.load(path, nullptr) && convert(image, bmp);
}

bool image_bmp_t::save(const image2d_t& image, const char* path) {
  return convert(bmp, image) && bmp.save(path, nullptr);
}

image_bmp_t::~image_bmp_t() {}

bool image_bmp2_t::load(image2d_t& image, const char* path) {
  return bmp.load(path, nullptr) && convert(image, bmp);
}

image_bmp2_t::~image_bmp2_t() {}

bool image_png_t::load(image2d_t& image, const char* path) {
  return loader_png(image, path, nullptr);
}

bool image_png_t::save(const image2d_t& image, const char* path) {
  return saver_png(image, path, nullptr);
}

image_png_t::~image_png_t() {}

bool image_tga_t::load(image2d_t& image, const char* path) {
  tgaimage_t tga;
  return tga.load(path, nullptr) && convert(image, tga);
}

bool image_tga_t::save(const image2d_t& image, const char* path) {
  tgaimage_t tga;
  return convert(tga, image) && tga.save(path, nullptr);
}

image_tga_t::~image_tga_t() {}

}  // namespace libgr

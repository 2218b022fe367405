// Image file objects: one load/save interface over the JPEG front end and
// the BMP, PNG and TGA readers and writers. A caller picks the object by
// the file's extension; after a load, rightrotatecount holds the quarter
// turns to the right the file asks for (only JPEG files ask).
#pragma once

#include <cstdint>

#include "image/imagetype.h"
#include "image/loader_jpeg.h"
#include "viewer/graphics/loader_bmp.h"

namespace libgr {

class image_object_t {
 public:
  uint64_t rightrotatecount = 0;

  image_object_t() = default;
  image_object_t(const image_object_t&) = delete;
  image_object_t& operator=(const image_object_t&) = delete;

  virtual bool load(image2d_t& image, const char* path) = 0;
  // False: the format cannot be written.
  virtual bool save(const image2d_t& image, const char* path);
  virtual ~image_object_t() = 0;
};

// JPEG with the EXIF orientation; saves at quality 95 with the markers of
// the last load.
class image_jpeg1_t : public image_object_t {
 public:
  jpegdata_t data;
  jpeginfo_t info;

  bool load(image2d_t& image, const char* path) override;
  bool save(const image2d_t& image, const char* path) override;
  ~image_jpeg1_t() override;
};

// The stream BMP reader: grey index values, BGR; writes BMP.
class image_bmp_t : public image_object_t {
 public:
  bmpimage_t bmp;

  bool load(image2d_t& image, const char* path) override;
  bool save(const image2d_t& image, const char* path) override;
  ~image_bmp_t() override;
};

// The mapped BMP reader: the image is a read-only window onto the file.
class image_bmp2_t : public image_object_t {
 public:
  bmpimage2_t bmp;

  bool load(image2d_t& image, const char* path) override;
  ~image_bmp2_t() override;
};

class image_png_t : public image_object_t {
 public:
  bool load(image2d_t& image, const char* path) override;
  bool save(const image2d_t& image, const char* path) override;
  ~image_png_t() override;
};

class image_tga_t : public image_object_t {
 public:
  bool load(image2d_t& image, const char* path) override;
  bool save(const image2d_t& image, const char* path) override;
  ~image_tga_t() override;
};

}  // namespace libgr

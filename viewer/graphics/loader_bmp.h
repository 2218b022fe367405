// Uncompressed BMP files: a stream reader and writer (bmpimage_t), a reader
// that maps the file and windows onto it (bmpimage2_t), and the direct
// reader BmpLoad. Every reader checks the headers, computes sizes in 64
// bits and checks image_pixel_limit before it allocates or trusts a size.
#pragma once

#include <istream>
#include <ostream>
#include <vector>

#include "image/imagetype.h"
#include "utility/alloc_mmap_unix.h"
#include "utility/bmpheader.h"
#include "utility/refvector.h"

namespace libgr {

// The 54 header bytes (fields in host order) and the rows, bottom-up and
// padded to 4 bytes. A top-down file is turned bottom-up when read (its
// height then becomes positive).
class bmpimage_t {
 public:
  libutils::tagBITMAPFILEHEADER file = {};
  libutils::tagBITMAPINFOHEADER info = {};
  // Written between the headers and the rows; the readers skip the table.
  std::vector<libutils::tagRGBQUAD> colours;
  pixel_store_t pixels;

  // False for a file that cannot be opened, is not "BM", has a header
  // shorter than 40 bytes, a pixel offset inside the headers, a width
  // not above 0, a height of 0, an unknown depth or a size above
  // image_pixel_limit, or cannot seek to its pixels. Missing rows at the
  // end of the file stay zero.
  bool load(const char* path, libutils::android_app* app = nullptr);
  bool load(std::istream& is, const char* name = nullptr);
  // The headers, the colour table and the rows; false when the file cannot
  // be written.
  bool save(const char* path, libutils::android_app* app = nullptr);
  bool save(std::ostream& os);
};

// Windows onto one read-only mapping of the whole file; nothing is copied.
class bmpimage2_t {
 public:
  libutils::ofsvector<libutils::tagBITMAPFILEHEADER, libutils::alloc_mmap_unix> file;
  libutils::ofsvector<libutils::tagBITMAPINFOHEADER, libutils::alloc_mmap_unix> info;
  // Right after the information header (whatever its size), at most the
  // colours-used count (2 to the bits when 0) and never past the pixels.
  libutils::ofsvector<libutils::tagRGBQUAD, libutils::alloc_mmap_unix> colours;
  pixel_store_t pixels;        // from the pixel offset to the end of the file
  const char* name = nullptr;  // for messages; not owned

  // Maps the file; false when it cannot be mapped or fails the header
  // checks of load(bytes).
  bool load(const char* path, libutils::android_app* app = nullptr);
  // Windows onto bytes: false unless they begin with "BM", hold both
  // headers, the information header is at least 40 bytes and the pixel
  // offset lies after it and within the bytes.
  bool load(const pixel_store_t& bytes);
};

// image shares the reader's rows: GRAYSCALE of 1, 4 or 8 bits (the colour
// table is not used) or BGR; false for compression or other depths.
bool convert(image2d_t& image, const bmpimage_t& bmp);
// GRAYSCALE 1, 4, 8 bits (with a grey colour table) or BGR 8 bits into a
// BMP sharing the image's rows when they are laid out as the file wants
// them; otherwise the rows are copied. Other layouts: a message and false.
bool convert(bmpimage_t& bmp, const image2d_t& image);
// INDEX with the colour table as palette, GRAYSCALE without one, BGR or
// BGRA; false for compression, other depths or rows past the file. A
// top-down file is flipped into a new store; otherwise image is a window
// on the mapping.
bool convert(image2d_t& image, const bmpimage2_t& bmp);

// Reads the rows into the image's own store (24-bit pixels turned from BGR
// to RGB) and labels it with format, UINT and the depth's bits.
bool BmpLoad(image2d_t& image, const char* path, e_image_format_t format);
bool BmpLoad(image2d_t& image, std::istream& is, e_image_format_t format,
             const char* name = nullptr);

}  // namespace libgr

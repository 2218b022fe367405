// PNG files through libpng. Rows go straight between libpng and the image
// store, bottom-up in memory, so no pixel is copied twice. Samples stay as
// PNG keeps them: depths below 8 packed from the most significant bit,
// 16-bit samples big-endian (the image's store record says so).
#pragma once

#include <istream>

#include "image/imagetype.h"
#include "utility/alloc_mmap_unix.h"

namespace libgr {

// Results of loadpng and savepng.
enum {
  PNG_OK = 0,
  PNG_NOT_OPENED = -1,  // cannot open or create the file, or not a PNG
  PNG_NO_STRUCT = -2,   // libpng's read or write structure
  PNG_NO_INFO = -3,     // libpng's info structure
  PNG_FAILED = -4,      // libpng's error, a size or an allocation
  PNG_NO_LAYOUT = -5,   // an image layout without a PNG form (save)
};

// Clears image, then loads; false unless the libpng run-time library
// matches the one built against and loadpng succeeds.
bool loader_png(image2d_t& image, const char* path, libutils::android_app* app = nullptr);
// False unless the library matches and savepng succeeds (no title).
bool saver_png(const image2d_t& image, const char* path, libutils::android_app* app = nullptr);

// GRAYSCALE, GRAYSCALE_ALPHA, RGB, RGBA or INDEX (with its palette, sized
// to a power of two) of 1 to 16 bits; interlaced files are read whole.
int loadpng(const char* path, image2d_t& image, libutils::android_app* app = nullptr);
// The same from a stream positioned at the signature; name is put in
// front of messages and may be null.
int loadpng(std::istream& is, image2d_t& image, const char* name = nullptr);

// The layouts loadpng gives, with sBIT and, when title is not null, a
// "Title" text chunk. An INDEX image writes its palette. Nothing is
// created for a layout without a PNG form.
int savepng(const char* path, const image2d_t& image, const char* title,
            libutils::android_app* app = nullptr);

}  // namespace libgr

// The choice of GL pixel format, pixel type and internal format for an
// image layout. Needs no GL context (it reads the extension flags only).
#pragma once

#include "image/imagetype.h"

namespace libgr {

struct gl_loading_format_t {
  unsigned int internalformat = 0;
  unsigned int format = 0;
  unsigned int type = 0;
};

// One row of a format's list.
struct image_typebits_to_glintfmttype_t {
  e_image_type_t type;
  e_image_bits_t bits;
  unsigned int internalformat;
  unsigned int gltype;
};

// Fills out for desc. With compress and GL_ARB_texture_compression an
// internal format of GL_ALPHA becomes GL_COMPRESSED_ALPHA_ARB. A layout
// without a GL pixel format or row, or whose GL pixel type does not take
// exactly the image's bits per pixel (GL would read past the store), is
// not supported: four lines on standard error, false.
bool grConvertImageFormatToGlFormatFULL(gl_loading_format_t* out, const image_desc_t& desc,
                                        bool compress);

// The signed counterpart (GL 3.1 or EXT_texture_snorm) of an 8- or 16-bit
// RGB or RGBA internal format taking signed data (GL_BYTE, GL_SHORT);
// internalformat itself for any other.
unsigned int grSignedInternalFormat(unsigned int internalformat, unsigned int type);

// Bits of one pixel as GL reads it with format and type; 0 when the type's
// size is not known.
unsigned int grGlPixelBits(unsigned int format, unsigned int type);

// Internal formats that automatic mipmap generation handles.
bool is_GL_SGIS_generate_mipmap_capable_format(unsigned int internalformat);

}  // namespace libgr

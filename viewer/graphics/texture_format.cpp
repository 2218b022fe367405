#include "viewer/graphics/texture_format.h"

#include <iostream>

#include "utility/futil.h"
#include "viewer/graphics/bindvar.h"
#include "viewer/graphics/gl_api.h"

namespace libgr {

namespace {

typedef image_typebits_to_glintfmttype_t row_t;

constexpr e_image_type_t S = IMAGE_TYPE_SINT;
constexpr e_image_type_t U = IMAGE_TYPE_UINT;
constexpr e_image_type_t F = IMAGE_TYPE_FLOAT;

constexpr unsigned int UB233R = 0x8362;      // GL_UNSIGNED_BYTE_2_3_3_REV
constexpr unsigned int US565R = 0x8364;      // GL_UNSIGNED_SHORT_5_6_5_REV
constexpr unsigned int US4444R = 0x8365;     // GL_UNSIGNED_SHORT_4_4_4_4_REV
constexpr unsigned int US1555R = 0x8366;     // GL_UNSIGNED_SHORT_1_5_5_5_REV
constexpr unsigned int UI2101010R = 0x8368;  // GL_UNSIGNED_INT_2_10_10_10_REV
constexpr unsigned int HALF = 0x140B;        // GL_HALF_FLOAT
constexpr unsigned int UI248 = 0x84FA;       // GL_UNSIGNED_INT_24_8

const row_t kGrayscale[] = {
    {S, IMAGE_BITS_4, GL_LUMINANCE4, GL_BYTE},
    {S, IMAGE_BITS_8, GL_LUMINANCE8, GL_BYTE},
    {S, IMAGE_BITS_12, GL_LUMINANCE12, GL_SHORT},
    {S, IMAGE_BITS_16, GL_LUMINANCE16, GL_SHORT},
    {S, IMAGE_BITS_32, GL_LUMINANCE, GL_INT},
    {U, IMAGE_BITS_1, GL_LUMINANCE, GL_BITMAP},
    {U, IMAGE_BITS_4, GL_LUMINANCE4, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_8, GL_LUMINANCE8, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_16, GL_LUMINANCE16, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_32, GL_LUMINANCE, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, 0x881E, HALF},
    {F, IMAGE_BITS_32, 0x8818, GL_FLOAT},
};

const row_t kGrayscaleAlpha[] = {
    {S, IMAGE_BITS_4, GL_LUMINANCE4_ALPHA4, GL_BYTE},
    {S, IMAGE_BITS_L6A2, GL_LUMINANCE6_ALPHA2, GL_BYTE},
    {S, IMAGE_BITS_8, GL_LUMINANCE8_ALPHA8, GL_BYTE},
    {S, IMAGE_BITS_L12A4, GL_LUMINANCE12_ALPHA4, GL_SHORT},
    {S, IMAGE_BITS_16, GL_LUMINANCE16_ALPHA16, GL_SHORT},
    {S, IMAGE_BITS_32, GL_LUMINANCE_ALPHA, GL_INT},
    {U, IMAGE_BITS_1, GL_LUMINANCE_ALPHA, GL_BITMAP},
    {U, IMAGE_BITS_4, GL_LUMINANCE4_ALPHA4, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_L6A2, GL_LUMINANCE6_ALPHA2, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_8, GL_LUMINANCE8_ALPHA8, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_L12A4, GL_LUMINANCE12_ALPHA4, GL_BITMAP},
    {U, IMAGE_BITS_12, GL_LUMINANCE12_ALPHA12, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_16, GL_LUMINANCE16_ALPHA16, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_24, GL_LUMINANCE_ALPHA, GL_UNSIGNED_INT},
    {U, IMAGE_BITS_32, GL_LUMINANCE_ALPHA, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, 0x881F, HALF},
    {F, IMAGE_BITS_32, 0x8819, GL_FLOAT},
};

const row_t kIntensity[] = {
    {S, IMAGE_BITS_4, GL_INTENSITY4, GL_BYTE},
    {S, IMAGE_BITS_8, GL_INTENSITY8, GL_BYTE},
    {S, IMAGE_BITS_16, GL_INTENSITY16, GL_SHORT},
    {S, IMAGE_BITS_32, GL_INTENSITY, GL_INT},
    {U, IMAGE_BITS_1, GL_INTENSITY, GL_BITMAP},
    {U, IMAGE_BITS_4, GL_INTENSITY4, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_8, GL_INTENSITY8, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_12, GL_INTENSITY12, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_16, GL_INTENSITY16, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_32, GL_INTENSITY, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, 0x881D, HALF},
    {F, IMAGE_BITS_32, 0x8817, GL_FLOAT},
};

const row_t kRed[] = {
    {S, IMAGE_BITS_8, GL_R8I, GL_BYTE},
    {S, IMAGE_BITS_16, GL_R16I, GL_SHORT},
    {S, IMAGE_BITS_32, GL_R32I, GL_INT},
    {U, IMAGE_BITS_1, GL_RED, GL_BITMAP},
    {U, IMAGE_BITS_8, GL_R8UI, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_16, GL_R16UI, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_32, GL_R32UI, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, GL_R16F, HALF},
    {F, IMAGE_BITS_32, GL_R32F, GL_FLOAT},
};

#define LIBGR_SINGLE_CHANNEL(fmt)                                                             \
  {                                                                                           \
    {S, IMAGE_BITS_8, fmt, GL_BYTE}, {S, IMAGE_BITS_16, fmt, GL_SHORT},                       \
        {S, IMAGE_BITS_32, fmt, GL_INT}, {U, IMAGE_BITS_1, fmt, GL_BITMAP},                   \
        {U, IMAGE_BITS_8, fmt, GL_UNSIGNED_BYTE}, {U, IMAGE_BITS_16, fmt, GL_UNSIGNED_SHORT}, \
        {U, IMAGE_BITS_32, fmt, GL_UNSIGNED_INT}, {F, IMAGE_BITS_16, fmt, HALF},              \
        {F, IMAGE_BITS_32, fmt, GL_FLOAT},                                                    \
  }
const row_t kGreen[] = LIBGR_SINGLE_CHANNEL(GL_GREEN);
const row_t kBlue[] = LIBGR_SINGLE_CHANNEL(GL_BLUE);
#undef LIBGR_SINGLE_CHANNEL

const row_t kAlpha[] = {
    {S, IMAGE_BITS_4, GL_ALPHA4, GL_BYTE},
    {S, IMAGE_BITS_8, GL_ALPHA, GL_BYTE},
    {S, IMAGE_BITS_12, GL_ALPHA12, GL_SHORT},
    {S, IMAGE_BITS_16, GL_ALPHA16, GL_SHORT},
    {S, IMAGE_BITS_32, GL_ALPHA, GL_INT},
    {U, IMAGE_BITS_1, GL_ALPHA, GL_BITMAP},
    {U, IMAGE_BITS_4, GL_ALPHA4, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_8, GL_ALPHA, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_12, GL_ALPHA12, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_16, GL_ALPHA16, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_32, GL_ALPHA, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, 0x881C, HALF},
    {F, IMAGE_BITS_32, 0x8816, GL_FLOAT},
};

// RG has a list but no pixel format, so it never gets this far.
const row_t kRg[] = {
    {U, IMAGE_BITS_8, GL_RG8, GL_UNSIGNED_BYTE},
};

const row_t kRgb[] = {
    {S, IMAGE_BITS_R3G3B2, GL_R3_G3_B2, UB233R},
    {S, IMAGE_BITS_4, GL_RGB4, GL_BYTE},
    {S, IMAGE_BITS_R5G6B5, GL_RGB5, US565R},
    {S, IMAGE_BITS_8, GL_RGB8, GL_BYTE},
    {S, IMAGE_BITS_12, GL_RGB12, GL_SHORT},
    {S, IMAGE_BITS_16, GL_RGB16, GL_SHORT},
    {S, IMAGE_BITS_32, GL_RGB, GL_INT},
    {U, IMAGE_BITS_1, GL_RGB, GL_BITMAP},
    {U, IMAGE_BITS_R3G3B2, GL_R3_G3_B2, UB233R},
    {U, IMAGE_BITS_4, GL_RGB4, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_R5G6B5, GL_RGB5, US565R},
    {U, IMAGE_BITS_8, GL_RGB8, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_12, GL_RGB12, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_16, GL_RGB16, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_32, GL_RGB, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, 0x881B, HALF},
    {F, IMAGE_BITS_32, 0x8815, GL_FLOAT},
};

const row_t kRgba[] = {
    {S, IMAGE_BITS_4, GL_RGBA4, US4444R},
    {S, IMAGE_BITS_R5G5B5A1, GL_RGB5_A1, US1555R},
    {S, IMAGE_BITS_R10G10B10A2, GL_RGB10_A2, UI2101010R},
    {S, IMAGE_BITS_8, GL_RGBA8, GL_BYTE},
    {S, IMAGE_BITS_12, GL_RGBA12, GL_SHORT},
    {S, IMAGE_BITS_16, GL_RGBA16, GL_SHORT},
    {S, IMAGE_BITS_32, GL_RGBA, GL_INT},
    {U, IMAGE_BITS_1, GL_RGBA, GL_BITMAP},
    {U, IMAGE_BITS_4, GL_RGBA4, US4444R},
    {U, IMAGE_BITS_R5G5B5A1, GL_RGB5_A1, US1555R},
    {U, IMAGE_BITS_R10G10B10A2, GL_RGB10_A2, UI2101010R},
    {U, IMAGE_BITS_8, GL_RGBA8, GL_UNSIGNED_BYTE},
    {U, IMAGE_BITS_12, GL_RGBA12, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_16, GL_RGBA16, GL_UNSIGNED_SHORT},
    {U, IMAGE_BITS_32, GL_RGBA, GL_UNSIGNED_INT},
    {F, IMAGE_BITS_16, 0x881A, HALF},
    {F, IMAGE_BITS_32, 0x8814, GL_FLOAT},
};

const row_t kBgr[] = {
    {S, IMAGE_BITS_8, GL_RGB, GL_BYTE},          {U, IMAGE_BITS_8, GL_RGB, GL_UNSIGNED_BYTE},
    {S, IMAGE_BITS_R3G3B2, GL_R3_G3_B2, UB233R}, {U, IMAGE_BITS_R3G3B2, GL_R3_G3_B2, UB233R},
    {S, IMAGE_BITS_R5G6B5, GL_RGB5, US565R},     {U, IMAGE_BITS_R5G6B5, GL_RGB5, US565R},
};

const row_t kBgra[] = {
    {S, IMAGE_BITS_8, GL_RGBA, GL_BYTE},
    {U, IMAGE_BITS_8, GL_RGBA, GL_UNSIGNED_BYTE},
    {S, IMAGE_BITS_R5G5B5A1, GL_RGB5_A1, US1555R},
    {U, IMAGE_BITS_R5G5B5A1, GL_RGB5_A1, US1555R},
    {S, IMAGE_BITS_4, GL_RGB4, US4444R},
    {U, IMAGE_BITS_4, GL_RGB4, US4444R},
    {S, IMAGE_BITS_R10G10B10A2, GL_RGB10_A2, UI2101010R},
    {U, IMAGE_BITS_R10G10B10A2, GL_RGB10_A2, UI2101010R},
};

const row_t kDepth[] = {
    {F, IMAGE_BITS_16, GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT},
    {F, IMAGE_BITS_24, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT},
    {F, IMAGE_BITS_32, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT},
};

// DEPTH_STENCIL has a list but no pixel format.
const row_t kDepthStencil[] = {
    {U, IMAGE_BITS_D24S8, 0x88F0, UI248},
};

// Indices become colours through the palette's pixel maps during the
// upload, so the texture holds RGB (GL keeps no colour-index textures).
const row_t kIndex[] = {
    {U, IMAGE_BITS_1, GL_RGB8, GL_BITMAP},
    {U, IMAGE_BITS_8, GL_RGB8, GL_UNSIGNED_BYTE},
};

struct format_entry_t {
  unsigned int glformat;  // 0: none
  const row_t* rows;
  size_t count;
};

#define LIBGR_ROWS(list) list, sizeof(list) / sizeof(list[0])
// Indexed by e_image_format_t.
const format_entry_t kFormats[IMAGE_FORMAT_MAX] = {
    {GL_LUMINANCE, LIBGR_ROWS(kGrayscale)},
    {GL_LUMINANCE_ALPHA, LIBGR_ROWS(kGrayscaleAlpha)},
    {GL_INTENSITY, LIBGR_ROWS(kIntensity)},
    {GL_RED, LIBGR_ROWS(kRed)},
    {GL_GREEN, LIBGR_ROWS(kGreen)},
    {GL_BLUE, LIBGR_ROWS(kBlue)},
    {GL_ALPHA, LIBGR_ROWS(kAlpha)},
    {0, LIBGR_ROWS(kRg)},
    {GL_RGB, LIBGR_ROWS(kRgb)},
    {GL_RGBA, LIBGR_ROWS(kRgba)},
    {GL_BGR, LIBGR_ROWS(kBgr)},
    {GL_BGRA, LIBGR_ROWS(kBgra)},
    {GL_DEPTH_COMPONENT, LIBGR_ROWS(kDepth)},
    {0, LIBGR_ROWS(kDepthStencil)},
    {GL_RGB, LIBGR_ROWS(kRgb)},    // YCbCr
    {GL_RGBA, LIBGR_ROWS(kRgba)},  // YCbCrA
    {GL_RGB, nullptr, 0},          // YCbCr422
    {GL_COLOR_INDEX, LIBGR_ROWS(kIndex)},
};
#undef LIBGR_ROWS

bool choose(gl_loading_format_t* out, const image_desc_t& desc, bool compress) {
  if (!out || desc.format < 0 || desc.format >= IMAGE_FORMAT_MAX) return false;
  const format_entry_t& entry = kFormats[desc.format];
  if (entry.glformat == 0) return false;
  for (size_t i = 0; i < entry.count; ++i) {
    const row_t& row = entry.rows[i];
    if (row.type != desc.type || row.bits != desc.bits) continue;
    // A client type wider than the stored pixel would make GL read past
    // the store (4-bit grey sent as bytes, 12-bit as shorts).
    unsigned int gl_bits = grGlPixelBits(entry.glformat, row.gltype);
    unsigned int image_bits = desc.getPixelBits();
    if (gl_bits != 0 && image_bits != 0 && gl_bits != image_bits) return false;
    out->internalformat = row.internalformat;
    out->format = entry.glformat;
    out->type = row.gltype;
    if (compress && is_GL_ARB_texture_compression_supported && out->internalformat == GL_ALPHA) {
      out->internalformat = GL_COMPRESSED_ALPHA_ARB;
    }
    return true;
  }
  return false;
}

}  // namespace

unsigned int grGlPixelBits(unsigned int format, unsigned int type) {
  switch (type) {
    case UB233R: return 8;
    case US565R:
    case US4444R:
    case US1555R: return 16;
    case UI2101010R:
    case UI248: return 32;
    case HALF: return 16 * grFormatToComponents(format);
    case GL_BITMAP: return grFormatToComponents(format);
    default: return 8 * grTypeToSize(type) * grFormatToComponents(format);
  }
}

bool grConvertImageFormatToGlFormatFULL(gl_loading_format_t* out, const image_desc_t& desc,
                                        bool compress) {
  if (choose(out, desc, compress)) return true;
  libutils::error();
  std::cerr << "Not supported image format!\n"
            << "imgformat: " << desc.format << '\n'
            << "imgtype: " << desc.type << '\n'
            << std::hex << "imgbits: " << desc.bits << std::endl;
  return false;
}

unsigned int grSignedInternalFormat(unsigned int internalformat, unsigned int type) {
  if (type != GL_BYTE && type != GL_SHORT) return internalformat;
  switch (internalformat) {
    case GL_RGB8: return GL_RGB8_SNORM;
    case GL_RGBA8: return GL_RGBA8_SNORM;
    case GL_RGB16: return GL_RGB16_SNORM;
    case GL_RGBA16: return GL_RGBA16_SNORM;
    default: return internalformat;
  }
}

bool is_GL_SGIS_generate_mipmap_capable_format(unsigned int f) {
  switch (f) {
    case GL_RGB:
    case GL_RGBA:
    case GL_RGB5:
    case GL_RGB8:
    case GL_RGBA8:
    case GL_BGR:
    case GL_BGRA: return true;
    default: return false;
  }
}

}  // namespace libgr

// Steps shared by the texture images' uploads (texture_image*.cpp only).
#pragma once

#include "image/imagetype.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/texture_format.h"

namespace libgr {
namespace upload {

extern const char* const kMipmapFallback;

// False, after the message, when compressed data cannot be sent.
bool compression_usable();
// The side of level `level` of a texture of size `size`: the smallest power
// of two holding size less the border, plus the border, halved per level.
GLsizei level_side(uint32_t size, GLint border, GLint level);
// Level `level` of a 2D-like target: compressed data as it is, a size of 0
// as the image's own size, else a power-of-two square with the image at
// (0, 0). With reload the pixels replace those of the existing level.
void level2d(GLenum target, GLint level, const image2d_t& image,
             const gl_loading_format_t& f, GLint border, uint32_t size,
             bool reload);

// GLU's mipmaps of level 0. With a texture size GLU gets the image at
// (0, 0) of a zero-filled power-of-two square, as the other paths lay it
// out; given the image alone it would stretch it over the whole texture.
void glu_mipmaps2d(GLenum target, const image2d_t& image,
                   const gl_loading_format_t& f, uint32_t size);

}  // namespace upload
}  // namespace libgr

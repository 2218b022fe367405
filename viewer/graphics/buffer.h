// Reads of the current viewport into images. Need a current GL context.
#pragma once

#include "image/imagetype.h"

namespace libgr {

// The viewport's colours as an RGB UINT 8-bit image, rows bottom-up, read
// from buffer (GL_FRONT, GL_BACK, ...). False only when the pixel store
// cannot be allocated; GL errors are left pending.
bool grReadPixelsRGB(image2d_t& image, unsigned int buffer);
// The viewport's depth values as a DEPTH UINT 32-bit image.
bool grReadPixelsDepth(image2d_t& image, unsigned int buffer);

}  // namespace libgr

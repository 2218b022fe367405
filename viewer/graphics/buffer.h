// Reads of the current viewport into images. Need a current GL context.
#pragma once

#include "image/imagetype.h"

namespace libgr {

// The viewport's colours as an RGB UINT 8-bit image, rows bottom-up, read
// from buffer (GL_FRONT, GL_BACK, ...). False when the pixel store cannot
// be allocated, or after the GL error line when GL ran out of memory
// reading; a GL error pending after the read is reported as grPrintError
// does.
bool grReadPixelsRGB(image2d_t& image, unsigned int buffer);
// The viewport's depth values as a DEPTH UINT 32-bit image.
bool grReadPixelsDepth(image2d_t& image, unsigned int buffer);

}  // namespace libgr

#include "viewer/graphics/buffer.h"

#include "viewer/graphics/error.h"
#include "viewer/graphics/gl_api.h"
#include "viewer/graphics/pixelstore.h"

namespace libgr {

namespace {

bool read_viewport(image2d_t& image, unsigned int buffer, const image_desc_t& desc, GLenum format,
                   GLenum type) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  image.clear();
  image.width = static_cast<uint32_t>(viewport[2]);
  image.height = static_cast<uint32_t>(viewport[3]);
  image.desc = desc;
  if (!image.allocate()) return false;
  grPixelStorePack(image.store);
  grPixelStorePack(image.window);
  glReadBuffer(buffer);
  glReadPixels(viewport[0], viewport[1], viewport[2], viewport[3], format, type,
               image.pixels.begin());
  // Without the memory for the read the image holds nothing of the window.
  return grPrintErrorCode("glReadPixels()") != GL_OUT_OF_MEMORY;
}

}  // namespace

bool grReadPixelsRGB(image2d_t& image, unsigned int buffer) {
  return read_viewport(image, buffer, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8),
                       GL_RGB, GL_UNSIGNED_BYTE);
}

bool grReadPixelsDepth(image2d_t& image, unsigned int buffer) {
  return read_viewport(image, buffer,
                       image_desc_t(IMAGE_FORMAT_DEPTH, IMAGE_TYPE_UINT, IMAGE_BITS_32),
                       GL_DEPTH_COMPONENT, GL_UNSIGNED_INT);
}

}  // namespace libgr

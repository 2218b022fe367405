#include "viewer/graphics/texturable.h"

namespace libgr {

unsigned int grTexturable::Dimension() const { return 0; }
void grTexturable::Load() const {}
void grTexturable::Reload() const { Load(); }
grTexturable::~grTexturable() {}

grTexturableImage::~grTexturableImage() {}
grTexturableImageGL::~grTexturableImageGL() {}
unsigned int grTexturableImageGL::GetInternalFormat() const { return 0x0501; }

bool grTexturableObject::isPreload() const { return false; }
void grTexturableObject::Unload() const {}

}  // namespace libgr

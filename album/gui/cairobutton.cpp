#include "album/gui/cairobutton.h"

#include <cstdint>

#include "image/imageutil.h"

namespace tavolin {

namespace {

// 8-bit RGB with pixels: what on_draw paints; anything else shows nothing.
bool paintable(const libgr::image2d_t& image) {
  const libgr::image_desc_t rgb(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT,
                                libgr::IMAGE_BITS_8);
  return image.desc == rgb && !image.compressed && image.width != 0 && image.height != 0 &&
         !image.pixels.empty();
}

// The picture in Cairo's opaque pixels, the top row first.
Cairo::RefPtr<Cairo::ImageSurface> surface_of(const libgr::image2d_t& image) {
  const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
  Cairo::RefPtr<Cairo::ImageSurface> surface =
      Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, w, h);
  surface->flush();
  unsigned char* data = surface->get_data();
  const int stride = surface->get_stride();
  for (int y = 0; y < h; ++y) {
    const unsigned char* src = image[static_cast<unsigned>(h - 1 - y)];
    uint32_t* dst = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x, src += 3)
      dst[x] = 0xff000000u | (uint32_t{src[0]} << 16) | (uint32_t{src[1]} << 8) | src[2];
  }
  surface->mark_dirty();
  return surface;
}

}  // namespace

CairoButton::CairoButton() = default;

CairoButton::~CairoButton() { drop_decoded(); }

void CairoButton::drop_decoded() {
  if (!decoded) return;
  budget->remove(place, image.pixels.size());
  decoded = false;
  image = libgr::image2d_t();
}

bool CairoButton::decode_level() {
  if (decoded) {
    budget->touch(place);
    return true;
  }
  if (level.file.empty()) return false;
  if (!level.decode(image)) {
    // Never tried again at each paint: the button stays empty.
    image = libgr::image2d_t();
    level = level_picture_t();
    return false;
  }
  decoded = true;
  place = budget->add(*this, image.pixels.size());
  return true;
}

void CairoButton::set(level_picture_t picture, decoded_budget_t& keeper) {
  drop_decoded();
  image = libgr::image2d_t();
  level = std::move(picture);
  budget = &keeper;
  scale = 1.0 / static_cast<double>(get_scale_factor());
  set_size_request(static_cast<int>(static_cast<double>(level.width) * scale),
                   static_cast<int>(static_cast<double>(level.height) * scale));
  queue_draw();
}

void CairoButton::set(libgr::image2d_t& picture) {
  drop_decoded();
  level = level_picture_t();
  // A grey picture is painted as RGB; an RGB one is shared as it is.
  if (!libgr::grayscale2rgb(image, picture)) image = libgr::image2d_t();
  scale = 1.0 / static_cast<double>(get_scale_factor());
  set_size_request(static_cast<int>(static_cast<double>(picture.width) * scale),
                   static_cast<int>(static_cast<double>(picture.height) * scale));
  // A new picture of the same size brings no resize, and so no redraw.
  queue_draw();
}

bool CairoButton::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (scale == 0) return true;
  if (!level.file.empty()) decode_level();
  if (!paintable(image)) return true;
  const int factor = get_scale_factor();
  const double x =
      static_cast<int>((get_allocated_width() - static_cast<double>(image.width) * scale) * 0.5) *
      static_cast<double>(factor);
  const double y =
      static_cast<int>((get_allocated_height() - static_cast<double>(image.height) * scale) * 0.5) *
      static_cast<double>(factor);
  cr->scale(scale, scale);
  cr->set_source(surface_of(image), x, y);
  cr->paint();
  return true;
}

}  // namespace tavolin

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

// The buttons whose level pictures are held decoded, the last painted
// first, and the bytes of their pixels. GTK paints from one thread only.
std::list<CairoButton*> s_decoded;
size_t s_decoded_bytes = 0;
// Some screenfuls of button pictures, at any scale factor.
constexpr size_t decoded_budget = size_t{96} << 20;

}  // namespace

CairoButton::CairoButton() = default;

CairoButton::CairoButton(CairoButton&& other) : Gtk::Button() {
  if (!other.decoded) image = other.image;
  level = other.level;
}

CairoButton& CairoButton::operator=(CairoButton&& other) {
  drop_decoded();
  image = other.decoded ? libgr::image2d_t() : other.image;
  level = other.level;
  return *this;
}

CairoButton::~CairoButton() { drop_decoded(); }

void CairoButton::drop_decoded() {
  if (!decoded) return;
  s_decoded_bytes -= image.pixels.size();
  s_decoded.erase(place);
  decoded = false;
  image = libgr::image2d_t();
}

bool CairoButton::decode_level() {
  if (decoded) {
    s_decoded.splice(s_decoded.begin(), s_decoded, place);
    return true;
  }
  if (level.file.empty()) return false;
  if (!level.decode(image)) {
    // Never tried again at each paint: the button stays empty.
    image = libgr::image2d_t();
    level = level_picture_t();
    return false;
  }
  s_decoded.push_front(this);
  place = s_decoded.begin();
  decoded = true;
  s_decoded_bytes += image.pixels.size();
  while (s_decoded_bytes > decoded_budget && s_decoded.back() != this)
    s_decoded.back()->drop_decoded();
  return true;
}

void CairoButton::set(level_picture_t picture) {
  drop_decoded();
  image = libgr::image2d_t();
  level = std::move(picture);
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

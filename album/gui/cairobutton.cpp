#include "album/gui/cairobutton.h"

#include <gdkmm/general.h>

#include "album/engine/thumbnail.h"

namespace tavolin {

CairoButton::CairoButton() = default;

CairoButton::CairoButton(CairoButton&& other) : Gtk::Button() {
  image = other.image;
  pixbuf = other.pixbuf;
}

CairoButton& CairoButton::operator=(CairoButton&& other) {
  image = other.image;
  pixbuf = other.pixbuf;
  return *this;
}

CairoButton::~CairoButton() = default;

void CairoButton::set(libgr::image2d_t& picture) {
  image = picture;
  pixbuf = convert_to_pixbuf(image);
  scale = 1.0 / static_cast<double>(get_scale_factor());
  set_size_request(static_cast<int>(static_cast<double>(image.width) * scale),
                   static_cast<int>(static_cast<double>(image.height) * scale));
  // A new picture of the same size brings no resize, and so no redraw.
  queue_draw();
}

bool CairoButton::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (scale == 0 || !pixbuf) return true;
  const int factor = get_scale_factor();
  const double x =
      static_cast<int>((get_allocated_width() - static_cast<double>(image.width) * scale) * 0.5) *
      static_cast<double>(factor);
  const double y =
      static_cast<int>((get_allocated_height() - static_cast<double>(image.height) * scale) * 0.5) *
      static_cast<double>(factor);
  cr->scale(scale, scale);
  Gdk::Cairo::set_source_pixbuf(cr, pixbuf, x, y);
  cr->paint();
  return true;
}

}  // namespace tavolin

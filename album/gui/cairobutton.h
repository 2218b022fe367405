#pragma once
// A button that shows a picture and nothing else, painted with Cairo at
// the display's full resolution: on a screen with scale factor 2 the
// picture's pixels map one to one onto device pixels and the button takes
// half the picture's size, so thumbnails made for that screen stay sharp.

#include <gtkmm/button.h>

#include "image/imagetype.h"

namespace tavolin {

class CairoButton : public Gtk::Button {
 public:
  // Empty: default size, paints nothing.
  CairoButton();
  // A new, separate button sharing other's picture; it paints once set()
  // is called on it (rows of buttons live in vectors).
  CairoButton(CairoButton&& other);
  // Takes other's picture; keeps its own widget and scale.
  CairoButton& operator=(CairoButton&& other);
  ~CairoButton() override;

  // Shows image (shared, not copied) and asks for its size divided by the
  // widget's scale factor.
  void set(libgr::image2d_t& image);

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

 private:
  // The picture once, as decoded: a dialog keeps a thousand of them. It is
  // turned into Cairo's pixels when painted, which only the rows on the
  // screen are (as a pixbuf would be, for each paint).
  libgr::image2d_t image;
  double scale = 0;  // 1 / scale factor at the last set(); 0: nothing to draw
};

}  // namespace tavolin

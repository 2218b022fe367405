#pragma once
// A button that shows a picture and nothing else, painted with Cairo at
// the display's full resolution: on a screen with scale factor 2 the
// picture's pixels map one to one onto device pixels and the button takes
// half the picture's size, so thumbnails made for that screen stay sharp.

#include <gtkmm/button.h>

#include "album/engine/thumbnail.h"
#include "album/gui/decoded_budget.h"
#include "image/imagetype.h"

namespace tavolin {

class CairoButton : public Gtk::Button {
 public:
  // Empty: default size, paints nothing.
  CairoButton();
  // Never copied nor moved: a budget lists the button by its address, and
  // rows of buttons are made in place once.
  CairoButton(const CairoButton&) = delete;
  CairoButton& operator=(const CairoButton&) = delete;
  ~CairoButton() override;

  // Shows image (shared, not copied) and asks for its size divided by the
  // widget's scale factor.
  void set(libgr::image2d_t& image);
  // Shows picture, read and decoded when it is first painted, and held
  // decoded as long as keeper (which must outlive the button) keeps it.
  void set(level_picture_t picture, decoded_budget_t& keeper);
  // The pixels painted: those set, or a level picture's once decoded.
  const libgr::image2d_t& picture() const { return image; }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

 private:
  // The picture once, as decoded: a dialog keeps a thousand of them. It is
  // turned into Cairo's pixels when painted, which only the rows on the
  // screen are (as a pixbuf would be, for each paint).
  libgr::image2d_t image;
  level_picture_t level;               // no file: image is all there is
  bool decoded = false;                // image is level decoded, and listed in budget
  decoded_budget_t* budget = nullptr;  // level's, when it has a file
  decoded_budget_t::place_t place;     // in budget, when decoded
  // image decoded from level and listed first; false when it cannot be.
  bool decode_level();
  friend class decoded_budget_t;
  // image dropped when it is level's decoding, and the button unlisted.
  void drop_decoded();
  double scale = 0;  // 1 / scale factor at the last set(); 0: nothing to draw
};

}  // namespace tavolin

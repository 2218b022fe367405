#pragma once
// A button that shows a picture and nothing else, painted with Cairo at
// the display's full resolution: on a screen with scale factor 2 the
// picture's pixels map one to one onto device pixels and the button takes
// half the picture's size, so thumbnails made for that screen stay sharp.

#include <list>

#include <gtkmm/button.h>

#include "album/engine/thumbnail.h"
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
  // Shows picture, read and decoded when it is first painted. Only the
  // pictures painted last are held decoded (a budget of some screenfuls
  // for all buttons together): a window scrolled through a thousand rows
  // keeps the others as their level's name and decodes them again when
  // they are painted again.
  void set(level_picture_t picture);
  // The pixels painted: those set, or a level picture's once decoded.
  const libgr::image2d_t& picture() const { return image; }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

 private:
  // The picture once, as decoded: a dialog keeps a thousand of them. It is
  // turned into Cairo's pixels when painted, which only the rows on the
  // screen are (as a pixbuf would be, for each paint).
  libgr::image2d_t image;
  level_picture_t level;  // no file: image is all there is
  bool decoded = false;   // image is level decoded, and in the list below
  std::list<CairoButton*>::iterator place;  // in the decoded buttons, when decoded
  // image decoded from level and listed first; false when it cannot be.
  bool decode_level();
  // image dropped when it is level's decoding, and the button unlisted.
  void drop_decoded();
  double scale = 0;  // 1 / scale factor at the last set(); 0: nothing to draw
};

}  // namespace tavolin

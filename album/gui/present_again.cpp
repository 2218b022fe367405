#include "album/gui/present_again.h"

#include "album/engine/util.h"

namespace tavolin {

void present_again(Gtk::Window& window) {
  if (ostype_iconify()) window.iconify();
  window.present();
}

}  // namespace tavolin

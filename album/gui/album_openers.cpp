#include "album/gui/album_openers.h"

#include <gtkmm/main.h>

#include <memory>

#include "album/gui/editalbum.h"
#include "album/gui/goodalbum.h"

namespace tavolin {

namespace {

// Runs dialogs made by make until one returns other than APPLY; each new
// one starts at the previous one's vertical scroll position.
template <typename Dialog, typename Make>
int run_reopening(Make make) {
  double position = 0;
  for (bool first = true;; first = false) {
    std::unique_ptr<Dialog> owned(make());
    Dialog& dialog = *owned;
    if (!first) {
      // The position only holds once the rows are laid out.
      dialog.show();
      while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
      dialog.scrolled().get_vadjustment()->set_value(position);
    }
    const int response = dialog.run();
    position = dialog.scrolled().get_vadjustment()->get_value();
    owned.reset();
    if (response != Gtk::RESPONSE_APPLY) return response;
  }
}

}  // namespace

int run_edit_album(Gtk::Window& parent, const path_t& location, const std::string& programdir) {
  return run_reopening<EditAlbumDialog>(
      [&] { return new EditAlbumDialog(parent, location, programdir); });
}

int run_good_album(Gtk::Window& parent, const path_t& location, const std::string& programdir,
                   bool editable) {
  if (!editable) {
    GoodAlbumDialog dialog(parent, location, programdir, false);
    return dialog.run();
  }
  return run_reopening<GoodAlbumDialog>(
      [&] { return new GoodAlbumDialog(parent, location, programdir, true); });
}

}  // namespace tavolin

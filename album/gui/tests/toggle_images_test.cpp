// The pictures on checked and mixed toggles made once per program paint
// the very pixels of the theme's own, in every state the dialogs show.
#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/offscreenwindow.h>
#include <gtkmm/radiobutton.h>

#include "album/gui/tests/gui_test.h"
#include "album/gui/toggle_images.h"

namespace {

// Radios and checks, checked, unchecked and mixed, sensitive and not, as
// drawn in a window of their own.
std::string toggles_drawn() {
  Gtk::OffscreenWindow window;
  Gtk::VBox box;
  Gtk::RadioButton radio[6];
  Gtk::CheckButton check[6];
  for (int i = 0; i < 6; ++i) {
    if (i % 3 != 0) radio[i].join_group(radio[i - i % 3]);
    radio[i].set_label("Good");
    check[i].set_label("Best");
    box.add(radio[i]);
    box.add(check[i]);
  }
  radio[1].set_active(true);
  radio[4].set_active(true);
  radio[2].set_inconsistent(true);
  radio[5].set_inconsistent(true);
  check[0].set_active(true);
  check[3].set_active(true);
  check[1].set_inconsistent(true);
  check[4].set_inconsistent(true);
  for (int i = 3; i < 6; ++i) {
    radio[i].set_sensitive(false);
    check[i].set_sensitive(false);
  }
  window.add(box);
  window.show_all();
  guitest::pump();
  Glib::RefPtr<Gdk::Pixbuf> shot = window.get_pixbuf();
  if (!shot) return std::string();
  const char* p = reinterpret_cast<const char*>(shot->get_pixels());
  return std::to_string(shot->get_width()) + "x" + std::to_string(shot->get_height()) + ":" +
         std::string(p, p + shot->get_rowstride() * shot->get_height());
}

TEST(ToggleImages, SharedPicturesPaintTheThemesPixels) {
  // Run alone (as ctest runs it), the first picture is the theme's own.
  const std::string theme = toggles_drawn();
  tavolin::share_toggle_images();
  for (const char* name :
       {"tavolin-check-symbolic", "tavolin-bullet-symbolic", "tavolin-dash-symbolic"})
    EXPECT_TRUE(Gtk::IconTheme::get_default()->lookup_icon(name, 14, Gtk::IconLookupFlags()))
        << name;
  const std::string shared = toggles_drawn();
  ASSERT_GT(theme.size(), 100u);
  EXPECT_TRUE(shared == theme) << "the shared pictures differ from the theme's";
}

}  // namespace

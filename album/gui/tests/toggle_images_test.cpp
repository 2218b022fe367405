// The pictures on checked and mixed toggles, made once per program, paint
// the theme's very pixels in every state the dialogs show.
#include <gtkmm/box.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/offscreenwindow.h>
#include <gtkmm/radiobutton.h>

#include "album/gui/tests/gui_test.h"
#include "album/gui/toggle_images.h"

namespace {

// Radios and checks, checked, mixed and clear, sensitive and not, drawn.
std::string toggles_drawn() {
  Gtk::OffscreenWindow window;
  Gtk::VBox box;
  Gtk::RadioButton radio[6];
  Gtk::CheckButton check[6];
  for (int i = 0; i < 6; ++i) {
    if (i % 3 != 0) radio[i].join_group(radio[i - i % 3]);
    for (Gtk::ToggleButton* t : std::initializer_list<Gtk::ToggleButton*>{&radio[i], &check[i]}) {
      t->set_active(i % 3 == 1);
      t->set_inconsistent(i % 3 == 2);
      t->set_sensitive(i < 3);
      box.add(*t);
    }
  }
  window.add(box);
  window.show_all();
  guitest::pump();
  Glib::RefPtr<Gdk::Pixbuf> shot = window.get_pixbuf();
  const char* p = reinterpret_cast<const char*>(shot->get_pixels());
  return std::string(p, p + shot->get_rowstride() * shot->get_height());
}

// Where the pictures do not load (no SVG loader), the theme's own rules
// stay: the same pixels again.
TEST(ToggleImages, SharedPicturesPaintTheThemesPixels) {
  const std::string theme = toggles_drawn();  // run alone (ctest): the theme's own
  if (tavolin::share_toggle_images()) {
    EXPECT_TRUE(Gtk::IconTheme::get_default()->lookup_icon("tavolin-check-symbolic", 14,
                                                           Gtk::IconLookupFlags()));
  }
  EXPECT_TRUE(toggles_drawn() == theme) << "the shared pictures differ from the theme's";
}

}  // namespace

#include "album/gui/toggle_images.h"

#include <gdkmm/screen.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/settings.h>
#include <gtkmm/stylecontext.h>

#include <cstdlib>
#include <string>

extern "C" {
#include "toggle_images_resource.h"  // made by toggle_images.sh
}

namespace tavolin {

namespace {

// The theme whose rules are replaced: GTK's built-in one, light or dark.
constexpr const char* theme = "Adwaita";

// Its rules for these pictures with the same SVGs under the program's own
// names, which no icon theme of the system can hold.
constexpr const char* rules =
    "check:checked { -gtk-icon-source: -gtk-icontheme('tavolin-check-symbolic'); }\n"
    "check:indeterminate { -gtk-icon-source: -gtk-icontheme('tavolin-dash-symbolic'); }\n"
    "radio:checked { -gtk-icon-source: -gtk-icontheme('tavolin-bullet-symbolic'); }\n"
    "radio:indeterminate { -gtk-icon-source: -gtk-icontheme('tavolin-dash-symbolic'); }\n";

// GTK_THEME, when set, wins over the setting.
bool theme_in_use(const Glib::RefPtr<Gtk::Settings>& settings) {
  std::string name;
  if (const char* env = std::getenv("GTK_THEME"))
    name = std::string(env).substr(0, std::string(env).find(':'));
  else
    name = settings->property_gtk_theme_name().get_value();
  return name == theme;
}

void follow_theme(const Glib::RefPtr<Gdk::Screen>& screen,
                  const Glib::RefPtr<Gtk::Settings>& settings,
                  const Glib::RefPtr<Gtk::CssProvider>& provider) {
  if (theme_in_use(settings))
    Gtk::StyleContext::add_provider_for_screen(screen, provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  else
    Gtk::StyleContext::remove_provider_for_screen(screen, provider);
}

}  // namespace

void share_toggle_images() {
  static bool shared = false;
  Glib::RefPtr<Gdk::Screen> screen = Gdk::Screen::get_default();
  if (shared || !screen) return;
  shared = true;
  tavolin_toggle_images_register_resource();
  Gtk::IconTheme::get_for_screen(screen)->add_resource_path("/tavolin/toggle-images");
  Glib::RefPtr<Gtk::CssProvider> provider = Gtk::CssProvider::create();
  try {
    provider->load_from_data(rules);
  } catch (const Glib::Error&) {
    return;  // a GTK without these rules: the theme's own pictures, as before
  }
  Glib::RefPtr<Gtk::Settings> settings = Gtk::Settings::get_for_screen(screen);
  follow_theme(screen, settings, provider);
  settings->property_gtk_theme_name().signal_changed().connect(
      [screen, settings, provider] { follow_theme(screen, settings, provider); });
}

}  // namespace tavolin

#include "album/gui/toggle_images.h"

#include <gdkmm/pixbuf.h>
#include <gdkmm/screen.h>
#include <giomm/resource.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/settings.h>
#include <gtkmm/stylecontext.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "utility/failure.h"

extern "C" {
#include "toggle_images_resource.h"  // made by toggle_images.sh
}

namespace tavolin {

namespace {

// The theme whose rules are replaced: GTK's built-in one, light or dark.
constexpr const char* theme = "Adwaita";

// The pictures under the program's own names (as toggle_images.sh makes
// them), which no icon theme of the system can hold.
constexpr const char* check_picture = "tavolin-check-symbolic";
constexpr const char* dash_picture = "tavolin-dash-symbolic";
constexpr const char* bullet_picture = "tavolin-bullet-symbolic";
constexpr const char* pictures[] = {check_picture, dash_picture, bullet_picture};

// The theme's rules for its pictures, with these.
std::string rules() {
  const auto rule = [](const char* node, const char* picture) {
    return std::string(node) + " { -gtk-icon-source: -gtk-icontheme('" + picture + "'); }\n";
  };
  return rule("check:checked", check_picture) + rule("check:indeterminate", dash_picture) +
         rule("radio:checked", bullet_picture) + rule("radio:indeterminate", dash_picture);
}

// Where toggle_images.sh puts them in the program's resources, and where
// the icon theme is told to look.
constexpr const char* resource_path = "/tavolin/toggle-images";

// What each failure line ends with.
constexpr const char* fallback = ", the theme draws the toggles' marks.";

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

// The loader GTK's icon theme asks gdk-pixbuf for before it takes an SVG
// (asked first: without it, a lookup makes GTK warn).
bool loads_svg() {
  for (const Gdk::PixbufFormat& format : Gdk::Pixbuf::get_formats())
    for (const Glib::ustring& type : format.get_mime_types())
      if (type == "image/svg") return true;
  return false;
}

// Whether GTK will find every picture and can render it; else one line on
// standard error. Asked of the resource and of gdk-pixbuf's list of
// loaders, which cost nothing at start-up: the SVG loader itself loads
// with the first checked toggle drawn, as for any GTK program.
bool pictures_load() {
  if (!loads_svg())
    return libutils::fail("share_toggle_images(): gdk-pixbuf loads no SVG", fallback);
  for (const char* name : pictures) {
    const std::string file = std::string(resource_path) + "/" + name + ".svg";
    if (!Gio::Resource::get_file_exists_global_nothrow(file))
      return libutils::fail(name, ": not among the program's pictures", fallback);
  }
  return true;
}

bool install_rules(const Glib::RefPtr<Gdk::Screen>& screen) {
  Glib::RefPtr<Gtk::CssProvider> provider = Gtk::CssProvider::create();
  try {
    provider->load_from_data(rules());
  } catch (const Glib::Error& error) {
    return libutils::fail("share_toggle_images(): ", error.what(), fallback);
  }
  Glib::RefPtr<Gtk::Settings> settings = Gtk::Settings::get_for_screen(screen);
  follow_theme(screen, settings, provider);
  settings->property_gtk_theme_name().signal_changed().connect(
      [screen, settings, provider] { follow_theme(screen, settings, provider); });
  return true;
}

}  // namespace

bool share_toggle_images() {
  static std::optional<bool> shared;
  Glib::RefPtr<Gdk::Screen> screen = Gdk::Screen::get_default();
  if (shared || !screen) return shared.value_or(false);
  tavolin_toggle_images_register_resource();
  Gtk::IconTheme::get_for_screen(screen)->add_resource_path(resource_path);
  shared = pictures_load() && install_rules(screen);
  return *shared;
}

}  // namespace tavolin

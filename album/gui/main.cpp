#include <glib.h>
#include <gtkmm/main.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "album/gui/menu_win.h"

namespace {

// GLib's slice allocator before GLib 2.76 keeps the memory of every widget
// destroyed for the widgets to come: a hundred megabytes and more after a
// dialog of a thousand rows. Through malloc, it goes back to the system
// once the dialog is gone (see close_window). GLib reads G_SLICE as it
// is loaded, before main: the program starts itself once more with it set,
// unless the user set it. The programs it starts get the user's
// environment.
constexpr const char* slice_variable = "G_SLICE";
constexpr const char* restarted_variable = "TAVOLIN_SLICE_RESTART";

void slices_through_malloc(char** argv) {
  if (std::getenv(restarted_variable) != nullptr) {
    unsetenv(restarted_variable);
    unsetenv(slice_variable);
    return;
  }
  if (glib_check_version(2, 76, 0) == nullptr || std::getenv(slice_variable) != nullptr) return;
  // The file itself rather than /proc/self/exe, whose name the process
  // would take.
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return;
  self[n] = '\0';
  setenv(slice_variable, "always-malloc", 1);
  setenv(restarted_variable, "1", 1);
  execv(self, argv);
  // Not started again: on as before.
  unsetenv(restarted_variable);
  unsetenv(slice_variable);
}

}  // namespace

int main(int argc, char** argv) {
  slices_through_malloc(argv);
  Gtk::Main kit(argc, argv, true);
  tavolin::MenuWindow window(argc, argv);
  Gtk::Main::run(window);
  return 0;
}

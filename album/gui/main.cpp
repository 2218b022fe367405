#include <gtkmm/main.h>

#include "album/gui/menu_win.h"

int main(int argc, char** argv) {
  Gtk::Main kit(argc, argv, true);
  tavolin::MenuWindow window(argc, argv);
  Gtk::Main::run(window);
  return 0;
}

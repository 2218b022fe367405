// main of the window tests: GoogleTest first, so that listing the tests
// needs no display; then GTK on the test display.
#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include <cstdlib>
#include <iostream>
#include <memory>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  // Death tests re-run this program for each exit path; a fresh process
  // is the only sound way to fork a GTK program.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("GSETTINGS_BACKEND", "memory", 0);
  setenv("NO_AT_BRIDGE", "1", 0);
  if (!gtk_init_check(&argc, &argv)) {
    std::cerr << "album_gui_tests: no display (run under xvfb-run)" << std::endl;
    return 1;
  }
  Gtk::Main kit(argc, argv, true);
  return RUN_ALL_TESTS();
}

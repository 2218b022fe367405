// The progress window's bars, title and event pump.
#include <cmath>

#include "album/gui/progwin.h"
#include "album/gui/tests/gui_test.h"

namespace {

TEST(ProgWin, SignalsDriveTheirOwnBarsCappedAtOne) {
  Gtk::Window parent;
  tavolin::ProgWin progress(parent);
  EXPECT_EQ(progress.get_title(), "progress window");
  progress.signal3.emit(1.7);
  EXPECT_DOUBLE_EQ(progress.bar(3).get_fraction(), 1.0);
  progress.signal3.emit(0.25);
  EXPECT_DOUBLE_EQ(progress.bar(3).get_fraction(), 0.25);
  progress.signal6.emit(std::nan(""));
  EXPECT_DOUBLE_EQ(progress.bar(6).get_fraction(), 1.0);
  progress.signal1.emit(0.5);
  for (unsigned n : {1u, 2u, 4u, 5u})
    EXPECT_DOUBLE_EQ(progress.bar(n).get_fraction(), n == 1 ? 0.5 : 0.0) << n;

  progress.set_title("copying");
  progress.clear();
  EXPECT_EQ(progress.get_title(), "progress window");
  for (unsigned n = 1; n <= 6; ++n) EXPECT_DOUBLE_EQ(progress.bar(n).get_fraction(), 0.0) << n;
}

TEST(ProgWin, PumpWithoutAMainLoopKeepsTheProcess) {
  // iteration() answers "quit" when no main loop runs: that must not end
  // a program that only pumps (this test would stop here).
  Gtk::Window parent;
  tavolin::ProgWin progress(parent);
  progress.show();
  for (int i = 0; i <= 20; ++i) progress.setProgress2(i / 20.0);
  progress.hide();
  EXPECT_DOUBLE_EQ(progress.bar(2).get_fraction(), 1.0);
}

TEST(ProgWin, QuittingTheMainLoopEndsTheProcessAtTheNextReport) {
  EXPECT_EXIT(
      {
        Gtk::Window parent;
        tavolin::ProgWin progress(parent);
        Glib::signal_timeout().connect_once(
            [&]() {
              progress.show();
              Gtk::Main::quit();  // the main window was closed meanwhile
              for (int i = 0; i < 100; ++i) {
                progress.setProgress1(i / 100.0);
                g_usleep(20000);
              }
              std::fprintf(stderr, "still running\n");
              std::_Exit(3);
            },
            10);
        parent.show();
        Gtk::Main::run(parent);
        std::_Exit(4);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace

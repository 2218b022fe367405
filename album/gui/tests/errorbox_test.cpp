// The error box shows the whole message and log, and stays inside the
// screen however long the log is.
#include "album/gui/errorbox.h"

#include <gtest/gtest.h>
#include <gtkmm/messagedialog.h>

#include <cstdlib>
#include <string>

#include "album/gui/screenfit.h"
#include "album/gui/tests/gui_test.h"

namespace {

TEST(ErrorBox, ALongLogScrollsInsideTheScreen) {
  Gtk::Window parent;
  parent.show();
  std::string log;
  for (int i = 0; i < 300; ++i)
    log += "/card/DCIM/IMG_" + std::to_string(1000 + i) + ".JPG: shrinkone() decompress fail.\n";
  std::string text;
  int height = 0;
  Gdk::Rectangle area;
  guitest::when_shown<Gtk::MessageDialog>([&](Gtk::MessageDialog& box) {
    guitest::pump();
    text = box.property_text().get_value();
    height = box.get_allocated_height();
    area = tavolin::work_area(box);
    std::system("import -window root " TEST_SHOT_DIR "/error_box_long_log.png");
    box.response(Gtk::RESPONSE_OK);
  });
  tavolin::show_error(parent, "Update failed.\n", log);
  EXPECT_EQ(text, "Update failed.\n" + log);
  EXPECT_GT(height, 100);
  EXPECT_LE(height, area.get_height());
}

}  // namespace

// The make-album dialog scanning an import directory that holds FIFOs
// under a photo's and a movie's name, as mkfifo makes them.
#include <fcntl.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "album/engine/tests/photo_gen.h"
#include "album/gui/makealbum.h"
#include "album/gui/tests/collection_gui_test.h"

namespace {

class NotRegularScan : public collectiontest::CollectionTest {};

TEST_F(NotRegularScan, ReturnsWithoutListingTheFifos) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  const std::vector<std::string> fifos = {card + "/b.jpg", card + "/c.mov"};
  for (const std::string& fifo : fifos) ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  // Should the scan wait on a FIFO, writers let it go after 10 s (an open
  // and close reads as the end of the data): the test fails, never hangs.
  std::thread([fifos] {
    std::this_thread::sleep_for(std::chrono::seconds(10));
    for (int i = 0; i < 100; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
      for (const std::string& fifo : fifos) ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }).detach();
  tavolin::MakeAlbumDialog dialog(parent, card, root, program_file);
  std::vector<std::string> names;
  Glib::signal_timeout().connect_once(
      [&] {
        dialog.m_update_button.clicked();
        for (const auto& row : dialog.items()) names.push_back(row.name ? *row.name : "");
        collectiontest::click(dialog, Gtk::RESPONSE_CANCEL);
      },
      50);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_CANCEL);
  EXPECT_EQ(names, std::vector<std::string>{"a.jpg"});
}

}  // namespace

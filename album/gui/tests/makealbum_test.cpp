// The make-album dialog over an import directory of camera-size photos.
#include <glibmm/main.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "album/engine/tests/photo_gen.h"
#include "album/gui/makealbum.h"
#include "album/gui/tests/collection_gui_test.h"

namespace {

using collectiontest::click;
using collectiontest::CollectionTest;
using tavolin::MakeAlbumDialog;

// Photos of 6000x4000 without an EXIF thumbnail are decoded whole and
// halved; while the dialog is open each row holds only its small picture,
// in a store of that picture's own size, and its GTK copy.
TEST_F(CollectionTest, MakeAlbumRowsOfLargePhotosHoldOnlyTheirSmallPictures) {
  const int photos = 20;
  ASSERT_TRUE(phototest::write_jpeg(card + "/p00.jpg", phototest::make_photo(6000, 4000), 30));
  for (int i = 1; i < photos; ++i)
    std::filesystem::copy_file(card + "/p00.jpg",
                               card + "/p" + std::to_string(100 + i).substr(1) + ".jpg");
  tavolin::g_global.shrink_size = {1024, 1024};  // the default: rows of 187x125

  MakeAlbumDialog dialog(parent, card, root, program_file);
  uint64_t held = 0;
  int rows = 0;
  Glib::signal_timeout().connect_once(
      [&] {
        dialog.m_update_button.clicked();  // the scan
        for (const MakeAlbumDialog::item_t& row : dialog.items()) {
          ++rows;
          EXPECT_EQ(row.image.width, 187u);
          EXPECT_EQ(row.image.pixels.size(), row.image.rowsize() * row.image.height);
          held += row.image.pixels.size() + row.picture.get_pixbuf()->get_byte_length();
        }
        click(dialog, Gtk::RESPONSE_CANCEL);
      },
      0);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_CANCEL);
  EXPECT_EQ(rows, photos);
  EXPECT_LT(held, uint64_t{8} << 20);  // the whole decodes would be 1.4 GB
}

}  // namespace

// The make-album dialog over an import directory of camera-size photos.
#include <glibmm/main.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "album/engine/tests/photo_gen.h"
#include "album/gui/makealbum.h"
#include "album/gui/screenfit.h"
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

// A laptop's screen, the narrowest the windows are made for.
constexpr int laptop_width = 1366;

// Whether GTK would show label's tooltip: it answers the query.
bool offers_tooltip(Gtk::Label& label) {
  GObject* tooltip = G_OBJECT(g_object_new(GTK_TYPE_TOOLTIP, nullptr));
  gboolean shown = FALSE;
  g_signal_emit_by_name(label.gobj(), "query-tooltip", 1, 1, FALSE, tooltip, &shown);
  g_object_unref(tooltip);
  return shown;
}

// Two 200-byte names among ordinary photos: the dialog stays within a
// laptop's screen with every file's name on it, the long names cut in
// their cells and whole in their text, accessible name and tooltip, the
// short ones whole. Once with the names deciding the width (small
// thumbnails, four to a line), once the thumbnails (six to a line), where
// a long name's column is no wider than a photo's.
TEST_F(CollectionTest, MakeAlbumWithLongFileNamesFitsALaptopScreen) {
  std::string cjk;
  for (int i = 0; i < 32; ++i) cjk += "写真";
  const std::vector<std::string> longs = {cjk + "0001.jpg",
                                          "long-" + std::string(191, 'n') + ".jpg"};
  ASSERT_TRUE(phototest::write_photo(card + "/IMG_0001.JPG", 800, 600, 1));
  for (const std::string& name :
       {std::string("IMG_0002.JPG"), std::string("b.jpg"), longs[0], longs[1]})
    std::filesystem::copy_file(card + "/IMG_0001.JPG", card + "/" + name);
  const auto is_long = [](const MakeAlbumDialog::item_t& row) { return row.name->size() == 200; };

  for (const bool thumbnails_decide : {false, true}) {
    SCOPED_TRACE(thumbnails_decide);
    const unsigned side = thumbnails_decide ? 1024 : 160;
    tavolin::g_global.shrink_size = {side, side};
    tavolin::g_global.horizontal_items = thumbnails_decide ? 6 : 4;
    MakeAlbumDialog dialog(parent, card, root, program_file);
    Glib::signal_timeout().connect_once(
        [&] {
          dialog.m_update_button.clicked();
          guitest::pump();
          collectiontest::screenshot(std::string("makealbum_long_names_") +
                                     (thumbnails_decide ? "thumbnails" : "names") + ".png");
          const int width = dialog.get_width();
          EXPECT_LE(width, laptop_width);
          EXPECT_LE(width, tavolin::work_area(dialog).get_width());
          ASSERT_EQ(dialog.items().size(), 5u);
          int photo_column = 0;
          for (const MakeAlbumDialog::item_t& row : dialog.items())
            if (!is_long(row)) photo_column = row.select_button.get_allocated_width();
          for (MakeAlbumDialog::item_t& row : dialog.items()) {
            const std::string& name = *row.name;
            int x = -1, y = -1;
            row.name_label.translate_coordinates(dialog, 0, 0, x, y);
            EXPECT_GE(x, 0) << name;
            EXPECT_LE(x + row.name_label.get_allocated_width(), width) << name;
            EXPECT_EQ(row.name_label.get_text(), name);
            EXPECT_STREQ(atk_object_get_name(row.name_label.get_accessible()->gobj()),
                         name.c_str());
            EXPECT_EQ(row.name_label.get_layout()->is_ellipsized(), is_long(row)) << name;
            EXPECT_EQ(offers_tooltip(row.name_label), is_long(row)) << name;
            if (thumbnails_decide) {
              EXPECT_EQ(row.select_button.get_allocated_width(), photo_column) << name;
            }
          }
          click(dialog, Gtk::RESPONSE_CANCEL);
        },
        0);
    EXPECT_EQ(dialog.run(), Gtk::RESPONSE_CANCEL);
  }
}

}  // namespace

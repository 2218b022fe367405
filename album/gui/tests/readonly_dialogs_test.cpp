// The read-only album dialog and the best-album dialog: what they show,
// what they leave on disk, which pages a save rebuilds. Also screenshots
// of the three album dialogs for a person to look at.
#include <sys/stat.h>

#include "album/engine/thumbnail.h"
#include "album/gui/editalbum.h"
#include "album/gui/goodalbum.h"
#include "album/gui/menu_win.h"
#include "album/gui/tests/album_fixture.h"
#include "album/gui/viewalbum.h"

namespace {

using guitest::read_file;
using guitest::write_file;

long mtime_ns(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return st.st_mtim.tv_sec * 1000000000L + st.st_mtim.tv_nsec;
}

// The dialog as drawn, into the build tree. Drawn by GTK itself rather
// than read from the screen, where other tests' windows may lie on top.
void screenshot(Gtk::Window& window, const std::string& name) {
  guitest::pump();
  const int w = window.get_width(), h = window.get_height();
  ASSERT_GT(w, 1);
  Cairo::RefPtr<Cairo::ImageSurface> surface =
      Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, w, h);
  Cairo::RefPtr<Cairo::Context> cr = Cairo::Context::create(surface);
  gtk_widget_draw(GTK_WIDGET(window.gobj()), cr->cobj());
  surface->write_to_png(std::string(TEST_SHOT_DIR) + "/" + name);
}

class ReadOnly : public guitest::album_fixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(make_album("2024"));
    const std::string dir = album_dir("2024");
    write_file(dir + "/txt/good.txt", "b.jpg\r\n");
    write_file(dir + "/txt/fail.txt", "a.jpg\r\n");
    write_file(dir + "/txt/print.txt", "b.jpg\r\n");
    write_file(dir + "/txt/b.txt", "a red-blue sky\r\n");
    write_file(dir + "/txt/secret.txt", "");
    guitest::make_dirs(root + "/_Best/txt");
    write_file(root + "/_Best/txt/head.txt", "Best\r\nBest\r\n");
  }
};

TEST_F(ReadOnly, AlbumDialogShowsTheAlbumInertAndWritesNothing) {
  const std::string before = guitest::tree_state(root);
  {
    tavolin::ViewAlbumDialog dialog(parent, tavolin::path_t("", root, "2024"), program.dir,
                                    decoded);
    auto& items = dialog.items();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_TRUE(items[0].fail.get_active());
    EXPECT_TRUE(items[1].good.get_active());
    EXPECT_TRUE(items[2].subtle.get_active());
    EXPECT_TRUE(items[1].books.toggle[4].get_active());  // print
    EXPECT_FALSE(items[1].books.toggle[4].get_sensitive());
    EXPECT_FALSE(items[1].good.get_sensitive());
    EXPECT_FALSE(items[1].comment_view.get_editable());
    EXPECT_EQ(items[1].comment, "a red-blue sky\r\n");
    EXPECT_NE(items[0].info.find("T1"), std::string::npos);
    EXPECT_TRUE(dialog.private_row().check.get_active());
    EXPECT_FALSE(dialog.private_row().check.get_sensitive());
    EXPECT_EQ(dialog.title_label().get_text(), "Album 2024");
    EXPECT_EQ(dialog.get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
    EXPECT_EQ(dialog.get_widget_for_response(Gtk::RESPONSE_CANCEL), nullptr);
    dialog.items()[1].button.clicked();  // only the pictures act
    EXPECT_TRUE(guitest::pump_until([&] { return guitest::exists(program.args_file()); }));
    std::remove(program.args_file().c_str());
    dialog.show();
    screenshot(dialog, "view_album.png");
    guitest::respond_when_shown<tavolin::ViewAlbumDialog>(Gtk::RESPONSE_OK);
    EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);
  }
  EXPECT_EQ(guitest::tree_state(root), before);
}

// The pixel drawn at the centre of widget w when top is drawn.
uint32_t centre_pixel(Gtk::Widget& top, Gtk::Widget& w) {
  auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, top.get_allocated_width(),
                                             top.get_allocated_height());
  gtk_widget_draw(top.gobj(), Cairo::Context::create(surface)->cobj());
  surface->flush();
  int x = 0, y = 0;
  w.translate_coordinates(top, w.get_allocated_width() / 2, w.get_allocated_height() / 2, x, y);
  return reinterpret_cast<const uint32_t*>(surface->get_data() + y * surface->get_stride())[x] &
         0xffffff;
}

// Each file once, in name order, in its own cells of the grid, showing its
// own picture: in the read-only album and in the editor, built alike.
TEST_F(ReadOnly, EveryFileHasOneRowInNameOrderShowingItsOwnPicture) {
  tavolin::g_global.horizontal_items = 2;
  const tavolin::path_t at("", root, "2024");
  std::vector<libgr::image2d_t> pictures(3);
  std::string duration, stream;
  ASSERT_TRUE(tavolin::load_scaled_thumbnail(pictures[0], at, "a.jpg", 1) &&
              tavolin::load_scaled_thumbnail(pictures[1], at, "b.jpg", 1) &&
              tavolin::load_scaled_ffthumbnail(pictures[2], at, "c.mp4", 1, duration, stream));
  const char* names[] = {"a.jpg", "b.jpg", "c.mp4", "d.wav", "e.txt"};
  const auto check = [&](Gtk::Window& dialog, auto& items) {
    ASSERT_EQ(items.size(), 5u);
    guitest::cells_t cells;
    for (unsigned i = 0; i < 5; ++i) {
      EXPECT_EQ(items[i].name_label.get_text(), names[i]);
      guitest::add_cells(cells, i % 2, 6 * (i / 2),
                         {&items[i].button, &items[i].name_label, &items[i].comment_view,
                          &items[i].judgement_box, &items[i].books.box, &items[i].info_label});
    }
    EXPECT_EQ(guitest::table_cells(*dynamic_cast<Gtk::Table*>(items[0].button.get_parent())),
              cells);
    dialog.show();
    guitest::pump();
    for (unsigned i = 0; i < 3; ++i)
      EXPECT_TRUE(guitest::shows(dialog, items[i].button, pictures[i])) << i;
    // A cell with a window of its own is drawn by the table as well.
    Gtk::TextView& comment = items[0].comment_view;
    EXPECT_EQ(centre_pixel(dialog, comment), centre_pixel(comment, comment));
  };
  {
    tavolin::ViewAlbumDialog view(parent, at, program.dir, decoded);
    check(view, view.items());
  }
  tavolin::EditAlbumDialog editor(parent, at, program.dir, decoded);
  check(editor, editor.items());
}

// Thumbnails kept side by side, across blocks, keep their own pixels.
TEST(PictureShelf, KeptPicturesKeepTheirOwnPixels) {
  tavolin::decoded_budget_t decoded;
  tavolin::picture_shelf_t shelf(decoded);
  libgr::image2d_t& p = shelf.scratch;  // reused as a decoder does
  p.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  p.width = p.height = 600;
  ASSERT_TRUE(p.allocate());
  std::vector<libgr::image2d_t> kept;
  for (unsigned i = 0; i < 60; ++i) {  // four blocks
    std::fill(p.pixels.begin(), p.pixels.end(), i);
    kept.push_back(shelf.keep(p));
  }
  for (unsigned i = 0; i < 60; ++i) EXPECT_TRUE(kept[i][0][0] == i && kept[i][599][1799] == i) << i;
}

TEST_F(ReadOnly, BestAlbumOpenedFromTheMainWindowWritesNothing) {
  const std::string before = guitest::tree_state(root);
  const tavolin::path_t location("", root, "_Best");
  tavolin::GoodAlbumDialog dialog(parent, location, program.dir, decoded, false);
  ASSERT_EQ(dialog.items().size(), 1u);  // b.jpg, good and in print
  auto& b = dialog.items()[0];
  EXPECT_EQ(b.path_label.get_text(), "../2024/b.jpg");
  EXPECT_TRUE(b.books.toggle[4].get_active());
  EXPECT_FALSE(b.books.toggle[4].get_sensitive());
  EXPECT_FALSE(b.comment_view.get_editable());
  EXPECT_FALSE(dialog.comments().title_entry.get_editable());
  EXPECT_EQ(dialog.get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
  // Even a change slipped in by code is not saved by OK.
  b.books.toggle[0].set_active(true);
  dialog.comments().title_entry.set_text("changed");
  guitest::respond_when_shown<tavolin::GoodAlbumDialog>(Gtk::RESPONSE_OK);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);
  EXPECT_EQ(guitest::tree_state(root), before);
}

TEST_F(ReadOnly, MainWindowRowsOpenTheirDialogs) {
  const std::string home = scratch / "home";
  guitest::make_dirs(home);
  guitest::env_guard home_env("HOME", home.c_str());
  write_file(home + "/.tavolin", "album=" + root + "\r\n");
  tavolin::MenuWindow window(program.argc(), program.argv());
  ASSERT_EQ(window.items().size(), 2u);  // _Best, 2024
  bool best = false, album = false;
  guitest::when_shown<tavolin::GoodAlbumDialog>([&](tavolin::GoodAlbumDialog& d) {
    best = d.get_widget_for_response(Gtk::RESPONSE_APPLY) == nullptr;
    d.response(Gtk::RESPONSE_OK);
  });
  window.items()[0].open_button.clicked();
  guitest::when_shown<tavolin::ViewAlbumDialog>([&](tavolin::ViewAlbumDialog& d) {
    album = d.items().size() == 5;
    d.response(Gtk::RESPONSE_OK);
  });
  window.items()[1].open_button.clicked();
  EXPECT_TRUE(best);
  EXPECT_TRUE(album);
}

class BestAlbum : public guitest::album_fixture {};

TEST_F(BestAlbum, SavingRebuildsOnlyTheChangedAlbumThenTheBestPages) {
  ASSERT_TRUE(make_album("2019"));
  // A second album alike, copied with its times.
  ASSERT_TRUE(guitest::sh("cp -a '" + album_dir("2019") + "' '" + album_dir("2020") + "'"));
  write_file(album_dir("2019") + "/txt/good.txt", "a.jpg\r\n");
  write_file(album_dir("2020") + "/txt/good.txt", "a.jpg\r\nb.jpg\r\n");
  guitest::make_dirs(root + "/_Best/txt");
  write_file(root + "/_Best/txt/head.txt", "Best\r\nBest\r\n");
  const long page2019 = mtime_ns(album_dir("2019") + "/index.html");
  const long page2020 = mtime_ns(album_dir("2020") + "/index.html");

  const tavolin::path_t location("", root, "_Best");
  tavolin::g_global.horizontal_items = 2;
  tavolin::GoodAlbumDialog dialog(parent, location, program.dir, decoded, true);
  auto& items = dialog.items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].path, "../2020/a.jpg");
  EXPECT_EQ(items[1].path, "../2020/b.jpg");
  EXPECT_EQ(items[2].path, "../2019/a.jpg");
  guitest::cells_t cells;  // each row once, in its cells
  for (unsigned i = 0; i < 3; ++i)
    guitest::add_cells(cells, i % 2, 5 * (i / 2),
                       {&items[i].button, &items[i].path_label, &items[i].comment_view,
                        &items[i].books.box, &items[i].info_label});
  EXPECT_EQ(guitest::table_cells(*dynamic_cast<Gtk::Table*>(items[0].button.get_parent())), cells);
  items[1].books.toggle[3].set_active(true);  // sale of 2020/b.jpg
  dialog.show();
  screenshot(dialog, "best_album.png");
  guitest::respond_when_shown<tavolin::GoodAlbumDialog>(Gtk::RESPONSE_APPLY);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_APPLY);

  EXPECT_EQ(read_file(album_dir("2020") + "/txt/sale.txt"), "b.jpg\r\n");
  EXPECT_FALSE(guitest::exists(album_dir("2019") + "/txt/sale.txt") &&
               !read_file(album_dir("2019") + "/txt/sale.txt").empty());
  EXPECT_NE(mtime_ns(album_dir("2020") + "/index.html"), page2020);
  EXPECT_EQ(mtime_ns(album_dir("2019") + "/index.html"), page2019);
  EXPECT_TRUE(guitest::exists(root + "/_Best/index.html"));
  EXPECT_NE(read_file(root + "/_Best/index.html").find("2020/"), std::string::npos);
  // The good lists are never written here.
  EXPECT_EQ(read_file(album_dir("2020") + "/txt/good.txt"), "a.jpg\r\nb.jpg\r\n");
}

TEST_F(BestAlbum, EditorScreenshot) {
  ASSERT_TRUE(make_album("2024"));
  write_file(album_dir("2024") + "/txt/good.txt", "b.jpg\r\n");
  write_file(album_dir("2024") + "/txt/b.txt", "a red-blue sky\r\n");
  tavolin::EditAlbumDialog dialog(parent, tavolin::path_t("", root, "2024"), program.dir, decoded);
  dialog.show();
  screenshot(dialog, "edit_album.png");
  guitest::respond_when_shown<tavolin::EditAlbumDialog>(Gtk::RESPONSE_CANCEL);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_CANCEL);
}

}  // namespace

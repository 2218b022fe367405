// The album editor over an album the engine made.
#include <gtkmm/messagedialog.h>

#include "album/gui/bookopen.h"
#include "album/gui/editalbum.h"
#include "album/gui/outside_programs.h"
#include "album/gui/progwin.h"
#include "album/gui/tests/album_fixture.h"

namespace {

using guitest::read_file;

guint top_attach(Gtk::Table& table, Gtk::Widget& w) {
  guint top = 0;
  gtk_container_child_get(GTK_CONTAINER(table.gobj()), w.gobj(), "top-attach", &top, nullptr);
  return top;
}
guint left_attach(Gtk::Table& table, Gtk::Widget& w) {
  guint left = 0;
  gtk_container_child_get(GTK_CONTAINER(table.gobj()), w.gobj(), "left-attach", &left, nullptr);
  return left;
}

class EditAlbum : public guitest::album_fixture {
 protected:
  void SetUp() override { ASSERT_TRUE(make_album("2024")); }
  tavolin::path_t location{"", root, "2024"};
  std::string dir = album_dir("2024");
};

TEST_F(EditAlbum, OneCellPerFileWithTheControlsOfItsKind) {
  tavolin::g_global.horizontal_items = 2;
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  auto& items = dialog.items();
  ASSERT_EQ(items.size(), 5u);
  const char* names[] = {"a.jpg", "b.jpg", "c.mp4", "d.wav", "e.txt"};
  for (unsigned i = 0; i < 5; ++i) {
    EXPECT_EQ(*items[i].name, names[i]);
    EXPECT_EQ(items[i].name_label.get_text(), names[i]);
    // Photos only: the rotate controls and the EXIF line.
    const bool photo = i < 2;
    EXPECT_EQ(items[i].rotate.get_parent() != nullptr, photo) << i;
    EXPECT_EQ(items[i].angle.get_parent() != nullptr, photo) << i;
    EXPECT_EQ(items[i].info.find("T1") != std::string::npos, photo) << items[i].info;
    // Grid: two cells per line, six table rows per cell.
    auto* table = dynamic_cast<Gtk::Table*>(items[i].name_label.get_parent());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(left_attach(*table, items[i].button), i % 2) << i;
    EXPECT_EQ(top_attach(*table, items[i].button), 6 * (i / 2)) << i;
    EXPECT_EQ(top_attach(*table, items[i].info_label), 6 * (i / 2) + 5) << i;
  }
  EXPECT_NE(items[2].info.find(", "), std::string::npos);  // duration, stream
  EXPECT_NE(items[3].info.find(", "), std::string::npos);
  EXPECT_EQ(items[4].info, "");
  int w = 0, h = 0;
  items[4].button.get_size_request(w, h);
  EXPECT_EQ(w, -1);  // "other": an empty, unsized button
  items[3].button.get_size_request(w, h);
  EXPECT_EQ(w, 32);  // sound: 32 x 32
  // The upright photo's thumbnail is landscape, the orientation-6 one portrait.
  items[0].button.get_size_request(w, h);
  EXPECT_LT(w, h);
  items[1].button.get_size_request(w, h);
  EXPECT_GT(w, h);
  EXPECT_TRUE(items[0].subtle.get_active());  // nothing judged yet
  // A cell's toggles and judgement buttons show their texts as the theme
  // draws labelled ones.
  const char* books[] = {"Best", "Apply", "Submit", "Sale", "Print", "Upload"};
  for (unsigned k = 0; k < 6; ++k)
    EXPECT_TRUE(guitest::shows_text(items[0].books.toggle[k], books[k])) << k;
  EXPECT_TRUE(guitest::shows_text(items[0].good, "Good"));
  EXPECT_TRUE(guitest::shows_text(items[0].subtle, "Subtle"));
  EXPECT_TRUE(guitest::shows_text(items[0].fail, "Fail"));
  EXPECT_TRUE(guitest::shows_text(items[0].rotate, "Rotate"));
  EXPECT_EQ(dialog.comments().title_entry.get_text(), "Album 2024");
}

TEST_F(EditAlbum, ToggleRulesAndOkWriteListsCommentsMarkerAndUpdate) {
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  auto& b = dialog.items()[1];
  b.books.toggle[3].set_active(true);  // sale on a subtle photo makes it good
  EXPECT_TRUE(b.good.get_active());
  auto& a = dialog.items()[0];
  a.books.toggle[0].set_active(true);
  a.books.toggle[5].set_active(true);
  a.fail.set_active(true);  // fail clears every toggle
  for (auto& t : a.books.toggle) EXPECT_FALSE(t.get_active());
  a.comment_view.get_buffer()->set_text("a comment\nin two lines");
  dialog.comments().head_view.get_buffer()->set_text("new head");
  dialog.private_row().check.set_active(true);

  bool progress_seen = false, buttons_held = false;
  dialog.progress().signal2.connect([&](double) {
    progress_seen = dialog.progress().get_visible();
    buttons_held = !dialog.get_widget_for_response(Gtk::RESPONSE_OK)->get_sensitive();
  });
  const std::string index_before = read_file(dir + "/index.html");
  std::remove((dir + "/index.html").c_str());
  guitest::respond_when_shown<tavolin::EditAlbumDialog>(Gtk::RESPONSE_OK);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);

  EXPECT_EQ(read_file(dir + "/txt/good.txt"), "b.jpg\r\n");
  EXPECT_EQ(read_file(dir + "/txt/fail.txt"), "a.jpg\r\n");
  EXPECT_EQ(read_file(dir + "/txt/sale.txt"), "b.jpg\r\n");
  EXPECT_EQ(read_file(dir + "/txt/best.txt"), "");
  EXPECT_EQ(read_file(dir + "/txt/a.txt"), "a comment\r\nin two lines\r\n");
  EXPECT_NE(read_file(dir + "/txt/head.txt").find("new head"), std::string::npos);
  EXPECT_TRUE(guitest::exists(dir + "/txt/secret.txt"));
  EXPECT_TRUE(guitest::exists(dir + "/index.html"));         // updated
  EXPECT_TRUE(guitest::exists(root + "/_Best/index.html"));  // good list changed
  EXPECT_TRUE(progress_seen);
  EXPECT_TRUE(buttons_held);
  EXPECT_TRUE(dialog.get_widget_for_response(Gtk::RESPONSE_OK)->get_sensitive());
  EXPECT_FALSE(dialog.progress().get_visible());
}

TEST_F(EditAlbum, QuarterTurnAndApplyTurnLevelZeroLosslessly) {
  if (!guitest::sh("command -v jpegtran >/dev/null && command -v djpeg >/dev/null"))
    GTEST_FAIL() << "jpegtran and djpeg are needed (scripts/deps)";
  {
    tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
    auto& b = dialog.items()[1];
    b.rotate.set_active(true);
    EXPECT_TRUE(b.angle.get_sensitive());
    b.angle.set_value(90);
    int w = 0, h = 0;
    b.button.get_size_request(w, h);
    EXPECT_LT(w, h);  // the preview turned
    guitest::respond_when_shown<tavolin::EditAlbumDialog>(Gtk::RESPONSE_APPLY);
    EXPECT_EQ(dialog.run(), Gtk::RESPONSE_APPLY);
  }
  const std::string s = scratch.path();
  ASSERT_TRUE(
      guitest::sh("jpegtran -rotate 90 '" + dir + "/original/b.jpg' > '" + s + "/turned.jpg'"));
  ASSERT_TRUE(guitest::sh("djpeg -pnm '" + s + "/turned.jpg' > '" + s +
                          "/want.pnm' && djpeg -pnm '" + dir + "/size0/b.jpg' > '" + s +
                          "/got.pnm'"));
  EXPECT_EQ(read_file(s + "/got.pnm"), read_file(s + "/want.pnm"));
  // The smaller levels were made again, upright (portrait).
  ASSERT_TRUE(guitest::sh("djpeg -pnm '" + dir + "/size1/b.jpg' | head -c 20 > '" + s + "/head1'"));
  const std::string head1 = read_file(s + "/head1");
  unsigned w = 0, h = 0;
  ASSERT_EQ(std::sscanf(head1.c_str(), "P6\n%u %u", &w, &h), 2) << head1;
  EXPECT_LT(w, h);
  // The original stays as the camera wrote it.
  ASSERT_TRUE(
      guitest::sh("djpeg -pnm '" + dir + "/original/b.jpg' | head -c 12 > '" + s + "/head0'"));
  EXPECT_EQ(read_file(s + "/head0").substr(0, 10), "P6\n640 480");
}

TEST_F(EditAlbum, EmptyTitleShowsItsErrorAndKeepsTheComments) {
  const std::string head = read_file(dir + "/txt/head.txt");
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  dialog.comments().title_entry.set_text("");
  dialog.comments().head_view.get_buffer()->set_text("lost");
  dialog.items()[0].comment_view.get_buffer()->set_text("also not written");
  dialog.items()[1].good.set_active(true);
  std::string box_text, box_title;
  guitest::when_shown<tavolin::EditAlbumDialog>([&](tavolin::EditAlbumDialog& d) {
    guitest::when_shown<Gtk::MessageDialog>([&](Gtk::MessageDialog& box) {
      box_text = box.property_text().get_value();
      box_title = box.get_title();
      box.response(Gtk::RESPONSE_OK);
    });
    static_cast<Gtk::Button*>(d.get_widget_for_response(Gtk::RESPONSE_OK))->clicked();
  });
  dialog.run();
  EXPECT_EQ(box_text, "The title is empty.");
  EXPECT_EQ(box_title, "Error");
  EXPECT_EQ(read_file(dir + "/txt/head.txt"), head);
  EXPECT_FALSE(guitest::exists(dir + "/txt/a.txt"));
  EXPECT_EQ(read_file(dir + "/txt/good.txt"), "b.jpg\r\n");  // lists still saved
}

// Under LANG=C comments beyond ASCII are shown and kept: OK reports no
// failure, leaves unchanged comments (a Latin-1 one too) as they were and
// saves a typed one as UTF-8.
TEST_F(EditAlbum, OkUnderAnAsciiLocaleKeepsCommentsBeyondIt) {
  guitest::write_file(dir + "/txt/a.txt", "Last photo \xc3\xa4");
  guitest::write_file(dir + "/txt/b.txt", "caf\xe9");
  guitest::c_locale_guard c;
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  EXPECT_EQ(dialog.items()[0].comment_view.get_buffer()->get_text(), "Last photo \xc3\xa4");
  dialog.items()[2].comment_view.get_buffer()->set_text("Neu \xc3\xb6");
  bool boxed = false;
  guitest::when_shown<tavolin::EditAlbumDialog>([&](tavolin::EditAlbumDialog& d) {
    guitest::when_shown<Gtk::MessageDialog>([&](Gtk::MessageDialog& box) {
      boxed = true;
      box.response(Gtk::RESPONSE_OK);
    });
    static_cast<Gtk::Button*>(d.get_widget_for_response(Gtk::RESPONSE_OK))->clicked();
  });
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);
  EXPECT_FALSE(boxed);
  EXPECT_EQ(read_file(dir + "/txt/a.txt"), "Last photo \xc3\xa4");
  EXPECT_EQ(read_file(dir + "/txt/b.txt"), "caf\xe9");
  EXPECT_EQ(read_file(dir + "/txt/c.txt"), "Neu \xc3\xb6\r\n");  // c.mp4's
}

TEST_F(EditAlbum, ButtonsAnswerTheirMnemonicAsAClickDoes) {
  // GTK's own keyboard activation answers a quarter second later.
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  std::vector<int> responses;
  dialog.signal_response().connect([&](int response) { responses.push_back(response); });
  dialog.show();
  Gtk::Widget& cancel = *dialog.get_widget_for_response(Gtk::RESPONSE_CANCEL);
  EXPECT_TRUE(cancel.mnemonic_activate(true));  // a shared letter only moves the focus
  EXPECT_TRUE(responses.empty());
  EXPECT_TRUE(cancel.mnemonic_activate(false));
  EXPECT_EQ(responses, std::vector<int>{Gtk::RESPONSE_CANCEL});
  dialog.hide();
}

TEST_F(EditAlbum, ThumbnailsStartTheViewerAndThePlayerAtThePlaySizeLevel) {
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  const auto args = [&] {
    EXPECT_TRUE(guitest::pump_until([&] { return guitest::exists(program.args_file()); }));
    auto lines = guitest::lines(read_file(program.args_file()));
    std::remove(program.args_file().c_str());
    return lines;
  };
  dialog.items()[0].button.clicked();
  EXPECT_EQ(args(), (std::vector<std::string>{dir + "/original/a.jpg"}));
  tavolin::g_global.play_size_x = 3840;
  tavolin::g_global.play_size_y = 2160;
  dialog.items()[2].button.clicked();
  EXPECT_EQ(args(), (std::vector<std::string>{dir + "/movie0/c.mp4"}));
  tavolin::g_global.play_size_x = 160;
  tavolin::g_global.play_size_y = 120;
  dialog.items()[2].button.clicked();
  EXPECT_EQ(args(), (std::vector<std::string>{dir + "/movie1/c.mp4"}));
  dialog.items()[3].button.clicked();
  EXPECT_EQ(args(), (std::vector<std::string>{dir + "/original/d.wav"}));
}

TEST(PlayLevel, HalvesUntilThePlaySizeFits) {
  guitest::settings_guard settings;
  tavolin::g_global.play_size_x = 1920;
  tavolin::g_global.play_size_y = 1080;
  EXPECT_EQ(tavolin::play_level(3840, 2160), 1u);
  EXPECT_EQ(tavolin::play_level(1920, 1080), 0u);
  EXPECT_EQ(tavolin::play_level(1920, 1081), 1u);
  tavolin::g_global.play_size_x = 0;  // a hand-edited file: still ends
  EXPECT_EQ(tavolin::play_level(100, 10), 7u);
}

}  // namespace

namespace {

TEST_F(EditAlbum, ApplyReopensAFreshEditorAtTheSameScrollPosition) {
  tavolin::g_global.horizontal_items = 1;  // a tall list that scrolls
  std::vector<double> positions;
  int opened = 0;
  std::function<void(tavolin::EditAlbumDialog&)> step = [&](tavolin::EditAlbumDialog& d) {
    if (d.get_name() == "first") {
      // Still the first editor, busy saving: look again later.
      Glib::signal_timeout().connect_once([&] { guitest::when_shown(step); }, 50);
      return;
    }
    ++opened;
    auto adj = d.scrolled().get_vadjustment();
    if (opened == 1) {
      positions.push_back(adj->get_value());
      adj->set_value(std::min(120.0, adj->get_upper() - adj->get_page_size()));
      positions.push_back(adj->get_value());
      d.comments().title_entry.set_text("Renamed");
      d.set_name("first");
      static_cast<Gtk::Button*>(d.get_widget_for_response(Gtk::RESPONSE_APPLY))->clicked();
      // The next editor is a new window: look for it once this one is gone.
      Glib::signal_timeout().connect_once([&] { guitest::when_shown(step); }, 50);
    } else {
      EXPECT_EQ(d.comments().title_entry.get_text(), "Renamed");  // read back from disk
      // Found while the opener may still be laying it out: answer once its
      // run() has begun.
      tavolin::EditAlbumDialog* second = &d;
      Glib::signal_timeout().connect_once(
          [second, &positions] {
            positions.push_back(second->scrolled().get_vadjustment()->get_value());
            static_cast<Gtk::Button*>(second->get_widget_for_response(Gtk::RESPONSE_OK))->clicked();
          },
          300);
    }
  };
  guitest::when_shown(step);
  // As the edit hub runs it: again after APPLY, with the kept position.
  Glib::RefPtr<Gtk::Adjustment> kept;
  EXPECT_EQ(tavolin::run_album_editor(parent, location, program.dir, decoded, kept),
            Gtk::RESPONSE_APPLY);
  // The first editor is gone before the next one is built.
  for (Gtk::Window* w : Gtk::Window::list_toplevels()) EXPECT_NE(w->get_name(), "first");
  EXPECT_EQ(tavolin::run_album_editor(parent, location, program.dir, decoded, kept),
            Gtk::RESPONSE_OK);
  EXPECT_EQ(opened, 2);
  ASSERT_EQ(positions.size(), 3u);
  EXPECT_GT(positions[1], 0.0);
  EXPECT_DOUBLE_EQ(positions[2], positions[1]);
}

}  // namespace

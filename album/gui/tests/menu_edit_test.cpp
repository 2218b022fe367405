// The main window's edit loop and book rows: the hub is opened again after
// its own buttons and after OK with an empty title, a new album shows in
// the list once the hub is left, and a book row opens the one-book dialog
// read-only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/engine/tests/photo_gen.h"
#include "album/gui/bestbook.h"
#include "album/gui/editbook.h"
#include "album/gui/makealbum.h"
#include "album/gui/menu_win.h"
#include "album/gui/progwin.h"
#include "album/gui/tests/collection_gui_test.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/message.h"
#include "utility/testsupport/gtest.h"

namespace {

using namespace tavolin;
using collectiontest::click;
using collectiontest::script_t;
using guitest::exists;
using guitest::find_window;
using guitest::make_dirs;
using guitest::write_file;

class EditLoop : public ::testing::Test {
 protected:
  EditLoop()
      : home(scratch / "home"),
        root(scratch / "root"),
        card(scratch / "card"),
        home_env("HOME", home.c_str()),
        program(scratch / "bin") {
    make_dirs(home);
    make_dirs(card);
    write_file(home + "/.tavolin", "from=" + card + "\r\nalbum=" + root +
                                       "\r\nshrink_size=160,160\r\nhwaccel=\r\nffmpeg=\r\n"
                                       "plimzev3=viewer-stub\r\n");
    make_dirs(root + "/txt");
    write_file(root + "/txt/head.txt", "Root\r\nRoot\r\n");
    make_dirs(root + "/_SaleBook/txt");
    write_file(root + "/_SaleBook/txt/head.txt", "Sale\r\nSale\r\n");
  }

  // The hub that is not in the middle of making an album.
  static bool fresh_hub_shown() {
    return find_window<EditBookDialog>() != nullptr && find_window<MakeAlbumDialog>() == nullptr &&
           find_window<ProgWin>() == nullptr;
  }

  guitest::scratch_dir scratch;
  std::string home, root, card;
  guitest::env_guard home_env;
  guitest::env_guard ostype{"OSTYPE", nullptr};
  guitest::settings_guard settings;
  guitest::program_dir program;
};

TEST_F(EditLoop, NewAlbumIsListedInTheMainWindowAfterTheHubCloses) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 320, 240, 1));
  MenuWindow window(program.argc(), program.argv());
  window.show();
  ASSERT_EQ(window.items().size(), 1u);
  int hubs = 0;
  script_t script;
  script.add(fresh_hub_shown, [&]() {
    ++hubs;
    find_window<EditBookDialog>()->response(EDITBOOK_NEW_ALBUM);
  });
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    d.m_update_button.clicked();
    d.m_to_entry.set_text("trip");
    d.m_comments.title_entry.set_text("Trip");
    click(d, Gtk::RESPONSE_OK);
  });
  script.add(fresh_hub_shown, [&]() {
    ++hubs;
    EditBookDialog& hub = *find_window<EditBookDialog>();
    EXPECT_EQ(hub.items().size(), 2u);
    collectiontest::screenshot("hub_after_new_album.png");
    click(hub, Gtk::RESPONSE_CANCEL);
  });
  window.on_btn_clicked_edit();
  EXPECT_TRUE(script.done());
  EXPECT_EQ(hubs, 2);
  std::vector<std::string> names;
  for (auto& item : window.items()) names.push_back(item.name);
  EXPECT_EQ(names, (std::vector<std::string>{"trip", "_SaleBook"}));
  EXPECT_TRUE(exists(root + "/trip/size0/a.jpg"));
}

// Under the default settings, on a machine without the hardware they
// name, a card's movie cannot be converted: the album is made of all the
// rest and listed, and the box names the movie and why.
TEST_F(EditLoop, MovieThatCannotBeConvertedIsNamedAndTheAlbumIsListed) {
  REQUIRE_PROGRAM("ffmpeg");
  if (access("/dev/nvidiactl", F_OK) == 0) GTEST_SKIP() << "the default settings' hardware is here";
  write_file(home + "/.tavolin", "from=" + card + "\r\nalbum=" + root +
                                     "\r\nshrink_size=160,160\r\nplimzev3=viewer-stub\r\n");
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 320, 240, 1));
  ASSERT_TRUE(phototest::write_photo(card + "/b.jpg", 320, 240, 2));
  ASSERT_TRUE(
      phototest::run("ffmpeg -loglevel error -y -f lavfi -i "
                     "testsrc=duration=1:size=160x120:rate=5 -c:v mjpeg '" +
                     card + "/clip.avi'"));
  MenuWindow window(program.argc(), program.argv());
  window.show();
  std::vector<std::string> texts, rows;
  script_t script;
  script.add(fresh_hub_shown,
             []() { find_window<EditBookDialog>()->response(EDITBOOK_NEW_ALBUM); });
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    d.m_update_button.clicked();
    d.m_to_entry.set_text("trip");
    d.m_comments.title_entry.set_text("Trip");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  script.add(fresh_hub_shown, [&rows]() {
    EditBookDialog& hub = *find_window<EditBookDialog>();
    for (auto& item : hub.items()) rows.push_back(item.name);
    click(hub, Gtk::RESPONSE_CANCEL);
  });
  window.on_btn_clicked_edit();
  EXPECT_TRUE(script.done());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind(plimlib::getmsg(MSG_ERROR_ALBUM_FAILED), 0), 0u) << texts[0];
  EXPECT_NE(texts[0].find("\nclip.avi: the movie was not converted: "), std::string::npos)
      << texts[0];
  EXPECT_NE(texts[0].find("\"Hardware acceleration\" (-hwaccel cuda)"), std::string::npos);
  for (const char* page : {"/trip/index.html", "/trip/list.html"}) {
    const std::string html = guitest::read_file(root + page);
    for (const char* link : {"/a.jpg\"", "/b.jpg\"", "\"original/clip.avi\""})
      EXPECT_NE(html.find(link), std::string::npos) << page << " " << link;
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"trip", "_SaleBook"}));
  EXPECT_NE(guitest::read_file(root + "/index.html").find("trip/index.html"), std::string::npos);
}

// The root without a title yet: OK shows the missing-title box and the
// hub opens again, until a title is saved.
TEST_F(EditLoop, OkWithAnEmptyTitleOpensTheHubAgain) {
  unlink((root + "/txt/head.txt").c_str());
  MenuWindow window(program.argc(), program.argv());
  std::vector<std::string> texts;
  script_t script;
  script.add(fresh_hub_shown, []() {
    EditBookDialog& hub = *find_window<EditBookDialog>();
    EXPECT_EQ(hub.m_title_entry.get_text(), "");
    click(hub, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  script.add(fresh_hub_shown, []() {
    EditBookDialog& hub = *find_window<EditBookDialog>();
    hub.m_title_entry.set_text("Root");
    click(hub, Gtk::RESPONSE_OK);
  });
  window.on_btn_clicked_edit();
  EXPECT_TRUE(script.done());
  EXPECT_EQ(texts, std::vector<std::string>{plimlib::getmsg(26)});
  EXPECT_EQ(guitest::read_file(root + "/txt/head.txt"), "Root\r\nRoot\r\n");
  EXPECT_EQ(window.root_title().get_text(), "Root");
}

TEST_F(EditLoop, BookRowOpensTheOneBookDialogReadOnly) {
  MenuWindow window(program.argc(), program.argv());
  ASSERT_EQ(window.items()[0].name, "_SaleBook");
  bool seen = false;
  script_t script;
  script.on<BestBookDialog>([&seen](BestBookDialog& book) {
    seen = true;
    EXPECT_EQ(book.get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
    EXPECT_EQ(book.comments().title_entry.get_text(), "Sale");
    click(book, Gtk::RESPONSE_OK);
  });
  window.on_btn_clicked_itembutton(0);
  EXPECT_TRUE(seen);
}

}  // namespace

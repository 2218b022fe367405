// The edit hub driven in-process: the new-album road end to end, its
// checks, renaming, removal and the batch refresh.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/makealbum.h"
#include "album/engine/tests/photo_gen.h"
#include "album/gui/bestbook.h"
#include "album/gui/editalbum.h"
#include "album/gui/editbook.h"
#include "album/gui/goodalbum.h"
#include "album/gui/makealbum.h"
#include "album/gui/progwin.h"
#include "album/gui/tests/collection_gui_test.h"

namespace {

using namespace tavolin;
using collectiontest::click;
using collectiontest::CollectionTest;
using collectiontest::script_t;
using guitest::exists;
using guitest::find_window;
using guitest::read_file;

class Hub : public CollectionTest {
 protected:
  // An album "name" below parent_dir with one photo and its pages.
  void make_album(const std::string& parent_dir, const std::string& name) {
    ASSERT_TRUE(phototest::write_photo(card + "/seed.jpg", 320, 240, 5));
    std::ostringstream log;
    const path_t album("", parent_dir, name);
    ASSERT_TRUE(make_album_dir(album, "Album " + name, "head of " + name, "", false, log));
    sigc::signal<void, double> s[4];
    ASSERT_TRUE(
        makealbumwithrotate(card, {files_t("seed.jpg", 0)}, album, s[0], s[1], s[2], s[3], log))
        << log.str();
    unlink((card + "/seed.jpg").c_str());
  }
  void make_collection(const std::string& parent_dir, const std::string& name,
                       const std::string& title) {
    std::ostringstream log;
    ASSERT_TRUE(make_album_dir(path_t("", parent_dir, name), title, "", "", false, log));
  }
  // The make-album dialog's rows once scanned.
  static void scan(MakeAlbumDialog& d) { d.m_update_button.clicked(); }

  int run_hub(EditBookDialog& hub, script_t& script) {
    const int response = hub.run();
    guitest::pump();
    EXPECT_TRUE(script.done());
    return response;
  }
};

// Three photos, one left out and one turned a quarter: two originals, the
// size levels (the turned one upright), the pages, and the album's row on
// the collection's page and in the hub.
TEST_F(Hub, NewAlbumIsMadeFromTheChosenFilesWithTheirTurns) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 400, 300, 1));
  ASSERT_TRUE(phototest::write_photo(card + "/b.jpg", 400, 300, 2));
  ASSERT_TRUE(phototest::write_photo(card + "/c.jpg", 400, 300, 3));
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  EXPECT_TRUE(hub.items().empty());

  script_t script;
  script.on<EditBookDialog>([](EditBookDialog& h) { h.response(EDITBOOK_NEW_ALBUM); });
  script.on<MakeAlbumDialog>([this](MakeAlbumDialog& d) {
    scan(d);
    ASSERT_EQ(d.items().size(), 3u);
    for (auto& row : d.items()) EXPECT_TRUE(row.select_button.get_active());
    d.items()[1].select_button.clicked();  // b.jpg left out
    EXPECT_FALSE(d.items()[1].rotate_check.get_sensitive());
    EXPECT_TRUE(guitest::shows_text(d.items()[2].rotate_check, msg(59)));
    d.items()[2].rotate_check.clicked();
    EXPECT_TRUE(d.items()[2].angle_spin.get_sensitive());
    d.items()[2].angle_spin.set_value(90);
    d.m_to_entry.set_text("trip");
    d.m_comments.title_entry.set_text("Trip");
    d.m_comments.head_view.get_buffer()->set_text("first line\nsecond line");
    collectiontest::screenshot("make-album.png");
    // OK while the caret is still in the source entry keeps the choice.
    d.m_from_entry.grab_focus();
    guitest::pump();
    click(d, Gtk::RESPONSE_OK);
  });
  EXPECT_EQ(run_hub(hub, script), EDITBOOK_NEW_ALBUM);

  const std::string album = root + "/trip";
  EXPECT_TRUE(exists(album + "/original/a.jpg"));
  EXPECT_FALSE(exists(album + "/original/b.jpg"));
  EXPECT_TRUE(exists(album + "/original/c.jpg"));
  const auto a = phototest::decode(album + "/size0/a.jpg");
  const auto c = phototest::decode(album + "/size0/c.jpg");
  EXPECT_EQ(a.image.width, 400u);
  EXPECT_EQ(c.image.width, 300u);  // turned upright
  EXPECT_EQ(c.image.height, 400u);
  EXPECT_TRUE(exists(album + "/size1/c.jpg"));
  EXPECT_TRUE(exists(album + "/thumb/c.jpg"));
  EXPECT_TRUE(exists(album + "/index.html"));
  EXPECT_TRUE(exists(album + "/list.html"));
  EXPECT_EQ(read_file(album + "/txt/head.txt"), "Trip\r\nTrip\r\nfirst line\r\nsecond line\r\n");
  EXPECT_FALSE(exists(album + "/txt/secret.txt"));
  EXPECT_NE(read_file(root + "/index.html").find("trip/index.html"), std::string::npos);
  ASSERT_EQ(hub.items().size(), 1u);
  EXPECT_EQ(hub.items()[0].name, "trip");
  EXPECT_EQ(hub.items()[0].title_label.get_text(), "Trip");
  EXPECT_EQ(hub.items()[0].comment_label.get_text(), "first line\nsecond line");
  EXPECT_TRUE(guitest::shows_text(hub.items()[0].list_button, msg(38)));
  EXPECT_TRUE(guitest::shows_text(hub.items()[0].remove_button, msg(44)));
}

// Each check of the road shows its own message and returns to the dialog;
// the existing-album question's NO does too; nothing is made meanwhile.
TEST_F(Hub, EveryCheckOfTheNewAlbumRoadShowsItsOwnMessage) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  make_collection(root, "old", "Old");
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  std::vector<std::string> texts;
  script_t script;
  script.on<EditBookDialog>([](EditBookDialog& h) { h.response(EDITBOOK_NEW_ALBUM); });
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    scan(d);
    d.m_invert_button.clicked();  // nothing chosen
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    d.m_invert_button.clicked();
    d.m_from_entry.set_text("");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  script.on<MakeAlbumDialog>([this](MakeAlbumDialog& d) {
    d.m_from_entry.set_text(card);
    d.m_to_entry.set_text("");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    d.m_to_entry.set_text("old");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_NO, &texts);
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    d.m_to_entry.set_text("new");
    d.m_comments.title_entry.set_text("");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) { click(d, Gtk::RESPONSE_CANCEL); });
  EXPECT_EQ(run_hub(hub, script), EDITBOOK_NEW_ALBUM);

  EXPECT_EQ(texts, (std::vector<std::string>{msg(40), msg(27), msg(28), msg(41), msg(26)}));
  EXPECT_FALSE(exists(root + "/new"));
  EXPECT_FALSE(exists(root + "/old/original"));
}

// YES to the existing album adds the files but never replaces a camera
// file of the same name with other bytes, nor imports the card's own
// "head.txt" over the comments just given.
TEST_F(Hub, AddingToAnExistingAlbumKeepsItsCameraFilesAndComments) {
  make_album(root, "trip");
  const std::string kept = read_file(root + "/trip/original/seed.jpg");
  ASSERT_TRUE(phototest::write_photo(card + "/seed.jpg", 200, 150, 9));  // other bytes
  ASSERT_TRUE(phototest::write_photo(card + "/new.jpg", 200, 150, 4));
  guitest::write_file(card + "/head.txt", "Card\r\nCard\r\ncard comment\r\n");
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  std::vector<std::string> texts;
  script_t script;
  script.on<EditBookDialog>([](EditBookDialog& h) { h.response(EDITBOOK_NEW_ALBUM); });
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    scan(d);
    d.m_to_entry.set_text("trip");
    d.leave_to(nullptr);
    EXPECT_EQ(d.m_comments.title_entry.get_text(), "Album trip");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_YES, &texts);  // add to it
  script.answer_box(Gtk::RESPONSE_OK, &texts);   // seed.jpg clashes
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    for (auto& row : d.items())
      if (*row.name == "seed.jpg") row.select_button.clicked();
    d.m_comments.title_entry.set_text("Trip again");
    click(d, Gtk::RESPONSE_OK);
  });
  script.answer_box(Gtk::RESPONSE_YES, &texts);
  EXPECT_EQ(run_hub(hub, script), EDITBOOK_NEW_ALBUM);

  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1].rfind(msg(29), 0), 0u) << texts[1];
  EXPECT_NE(texts[1].find("seed.jpg"), std::string::npos);
  EXPECT_EQ(read_file(root + "/trip/original/seed.jpg"), kept);
  EXPECT_TRUE(exists(root + "/trip/original/new.jpg"));
  EXPECT_TRUE(exists(root + "/trip/size0/new.jpg"));
  EXPECT_EQ(read_file(root + "/trip/txt/head.txt"), "Trip again\r\nTrip again\r\nhead of trip\r\n");
  EXPECT_FALSE(exists(root + "/trip/original/head.txt"));
}

// The make-album dialog scans again only for a changed source text or the
// update button: the choice and the turns survive leaving the entry.
TEST_F(Hub, MakeAlbumRescansOnlyWhenTheSourceChanged) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  ASSERT_TRUE(phototest::write_photo(card + "/b.jpg", 200, 150, 2));
  MakeAlbumDialog d(parent, card, root, program_file);
  EXPECT_TRUE(d.items().empty());
  EXPECT_EQ(d.m_to_entry.get_text().size(), 8u);  // the date, YYYYMMDD
  d.leave_from(nullptr);
  ASSERT_EQ(d.items().size(), 2u);
  d.items()[0].select_button.clicked();
  d.items()[1].rotate_check.clicked();
  d.items()[1].angle_spin.set_value(270);
  d.leave_from(nullptr);
  ASSERT_EQ(d.selected_files().size(), 1u);
  EXPECT_EQ(d.selected_files()[0].name, "b.jpg");
  EXPECT_EQ(d.selected_files()[0].rotation, 3u);

  // Turning the angle off keeps the count; leaving the row resets it.
  d.items()[1].rotate_check.clicked();
  EXPECT_EQ(d.selected_files()[0].rotation, 3u);
  d.items()[1].select_button.clicked();
  EXPECT_TRUE(d.selected_files().empty());
  d.items()[1].select_button.clicked();
  ASSERT_EQ(d.selected_files().size(), 1u);
  EXPECT_EQ(d.selected_files()[0].rotation, 0u);

  d.m_update_button.clicked();
  EXPECT_EQ(d.selected_files().size(), 2u);
  guitest::make_dirs(dir / "other");
  d.m_from_entry.set_text(dir / "other");
  d.leave_from(nullptr);
  EXPECT_TRUE(d.items().empty());
}

// A name with quotes and command substitutions is only ever a name; unsafe
// names are refused and the row keeps its own.
TEST_F(Hub, RenamingRunsNoShellAndRefusesUnsafeNames) {
  make_collection(root, "trip", "Trip");
  make_collection(root, "plain", "Plain");
  make_collection(root, "2023", "Year");
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  hub.m_title_entry.set_text("Root");
  ASSERT_EQ(hub.items().size(), 3u);
  const std::string nasty = "x\"$(touch pwned)\"'`touch pwned2`'";
  for (auto& row : hub.items()) {
    if (row.name == "trip") row.name_entry.set_text(nasty);
    if (row.name == "plain") row.name_entry.set_text("../escaped");
  }
  hub.response(Gtk::RESPONSE_APPLY);
  guitest::pump();
  EXPECT_TRUE(exists(root + "/" + nasty + "/txt/head.txt"));
  EXPECT_FALSE(exists(root + "/trip"));
  EXPECT_TRUE(exists(root + "/plain"));
  EXPECT_FALSE(exists(dir / "escaped"));
  for (const std::string& where : {root, dir.path(), std::string(".")}) {
    EXPECT_FALSE(exists(where + "/pwned"));
    EXPECT_FALSE(exists(where + "/pwned2"));
  }
  EXPECT_EQ(read_file(root + "/txt/head.txt"), "Root\r\nRoot\r\n");

  // A move into a collection of the same hub rebuilds that one's page.
  for (auto& row : hub.items())
    if (row.name == "plain") row.name_entry.set_text("2023/plain");
  hub.response(Gtk::RESPONSE_APPLY);
  guitest::pump();
  EXPECT_TRUE(exists(root + "/2023/plain/txt"));
  EXPECT_NE(read_file(root + "/2023/index.html").find("plain/index.html"), std::string::npos);
  EXPECT_EQ(hub.items().size(), 2u);
}

// Removal needs OK twice; CANCEL at either step keeps the directory.
TEST_F(Hub, RemovalNeedsTwoConfirmations) {
  make_album(root, "trip");
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  ASSERT_EQ(hub.items().size(), 1u);
  for (int cancel_at : {0, 1}) {
    std::vector<std::string> titles;
    script_t script;
    for (int step = 0; step <= cancel_at; ++step) {
      script.on<Gtk::MessageDialog>([&titles, step, cancel_at](Gtk::MessageDialog& box) {
        titles.push_back(box.get_title());
        box.response(step == cancel_at ? Gtk::RESPONSE_CANCEL : Gtk::RESPONSE_OK);
      });
    }
    hub.button_remove(0);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(titles.size(), static_cast<std::size_t>(cancel_at + 1));
    EXPECT_TRUE(exists(root + "/trip/original/seed.jpg"));
  }
  std::vector<std::string> titles;
  script_t script;
  for (int step = 0; step < 2; ++step) {
    script.on<Gtk::MessageDialog>([&titles](Gtk::MessageDialog& box) {
      titles.push_back(box.get_title());
      box.response(Gtk::RESPONSE_OK);
    });
  }
  hub.button_remove(0);
  EXPECT_EQ(titles, (std::vector<std::string>{msg(44) + " (1/2)", msg(44) + " (2/2)"}));
  EXPECT_FALSE(exists(root + "/trip"));
  EXPECT_TRUE(hub.items().empty());
  EXPECT_EQ(read_file(root + "/index.html").find("trip/"), std::string::npos);
}

// The update button saves, then refreshes every album, book and nested
// collection below the hub's directory.
TEST_F(Hub, UpdateRefreshesAlbumsBooksAndNestedCollections) {
  make_album(root, "2024");
  make_collection(root, "nested", "Nested");
  make_album(root + "/nested", "2023");
  make_collection(root, "_PrintBook", "Prints");
  guitest::make_dirs(root + "/_Best");
  for (const char* gone : {"2024/index.html", "2024/thumb/seed.jpg", "nested/2023/list.html",
                           "nested/index.html", "_PrintBook/index.html"})
    unlink((root + "/" + gone).c_str());
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  hub.m_title_entry.set_text("Root");
  hub.response(EDITBOOK_UPDATE);
  guitest::pump();
  for (const char* page :
       {"2024/index.html", "2024/thumb/seed.jpg", "nested/2023/list.html", "nested/index.html",
        "_PrintBook/index.html", "_Best/index.html", "index.html"})
    EXPECT_TRUE(exists(root + "/" + page)) << page;
  EXPECT_FALSE(hub.progwin().get_visible());
}

}  // namespace

namespace {

using namespace tavolin;
using collectiontest::click;
using collectiontest::script_t;
using guitest::find_window;

// Each row's button opens the editor of its kind: an album its editor
// (APPLY opens it again after the collection page and the rows were
// rebuilt), "_Best" the best-album dialog, another book the one-book
// dialog, both editable, and a collection a nested hub.
TEST_F(Hub, RowButtonsOpenTheEditorOfTheirKind) {
  make_album(root, "trip");
  make_collection(root, "nested", "Nested");
  make_collection(root, "_PrintBook", "Prints");
  make_collection(root, "_Best", "Best");
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  ASSERT_EQ(hub.items().size(), 4u);
  std::vector<std::string> names;
  for (auto& row : hub.items()) names.push_back(row.name);
  EXPECT_EQ(names, (std::vector<std::string>{"trip", "nested", "_PrintBook", "_Best"}));

  unlink((root + "/index.html").c_str());
  int album_editors = 0;
  bool first_gone = false;  // the second editor is a fresh one
  script_t script;
  script.on<EditAlbumDialog>([&](EditAlbumDialog& d) {
    ++album_editors;
    d.signal_unrealize().connect([&first_gone]() { first_gone = true; });
    click(d, Gtk::RESPONSE_APPLY);
  });
  script.add([&]() { return first_gone && find_window<EditAlbumDialog>() != nullptr; },
             [&]() {
               ++album_editors;
               click(*find_window<EditAlbumDialog>(), Gtk::RESPONSE_CANCEL);
             });
  hub.items()[0].list_button.clicked();
  EXPECT_TRUE(script.done());
  EXPECT_EQ(album_editors, 2);
  EXPECT_TRUE(guitest::exists(root + "/index.html"));  // rebuilt after APPLY

  bool book_editable = false;
  script.on<BestBookDialog>([&](BestBookDialog& d) {
    book_editable = d.get_widget_for_response(Gtk::RESPONSE_APPLY) != nullptr;
    click(d, Gtk::RESPONSE_CANCEL);
  });
  hub.items()[2].list_button.clicked();
  EXPECT_TRUE(book_editable);

  bool best_editable = false;
  script.on<GoodAlbumDialog>([&](GoodAlbumDialog& d) {
    best_editable = d.get_widget_for_response(Gtk::RESPONSE_APPLY) != nullptr;
    click(d, Gtk::RESPONSE_CANCEL);
  });
  hub.items()[3].list_button.clicked();
  EXPECT_TRUE(best_editable);

  std::string nested_title;
  script.add(
      [&hub]() {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
          auto* d = dynamic_cast<EditBookDialog*>(w);
          if (d && d != &hub && d->get_visible()) return true;
        }
        return false;
      },
      [&hub, &nested_title]() {
        for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
          auto* d = dynamic_cast<EditBookDialog*>(w);
          if (d && d != &hub && d->get_visible()) {
            nested_title = d->m_title_entry.get_text();
            click(*d, Gtk::RESPONSE_CANCEL);
          }
        }
      });
  hub.items()[1].list_button.clicked();
  EXPECT_EQ(nested_title, "Nested");
  EXPECT_TRUE(script.done());
}

}  // namespace

// Names typed into the collection dialogs that the locale cannot carry are
// taken as their UTF-8 bytes, never refused nor read as "" (the parent
// itself, the current directory); and rows a scan never reached are never
// chosen.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "album/engine/collectionedit.h"
#include "album/engine/tests/photo_gen.h"
#include "album/gui/editbook.h"
#include "album/gui/makealbum.h"
#include "album/gui/makebook.h"
#include "album/gui/tests/collection_gui_test.h"

namespace {

using namespace tavolin;
using collectiontest::click;
using collectiontest::CollectionTest;
using collectiontest::script_t;
using guitest::exists;

const char* const cafe = "Caf\xc3\xa9";  // no byte of it above 127 converts under "C"

class NameEntries : public CollectionTest {
 protected:
  void SetUp() override {
    CollectionTest::SetUp();
    std::ostringstream log;
    ASSERT_TRUE(make_album_dir(path_t("", root, ""), "Root", "root head", "root end", true, log));
    ASSERT_TRUE(make_album_dir(path_t("", root, "trip"), "Trip", "", "", false, log));
  }
};

TEST_F(NameEntries, MakeBookTakesANameTheLocaleCannotCarryAsUtf8) {
  const path_t parent_dir("", root, "");
  MakeBookDialog dialog(parent, parent_dir);
  std::vector<std::string> texts;
  script_t script;
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  {
    guitest::c_locale_guard c;
    dialog.m_name_entry.set_text(cafe);
    dialog.button_update(nullptr);
    dialog.m_title_entry.set_text("Cafe");
    dialog.m_private_check.set_active(false);
    dialog.response(Gtk::RESPONSE_OK);
  }
  guitest::pump();
  EXPECT_TRUE(texts.empty());
  EXPECT_EQ(dialog.m_title_entry.get_text(), "Cafe");  // not the parent's title
  EXPECT_EQ(dialog.m_directory, root + "/" + cafe);
  EXPECT_TRUE(exists(root + "/" + cafe + "/txt/head.txt"));
}

// The hub's other names under LANG=C: the new album's name and head
// comment, a row's new name, each kept as UTF-8 bytes without an error
// box; a Latin-1 row left as shown (with U+FFFD) keeps its name.
TEST_F(NameEntries, HubTakesNamesTheLocaleCannotCarryAsUtf8) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  std::ostringstream log;
  const std::string latin1 = "L\xe9on";
  ASSERT_TRUE(make_album_dir(path_t("", root, latin1), "Leon", "", "", false, log));
  EditBookDialog hub(parent, path_t("", root, ""), prog.dir, program_file, decoded);
  std::vector<std::string> texts;
  {
    guitest::c_locale_guard c;
    script_t script;
    script.on<EditBookDialog>([](EditBookDialog& h) { h.response(EDITBOOK_NEW_ALBUM); });
    script.on<MakeAlbumDialog>([&](MakeAlbumDialog& d) {
      d.m_update_button.clicked();
      d.m_to_entry.set_text(cafe);
      d.m_comments.title_entry.set_text("Cafe");
      d.m_comments.head_view.get_buffer()->set_text("Last photo \xc3\xa4");
      click(d, Gtk::RESPONSE_OK);
    });
    script.answer_box(Gtk::RESPONSE_OK, &texts);
    EXPECT_EQ(hub.run(), EDITBOOK_NEW_ALBUM);
    guitest::pump();

    ASSERT_EQ(hub.items().size(), 3u);
    for (auto& row : hub.items())
      if (row.name == "trip") row.name_entry.set_text("tr\xc3\xa9p");
    hub.response(Gtk::RESPONSE_APPLY);
    guitest::pump();
  }
  EXPECT_TRUE(texts.empty());
  EXPECT_TRUE(exists(root + "/" + cafe + "/original/a.jpg"));
  EXPECT_NE(guitest::read_file(root + "/" + cafe + "/txt/head.txt").find("Last photo \xc3\xa4"),
            std::string::npos);
  EXPECT_TRUE(exists(root + "/tr\xc3\xa9p/txt/head.txt"));
  EXPECT_TRUE(exists(root + "/" + latin1 + "/txt/head.txt"));
}

// A scan that stops at a movie (its temporary directory cannot be made)
// leaves rows without a file: Invert and OK pass them over.
TEST_F(NameEntries, RowsAScanNeverReachedAreNeverChosen) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  guitest::write_file(card + "/b.mov", "a movie");
  ASSERT_TRUE(phototest::write_photo(card + "/c.jpg", 200, 150, 2));
  const std::string no_temp = "no-such-dir/tavolin";  // below "/tmp", never made
  MakeAlbumDialog dialog(parent, card, root, no_temp);
  script_t script;
  script.on<MakeAlbumDialog>([](MakeAlbumDialog& d) {
    EXPECT_FALSE(d.scan());
    EXPECT_EQ(d.items().size(), 3u);
    if (d.items().size() == 3) {
      EXPECT_EQ(d.items()[2].name, nullptr);
    }
    d.m_invert_button.clicked();
    click(d, Gtk::RESPONSE_OK);
  });
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);
  const std::vector<files_t> files = dialog.selected_files();  // what the hub reads on OK
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "a.jpg");
  EXPECT_EQ(files[1].name, "b.mov");
  EXPECT_FALSE(dialog.items()[2].select_button.get_active());
}

// Closing a dialog while a name entry has the focus: the focus leaves the
// entry while the dialog's members are torn down, and no handler may run
// on what is gone (a rescan, a reload of an album's texts).
TEST_F(NameEntries, ClosingWithTheFocusInANameEntryRunsNoHandler) {
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  auto close_focused = [](std::unique_ptr<Gtk::Dialog> dialog, Gtk::Entry& entry) {
    dialog->show();
    dialog->present();
    entry.grab_focus();
    // Tests running side by side on one display take the X focus from each
    // other: without it the window is told it has the focus, as the X
    // server would tell it, and nothing is pumped before the close.
    if (!guitest::pump_until([&] { return entry.has_focus(); }, 2000)) {
      GdkEvent* focus_in = gdk_event_new(GDK_FOCUS_CHANGE);
      focus_in->focus_change.window = GDK_WINDOW(g_object_ref(dialog->get_window()->gobj()));
      focus_in->focus_change.send_event = TRUE;
      focus_in->focus_change.in = TRUE;
      gtk_widget_send_focus_change(GTK_WIDGET(dialog->gobj()), focus_in);
      gdk_event_free(focus_in);
    }
    ASSERT_TRUE(entry.has_focus());
    dialog.reset();
    guitest::pump();
  };
  for (int entry = 0; entry < 2; ++entry) {
    auto dialog = std::make_unique<MakeAlbumDialog>(parent, card, root, "tavolin-test");
    ASSERT_TRUE(dialog->scan());
    Gtk::Entry& focused = entry == 0 ? dialog->m_from_entry : dialog->m_to_entry;
    focused.set_text(entry == 0 ? card + "/." : "trip");  // another text: a rescan, a reload
    close_focused(std::move(dialog), focused);
  }
  const path_t parent_dir("", root, "");
  auto book = std::make_unique<MakeBookDialog>(parent, parent_dir);
  Gtk::Entry& name = book->m_name_entry;
  name.set_text("trip");
  close_focused(std::move(book), name);
}

}  // namespace

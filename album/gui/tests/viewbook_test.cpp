// The read-only book browser and the one-book dialog, and the make-book
// dialog: what they show, and that the read-only ones change nothing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "album/engine/book.h"
#include "album/engine/collectionedit.h"
#include "album/engine/makealbum.h"
#include "album/engine/tests/photo_gen.h"
#include "album/engine/thumbnail.h"
#include "album/gui/bestbook.h"
#include "album/gui/makebook.h"
#include "album/gui/tests/collection_gui_test.h"
#include "album/gui/viewalbum.h"
#include "album/gui/viewbook.h"

namespace {

using namespace tavolin;
using collectiontest::click;
using collectiontest::CollectionTest;
using collectiontest::script_t;
using guitest::exists;
using guitest::read_file;

// root: txt, 2024trip (album, photo p.jpg in the print list), _PrintBook,
// notes (a collection), nocomments (no "txt").
class Books : public CollectionTest {
 protected:
  void SetUp() override {
    CollectionTest::SetUp();
    ASSERT_TRUE(phototest::write_photo(card + "/p.jpg", 320, 240, 2));
    std::ostringstream log;
    const path_t album("", root, "2024trip");
    ASSERT_TRUE(make_album_dir(path_t("", root, ""), "Root", "", "", false, log));
    ASSERT_TRUE(make_album_dir(album, "Trip", "one\ntwo\nthree", "", false, log));
    sigc::signal<void, double> s[4];
    ASSERT_TRUE(
        makealbumwithrotate(card, {files_t("p.jpg", 0)}, album, s[0], s[1], s[2], s[3], log))
        << log.str();
    guitest::write_file(root + "/2024trip/txt/print.txt", "p.jpg\r\n");
    guitest::write_file(root + "/2024trip/txt/p.txt", "a comment\r\n");
    ASSERT_TRUE(make_album_dir(path_t("", root, "_PrintBook"), "Prints", "", "", false, log));
    ASSERT_TRUE(makebestbookhtml(path_t("", root, "_PrintBook"), E_BESTNAME_PRINT, s[0], s[1]));
    ASSERT_TRUE(make_album_dir(path_t("", root, "notes"), "Notes", "", "", false, log));
    guitest::make_dirs(root + "/nocomments/original");
  }
};

TEST_F(Books, BrowserListsRowsAndOpensThemWithoutWritingAnything) {
  const auto before = collectiontest::snapshot(root);
  {
    ViewBookDialog browser(parent, path_t("", root, ""), prog.dir, decoded);
    EXPECT_EQ(browser.title_label().get_text(), "Root");
    ASSERT_EQ(browser.items().size(), 3u);
    EXPECT_EQ(browser.items()[0].name, "notes");
    EXPECT_EQ(browser.items()[1].name, "_PrintBook");
    EXPECT_EQ(browser.items()[2].name, "2024trip");
    EXPECT_FALSE(browser.items()[0].listed);
    EXPECT_EQ(guitest::button_text(browser.items()[0].open_button), msg(2));
    EXPECT_TRUE(browser.items()[2].listed);
    EXPECT_EQ(guitest::button_text(browser.items()[2].view_button), msg(42));
    EXPECT_EQ(browser.items()[2].count_label.get_text(), "+1");
    EXPECT_EQ(browser.items()[2].comment_label.get_text(), "one\ntwo");
    guitest::cells_t cells;  // each row once in its table row; no viewer for notes
    for (guint i = 0; i < 3; ++i) {
      auto& row = browser.items()[i];
      cells.insert({{&row.name_label, 0, i},
                    {&row.open_button, 2, i},
                    {&row.count_label, 4, i},
                    {&row.title_label, 5, i},
                    {&row.comment_label, 6, i}});
      if (i > 0) cells.insert({&row.view_button, 3, i});
    }
    auto& names = browser.items()[0].name_label;
    EXPECT_EQ(guitest::table_cells(*dynamic_cast<Gtk::Table*>(names.get_parent())), cells);

    // The book row opens the one-book dialog read-only, the collection row
    // a nested browser; each only has OK.
    script_t script;
    script.on<BestBookDialog>([](BestBookDialog& book) {
      EXPECT_EQ(book.get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
      EXPECT_FALSE(book.private_row().check.get_sensitive());
      EXPECT_FALSE(book.comments().title_entry.get_editable());
      ASSERT_EQ(book.items().size(), 1u);
      EXPECT_EQ(book.items()[0].caption, "../2024trip/p.jpg");
      EXPECT_EQ(book.items()[0].comment, "a comment\r\n");
      EXPECT_TRUE(book.items()[0].books.toggle[4].get_active());
      EXPECT_FALSE(book.items()[0].books.toggle[0].get_active());
      EXPECT_FALSE(book.items()[0].books.toggle[4].get_sensitive());
      book.comments().title_entry.set_text("changed");
      click(book, Gtk::RESPONSE_OK);
    });
    browser.items()[1].open_button.clicked();
    EXPECT_TRUE(script.done());
    script_t nested;
    std::string nested_title;
    const auto inner = [&browser]() -> ViewBookDialog* {
      for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
        auto* d = dynamic_cast<ViewBookDialog*>(w);
        if (d && d != &browser && d->get_visible()) return d;
      }
      return nullptr;
    };
    nested.add([&]() { return inner() != nullptr; },
               [&]() {
                 nested_title = inner()->title_label().get_text();
                 click(*inner(), Gtk::RESPONSE_OK);
               });
    browser.items()[0].open_button.clicked();
    EXPECT_EQ(nested_title, "Notes");
    bool album_seen = false;
    nested.on<ViewAlbumDialog>([&album_seen](ViewAlbumDialog& album) {
      album_seen = true;
      click(album, Gtk::RESPONSE_OK);
    });
    browser.items()[2].open_button.clicked();
    EXPECT_TRUE(album_seen);

    // The viewer on the book: no size directory there, so the list file.
    g_global.view_size = 3;
    browser.items()[1].view_button.clicked();
    ASSERT_TRUE(guitest::pump_until([&]() { return exists(prog.args_file()); }));
    EXPECT_EQ(guitest::lines(read_file(prog.args_file())),
              (std::vector<std::string>{"-Ssize3", "-C" + root, "-F_PrintBook/txt/list.txt"}));
  }
  EXPECT_EQ(collectiontest::snapshot(root), before);
}

// A book's rows run album by album (names descending), each album's files
// in name order, each once in its own cells and showing its own picture.
TEST_F(Books, BookRowsRunByAlbumThenNameOnceEachWithTheirPictures) {
  ASSERT_TRUE(phototest::write_photo(card + "/q.jpg", 320, 240, 3));
  ASSERT_TRUE(phototest::write_photo(card + "/r.jpg", 240, 320, 4));
  std::ostringstream log;
  const path_t older("", root, "2023old");
  sigc::signal<void, double> s[4];
  ASSERT_TRUE(make_album_dir(older, "Old", "", "", false, log) &&
              makealbumwithrotate(card, {files_t("q.jpg", 0), files_t("r.jpg", 0)}, older, s[0],
                                  s[1], s[2], s[3], log));
  guitest::write_file(root + "/2023old/txt/print.txt", "r.jpg\r\nq.jpg\r\n");
  g_global.horizontal_items = 2;
  BestBookDialog book(parent, path_t("", root, "_PrintBook"), prog.dir, decoded, E_BESTNAME_PRINT,
                      false);
  auto& rows = book.items();
  ASSERT_EQ(rows.size(), 3u);
  const path_t at[] = {path_t("", root, "2024trip"), older, older};
  const std::string names[] = {"p.jpg", "q.jpg", "r.jpg"};
  guitest::cells_t cells;
  for (unsigned i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[i].caption, "../" + at[i].album + "/" + names[i]);
    guitest::add_cells(cells, i % 2, 5 * (i / 2),
                       {&rows[i].button, &rows[i].caption_label, &rows[i].comment_view,
                        &rows[i].books.box, &rows[i].info_label});
  }
  EXPECT_EQ(guitest::table_cells(*dynamic_cast<Gtk::Table*>(rows[0].button.get_parent())), cells);
  book.show();
  guitest::pump();
  for (unsigned i = 0; i < 3; ++i) {
    libgr::image2d_t p;
    ASSERT_TRUE(load_scaled_thumbnail(p, at[i], names[i], 1));
    EXPECT_TRUE(guitest::shows(book, rows[i].button, p)) << names[i];
  }
}

TEST_F(Books, EditableBookSavesItsTextsAndRebuildsItsPages) {
  const path_t book("", root, "_PrintBook");
  unlink((root + "/_PrintBook/index.html").c_str());
  BestBookDialog dialog(parent, book, prog.dir, decoded, E_BESTNAME_PRINT, true);
  EXPECT_EQ(dialog.comments().title_entry.get_text(), "Prints");
  dialog.comments().title_entry.set_text("Prints 2");
  dialog.private_row().check.set_active(true);
  dialog.response(Gtk::RESPONSE_APPLY);
  guitest::pump();
  EXPECT_EQ(read_file(root + "/_PrintBook/txt/head.txt"), "Prints 2\r\nPrints 2\r\n");
  EXPECT_TRUE(exists(root + "/_PrintBook/txt/secret.txt"));
  EXPECT_NE(read_file(root + "/_PrintBook/index.html").find("p.jpg"), std::string::npos);

  // An empty title is refused with its message; the marker and the pages
  // still follow.
  std::vector<std::string> texts;
  script_t script;
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  dialog.comments().title_entry.set_text("");
  dialog.private_row().check.set_active(false);
  dialog.response(Gtk::RESPONSE_OK);
  EXPECT_EQ(texts, std::vector<std::string>{msg(26)});
  EXPECT_EQ(read_file(root + "/_PrintBook/txt/head.txt"), "Prints 2\r\nPrints 2\r\n");
  EXPECT_FALSE(exists(root + "/_PrintBook/txt/secret.txt"));

  // A comment the locale cannot carry is saved as its UTF-8 bytes, without
  // an error box.
  texts.clear();
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  {
    guitest::c_locale_guard c;
    dialog.comments().title_entry.set_text("Prints 3");
    dialog.comments().head_view.get_buffer()->set_text("Caf\xc3\xa9");
    dialog.response(Gtk::RESPONSE_APPLY);
  }
  guitest::pump();
  EXPECT_TRUE(texts.empty());
  EXPECT_EQ(read_file(root + "/_PrintBook/txt/head.txt"),
            "Prints 3\r\nPrints 3\r\nCaf\xc3\xa9\r\n");
}

TEST_F(Books, MakeBookCreatesTheCollectionAndBothPages) {
  const path_t parent_dir("", root, "");  // the dialog keeps a reference
  MakeBookDialog dialog(parent, parent_dir);
  dialog.m_name_entry.set_text("notes");
  dialog.button_update(nullptr);
  EXPECT_EQ(dialog.m_title_entry.get_text(), "Notes");
  dialog.m_name_entry.set_text("2025");
  dialog.button_update(nullptr);
  dialog.m_title_entry.set_text("Year 2025");
  dialog.m_private_check.set_active(true);
  dialog.response(Gtk::RESPONSE_OK);
  EXPECT_EQ(dialog.m_title, "Year 2025");
  EXPECT_EQ(read_file(root + "/2025/txt/head.txt"), "Year 2025\r\nYear 2025\r\n");
  EXPECT_TRUE(exists(root + "/2025/txt/secret.txt"));
  EXPECT_TRUE(exists(root + "/2025/index.html"));
  // Private directories stay off the parent's page.
  EXPECT_EQ(read_file(root + "/index.html").find("2025/"), std::string::npos);

  // Below a missing directory nothing is made; the error box says so, and
  // which file could not be written and why.
  std::vector<std::string> texts;
  script_t script;
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  dialog.m_name_entry.set_text("none/deeper");
  dialog.response(Gtk::RESPONSE_APPLY);
  EXPECT_EQ(texts, std::vector<std::string>{msg(30) + "\n" + root +
                                            "/none/deeper/txt/head.txt: file open fail, No such "
                                            "file or directory\n"});
  EXPECT_FALSE(exists(root + "/none"));
}

}  // namespace

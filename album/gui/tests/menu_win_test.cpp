// The main window over a prepared album root: rows, texts, buttons, the
// viewer command of a row and the option dialog's effect on the list.
#include <gtkmm/table.h>

#include "album/engine/util.h"
#include "album/gui/globaloption.h"
#include "album/gui/menu_win.h"
#include "album/gui/screenfit.h"
#include "album/gui/tests/gui_test.h"

namespace {

using guitest::make_dirs;
using guitest::write_file;

class MainWindow : public ::testing::Test {
 protected:
  MainWindow()
      : home(scratch / "home"),
        root(scratch / "root"),
        home_env("HOME", home.c_str()),
        program(scratch / "bin") {
    make_dirs(home);
    write_file(home + "/.tavolin", "album=" + root + "\r\nplimzev3=viewer-stub\r\n");
    // The root's own comments.
    comment(root, "My albums", "first root line\r\nsecond root line\r\n", "the end\r\n");
    // An album: "original", a count and a three-line head comment.
    comment(root + "/2024", "Summer", "sea\r\nsand\r\nsun\r\n", "");
    make_dirs(root + "/2024/original");
    make_dirs(root + "/2024/size1");
    write_file(root + "/2024/txt/count.txt", "2+14 \n");
    // A collection: "txt" only.
    comment(root + "/2023", "Last year", "", "");
    // The best album and a book: no "original", no size directory.
    comment(root + "/_Best", "Best of", "", "");
    write_file(root + "/_Best/txt/count.txt", "0+3\n");
    comment(root + "/_SaleBook", "For sale", "one line only\r\n", "");
    // Left out: "txt" itself and a directory without "txt".
    make_dirs(root + "/loose");
  }

  static void comment(const std::string& dir, const std::string& title, const std::string& head,
                      const std::string& last) {
    make_dirs(dir + "/txt");
    write_file(dir + "/txt/head.txt", title + "\r\n" + title + "\r\n" + head);
    write_file(dir + "/txt/last.txt", last);
  }

  static bool attached(Gtk::Widget& w) { return w.get_parent() != nullptr; }

  guitest::scratch_dir scratch;
  std::string home, root;
  guitest::env_guard home_env;
  guitest::settings_guard settings;
  guitest::program_dir program;
};

TEST_F(MainWindow, ListsRowsDescendingWithTheirButtonsAndTexts) {
  tavolin::MenuWindow window(program.argc(), program.argv());
  auto& items = window.items();
  std::vector<std::string> names;
  for (auto& item : items) names.push_back(item.name);
  EXPECT_EQ(names, (std::vector<std::string>{"_SaleBook", "_Best", "2024", "2023"}));
  ASSERT_EQ(items.size(), 4u);

  EXPECT_EQ(window.root_title().get_text(), "My albums");
  EXPECT_EQ(window.head_view().get_buffer()->get_text(), "first root line\r\nsecond root line\r\n");
  EXPECT_EQ(window.last_view().get_buffer()->get_text(), "the end\r\n");

  // Books and albums: open and view buttons, count; a collection: one
  // button with the collection label, no view button, no count.
  for (unsigned i : {0u, 1u, 2u}) {
    EXPECT_TRUE(guitest::shows_text(items[i].open_button, "Open")) << i;
    EXPECT_TRUE(guitest::shows_text(items[i].view_button, "View")) << i;
    EXPECT_TRUE(attached(items[i].view_button)) << i;
  }
  EXPECT_TRUE(guitest::shows_text(items[3].open_button, "Open"));
  EXPECT_FALSE(attached(items[3].view_button));
  EXPECT_EQ(guitest::button_text(items[3].view_button), "");
  EXPECT_TRUE(items[2].album);
  EXPECT_FALSE(items[3].album);
  EXPECT_FALSE(items[1].album);

  EXPECT_EQ(items[2].count_label.get_text(), "2+14");
  EXPECT_EQ(items[1].count_label.get_text(), "0+3");
  EXPECT_EQ(items[0].count_label.get_text(), "");
  EXPECT_EQ(items[3].count_label.get_text(), "");
  EXPECT_EQ(items[2].title_label.get_text(), "Summer");
  EXPECT_EQ(items[2].comment_label.get_text(), "sea\nsand");
  EXPECT_EQ(items[0].comment_label.get_text(), "one line only");
  EXPECT_EQ(items[3].comment_label.get_text(), "");
  EXPECT_EQ(items[2].dir, root + "/2024");
  EXPECT_EQ(items[2].name_label.get_text(), "2024");
  EXPECT_EQ(window.get_title(), "tavolin - photo albums");

  // The foot reads browser, options, edit, close; move and delete stay out.
  EXPECT_EQ(window.browser_button().get_label(), "Browser");
  EXPECT_EQ(window.close_button().get_label(), "Close");
  Gtk::Container* foot = window.close_button().get_parent();
  ASSERT_NE(foot, nullptr);
  std::vector<std::string> labels;
  for (Gtk::Widget* w : foot->get_children())
    labels.push_back(static_cast<Gtk::Button*>(w)->get_label());
  EXPECT_EQ(labels, (std::vector<std::string>{"Browser", "Options", "Edit", "Close"}));
}

TEST_F(MainWindow, ViewButtonStartsTheViewerOnTheSizeDirectoryOrTheBookList) {
  tavolin::MenuWindow window(program.argc(), program.argv());
  auto& items = window.items();
  ASSERT_EQ(items.size(), 4u);

  items[2].view_button.clicked();  // album 2024 with size1
  ASSERT_TRUE(guitest::pump_until([&] { return guitest::exists(program.args_file()); }));
  EXPECT_EQ(guitest::lines(guitest::read_file(program.args_file())),
            (std::vector<std::string>{root + "/2024/size1"}));
  std::remove(program.args_file().c_str());

  items[0].view_button.clicked();  // book _SaleBook, no size directory
  ASSERT_TRUE(guitest::pump_until([&] { return guitest::exists(program.args_file()); }));
  EXPECT_EQ(guitest::lines(guitest::read_file(program.args_file())),
            (std::vector<std::string>{"-Ssize1", "-C" + root, "-F_SaleBook/txt/list.txt"}));
  std::remove(program.args_file().c_str());

  // view_size 0 asks for "size0".
  tavolin::g_global.view_size = 0;
  items[1].view_button.clicked();
  ASSERT_TRUE(guitest::pump_until([&] { return guitest::exists(program.args_file()); }));
  EXPECT_EQ(guitest::lines(guitest::read_file(program.args_file())),
            (std::vector<std::string>{"-Ssize0", "-C" + root, "-F_Best/txt/list.txt"}));
}

TEST_F(MainWindow, OptionDialogOkWithANewRootRebuildsTheList) {
  tavolin::MenuWindow window(program.argc(), program.argv());
  ASSERT_EQ(window.items().size(), 4u);
  const std::string other = scratch / "other";
  comment(other + "/1999", "Old", "", "");
  guitest::when_shown<tavolin::GlobalOptionDialog>([other](tavolin::GlobalOptionDialog& d) {
    d.album_entry().set_text(other);
    d.get_widget_for_response(Gtk::RESPONSE_OK)->activate();
  });
  window.options_button().clicked();
  ASSERT_EQ(window.items().size(), 1u);
  EXPECT_EQ(window.items()[0].name, "1999");
  EXPECT_EQ(window.root_title().get_text(), "");
  EXPECT_NE(guitest::read_file(home + "/.tavolin").find("album=" + other + "\r\n"),
            std::string::npos);
}

TEST_F(MainWindow, ListShowsEveryRowUpTo640PixelsAndTheWindowFitsTheWorkArea) {
  tavolin::MenuWindow window(program.argc(), program.argv());
  window.show();
  guitest::pump();
  Gtk::Widget& table = *static_cast<Gtk::Bin*>(window.scrolled().get_child())->get_child();
  // Four rows: all of them show.
  EXPECT_EQ(window.scrolled().get_allocated_height(), table.get_allocated_height());
  // Sixty rows after a rebuild: the list scrolls at 640 pixels, and the
  // window grew but stays within the work area.
  for (int i = 10; i < 70; ++i) comment(root + "/19" + std::to_string(i), "Year", "", "");
  window.make_items();
  guitest::pump();
  const Gdk::Rectangle area = tavolin::work_area(window);
  EXPECT_EQ(window.scrolled().get_allocated_height(), 640);
  EXPECT_LE(window.get_allocated_height(), area.get_height());
  EXPECT_GT(table.get_allocated_height(), 640);
}

TEST_F(MainWindow, BrowserButtonOpensTheRootPageThroughTheSearchPath) {
  // A stand-in browser.sh first on PATH records its arguments.
  const std::string bin = scratch / "pathbin";
  make_dirs(bin);
  write_file(bin + "/browser.sh",
             "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done > \"" + bin + "/args\"\n");
  ::chmod((bin + "/browser.sh").c_str(), 0755);
  const std::string path = bin + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
  guitest::env_guard path_env("PATH", path.c_str());
  tavolin::MenuWindow window(program.argc(), program.argv());
  window.browser_button().clicked();  // waits for the command
  EXPECT_EQ(guitest::lines(guitest::read_file(bin + "/args")),
            (std::vector<std::string>{"-noraise", "--new-tab", root + "/index.html"}));
}

TEST_F(MainWindow, ZeroItemsPerLineInTheFileReadsAsOne) {
  write_file(home + "/.tavolin", "album=" + root + "\r\nhorizontal_items=0\r\n");
  guitest::when_shown<tavolin::GlobalOptionDialog>([](tavolin::GlobalOptionDialog& d) {
    d.get_widget_for_response(Gtk::RESPONSE_OK)->activate();
  });
  tavolin::MenuWindow window(program.argc(), program.argv());
  EXPECT_EQ(tavolin::g_global.horizontal_items, 1u);
  window.options_button().clicked();
  EXPECT_NE(guitest::read_file(home + "/.tavolin").find("horizontal_items=1\r\n"),
            std::string::npos);
}

}  // namespace

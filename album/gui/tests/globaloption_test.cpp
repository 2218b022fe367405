// The option dialog over g_global: ranges, OK and CANCEL, the header
// check, texts the locale cannot carry.
#include <gtkmm/messagedialog.h>

#include "album/gui/globaloption.h"
#include "album/gui/tests/gui_test.h"
#include "album/gui/text.h"
#include "utility/message.h"

namespace {

class OptionDialog : public ::testing::Test {
 protected:
  OptionDialog() : home(scratch / "home"), home_env("HOME", home.c_str()) {
    guitest::make_dirs(home);
    plimlib::init_message(TEST_BIN_DIR "/", "tavolin");
    tavolin::g_global = tavolin::global_t();
    tavolin::g_global.album = scratch / "root";
  }
  std::string ini() { return guitest::read_file(home + "/.tavolin"); }
  bool has_line(const std::string& line) { return ini().find(line + "\r\n") != std::string::npos; }

  // Runs a dialog; step acts on it once shown.
  int run(const std::function<void(tavolin::GlobalOptionDialog&)>& step) {
    tavolin::GlobalOptionDialog dialog(parent, "/prog/", "tavolin");
    guitest::when_shown<tavolin::GlobalOptionDialog>(step);
    return dialog.run();
  }
  static void click(tavolin::GlobalOptionDialog& d, int response) {
    static_cast<Gtk::Button*>(d.get_widget_for_response(response))->clicked();
  }

  guitest::scratch_dir scratch;
  std::string home;
  guitest::env_guard home_env;
  guitest::settings_guard settings;
  Gtk::Window parent;
};

TEST_F(OptionDialog, OkClampsNumbersIntoTheirRangesAndSaves) {
  tavolin::g_global.jpeg_compress = 150;
  tavolin::g_global.horizontal_items = 0;
  tavolin::g_global.play_size_x = 0;
  tavolin::g_global.shrink_size = {40000, 2048};
  EXPECT_EQ(run([](auto& d) { click(d, Gtk::RESPONSE_OK); }), Gtk::RESPONSE_OK);
  EXPECT_EQ(tavolin::g_global.jpeg_compress, 100u);
  EXPECT_EQ(tavolin::g_global.horizontal_items, 1u);
  EXPECT_EQ(tavolin::g_global.play_size_x, 1u);
  EXPECT_EQ(tavolin::g_global.shrink_size.x, 32768u);
  EXPECT_TRUE(has_line("jpeg_compress=100"));
  EXPECT_TRUE(has_line("horizontal_items=1"));
  EXPECT_TRUE(has_line("play_size_x=1"));
  EXPECT_TRUE(has_line("shrink_size=32768,2048"));
  EXPECT_TRUE(guitest::exists(scratch / "root"));
}

TEST_F(OptionDialog, CancelAfterEditingChangesNothing) {
  const tavolin::global_t before = tavolin::g_global;
  EXPECT_EQ(run([](tavolin::GlobalOptionDialog& d) {
              d.from_entry().set_text("/elsewhere");
              d.album_entry().set_text("/elsewhere/root");
              click(d, Gtk::RESPONSE_CANCEL);
            }),
            Gtk::RESPONSE_CANCEL);
  EXPECT_EQ(tavolin::g_global.from, before.from);
  EXPECT_EQ(tavolin::g_global.album, before.album);
  EXPECT_FALSE(guitest::exists(home + "/.tavolin"));
  EXPECT_FALSE(guitest::exists(scratch / "root"));
}

TEST_F(OptionDialog, HeaderCheckOffKeepsTextButLeavesItOutOfTheFile) {
  tavolin::g_global.html_header_check = true;
  tavolin::g_global.html_header = "<meta name=x>";
  run([](tavolin::GlobalOptionDialog& d) {
    // The check button is the first CheckButton of row 5: find it by label.
    std::vector<Gtk::Widget*> todo = {d.get_content_area()};
    Gtk::CheckButton* check = nullptr;
    Gtk::Entry* entry = nullptr;
    while (!todo.empty()) {
      Gtk::Widget* w = todo.back();
      todo.pop_back();
      if (auto* c = dynamic_cast<Gtk::CheckButton*>(w);
          c && c->get_label() == "Use the HTML header")
        check = c;
      if (auto* e = dynamic_cast<Gtk::Entry*>(w); e && e->get_text() == "<meta name=x>") entry = e;
      if (auto* box = dynamic_cast<Gtk::Container*>(w); box && !dynamic_cast<Gtk::Button*>(w))
        for (Gtk::Widget* child : box->get_children()) todo.push_back(child);
    }
    ASSERT_NE(check, nullptr);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->get_editable());
    check->clicked();
    EXPECT_FALSE(entry->get_editable());
    EXPECT_FALSE(entry->get_can_focus());
    click(d, Gtk::RESPONSE_OK);
  });
  EXPECT_FALSE(tavolin::g_global.html_header_check);
  EXPECT_EQ(tavolin::g_global.html_header, "<meta name=x>");
  EXPECT_EQ(ini().find("html_header="), std::string::npos);
  EXPECT_TRUE(has_line("html_header_check=0"));
}

TEST_F(OptionDialog, OkWithARootWhoseParentIsMissingSavesWithoutRoot) {
  const std::string deep = scratch / "no/parent/root";
  run([deep](tavolin::GlobalOptionDialog& d) {
    d.album_entry().set_text(deep);
    click(d, Gtk::RESPONSE_OK);
  });
  EXPECT_TRUE(has_line("album=" + deep));
  EXPECT_FALSE(guitest::exists(deep));
}

class CLocale : public OptionDialog {
 protected:
  guitest::c_locale_guard c_locale;
};

// What the locale cannot hold passes as UTF-8 bytes both ways, as under a
// UTF-8 locale; a text shown with U+FFFD and left as it was stays itself.
TEST_F(CLocale, TextsShowLossilyInsteadOfThrowing) {
  EXPECT_EQ(tavolin::to_utf8("abc/def"), "abc/def");
  EXPECT_EQ(tavolin::to_utf8("L\xe9on"), "L\xef\xbf\xbdon");  // Latin-1 byte replaced
  for (const char* text : {"plain", "Caf\xc3\xa9", "Last photo \xc3\xa4\nline two"}) {
    EXPECT_EQ(tavolin::to_utf8(text), text);
    EXPECT_EQ(tavolin::from_utf8(text), text);
  }
  EXPECT_EQ(tavolin::edited_text("L\xef\xbf\xbdon", "L\xe9on"), "L\xe9on");
  EXPECT_EQ(tavolin::edited_text("L\xc3\xa9on", "L\xe9on"), "L\xc3\xa9on");
  // A Latin-1 album root in the settings still opens the dialog.
  tavolin::g_global.from = "/mnt/L\xe9on";
  EXPECT_EQ(run([](auto& d) {
              EXPECT_EQ(d.from_entry().get_text(), "/mnt/L\xef\xbf\xbdon");
              click(d, Gtk::RESPONSE_CANCEL);
            }),
            Gtk::RESPONSE_CANCEL);
}

// Typed text the locale cannot carry is saved as its UTF-8 bytes, without
// an error box; a Latin-1 setting left as shown is kept.
TEST_F(CLocale, TypedTextTheLocaleCannotCarryIsSavedAsUtf8) {
  tavolin::g_global.from = "/mnt/L\xe9on";
  const std::string root = scratch / "Caf\xc3\xa9";
  bool boxed = false;
  tavolin::GlobalOptionDialog dialog(parent, "/prog/", "tavolin");
  guitest::when_shown<tavolin::GlobalOptionDialog>([&](tavolin::GlobalOptionDialog& d) {
    guitest::when_shown<Gtk::MessageDialog>([&](Gtk::MessageDialog& box) {
      boxed = true;
      box.response(Gtk::RESPONSE_OK);
    });
    d.album_entry().set_text(root);
    click(d, Gtk::RESPONSE_OK);
  });
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);
  guitest::pump();
  EXPECT_FALSE(boxed);
  EXPECT_EQ(tavolin::g_global.album, root);
  EXPECT_EQ(tavolin::g_global.from, "/mnt/L\xe9on");
  EXPECT_TRUE(has_line("album=" + root));
  EXPECT_TRUE(guitest::exists(root));
}

}  // namespace

// Every album window opened, closed and opened again over the same root:
// the second opening shows the rows and texts of the first, and one that
// saves leaves the files a single opening leaves.
#include <glibmm/main.h>

#include "album/gui/bestbook.h"
#include "album/gui/bookopen.h"
#include "album/gui/editalbum.h"
#include "album/gui/editbook.h"
#include "album/gui/goodalbum.h"
#include "album/gui/row_table.h"
#include "album/gui/tests/album_fixture.h"
#include "album/gui/viewalbum.h"
#include "album/gui/viewbook.h"

namespace {

using guitest::write_file;

// The texts and toggle states below w, and the first table there.
void describe(Gtk::Widget& w, std::string& out, Gtk::Table*& table) {
  if (auto* t = dynamic_cast<Gtk::Table*>(&w); t && !table) table = t;
  if (auto* l = dynamic_cast<Gtk::Label*>(&w)) out += " '" + l->get_text() + "'";
  if (auto* e = dynamic_cast<Gtk::Entry*>(&w)) out += " '" + e->get_text() + "'";
  if (auto* v = dynamic_cast<Gtk::TextView*>(&w)) out += " '" + v->get_buffer()->get_text() + "'";
  if (auto* t = dynamic_cast<Gtk::ToggleButton*>(&w)) out += t->get_active() ? " on" : " off";
  if (auto* c = dynamic_cast<Gtk::Container*>(&w))
    for (Gtk::Widget* child : c->get_children()) describe(*child, out, table);
}

// What the window shows, its texts and toggle states in GTK's order; ""
// while its table of rows is not on the screen.
std::string shown(Gtk::Window& window) {
  std::string out;
  Gtk::Table* table = nullptr;
  describe(window, out, table);
  return table && table->get_mapped() ? out : "";
}

// The files below dir with their contents, but for the time a page was made.
std::string contents(const std::string& dir) {
  std::string out;
  FILE* p = ::popen(("cd '" + dir + "' && for f in $(find . -type f | sort); do printf '%s ' $f;" +
                     " sed '/HTML Generated:/d' $f | md5sum; done")
                        .c_str(),
                    "r");
  char buf[4096];
  for (size_t n; p && (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  if (p) ::pclose(p);
  return out;
}

class Reopen : public guitest::album_fixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(make_album("2024"));
    for (const char* list : {"good", "best", "print"})
      write_file(album_dir("2024") + "/txt/" + list + ".txt", "b.jpg\r\n");
    for (const std::string book : {"/_Best", "/_BestBook"}) {
      guitest::make_dirs(root + book + "/txt");
      write_file(root + book + "/txt/head.txt", "Best\r\nBest\r\n");
    }
  }

  // A Dialog of args opened twice, shown, answered with response and
  // destroyed: its rows (showing want) and the files after it alike both
  // times; the files as before unless it saves.
  template <typename Dialog, typename... Args>
  void twice(const char* want, int response, bool saves, Args&... args) {
    const std::string before = contents(root);
    std::string seen[2], files[2];
    for (int i = 0; i < 2; ++i) {
      {
        Dialog dialog(parent, args...);
        dialog.show();
        guitest::pump();
        seen[i] = shown(dialog);
        guitest::respond_when_shown<Dialog>(response);
        EXPECT_EQ(dialog.run(), response);
      }
      EXPECT_EQ(guitest::find_window<Dialog>(), nullptr);
      files[i] = contents(root);
    }
    EXPECT_NE(seen[0].find(want), std::string::npos) << seen[0];
    EXPECT_EQ(seen[1], seen[0]);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_TRUE(saves || files[0] == before) << "files changed";
  }
};

TEST_F(Reopen, EveryWindowShowsAndSavesAsAtItsFirstOpening) {
  tavolin::path_t album("", root, "2024"), best("", root, "_Best"), book("", root, "_BestBook"),
      collection("", root, "");
  std::string& dir = program.dir;
  std::string file = "tavolin";
  bool editable = true;
  tavolin::e_bestname_t kind = tavolin::E_BESTNAME_BEST;
  twice<tavolin::ViewAlbumDialog>("b.jpg", Gtk::RESPONSE_OK, false, album, dir, decoded);
  twice<tavolin::EditAlbumDialog>("b.jpg", Gtk::RESPONSE_OK, true, album, dir, decoded);
  twice<tavolin::GoodAlbumDialog>("b.jpg", Gtk::RESPONSE_OK, true, best, dir, decoded, editable);
  twice<tavolin::BestBookDialog>("b.jpg", Gtk::RESPONSE_APPLY, true, book, dir, decoded, kind,
                                 editable);
  twice<tavolin::ViewBookDialog>("2024", Gtk::RESPONSE_OK, false, collection, dir, decoded);
  twice<tavolin::EditBookDialog>("2024", Gtk::RESPONSE_CANCEL, false, collection, dir, file,
                                 decoded);
}

// Whether a T is a top-level window, shown or not.
template <typename T>
bool window_alive() {
  for (Gtk::Window* w : Gtk::Window::list_toplevels())
    if (dynamic_cast<T*>(w) != nullptr) return true;
  return false;
}

// A dialog run from its row is hidden once answered, and destroyed with
// its rows before the program turns to its events again (an accessibility
// client may leave once it is hidden); the pictures they held go with them.
TEST_F(Reopen, AnsweredWindowIsHiddenAndDestroyedAtOnce) {
  using tavolin::ViewAlbumDialog;
  const tavolin::path_t album("", root, "2024");
  bool painted = false;
  guitest::when_shown<ViewAlbumDialog>([&](ViewAlbumDialog& d) {
    guitest::pump();  // its pictures painted
    painted = decoded.bytes() != 0;
    d.response(Gtk::RESPONSE_OK);
  });
  tavolin::open_album_readonly(parent, album, program.dir, decoded);
  EXPECT_TRUE(painted);
  EXPECT_FALSE(window_alive<ViewAlbumDialog>());
  EXPECT_EQ(decoded.bytes(), 0u);
}

// How many windows of the widgets in table the display still tells of a
// seat's removal.
int hooked(Gtk::Table& table) {
  GdkWindow* top = gtk_widget_get_window(GTK_WIDGET(table.gobj()));
  const guint seat_removed = g_signal_lookup("seat-removed", GDK_TYPE_DISPLAY);
  const auto match = static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA);
  int count = 0;
  for (GList* w = gdk_window_peek_children(top); w; w = w->next) {
    gpointer owner = nullptr;
    gdk_window_get_user_data(GDK_WINDOW(w->data), &owner);
    if (owner && gtk_widget_is_ancestor(GTK_WIDGET(owner), GTK_WIDGET(table.gobj())) &&
        g_signal_handler_find(gdk_window_get_display(top), match, seat_removed, 0, nullptr, nullptr,
                              w->data) != 0)
      ++count;
  }
  return count;
}

// The edit hub lets go of the display's handlers of its caller's rows only
// when the caller says it builds them anew after that answer.
TEST_F(Reopen, HubUnhooksOnlyTheRowsItsCallerBuildsAnew) {
  Gtk::Window caller;
  Gtk::Table table(1, 3);
  Gtk::Button buttons[3];
  for (guint i = 0; i < 3; ++i) table.attach(buttons[i], i, i + 1, 0, 1);
  caller.add(table);
  caller.show_all();
  guitest::pump();
  ASSERT_EQ(hooked(table), 3);
  const tavolin::path_t collection("", root, "");
  for (Gtk::Table* rebuilt : {static_cast<Gtk::Table*>(nullptr), &table}) {
    int asked = 0;
    bool no_title = false;
    guitest::respond_when_shown<tavolin::EditBookDialog>(Gtk::RESPONSE_CANCEL);
    tavolin::run_collection_editor(caller, collection, program.dir, "tavolin", decoded, no_title,
                                   [&](int response, bool) {
                                     asked = response;
                                     return rebuilt;
                                   });
    EXPECT_EQ(asked, Gtk::RESPONSE_CANCEL);
    EXPECT_EQ(hooked(table), rebuilt ? 0 : 3);
  }
}

}  // namespace

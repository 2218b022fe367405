// Without gdk-pixbuf's SVG loader an album row still shows its marks: the
// program's own pictures do not load, so the theme draws the marks, pixel
// for pixel as the row shows where the loader is present (drawn by this
// program again, in a child that keeps the loaders, as the reference).
// A program of its own: the loaders are hidden before GTK starts.
#include <glib.h>
#include <gtkmm/offscreenwindow.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "album/gui/album_cells.h"
#include "album/gui/tests/gui_test.h"
#include "album/gui/toggle_images.h"
#include "utility/testsupport/testsupport.h"

namespace {

constexpr const char* loaders = "GDK_PIXBUF_MODULE_FILE";
constexpr const char* reference_option = "--draw-reference";
constexpr int reference_without_pictures = 3;  // the child's status
std::optional<std::string> given_loaders;      // as this program was started
int unexpected_warnings = 0;

// A row's judgement and book toggles, good and best chosen, drawn: the
// picture's width and pixels.
std::string row_drawn() {
  const std::string name = "a.jpg";
  tavolin::best_t good, fail;
  good.names.insert(name);
  tavolin::album_t album;
  album.list(tavolin::E_BESTNAME_BEST).names.insert(name);
  tavolin::judged_row_t row;
  row.name = &name;
  row.judge(good, fail, true);
  row.books.build(album, name);
  Gtk::OffscreenWindow window;
  Gtk::VBox box;
  box.add(row.judgement_box);
  box.add(row.books.box);
  window.add(box);
  window.show_all();
  guitest::pump();
  Glib::RefPtr<Gdk::Pixbuf> shot = window.get_pixbuf();
  const char* p = reinterpret_cast<const char*>(shot->get_pixels());
  return std::to_string(shot->get_width()) + ":" + std::string(p, p + shot->get_byte_length());
}

// The warning any GTK program gives without the loader, about the theme's
// own picture, is expected here and kept out of the output; others count.
GLogWriterOutput log_writer(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer) {
  for (gsize i = 0; i < n; ++i)
    if (std::strcmp(fields[i].key, "MESSAGE") == 0 &&
        std::strstr(static_cast<const char*>(fields[i].value), "/org/gtk/libgtk/theme/"))
      return G_LOG_WRITER_HANDLED;
  unexpected_warnings += (level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL)) != 0;
  return g_log_writer_default(level, fields, n, nullptr);
}

TEST(ToggleMarks, DrawnByTheThemeWithoutTheSvgLoader) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::share_toggle_images());
  EXPECT_FALSE(tavolin::share_toggle_images());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  const std::string drawn = row_drawn();
  EXPECT_EQ(unexpected_warnings, 0);

  testsupport::scratch_dir dir;
  std::string self = std::filesystem::read_symlink("/proc/self/exe"), file = dir / "row";
  char* argv[] = {self.data(), const_cast<char*>(reference_option), file.data(), nullptr};
  gchar** env = g_get_environ();
  env = given_loaders ? g_environ_setenv(env, loaders, given_loaders->c_str(), TRUE)
                      : g_environ_unsetenv(env, loaders);
  int status = -1;
  EXPECT_TRUE(g_spawn_sync(nullptr, argv, env, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, nullptr,
                           &status, nullptr));
  g_strfreev(env);
  if (WIFEXITED(status) && WEXITSTATUS(status) == reference_without_pictures) {
    if (testsupport::under_ci()) FAIL() << "no SVG loader (see scripts/deps)";
    GTEST_SKIP() << "no SVG loader for the reference";
  }
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(drawn == testsupport::read_file(file)) << "other pixels than with the loader";
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  const bool reference = argc == 3 && std::string(argv[1]) == reference_option;
  if (const char* given = std::getenv(loaders)) given_loaders = given;
  if (!reference) setenv(loaders, "/dev/null", 1);  // no loader at all
  setenv("GSETTINGS_BACKEND", "memory", 0);
  setenv("NO_AT_BRIDGE", "1", 0);
  if (!gtk_init_check(&argc, &argv)) {
    std::cerr << argv[0] << ": no display (run under xvfb-run)" << std::endl;
    return 1;
  }
  Gtk::Main kit(argc, argv, true);
  if (reference) {
    if (!tavolin::share_toggle_images()) return reference_without_pictures;
    return testsupport::write_file(argv[2], row_drawn()) ? 0 : 1;
  }
  g_log_set_writer_func(log_writer, nullptr, nullptr);
  return RUN_ALL_TESTS();
}

// Without gdk-pixbuf's SVG loader an album row still shows its marks: the
// program's own pictures do not load, so the theme draws the marks, pixel
// for pixel as where the loader is present. Run by ctest with no loader at
// all (an empty list of them); the reference is drawn by this test again,
// in a child with the loaders.
#include <gtkmm/offscreenwindow.h>

#include <cstdlib>
#include <filesystem>

#include "album/gui/album_cells.h"
#include "album/gui/tests/gui_test.h"
#include "album/gui/toggle_images.h"
#include "utility/testsupport/testsupport.h"

namespace {

constexpr const char* reference = "TOGGLE_MARKS_REFERENCE";  // the child's output file

// An album row's judgement and book toggles, good and best chosen, drawn:
// the picture's width and pixels.
std::string row_drawn() {
  const std::string name = "a.jpg";
  tavolin::best_t good, fail;
  good.names.insert(name);
  tavolin::album_t album;
  album.list(tavolin::E_BESTNAME_BEST).names = good.names;
  tavolin::judged_row_t row;
  row.name = &name;
  row.judge(good, fail, true);
  row.books.build(album, name);
  row.judgement_box.add(row.books.box);
  Gtk::OffscreenWindow window;
  window.add(row.judgement_box);
  window.show_all();
  guitest::pump();
  Glib::RefPtr<Gdk::Pixbuf> shot = window.get_pixbuf();
  const char* p = reinterpret_cast<const char*>(shot->get_pixels());
  return std::to_string(shot->get_width()) + ":" + std::string(p, p + shot->get_byte_length());
}

TEST(ToggleMarks, DrawnWithoutTheSvgLoaderAsWithIt) {
  if (const char* file = std::getenv(reference)) {
    ASSERT_TRUE(tavolin::share_toggle_images()) << "no SVG loader (see scripts/deps)";
    ASSERT_TRUE(testsupport::write_file(file, row_drawn()));
    return;
  }
  testing::internal::CaptureStderr();  // with GTK's line on its theme's picture, as for any program
  const bool shared = tavolin::share_toggle_images() || tavolin::share_toggle_images();
  const std::string drawn = row_drawn(), said = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(shared);
  const std::string line = "the theme draws the toggles' marks";
  EXPECT_TRUE(said.find(line) != std::string::npos && said.find(line) == said.rfind(line)) << said;

  testsupport::scratch_dir dir;
  const std::string child =
      "env -u GDK_PIXBUF_MODULE_FILE " + std::string(reference) + "=" + dir / "row" + " " +
      std::filesystem::read_symlink("/proc/self/exe").string() + " --gtest_filter=ToggleMarks.*";
  ASSERT_EQ(std::system(child.c_str()), 0);
  EXPECT_TRUE(drawn == testsupport::read_file(dir / "row"))
      << "not the marks drawn with the loader";
}

}  // namespace

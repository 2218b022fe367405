// The album editor over an album holding a camera file that cannot be read:
// OK tells of the file, yet the book choice reaches the album's pages and
// the best album.
#include <string>
#include <vector>

#include "album/gui/editalbum.h"
#include "album/gui/tests/album_fixture.h"
#include "album/gui/tests/collection_gui_test.h"

namespace {

using guitest::read_file;

class UnreadableFile : public guitest::album_fixture {};

TEST_F(UnreadableFile, EditorOkStillWritesThePagesAndTheBestAlbum) {
  ASSERT_TRUE(make_album("2024"));
  const std::string dir = album_dir("2024");
  guitest::write_file(dir + "/original/z.jpg", "");  // the battery ran out
  const tavolin::path_t location("", root, "2024");  // the editor keeps a reference
  tavolin::EditAlbumDialog dialog(parent, location, program.dir, decoded);
  ASSERT_EQ(*dialog.items()[1].name, "b.jpg");
  dialog.items()[1].books.toggle[0].set_active(true);  // best

  std::vector<std::string> texts;
  collectiontest::script_t script;
  script.on<tavolin::EditAlbumDialog>(
      [](tavolin::EditAlbumDialog& d) { collectiontest::click(d, Gtk::RESPONSE_OK); });
  script.answer_box(Gtk::RESPONSE_OK, &texts);
  EXPECT_EQ(dialog.run(), Gtk::RESPONSE_OK);
  guitest::pump();

  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind(plimlib::getmsg(29), 0), 0u) << texts[0];
  EXPECT_NE(texts[0].find("z.jpg: "), std::string::npos) << texts[0];
  const std::string index = read_file(dir + "/index.html");
  EXPECT_NE(index.find("\t<li>b.jpg (" + std::string(plimlib::getmsg(50)) + ")\n"),
            std::string::npos)
      << index;
  EXPECT_NE(index.find("<a href=\"original/z.jpg\">z.jpg</a>"), std::string::npos) << index;
  EXPECT_NE(read_file(root + "/_Best/index.html").find("2024/"), std::string::npos);
}

}  // namespace

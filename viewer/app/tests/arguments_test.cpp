// The viewer's command line without a window: options, the user option
// file and the argument language that turns files, directories, list and
// book files into the image list.

#include <gtest/gtest.h>

#include <filesystem>
#include <list>
#include <string>
#include <vector>

#include "utility/catalog/plimzev3_messages.h"
#include "utility/message.h"
#include "utility/option.h"
#include "utility/tests/test_support.h"
#include "viewer/app/viewer3.h"

namespace {

using utiltest::write_file;
namespace fs = std::filesystem;

// Runs the constructor on a command line as main would get it, with HOME
// in a scratch directory and the working directory at start.
class ViewerArguments : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(m_dir.path().empty());
    m_root = fs::canonical(m_dir.path()).string();
    fs::create_directories(m_root + "/home");
    fs::create_directories(m_root + "/start");
    plimlib::option_reset();
  }
  void TearDown() override { plimlib::option_reset(); }

  std::list<std::string> run(std::vector<std::string> args) {
    args.insert(args.begin(), std::string(TEST_BIN_DIR) + "/plimzev3");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    char** p = argv.data();
    plimzev2::ViewWindow window(&argc, &p);
    m_title = window.getTitle();
    m_cwd_after = fs::current_path().string();
    return window.getImageList();
  }

  // A file at root-relative path, directories made; its absolute path.
  std::string put(const std::string& rel, const std::string& bytes) {
    const std::string path = m_root + "/" + rel;
    fs::create_directories(fs::path(path).parent_path());
    write_file(path, bytes);
    EXPECT_TRUE(fs::exists(path)) << path;
    return path;
  }
  std::string touch(const std::string& rel) { return put(rel, ""); }

  utiltest::scratch_dir m_dir;
  std::string m_root;
  std::string m_title;
  std::string m_cwd_after;
  utiltest::env_guard m_home{"HOME", std::string()};
  void set_home() { ::setenv("HOME", (m_root + "/home").c_str(), 1); }
};

using list_t = std::list<std::string>;

TEST_F(ViewerArguments, BookListAsTheAlbumProgramWritesIt) {
  set_home();
  const std::string a1 = touch("albums/trip/size1/p2.jpg");
  const std::string a2 = touch("albums/trip/size1/p1.jpg");
  const std::string b1 = touch("albums/2024/party/size1/x.JPG");
  touch("albums/trip/size0/p1.jpg");
  put("albums/trip/txt/best.txt", "p2.jpg\r\np1.jpg\r\n");
  put("albums/2024/party/txt/best.txt", "x.JPG\r\n");
  // One album relative to the album root, one absolute.
  put("albums/_BestBook/txt/list.txt", "-Ctrip\r\n-@txt/best.txt\r\n-C" + m_root +
                                           "/albums/2024/party\r\n"
                                           "-@txt/best.txt\r\n");
  utiltest::cwd_guard cwd(m_root + "/start");
  const list_t got = run({"-Ssize1", "-C" + m_root + "/albums", "-F_BestBook/txt/list.txt"});
  EXPECT_EQ(got, (list_t{a1, a2, b1}));
  EXPECT_EQ(m_cwd_after, m_root + "/start");
}

TEST_F(ViewerArguments, OptionsFirstThenTheAlbumProgramsBook) {
  set_home();
  const std::string p = touch("albums/a/size2/p.jpg");
  put("albums/a/txt/print.txt", "p.jpg\r\n");
  put("albums/_PrintBook/txt/list.txt", "-Ca\r\n-@txt/print.txt\r\n");
  utiltest::cwd_guard cwd(m_root + "/start");
  // The default viewer command of the album program, then a book.
  const list_t got =
      run({"-resizetype", "2", "-window_ratio_of_image", "0.5", "-image_ratio_of_window", "1", "-g",
           "+0+32", "-Ssize2", "-C" + m_root + "/albums", "-F_PrintBook/txt/list.txt"});
  EXPECT_EQ(got, (list_t{p}));
  EXPECT_EQ(plimlib::g_option.resizetype, 2);
  EXPECT_FLOAT_EQ(plimlib::g_option.window_ratio_of_image, 0.5f);
  EXPECT_EQ(plimlib::g_option.g.x, 0);
  EXPECT_EQ(plimlib::g_option.g.y, 32);
}

TEST_F(ViewerArguments, DirectoryChangesAndPlainNames) {
  set_home();
  const std::string photo = touch("start/photos/p.jpg");
  touch("start/q.jpg");
  utiltest::cwd_guard cwd(m_root + "/start");
  // "-C" relative to the start directory resolves later names; a bare
  // "-C" returns there and names stay as written.
  const list_t got = run({"-Cphotos", "p.jpg", "-C", "q.jpg", "-Cphotos", "-Cnowhere", "r.jpg"});
  EXPECT_EQ(got, (list_t{photo, "q.jpg", m_root + "/start/r.jpg"}));
  EXPECT_EQ(m_cwd_after, m_root + "/start");
}

TEST_F(ViewerArguments, ListFileLinesAreCutAndPrefixed) {
  set_home();
  const std::string a = touch("start/thumb/a.jpg");
  const std::string b = touch("start/thumb/b b.jpg");
  const std::string c = touch("start/c.png");
  put("start/list.txt", "a.jpg \t\r\n\r\n   \n\nb b.jpg  ");
  put("start/plain.txt", "c.png\n\n");
  utiltest::cwd_guard cwd(m_root + "/start");
  // With a prefix the lines resolve below it; an empty "-S" clears it.
  const list_t got = run({"-Sthumb", "-@list.txt", "-S", "-@plain.txt"});
  EXPECT_EQ(got, (list_t{a, b, c}));
}

TEST_F(ViewerArguments, MissingListAndBookFilesAddNothing) {
  set_home();
  const std::string a = touch("start/a.jpg");
  utiltest::cwd_guard cwd(m_root + "/start");
  const list_t got = run({"-@missing.txt", "-Fmissing.txt", "-Cmissing", "-Xother", "-"});
  EXPECT_TRUE(got.empty());
  // No image: the title is the viewer's name and the no-image text.
  EXPECT_EQ(m_title, plimlib::make_title(plimlib::getmsg(plimzev2::MSG_VIEWER_NAME),
                                         plimlib::getmsg(plimzev2::MSG_NO_IMAGE)));
  EXPECT_NE(std::string(plimlib::getmsg(plimzev2::MSG_VIEWER_NAME)), "message not loaded.");
  EXPECT_EQ(m_cwd_after, m_root + "/start");
}

TEST_F(ViewerArguments, NamesThatDoNotResolveStayWhole) {
  set_home();
  touch("start/d/a.jpg");
  // realpath() gives up at "a.jpg/" and would leave the path of a.jpg, an
  // image that was not asked for.
  put("start/list.txt", "a.jpg/b.jpg\r\nmissing/c.jpg\r\n");
  utiltest::cwd_guard cwd(m_root + "/start");
  const list_t got = run({"-Cd", "-@../list.txt"});
  EXPECT_EQ(got, (list_t{m_root + "/start/d/a.jpg/b.jpg", m_root + "/start/d/missing/c.jpg"}));
}

TEST_F(ViewerArguments, NoArgumentTakesTheCurrentDirectory) {
  set_home();
  touch("start/b.jpg");
  touch("start/a.JPG");
  touch("start/c.gif");
  touch("start/d.Png");
  fs::create_directories(m_root + "/start/sub");
  utiltest::cwd_guard cwd(m_root + "/start");
  const list_t got = run({});
  EXPECT_EQ(got, (list_t{"./a.JPG", "./b.jpg", "./d.Png"}));
}

TEST_F(ViewerArguments, DirectoriesAppendSortedBlocks) {
  set_home();
  touch("start/one/z.jpg");
  touch("start/one/m.tga");
  touch("start/two/b.bmp");
  touch("start/two/a.jpeg");
  touch("start/two/notes.txt");
  fs::create_directories(m_root + "/start/empty");
  touch("start/x.gif");
  utiltest::cwd_guard cwd(m_root + "/start");
  const list_t got = run({"one", "empty", "x.gif", "two/", "X.JPG"});
  EXPECT_EQ(got, (list_t{"one/m.tga", "one/z.jpg", "two/a.jpeg", "two/b.bmp", "X.JPG"}));
}

TEST_F(ViewerArguments, CommandLineOverridesTheUserFile) {
  set_home();
  put("home/.plimzev3", "-resizetype 1\n-framewidth 40\n-reproduce-\n");
  utiltest::cwd_guard cwd(m_root + "/start");
  run({"-resizetype", "2", "a.jpg"});
  EXPECT_EQ(plimlib::g_option.resizetype, 2);
  EXPECT_EQ(plimlib::g_option.framewidth, 40u);
  EXPECT_FALSE(plimlib::g_option.reproduce);
}

TEST_F(ViewerArguments, ProgramNameDropsDirectoryAndExtension) {
  std::string self = std::string(TEST_BIN_DIR) + "/plimzev3.lin";
  std::vector<char*> argv{self.data(), nullptr};
  int argc = 1;
  char** p = argv.data();
  utiltest::cwd_guard cwd(m_root + "/start");
  plimzev2::ViewWindow window(&argc, &p);
  EXPECT_STREQ(window.getProgramName(), "plimzev3");
  EXPECT_EQ(std::string(window.getProgramDirectory()), std::string(TEST_BIN_DIR) + "/");
}

}  // namespace

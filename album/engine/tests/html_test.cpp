#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <regex>
#include <sstream>

#include "album/engine/best.h"
#include "album/engine/comment.h"
#include "album/engine/global.h"
#include "album/engine/html.h"
#include "album/engine/makealbum.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_fixture.h"
#include "album/engine/tests/page_links.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/futil.h"
#include "utility/message.h"

using namespace tavolin;
using enginetest::exists;
using enginetest::read_file;
using enginetest::write_file;

namespace {

std::string msg(plimlib::e_message_t id) { return plimlib::getmsg(id); }

TEST(PageFrame, HeadAndFootFollowTheSettings) {
  enginetest::settings_guard keep;
  g_global.html_header = "<meta charset=\"UTF-8\">";
  g_global.html_address = "me";
  std::ostringstream head;
  writehtmlhead(head, "Trip");
  EXPECT_EQ(head.str(),
            "<HTML>\n<HEAD>\n\t<meta charset=\"UTF-8\">\n\t<title>Trip</title>\n</HEAD>\n\n"
            "<BODY>\n\t<CENTER><h1>Trip</h1></CENTER>\n");
  std::ostringstream foot;
  writehtmlfoot(foot);
  const std::regex form(
      "<hr>\n\t<address>me</address>\n<!-- hhmts start -->\nHTML Generated: [^\n]+ \\(" +
      std::regex_replace(tzname[0], std::regex("[^A-Za-z0-9]"), "\\$&") +
      "\\)\n<!-- hhmts end -->\n</BODY>\n</HTML>\n");
  EXPECT_TRUE(std::regex_match(foot.str(), form)) << foot.str();

  g_global.html_header.clear();
  g_global.html_address.clear();
  std::ostringstream bare, zoom, bare_foot;
  writehtmlhead(bare, "T");
  writezoomhead(zoom);
  writehtmlfoot(bare_foot);
  EXPECT_EQ(bare.str(),
            "<HTML>\n<HEAD>\n\t<title>T</title>\n</HEAD>\n\n<BODY>\n"
            "\t<CENTER><h1>T</h1></CENTER>\n");
  EXPECT_EQ(zoom.str(), "<HTML>\n<HEAD>\n</HEAD>\n\n<BODY>\n");
  EXPECT_EQ(bare_foot.str().compare(0, 25, "<hr>\n<!-- hhmts start -->"), 0);
}

TEST(PageNames, MovieListTargetStaysWithinTheLevels) {
  enginetest::settings_guard keep;
  const libgr::direction2ul_t hd(1920, 1080);
  g_global.play_size_x = 3840;
  g_global.play_size_y = 2160;
  g_global.movie_thumbnail_retina = true;
  EXPECT_EQ(movielisttarget("clip.MOV", 1, hd), "movie0/clip.mp4");
  g_global.movie_thumbnail_retina = false;
  // Level 0 has no normal page: the converted movie itself.
  EXPECT_EQ(movielisttarget("clip.MOV", 1, hd), "movie0/clip.mp4");
  g_global.play_size_x = 960;
  g_global.play_size_y = 540;
  EXPECT_EQ(movielisttarget("clip.MOV", 1, hd), "html/clip_1_1.html");
  g_global.movie_thumbnail_retina = true;
  EXPECT_EQ(movielisttarget("clip.MOV", 1, hd), "html/clip_2_0.html");
  // A play size below the smallest level: limited to level L.
  g_global.play_size_x = g_global.play_size_y = 100;
  EXPECT_EQ(playsizelevel(hd, 1), 1u);
  EXPECT_EQ(movielisttarget("my clip.MOV", 1, hd), "html/my%20clip_2_0.html");
  EXPECT_EQ(movielisttarget("clip.MOV", 0, hd), "movie0/clip.mp4");
}

// One album laid out by hand below a scratch directory.
class AlbumPages : public ::testing::Test {
 protected:
  AlbumPages() : path("", dir.path(), "a") {
    pagetest::load_catalog();
    g_global.html_header.clear();
    g_global.html_address.clear();
    g_global.shrink_size = {64, 64};
    g_global.movie_thumbnail_retina = true;
    enginetest::make_dirs(album() + "/txt");
    enginetest::make_dirs(album() + "/original");
    enginetest::make_dirs(album() + "/thumb");
    std::ostringstream log;
    EXPECT_TRUE(savecommenttxt(path, "Title", "top", "bottom", log)) << log.str();
    progress.connect([this](double v) { values.push_back(v); });
  }

  std::string album() const { return dir / "a"; }
  std::string page(const std::string& name) const { return read_file(album() + "/" + name); }
  void list(const char* listfile, const std::string& names) {
    write_file(album() + "/txt/" + listfile, names);
  }
  // makehtml with its log; true on success.
  bool make() {
    log.str("");
    testing::internal::CaptureStderr();
    const bool ok = makehtml(path, progress, log);
    err = testing::internal::GetCapturedStderr();
    return ok;
  }
  // The block of index.html from the item's "\t<li>" line up to the next.
  std::string item(const std::string& name) const {
    const std::string index = page("index.html");
    const std::string::size_type begin = index.find("\t<li>" + name);
    if (begin == std::string::npos) return "";
    const std::string::size_type end = index.find("\t<li>", begin + 1);
    const std::string::size_type last = index.find("<br>bottom", begin);
    return index.substr(begin, std::min(end, last) - begin);
  }
  void expect_no_broken_links(const std::string& page_path) {
    EXPECT_EQ(pagelinks::broken_links(page_path), std::vector<std::string>()) << page_path;
  }

  enginetest::scratch_dir dir;
  enginetest::settings_guard keep;
  path_t path;
  sigc::signal<void, double> progress;
  std::vector<double> values;
  std::ostringstream log;
  std::string err;
};

std::string kb(const std::string& file) {
  struct stat st;
  EXPECT_EQ(stat(file.c_str(), &st), 0) << file;
  return std::to_string((st.st_size + 1023) / 1024);
}

TEST_F(AlbumPages, PhotoWithLevelsLinksSizesZoomPagesAndLabels) {
  ASSERT_EQ(pagetest::make_photo(album(), "p.jpg", 256, 192, 64), 2u);
  list("best.txt", "p.jpg\r\n");
  list("print.txt", "p.jpg\r\n");
  ASSERT_TRUE(savephotocomment("one\ntwo", album(), "p.jpg"));
  ASSERT_TRUE(make()) << log.str();
  EXPECT_EQ(
      item("p.jpg"),
      "\t<li>p.jpg (" + msg(MSG_BOOK_BEST) + ", " + msg(MSG_BOOK_PRINT) +
          ")\n"
          "\t<br><a href=\"size0/p.jpg\">256x192 (" +
          kb(album() + "/size0/p.jpg") +
          "k)</a>\n"
          "\t<br><a href=\"html/p_1.html\">128x96 (" +
          kb(album() + "/size1/p.jpg") +
          "k)</a>\n"
          "\t<br><table align=left border=5><td><a href=\"html/p_1.html\"><IMG SRC=\"size2/p.jpg\""
          " SRCSET=\"size2/p.jpg 1x,size1/p.jpg 2x\" ALIGN=\"left\"></a></table>\n"
          "\t<br>one\n\t<br>two\n\t<br clear=all>\n\t<p>\n\n");
  EXPECT_NE(page("list.html")
                .find("<a href=\"html/p_2.html\"><IMG SRC=\"thumb/p.jpg\""
                      " SRCSET=\"size3/p.jpg 1x,size2/p.jpg 2x\" border=2></a>\n"),
            std::string::npos);
  EXPECT_EQ(page("txt/count.txt"), "+1\n");
  EXPECT_EQ(values, std::vector<double>{1.0});

  ASSERT_TRUE(makehtmlzoom(path, progress));
  for (const char* p : {"index.html", "list.html", "html/p_1.html", "html/p_2.html"})
    expect_no_broken_links(album() + "/" + p);
}

TEST_F(AlbumPages, PhotoWithoutLevelsAndTheFailLabel) {
  ASSERT_EQ(pagetest::make_photo(album(), "s.jpg", 48, 32, 64), 0u);
  ASSERT_EQ(pagetest::make_photo(album(), "t.jpg", 128, 64, 64), 1u);
  list("fail.txt", "s.jpg\r\n");
  ASSERT_TRUE(make()) << log.str();
  EXPECT_EQ(item("s.jpg"), "\t<li>s.jpg (" + msg(MSG_JUDGE_FAIL) +
                               ")\n\t<br><IMG SRC=\"size0/s.jpg\" ALIGN=\"left\">\n"
                               "\t<br clear=all>\n\t<p>\n\n");
  // One level: the picture links to the full size; no zoom page link.
  EXPECT_NE(item("t.jpg").find("\t<br><a href=\"size0/t.jpg\"><IMG SRC=\"size1/t.jpg\""),
            std::string::npos);
  const std::string listpage = page("list.html");
  EXPECT_NE(listpage.find("<a href=\"size0/s.jpg\"><IMG SRC=\"thumb/s.jpg\""
                          " SRCSET=\"size1/s.jpg 1x,size0/s.jpg 2x\"></a>\n"),
            std::string::npos);
  EXPECT_NE(listpage.find("<a href=\"html/t_1.html\">"), std::string::npos);
  EXPECT_EQ(values, (std::vector<double>{0.5, 1.0}));

  ASSERT_TRUE(makehtmlzoom(path, progress));
  EXPECT_FALSE(exists(album() + "/html/s_1.html"));
  EXPECT_NE(page("html/t_1.html")
                .find("<a href=\"../size0/t.jpg\"><IMG SRC=\"../size1/t.jpg\""
                      " SRCSET=\"../size1/t.jpg 1x,../size0/t.jpg 2x\""
                      " ALIGN=\"left\"></a>\n"),
            std::string::npos);
  expect_no_broken_links(album() + "/list.html");
  expect_no_broken_links(album() + "/html/t_1.html");
}

TEST_F(AlbumPages, NamesThatNeedEscapingStillLinkToTheirFiles) {
  const std::string name = "Tom & Jerry #1, 50%.jpg";
  ASSERT_EQ(pagetest::make_photo(album(), name, 256, 192, 64), 2u);
  ASSERT_TRUE(make()) << log.str();
  ASSERT_TRUE(makehtmlzoom(path, progress));
  EXPECT_NE(page("index.html").find("\t<li>Tom &amp; Jerry #1, 50%.jpg\n"), std::string::npos);
  EXPECT_NE(page("index.html").find("size2/Tom%20%26%20Jerry%20%231%2C%2050%25.jpg 1x,"),
            std::string::npos);
  for (const char* p : {"index.html", "list.html", "html/Tom & Jerry #1, 50%_1.html",
                        "html/Tom & Jerry #1, 50%_2.html"}) {
    ASSERT_TRUE(exists(album() + "/" + p)) << p;
    expect_no_broken_links(album() + "/" + p);
  }
}

// Names that are not UTF-8 (Latin-1, stray bytes) beside one that is: the
// album's and the best album's pages, read as a browser reads a UTF-8
// page, link the files themselves; the names shown stay as they are.
TEST_F(AlbumPages, NamesThatAreNotUtf8StillLinkToTheirFiles) {
  const std::string latin1 = "caf\xE9 latin1.jpg", stray = "\xFF\xFE.jpg",
                    utf8 = "\xE5\x86\x99\xE7\x9C\x9F.jpg";
  for (const std::string& name : {latin1, stray, utf8})
    ASSERT_EQ(pagetest::make_photo(album(), name, 256, 192, 64), 2u);
  list("good.txt", latin1 + "\r\n" + stray + "\r\n" + utf8 + "\r\n");
  ASSERT_TRUE(make()) << log.str();
  ASSERT_TRUE(makehtmlzoom(path, progress));
  enginetest::make_dirs(dir / "_Best");
  sigc::signal<void, double> unused;
  ASSERT_TRUE(makebesthtml(path_t("", dir.path(), ""), unused, unused));
  EXPECT_NE(page("index.html").find("\t<li>" + latin1 + "\n"), std::string::npos);
  EXPECT_NE(page("index.html").find("size2/caf%E9%20latin1.jpg 1x,"), std::string::npos);
  for (const std::string& p :
       {album() + "/index.html", album() + "/list.html", album() + "/html/caf\xE9 latin1_1.html",
        album() + "/html/\xFF\xFE_2.html", album() + "/html/\xE5\x86\x99\xE7\x9C\x9F_1.html",
        dir / "_Best/index.html", dir / "_Best/list.html"}) {
    ASSERT_TRUE(exists(p)) << p;
    expect_no_broken_links(p);
  }
}

TEST_F(AlbumPages, SoundsWithoutPhotos) {
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -f lavfi -i sine=duration=1 -y '" + album() +
                         "/original/v.wav'")
                            .c_str()),
            0);
  list("good.txt", "v.wav\r\n");
  list("fail.txt", "v.wav\r\n");
  ASSERT_TRUE(make()) << log.str();
  const std::string block = item("v.wav");
  EXPECT_EQ(block.rfind("\t<li>v.wav\n\t<br>\n\t<table align=left border=5><td><audio controls"
                        " src=\"original/v.wav\">\n",
                        0),
            0u)
      << block;
  EXPECT_NE(block.find("\t</audio></table>\t<br clear=all>\n\t00:00:01"), std::string::npos);
  EXPECT_NE(page("list.html")
                .find("<table align=left border=5><td><a href=\"original/v.wav\">"
                      "v.wav</a></table>\n"),
            std::string::npos);
  EXPECT_EQ(page("txt/count.txt"), "+0+1\n");
  EXPECT_TRUE(values.empty());
  values.clear();
  ASSERT_TRUE(makehtmlffzoom(path, progress));  // no page, progress still
  EXPECT_EQ(values, std::vector<double>{1.0});
  EXPECT_FALSE(exists(album() + "/html/v_1_1.html"));
}

TEST_F(AlbumPages, UnopenablePageFailsWithItsReason) {
  enginetest::make_dirs(album() + "/index.html");
  EXPECT_FALSE(make());
  EXPECT_EQ(log.str(), album() + "/index.html: open error, Is a directory\n");
  EXPECT_FALSE(exists(album() + "/list.html"));
  EXPECT_FALSE(exists(album() + "/txt/count.txt"));
}

TEST_F(AlbumPages, UnreadableLevelStopsTheIndexPage) {
  ASSERT_EQ(pagetest::make_photo(album(), "p.jpg", 256, 192, 64), 2u);
  ASSERT_EQ(unlink((album() + "/size1/p.jpg").c_str()), 0);
  EXPECT_FALSE(make());
  EXPECT_EQ(log.str(), album() + "/size1/p.jpg: No such file or directory\n");
  EXPECT_FALSE(exists(album() + "/list.html"));
}

TEST_F(AlbumPages, ZoomPagesCarryLabelsAndAnUnopenablePageCostsOnlyItsPhoto) {
  ASSERT_EQ(pagetest::make_photo(album(), "p.jpg", 128, 64, 64), 1u);
  ASSERT_EQ(pagetest::make_photo(album(), "q.jpg", 256, 192, 64), 2u);
  list("best.txt", "p.jpg\r\n");
  list("upload.txt", "p.jpg\r\n");
  list("fail.txt", "q.jpg\r\n");
  ASSERT_TRUE(makehtmlzoom(path, progress));
  EXPECT_EQ(values, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(page("html/p_1.html")
                .rfind("<HTML>\n<HEAD>\n</HEAD>\n\n<BODY>\n\t<li>p.jpg (" + msg(MSG_BOOK_BEST) +
                           ", " + msg(MSG_BOOK_UPLOAD) + ")\n\t<br clear=all>\n",
                       0),
            0u);
  EXPECT_NE(page("html/q_1.html").find("\t<li>q.jpg\n"), std::string::npos);  // no fail label
  EXPECT_NE(page("html/q_2.html").find("<a href=\"q_1.html\"><IMG SRC=\"../size2/q.jpg\""),
            std::string::npos);

  // A page that cannot be written costs only its photo's pages.
  ASSERT_EQ(unlink((album() + "/html/p_1.html").c_str()), 0);
  ASSERT_EQ(mkdir((album() + "/html/p_1.html").c_str(), 0755), 0);
  ASSERT_EQ(unlink((album() + "/html/q_2.html").c_str()), 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(makehtmlzoom(path, progress));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            album() + "/html/p_1.html: write open error.\n");
  EXPECT_TRUE(exists(album() + "/html/q_2.html"));
}

// As the collection editor leaves it before making an album: the album
// directory with its "txt".
class MakeAlbum : public ::testing::Test {
 protected:
  MakeAlbum() : path("", dir.path(), "a") { enginetest::make_dirs(album() + "/txt"); }
  std::string album() const { return dir / "a"; }

  enginetest::scratch_dir dir;
  enginetest::settings_guard keep;
  path_t path;
  sigc::signal<void, double> copying, shrinking, pages, zoom;
  std::vector<double> copied;
};

TEST_F(MakeAlbum, EmptyAlbumNameTouchesNothing) {
  const path_t root("", dir / "root", "");
  enginetest::make_dirs(dir / "root");
  std::vector<files_t> files{files_t("x.jpg", 0)};
  std::ostringstream out;
  EXPECT_FALSE(makealbumwithrotate(dir.path(), files, root, copying, shrinking, pages, zoom, out));
  EXPECT_EQ(out.str(), ": album directory is empty.\n");
  std::ostringstream out2;
  EXPECT_FALSE(updatealbum(root, files, copying, shrinking, pages, zoom, out2));
  EXPECT_EQ(out2.str(), ": album directory is empty.\n");
  std::list<std::string> entries;
  EXPECT_TRUE(libutils::getfiles(entries, dir / "root"));
  EXPECT_TRUE(entries.empty());
  EXPECT_TRUE(libutils::getdirs(entries, dir / "root"));
  EXPECT_TRUE(entries.empty());
}

TEST_F(MakeAlbum, MissingImportFileCostsOnlyItself) {
  enginetest::make_dirs(dir / "import");
  pagetest::make_jpeg(dir / "import/one.jpg", 32, 32);
  pagetest::make_jpeg(dir / "import/three.jpg", 32, 32);
  copying.connect([this](double v) { copied.push_back(v); });
  const std::vector<files_t> files{files_t("one.jpg", 0), files_t("two.jpg", 0),
                                   files_t("three.jpg", 0)};
  std::ostringstream out;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(
      makealbumwithrotate(dir / "import", files, path, copying, shrinking, pages, zoom, out));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(out.str(), "two.jpg: not copied: No such file or directory.\n");
  EXPECT_EQ(copied, (std::vector<double>{1.0 / 3, 2.0 / 3, 1.0}));
  const std::string index = read_file(album() + "/index.html");
  EXPECT_NE(index.find("one.jpg"), std::string::npos);
  EXPECT_NE(index.find("three.jpg"), std::string::npos);
  EXPECT_EQ(index.find("two.jpg"), std::string::npos);
}

}  // namespace

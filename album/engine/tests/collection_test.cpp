// The best album, the print book and the index pages of a collection made
// end to end through albumtool (see collection_fixture.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/engine/tests/collection_fixture.h"
#include "album/engine/tests/page_links.h"

namespace {

using collectiontest::collection;
using enginetest::read_file;

class GeneratedCollection : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PROGRAM("ffmpeg");
    const collectiontest::collection_t& c = collection();
    ASSERT_EQ(c.failure, "");
    ASSERT_EQ(c.best.status, 0) << c.best.err;
    ASSERT_EQ(c.book.status, 0) << c.book.err;
    ASSERT_EQ(c.index.status, 0) << c.index.err;
  }
  std::string page(const std::string& rel) { return read_file(collection().root + "/" + rel); }
};

TEST_F(GeneratedCollection, BestGathersTheDirectAlbumsIncludingPrivateOnes) {
  EXPECT_EQ(page("_Best/txt/list.txt"),
            "-C2024b\r\n-@txt/good.txt\r\n-C2023a\r\n-@txt/good.txt\r\n");
  // 2024b: a movie, three photos, a sound file; 2023a: one photo.
  EXPECT_EQ(page("_Best/txt/count.txt"), "1+4+1\n");
  const std::string index = page("_Best/index.html");
  EXPECT_NE(index.find("\t<li>../2023a/pv.jpg (Print)\n"), std::string::npos);
  EXPECT_LT(index.find("../2024b/"), index.find("../2023a/"));
  // The default title is made from the collection's name and kept.
  EXPECT_NE(index.find("<title>root Best photos</title>"), std::string::npos);
  EXPECT_EQ(page("_Best/txt/head.txt"), "root Best photos\r\nroot Best photos\r\n");

  // p3 has no zoom level: no links, a plain picture, framed for its book.
  EXPECT_NE(index.find("\t<li>../2024b/p3.jpg (Apply)\n\t<br><table align=left border=5><td>"
                       "<IMG SRC=\"../2024b/size0/p3.jpg\" ALIGN=\"left\"></table>\n"),
            std::string::npos);
  EXPECT_NE(index.find("\t<table align=left border=5><td><audio controls "
                       "src=\"../2024b/original/s1.wav\">\t</audio></table>\t<br clear=all>\n"),
            std::string::npos);
  const std::string list = page("_Best/list.html");
  // The movie level is capped at the movie's one level; its thumbnail
  // border follows the quote directly.
  EXPECT_NE(list.find("<a href=\"../2024b/html/m1_2_0.html\"><IMG SRC=\"../2024b/movie2/m1.jpg\" "
                      "SRCSET=\"../2024b/movie2/m1.jpg 1x,../2024b/movie1/m1.jpg 2x\"border=2>"
                      "</a>\n"),
            std::string::npos);
  EXPECT_NE(list.find("<a href=\"../2024b/html/p2_2.html\"><IMG SRC=\"../2024b/thumb/p2.jpg\" "
                      "SRCSET=\"../2024b/size3/p2.jpg 1x,../2024b/size2/p2.jpg 2x\" border=2>"
                      "</a>\n"),
            std::string::npos);
  EXPECT_NE(list.find("<a href=\"../2024b/original/s1.wav\">s1.wav</a></table>\n | "),
            std::string::npos);

  // One step per album, 2022 (no good list) included, on both pages.
  const std::vector<double> thirds = {1.0 / 3, 2.0 / 3, 1.0};
  for (int signal : {5, 6}) {
    const std::vector<double> values = pagetest::progress_values(collection().best.out, signal);
    ASSERT_EQ(values.size(), 3u) << signal;
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(values[i], thirds[i], 1e-5) << signal;
  }
}

TEST_F(GeneratedCollection, PrintBookGathersPublicAlbumsBelowTheCollection) {
  EXPECT_EQ(page("_PrintBook/txt/list.txt"),
            "-C2022/trip\r\n-@txt/print.txt\r\n-C2024b\r\n-@txt/print.txt\r\n");
  EXPECT_EQ(page("_PrintBook/txt/count.txt"), "1+2+1\n");
  for (const char* p : {"_PrintBook/index.html", "_PrintBook/list.html"})
    EXPECT_EQ(page(p).find("2023a"), std::string::npos) << p;

  const std::string index = page("_PrintBook/index.html");
  // p1 is also in the best list: labelled with both and framed.
  EXPECT_NE(index.find("\t<li>../2024b/p1.jpg (Best, Print)\n"
                       "\t<br><a href=\"../2024b/size0/p1.jpg\">384x256 ("),
            std::string::npos);
  EXPECT_NE(index.find("\t<br><table align=left border=5><td><a href=\"../2024b/html/p1_1.html\">"
                       "<IMG SRC=\"../2024b/size2/p1.jpg\" SRCSET=\"../2024b/size2/p1.jpg 1x,"
                       "../2024b/size1/p1.jpg 2x\" ALIGN=\"left\"></a></table>\n"),
            std::string::npos);
  // p2 is in the print list only: its label, no frame.
  EXPECT_NE(index.find("\t<li>../2024b/p2.jpg (Print)\n"), std::string::npos);
  EXPECT_NE(
      index.find("\t<br><a href=\"../2024b/html/p2_1.html\"><IMG SRC=\"../2024b/size2/p2.jpg\""),
      std::string::npos);
  EXPECT_NE(index.find("\t<li>../2024b/s1.wav\n"), std::string::npos);
  EXPECT_NE(index.find("\t<li>../2024b/m1.mp4 (Best, Print)\n"), std::string::npos);
  EXPECT_NE(index.find("<table align=left border=5><td><video controls width=\"64px\" "
                       "height=\"48px\" src=\"../2024b/movie0/m1.mp4\">\n\t</video></table>\n"),
            std::string::npos);
  // The book's list page borders the print items; the movie's with a blank.
  EXPECT_NE(page("_PrintBook/list.html").find("2x\" border=2></a>\n<a href=\"../2024b/html/p1"),
            std::string::npos);

  // Two albums (trip and 2024b): half, then all, on both pages.
  for (int signal : {5, 6})
    EXPECT_EQ(pagetest::progress_values(collection().book.out, signal),
              (std::vector<double>{0.5, 1.0}))
        << signal;
}

TEST_F(GeneratedCollection, IndexPagesListPublicEntriesAndEveryLinkResolves) {
  const std::string index = page("index.html");
  EXPECT_NE(index.find("\t<tr><th>Name<th>Count<th>Open<th>Title<th>Comment\n"
                       "\t<tr><td>_PrintBook<td>1+2+1<td><a href=\"_PrintBook/list.html\">Open"
                       "</a> <td><a href=\"_PrintBook/index.html\">root Best photos</a>\n"),
            std::string::npos);
  EXPECT_NE(index.find("\t<tr><td>2024b<td>1+3+1<td><a href=\"2024b/list.html\">Open</a> "
                       "<td><a href=\"2024b/index.html\">Summer 2024</a><td>A head\n"
                       "\t<tr><td>2022<td><td><td><a href=\"2022/index.html\">Year 2022</a>"
                       "<td>Old trips\n</table>\n"),
            std::string::npos);
  EXPECT_EQ(index.find("2023a"), std::string::npos);
  EXPECT_NE(index.find("<title>My albums</title>"), std::string::npos);

  for (const std::string& rel : collectiontest::generated_pages()) {
    std::vector<std::string> broken = pagelinks::broken_links(collection().root + "/" + rel);
    // The album root's page links up out of the collection, where nothing is.
    if (rel == "index.html") {
      ASSERT_EQ(broken, std::vector<std::string>{"../index.html"});
      continue;
    }
    EXPECT_TRUE(broken.empty()) << rel << ": " << ::testing::PrintToString(broken);
  }
}

}  // namespace

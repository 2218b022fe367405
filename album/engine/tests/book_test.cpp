// The book pages of a collection whose albums are laid out in the test.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "album/engine/best.h"
#include "album/engine/book.h"
#include "album/engine/global.h"
#include "album/engine/tests/collection_fixture.h"

namespace {

using collectiontest::crlf_lines;
using enginetest::exists;
using enginetest::make_dirs;
using enginetest::read_file;
using enginetest::write_file;
using tavolin::e_bestname_t;

class BookPages : public ::testing::Test {
 protected:
  void SetUp() override {
    pagetest::load_catalog();
    tavolin::g_global.shrink_size = {64, 64};
    tavolin::g_global.html_address = "";
    for (const char* book : {"_PrintBook", "_GoodBook", "_BestBook"}) make_dirs(dir + "/" + book);
  }

  // An album below the collection (rel may hold middle directories) with
  // photos of one zoom level.
  void album(const std::string& rel, const std::vector<std::string>& photos) {
    make_dirs(dir + "/" + rel + "/original");
    make_dirs(dir + "/" + rel + "/txt");
    for (const std::string& p : photos) pagetest::make_photo(dir + "/" + rel, p, 128, 96, 64);
  }
  void list(const std::string& rel, const char* file, const std::vector<std::string>& names) {
    write_file(dir + "/" + rel + "/txt/" + file, crlf_lines(names));
  }
  bool run(e_bestname_t kind) {
    sigc::signal<void, double> p1, p2;
    p1.connect([this](double v) { index_progress.push_back(v); });
    p2.connect([this](double v) { list_progress.push_back(v); });
    return tavolin::makebestbookhtml(tavolin::path_t("", dir, ""), kind, p1, p2);
  }
  std::string book(const char* file) { return read_file(dir + "/" + file); }

  enginetest::settings_guard settings;
  enginetest::scratch_dir scratch;
  std::string dir = scratch / "coll";
  std::vector<double> index_progress, list_progress;
  sigc::signal<void, double> sig;
};

TEST_F(BookPages, CollectionWithoutAlbumsGivesAnEmptyBook) {
  make_dirs(dir + "/txt");
  make_dirs(dir + "/_Best");
  ASSERT_TRUE(run(tavolin::E_BESTNAME_PRINT));
  EXPECT_EQ(book("_PrintBook/txt/list.txt"), "");
  EXPECT_EQ(book("_PrintBook/txt/count.txt"), "+0\n");
  EXPECT_TRUE(index_progress.empty());
  EXPECT_TRUE(list_progress.empty());
  const std::string index = book("_PrintBook/index.html");
  EXPECT_NE(index.find("<h1>coll Best photos</h1></CENTER>\n<p>\n<hr>\n"), std::string::npos);
  EXPECT_NE(book("_PrintBook/list.html").find("</CENTER>\n<p>\n\n<hr>\n"), std::string::npos);
}

// A FIFO left under a viewer list's name, the book's or "_Best"'s, is
// replaced by the list without a wait for a reader.
TEST_F(BookPages, ViewerListsReplaceAFifoWithoutWaiting) {
  album("solo", {"s.jpg"});
  list("solo", "print.txt", {"s.jpg"});
  list("solo", "good.txt", {"s.jpg"});
  for (const char* book : {"_PrintBook", "_Best"}) {
    make_dirs(dir + "/" + book + "/txt");
    ASSERT_EQ(mkfifo((dir + "/" + book + "/txt/list.txt").c_str(), 0644), 0);
  }
  testsupport::watchdog guard(20);
  ASSERT_TRUE(run(tavolin::E_BESTNAME_PRINT));
  EXPECT_EQ(book("_PrintBook/txt/list.txt"), "-Csolo\r\n-@txt/print.txt\r\n");
  ASSERT_TRUE(tavolin::makebesthtml(tavolin::path_t("", dir, ""), sig, sig));
  EXPECT_EQ(book("_Best/txt/list.txt"), "-Csolo\r\n-@txt/good.txt\r\n");
}

TEST_F(BookPages, GathersNestedAlbumsAndLeavesOutPrivateOnes) {
  album("2024/alb", {"a.jpg"});
  album("solo", {"s.jpg"});
  album("hidden", {"h.jpg"});
  write_file(dir + "/hidden/txt/secret.txt", "");
  album("2021/below", {"b.jpg"});
  make_dirs(dir + "/2021/txt");
  write_file(dir + "/2021/txt/secret.txt", "");
  list("2024/alb", "print.txt", {"a.jpg"});
  list("hidden", "print.txt", {"h.jpg"});
  list("2021/below", "print.txt", {"b.jpg"});
  // solo has no print list: no viewer lines, no entries, one progress step.

  ASSERT_TRUE(run(tavolin::E_BESTNAME_PRINT));
  EXPECT_EQ(book("_PrintBook/txt/list.txt"), "-C2024/alb\r\n-@txt/print.txt\r\n");
  const std::string index = book("_PrintBook/index.html");
  EXPECT_NE(
      index.find("\t<li>../2024/alb/a.jpg (Print)\n\t<br><a href=\"../2024/alb/size0/a.jpg\">"),
      std::string::npos);
  EXPECT_NE(book("_PrintBook/list.html")
                .find("<a href=\"../2024/alb/html/a_1.html\"><IMG SRC=\"../2024/alb/thumb/a.jpg\""),
            std::string::npos);
  for (const char* page : {"_PrintBook/index.html", "_PrintBook/list.html"}) {
    EXPECT_EQ(book(page).find("hidden"), std::string::npos) << page;
    EXPECT_EQ(book(page).find("below"), std::string::npos) << page;
  }
  EXPECT_EQ(book("_PrintBook/txt/count.txt"), "+1\n");
  // solo and alb: the albums found, whatever the entries that hold them.
  EXPECT_EQ(index_progress, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(list_progress, (std::vector<double>{0.5, 1.0}));
}

TEST_F(BookPages, ViewerListNamesEmptyListsButNotMissingOnes) {
  album("a", {"a.jpg"});
  album("b", {"b.jpg"});
  list("a", "print.txt", {});
  ASSERT_TRUE(run(tavolin::E_BESTNAME_PRINT));
  EXPECT_EQ(book("_PrintBook/txt/list.txt"), "-Ca\r\n-@txt/print.txt\r\n");
  EXPECT_EQ(book("_PrintBook/index.html").find("<li>"), std::string::npos);
}

TEST_F(BookPages, GoodBookFramesEveryBookItem) {
  album("a", {"print.jpg", "none.jpg"});
  write_file(dir + "/a/original/none.wav", "not really sound");
  list("a", "print.txt", {"print.jpg"});
  list("a", "good.txt", {"none.jpg", "none.wav"});
  ASSERT_TRUE(run(tavolin::E_BESTNAME_GOOD));
  const std::string good = book("_GoodBook/index.html");
  EXPECT_NE(good.find("\t<li>../a/print.jpg (Print)\n"), std::string::npos);
  EXPECT_NE(good.find("\t<br><table align=left border=5><td><a href=\"../a/size0/print.jpg\">"),
            std::string::npos);
  // A photo of no book has empty parentheses, a sound file no suffix.
  EXPECT_NE(good.find("\t<li>../a/none.jpg ()\n"), std::string::npos);
  EXPECT_NE(
      good.find("\t<li>../a/none.wav\n\t<br>\n\t<audio controls src=\"../a/original/none.wav\">"),
      std::string::npos);
  EXPECT_EQ(book("_GoodBook/txt/count.txt"), "+2+1\n");
}

TEST_F(BookPages, BestListAloneGivesNoListBorder) {
  album("a", {"best.jpg", "apply.jpg"});
  list("a", "best.txt", {"best.jpg", "apply.jpg"});
  list("a", "apply.txt", {"apply.jpg"});
  ASSERT_TRUE(run(tavolin::E_BESTNAME_BEST));
  const std::string list = book("_BestBook/list.html");
  EXPECT_NE(list.find("../a/size1/best.jpg 2x\"></a>\n"), std::string::npos);
  EXPECT_NE(list.find("../a/size1/apply.jpg 2x\" border=2></a>\n"), std::string::npos);
  // On the index page the best book frames only what another book holds.
  const std::string index = book("_BestBook/index.html");
  EXPECT_NE(index.find("<table align=left border=5><td><a href=\"../a/size0/apply.jpg\">"),
            std::string::npos);
  EXPECT_NE(index.find("\t<br><a href=\"../a/size0/best.jpg\"><IMG"), std::string::npos);
}

TEST_F(BookPages, FailuresAreReported) {
  const std::string missing = scratch / "missing";
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::makebestbookhtml(tavolin::path_t("", missing, ""),
                                         tavolin::E_BESTNAME_PRINT, sig, sig));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find(missing + ": getdirs() fail.\n"),
            std::string::npos);

  // A kind without a book directory must not write over the collection's
  // own pages.
  write_file(dir + "/index.html", "collection page");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::makebestbookhtml(tavolin::path_t("", dir, ""), static_cast<e_bestname_t>(8),
                                         sig, sig));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(read_file(dir + "/index.html"), "collection page");

  // Without its directory the book's viewer list cannot be written.
  album("a", {"a.jpg"});
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(run(tavolin::E_BESTNAME_SALE));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                dir + "/_SaleBook/txt/list.txt: can't write open.\n"),
            std::string::npos);
  EXPECT_FALSE(exists(dir + "/_SaleBook"));
}

}  // namespace

// The best album "_Best" of a collection whose albums are laid out in the
// test (photos only, no external programs needed).
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "album/engine/best.h"
#include "album/engine/global.h"
#include "album/engine/tests/collection_fixture.h"

namespace {

using collectiontest::crlf_lines;
using enginetest::exists;
using enginetest::make_dirs;
using enginetest::read_file;
using enginetest::write_file;

size_t count_of(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

class BestAlbum : public ::testing::Test {
 protected:
  void SetUp() override {
    pagetest::load_catalog();
    tavolin::g_global.shrink_size = {64, 64};
    tavolin::g_global.html_address = "";
    make_dirs(dir + "/_Best");
  }

  // An album with photos of two levels (128 x 96 against 64) and lists.
  void album(const std::string& name, const std::vector<std::string>& photos) {
    for (const std::string& p : photos) pagetest::make_photo(dir + "/" + name, p, 128, 96, 64);
    make_dirs(dir + "/" + name + "/txt");
  }
  void list(const std::string& album, const char* file, const std::vector<std::string>& names) {
    write_file(dir + "/" + album + "/txt/" + file, crlf_lines(names));
  }
  bool run() {
    sigc::signal<void, double> p1, p2;
    p1.connect([this](double v) { index_progress.push_back(v); });
    p2.connect([this](double v) { list_progress.push_back(v); });
    return tavolin::makebesthtml(tavolin::path_t("", dir, ""), p1, p2);
  }
  std::string best(const char* file) { return read_file(dir + "/_Best/" + file); }

  enginetest::settings_guard settings;
  enginetest::scratch_dir scratch;
  std::string dir = scratch / "trips.2024";
  std::vector<double> index_progress, list_progress;
};

TEST_F(BestAlbum, VisitsAlbumsInDescendingOrderAndNeverGeneratedOnes) {
  album("2023a", {"a.jpg"});
  album("2024b", {"b.jpg"});
  list("2023a", "good.txt", {});
  list("2024b", "good.txt", {"b.jpg"});
  // Neither the best album itself nor "txt" is an album of the collection.
  make_dirs(dir + "/_Best/txt");
  write_file(dir + "/_Best/txt/good.txt", "b.jpg\r\n");
  make_dirs(dir + "/txt/txt");
  write_file(dir + "/txt/txt/good.txt", "b.jpg\r\n");

  ASSERT_TRUE(run());
  EXPECT_EQ(best("txt/list.txt"), "-C2024b\r\n-@txt/good.txt\r\n-C2023a\r\n-@txt/good.txt\r\n");
  // The empty good list adds nothing to the pages: one album's rule and
  // separator only (the foot has its own rule).
  EXPECT_EQ(count_of(best("index.html"), "<hr>"), 2u);
  EXPECT_EQ(count_of(best("list.html"), " | "), 1u);
  EXPECT_EQ(best("txt/count.txt"), "+1\n");
  EXPECT_EQ(index_progress, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(list_progress, (std::vector<double>{0.5, 1.0}));
}

TEST_F(BestAlbum, OnlyBookPhotosAreMarked) {
  album("a", {"print.jpg", "plain.jpg"});
  list("a", "good.txt", {"plain.jpg"});
  list("a", "print.txt", {"print.jpg"});
  list("a", "fail.txt", {"plain.jpg"});
  ASSERT_TRUE(run());
  const std::string index = best("index.html");
  EXPECT_NE(index.find("\t<li>../a/print.jpg (Print)\n"), std::string::npos);
  EXPECT_NE(index.find("\t<br><table align=left border=5><td><a href=\"../a/size0/print.jpg\">"
                       "<IMG SRC=\"../a/size1/print.jpg\""),
            std::string::npos);
  // A good photo of no book: no fail label, no frame, no border.
  EXPECT_NE(index.find("\t<li>../a/plain.jpg\n"), std::string::npos);
  EXPECT_NE(index.find("\t<br><a href=\"../a/size0/plain.jpg\"><IMG"), std::string::npos);
  EXPECT_NE(best("list.html").find("../a/size1/plain.jpg 2x\"></a>\n"), std::string::npos);
}

TEST_F(BestAlbum, DefaultTitleComesFromTheCollectionAndIsKept) {
  album("a", {"a.jpg"});
  ASSERT_TRUE(run());
  EXPECT_EQ(best("txt/head.txt"), "trips.2024 Best photos\r\ntrips.2024 Best photos\r\n");
  EXPECT_NE(best("index.html").find("<title>trips.2024 Best photos</title>"), std::string::npos);

  write_file(dir + "/_Best/txt/head.txt", "Mine\r\nMine\r\nA comment\r\n");
  ASSERT_TRUE(run());
  EXPECT_EQ(best("txt/head.txt"), "Mine\r\nMine\r\nA comment\r\n");
  EXPECT_NE(best("list.html").find("<h1>Mine</h1></CENTER>\n<br>A comment\n<p>\n"),
            std::string::npos);
}

TEST_F(BestAlbum, FilesGoneFromTheAlbumAreLeftOut) {
  album("a", {"kept.jpg"});
  list("a", "good.txt", {"gone.jpg", "gone.mp4", "gone.wav", "kept.jpg"});
  ASSERT_TRUE(run());
  EXPECT_EQ(best("index.html").find("gone"), std::string::npos);
  EXPECT_EQ(best("list.html").find("gone"), std::string::npos);
  EXPECT_EQ(best("txt/count.txt"), "+1\n");
}

TEST_F(BestAlbum, FailuresStopBeforeAnyPage) {
  // An unlistable collection is reported and nothing is written.
  const std::string missing = scratch / "missing";
  ::testing::internal::CaptureStderr();
  sigc::signal<void, double> p1, p2;
  EXPECT_FALSE(tavolin::makebesthtml(tavolin::path_t("", missing, ""), p1, p2));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find(missing + ": getdirs() fail.\n"),
            std::string::npos);
  EXPECT_FALSE(exists(missing));

  // Without its directory the best album's list cannot be written.
  album("a", {"a.jpg"});
  list("a", "good.txt", {"a.jpg"});
  rmdir((dir + "/_Best").c_str());
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(run());
  EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                dir + "/_Best/txt/list.txt: can't write open.\n"),
            std::string::npos);
  EXPECT_FALSE(exists(dir + "/_Best"));
  EXPECT_TRUE(index_progress.empty());
}

}  // namespace

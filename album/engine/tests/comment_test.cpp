#include "album/engine/comment.h"

#include <gtest/gtest.h>

#include <sstream>

#include "album/engine/tests/enginetest.h"

using namespace tavolin;
using enginetest::read_file;
using enginetest::write_file;

namespace {

class Comments : public ::testing::Test {
 protected:
  Comments() : loc("", dir.path(), "trip") { enginetest::make_dirs(dir / "trip/txt"); }
  std::string txt(const std::string& name) const { return dir / "trip/txt/" + name; }

  enginetest::scratch_dir dir;
  path_t loc;
};

TEST_F(Comments, TitleAndCommentsRoundTripWithCrLf) {
  std::ostringstream log;
  ASSERT_TRUE(savecommenttxt(loc, "T", "a\n\nb\n", "end\r\nline", log));
  EXPECT_EQ(log.str(), "");
  EXPECT_EQ(read_file(txt("head.txt")), "T\r\nT\r\na\r\n\r\nb\r\n");
  EXPECT_EQ(read_file(txt("last.txt")), "end\r\nline\r\n");
  std::string title, head, last;
  ASSERT_TRUE(loadcommenttxt(loc, title, head, last));
  EXPECT_EQ(title, "T");
  EXPECT_EQ(head, "a\r\n\r\nb\r\n");
  EXPECT_EQ(last, "end\r\nline\r\n");
}

TEST_F(Comments, SavingMakesTheTxtDirectory) {
  const path_t fresh("", dir.path(), "new");
  enginetest::make_dirs(dir / "new");
  std::ostringstream log;
  ASSERT_TRUE(savecommenttxt(fresh, "line\none", "", "", log));
  EXPECT_EQ(read_file(dir / "new/txt/head.txt"), "line one\r\nline one\r\n")
      << "a line break inside the title must not break the file";
  EXPECT_EQ(read_file(dir / "new/txt/last.txt"), "");
}

TEST_F(Comments, SaveFailureGoesToTheLog) {
  const path_t nowhere("", dir / "missing", "x");
  std::ostringstream log;
  EXPECT_FALSE(savecommenttxt(nowhere, "T", "", "", log));
  EXPECT_EQ(log.str().find(dir / "missing/x/txt/head.txt: file open fail, "), 0u) << log.str();
}

TEST_F(Comments, DifferingTitleLinesTakeTheFirst) {
  write_file(txt("head.txt"), "One\r\nTwo\r\nrest");
  std::string title = "old", head, last = "kept";
  testing::internal::CaptureStderr();
  loadcomment(dir / "trip/txt", title, head, last);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(title, "One");
  EXPECT_EQ(head, "rest");
  EXPECT_EQ(last, "kept") << "no last.txt: value untouched";
  EXPECT_EQ(err, txt("head.txt") + ": title different.\nOne\r\nTwo\r\n");
}

TEST_F(Comments, EmptyTitleLinesKeepTheTitle) {
  write_file(txt("head.txt"), "\n\n");
  std::string title = "old", head = "h", last;
  loadcomment(dir / "trip/txt", title, head, last);
  EXPECT_EQ(title, "old");
  EXPECT_EQ(head, "");
  write_file(txt("head.txt"), "Only\n");
  testing::internal::CaptureStderr();
  loadcomment(dir / "trip/txt", title, head, last);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(title, "Only");
}

TEST_F(Comments, UpperCaseNamesAreRead) {
  write_file(txt("HEAD.TXT"), "Big\nBig\nhead\n");
  write_file(txt("LAST.TXT"), "tail\n");
  std::string title, head, last;
  ASSERT_TRUE(loadcommenttxt(loc, title, head, last));
  EXPECT_EQ(title, "Big");
  EXPECT_EQ(head, "head\n");
  EXPECT_EQ(last, "tail\n");
}

TEST_F(Comments, MissingTxtDirectoryIsReported) {
  std::string title = "t";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(loadcommenttxt(path_t("", dir.path(), "none"), title, title, title));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find(dir / "none/txt: stat fail, "), 0u) << err;
  EXPECT_EQ(title, "t");
}

TEST_F(Comments, PhotoCommentUsesBaseNameAndDeletesWhenEmpty) {
  const std::string albumdir = dir / "trip";
  ASSERT_TRUE(savephotocomment("first\nsecond", albumdir, "a.b.jpg"));
  EXPECT_EQ(read_file(txt("a.b.txt")), "first\r\nsecond\r\n");
  std::string comment;
  ASSERT_TRUE(loadphotocomment(comment, loc, "a.b.jpg"));
  EXPECT_EQ(comment, "first\r\nsecond\r\n");
  std::list<std::string> lines = {"before"};
  ASSERT_TRUE(loadphotocommentlines(lines, loc, "a.b.jpg"));
  EXPECT_EQ(lines, (std::list<std::string>{"before", "first\r", "second\r"}));

  ASSERT_TRUE(savephotocomment("", albumdir, "a.b.jpg"));
  EXPECT_FALSE(enginetest::exists(txt("a.b.txt")));
  comment = "unchanged";
  EXPECT_FALSE(loadphotocomment(comment, loc, "a.b.jpg"));
  EXPECT_EQ(comment, "unchanged");
}

TEST_F(Comments, UpperCasePhotoCommentIsReadAndDeleted) {
  write_file(txt("IMG_1.TXT"), "old\r\n");
  std::string comment;
  ASSERT_TRUE(loadphotocomment(comment, loc, "IMG_1.JPG"));
  EXPECT_EQ(comment, "old\r\n");
  ASSERT_TRUE(savephotocomment("", dir / "trip", "IMG_1.JPG"));
  EXPECT_FALSE(loadphotocomment(comment, loc, "IMG_1.JPG"))
      << "a deleted comment must not come back from the upper-case file";
}

TEST(PhotoCommentHtml, BreaksAndParagraphs) {
  std::list<std::string> lines = {"x", "", "y"};
  std::ostringstream os;
  writephotocomment(os, lines, 1);
  EXPECT_EQ(os.str(), "\t<br>x\n\t<p>y\n");

  lines = {"a\r", "b", "", "", "c"};
  os.str("");
  writephotocomment(os, lines, 0);
  EXPECT_EQ(os.str(), "<br>a\r\n<br>b\n<p><p>c\n");

  lines.clear();
  os.str("");
  writephotocomment(os, lines, 3);
  EXPECT_EQ(os.str(), "");
}

}  // namespace

// The index page of a collection directory, from entries laid out in the
// test.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "album/engine/bookindex.h"
#include "album/engine/global.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_fixture.h"

namespace {

using enginetest::make_dirs;
using enginetest::read_file;
using enginetest::write_file;

class CollectionIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    pagetest::load_catalog();
    tavolin::g_global.html_address = "";
  }
  void entry(const std::string& name, const std::string& head) {
    make_dirs(dir + "/" + name + "/txt");
    write_file(dir + "/" + name + "/txt/head.txt", head);
  }
  bool run() { return tavolin::makehtmlbook(tavolin::path_t("", dir, ""), log); }

  enginetest::settings_guard settings;
  enginetest::scratch_dir scratch;
  std::string dir = scratch.path();
  std::ostringstream log;
};

TEST_F(CollectionIndex, OneRowPerPublicEntryWithComments) {
  entry("2024 trip", "Trip\r\nTrip\r\nFirst line\r\nsecond\r\n");
  write_file(dir + "/2024 trip/txt/count.txt", "+12\r\n");
  write_file(dir + "/2024 trip/list.html", "");
  entry("a&b", "Only a title\r\n");  // a collection: no count, no list page
  entry("zsecret", "Secret\r\nSecret\r\n");
  write_file(dir + "/zsecret/txt/secret.txt", "");
  make_dirs(dir + "/html");  // no head file: not an entry of the page
  make_dirs(dir + "/txt");
  write_file(dir + "/txt/head.txt", "Collection\r\nCollection\r\nAbout it\r\n");
  write_file(dir + "/txt/last.txt", "Bye\r\n");

  ASSERT_TRUE(run()) << log.str();
  EXPECT_EQ(log.str(), "");
  const std::string page = read_file(dir + "/index.html");
  EXPECT_NE(page.find("<h1>Collection</h1></CENTER>\n<br>About it\n\n<p><table>\n"
                      "\t<tr><th>Name<th>Count<th>Open<th>Title<th>Comment\n"
                      "\t<tr><td>a&amp;b<td><td><td><a href=\"a%26b/index.html\">Only a title</a>\n"
                      "\t<tr><td>2024 trip<td>+12<td><a href=\"2024%20trip/list.html\">Open</a> "
                      "<td><a href=\"2024%20trip/index.html\">Trip</a><td>First line\n"
                      "</table>\n<br>Bye\n<p><center><a href=\"../index.html\">UP</a></center>\n"
                      "<hr>\n"),
            std::string::npos)
      << page;
  EXPECT_EQ(page.find("Secret"), std::string::npos);
}

TEST_F(CollectionIndex, CountLineIsTheFirstLineWithoutTrailingBlanks) {
  const tavolin::path_t entry("", dir, "e");
  std::string line = "stale";
  EXPECT_FALSE(tavolin::read_count_line(entry, line)) << "no file";
  EXPECT_EQ(line, "");
  make_dirs(dir + "/e/txt");
  const std::string file = dir + "/e/txt/count.txt";
  write_file(file, "");
  EXPECT_FALSE(tavolin::read_count_line(entry, line)) << "an empty file";
  const std::string longer(600, '7');  // past one read
  for (const auto& c : std::vector<std::pair<std::string, std::string>>{
           {"3+12\n", "3+12"}, {"+12 \t\r\nsecond\n", "+12"}, {"+0", "+0"}, {longer, longer}}) {
    write_file(file, c.first);
    EXPECT_TRUE(tavolin::read_count_line(entry, line));
    EXPECT_EQ(line, c.second);
  }
  make_dirs(dir + "/d/txt/count.txt");  // not a regular file
  EXPECT_FALSE(tavolin::read_count_line(tavolin::path_t("", dir, "d"), line));
}

TEST_F(CollectionIndex, FailuresGoToTheLog) {
  const std::string missing = scratch / "missing";
  EXPECT_FALSE(tavolin::makehtmlbook(tavolin::path_t("", missing, ""), log));
  EXPECT_EQ(log.str(), missing + ": getdirs() fail.\n");

  log.str("");
  make_dirs(dir + "/index.html");  // a directory can be neither removed nor written
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(run());
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(log.str(), dir + "/index.html: write open error, Is a directory\n");
}

}  // namespace

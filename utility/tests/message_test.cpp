#include "utility/message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "utility/catalog/plimzev3_messages.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/option.h"
#include "utility/tests/test_support.h"

using namespace plimlib;
using utiltest::scratch_dir;
using utiltest::write_file;

namespace {

std::vector<std::string> table_of(const std::string& bytes) {
  std::vector<char> buffer(bytes.begin(), bytes.end());
  std::vector<const char*> table;
  make_message_table(buffer, table);
  std::vector<std::string> out;
  for (const char* p : table) {
    EXPECT_GE(p, buffer.data());
    EXPECT_LT(p, buffer.data() + buffer.size());
    out.emplace_back(p);
  }
  return out;
}

using SV = std::vector<std::string>;

// Loads a catalog of the given bytes from its own directory.
std::string load_catalog(const scratch_dir& tmp, const std::string& bytes) {
  write_file(tmp / "utilcat.msg", bytes);
  utiltest::env_guard lang("LANG", std::nullopt);
  return init_message((tmp.path() + "/").c_str(), "utilcat");
}

}  // namespace

TEST(MessageTable, OnlyEndedLinesAreMessages) {
  EXPECT_EQ(table_of("a\nb\r\nc"), (SV{"a", "b"}));
  EXPECT_EQ(table_of("a\n\nb\n"), (SV{"a", "", "b"}));
  EXPECT_EQ(table_of(""), SV{});
  EXPECT_EQ(table_of("no line end"), SV{});
}

TEST(MessageTable, MessagesAreCountedByLineFeeds) {
  // A lone CR ends a line but adds no message: the table holds the first
  // lines, one for each LF byte of the catalog.
  EXPECT_EQ(table_of("a\rb\nc\r"), (SV{"a"}));
  EXPECT_EQ(table_of("\r\r\n\n\r"), (SV{"", ""}));
  EXPECT_EQ(table_of("x\n\r"), (SV{"x"}));
  EXPECT_EQ(table_of("a\rb\rc\r"), SV{});
  EXPECT_EQ(table_of("a\rb\n\nc\n"), (SV{"a", "b", ""}));
}

TEST(MessageTable, NulInsideALineEndsThatMessageOnly) {
  EXPECT_EQ(table_of(std::string("a\0z\nb\n", 6)), (SV{"a", "b"}));
}

TEST(MessageCatalog, LoadsAndHandsOutLinesById) {
  scratch_dir tmp;
  ASSERT_NE(load_catalog(tmp, "first\nsecond\r\nthird"), "");
  EXPECT_EQ(message_count(), 2u);
  EXPECT_STREQ(getmsg(0), "first");
  EXPECT_STREQ(getmsg(1), "second");
  EXPECT_STREQ(getmsg(2), "message not loaded.");
  EXPECT_STREQ(getmsg(4000000000u), "message not loaded.");
}

TEST(MessageCatalog, EmptyFileLoadsWithNoMessages) {
  scratch_dir tmp;
  EXPECT_EQ(load_catalog(tmp, ""), tmp.path() + "/utilcat.msg");
  EXPECT_EQ(message_count(), 0u);
  EXPECT_STREQ(getmsg(0), "message not loaded.");
}

TEST(MessageCatalog, FailedSearchKeepsTheLoadedTable) {
  scratch_dir tmp;
  ASSERT_NE(load_catalog(tmp, "kept\n"), "");
  utiltest::env_guard lang("LANG", std::nullopt);
  utiltest::cwd_guard cd(tmp.path());
  testing::internal::CaptureStderr();
  EXPECT_EQ(init_message((tmp.path() + "/").c_str(), "utilnothere"), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "/usr/site/share/plimlib/utilnothere.msg: can't load message file.\n");
  EXPECT_STREQ(getmsg(0), "kept");
}

TEST(MessageCatalog, DirectoryOfTheCatalogNameIsNoCatalog) {
  scratch_dir tmp;
  ASSERT_EQ(::mkdir((tmp / "utildir.msg").c_str(), 0755), 0);
  std::vector<char> buffer{'x'};
  EXPECT_FALSE(load_message(buffer, (tmp / "utildir.msg").c_str()));
  EXPECT_FALSE(load_message(buffer, (tmp / "missing.msg").c_str()));
  EXPECT_EQ(buffer.size(), 1u);
}

class CatalogSearch : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkdir((tmp / "work").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tmp / "prog").c_str(), 0755), 0);
    work = tmp / "work";
    prog = tmp / "prog/";
  }
  std::string search(const char* dir) {
    utiltest::cwd_guard cd(work);
    testing::internal::CaptureStderr();
    const std::string found = init_message(dir, "utilprog");
    errors = testing::internal::GetCapturedStderr();
    return found;
  }
  scratch_dir tmp;
  std::string work, prog, errors;
};

TEST_F(CatalogSearch, WithoutLangTheWorkingDirectoryComesFirst) {
  utiltest::env_guard lang("LANG", std::nullopt);
  write_file(work + "/utilprog.msg", "work\n");
  write_file(prog + "utilprog.msg", "prog\n");
  EXPECT_EQ(search(prog.c_str()), "utilprog.msg");
  EXPECT_STREQ(getmsg(0), "work");
}

TEST_F(CatalogSearch, ProgramDirectoryIsTriedSecond) {
  utiltest::env_guard lang("LANG", std::string("C"));
  write_file(prog + "utilprog.msg", "prog\n");
  EXPECT_EQ(search(prog.c_str()), prog + "utilprog.msg");
  EXPECT_STREQ(getmsg(0), "prog");
  EXPECT_EQ(errors, "");
}

TEST_F(CatalogSearch, LanguageFileAnywhereBeatsThePlainName) {
  utiltest::env_guard lang("LANG", std::string("xx_YY.UTF-8"));
  write_file(work + "/utilprog.msg", "work plain\n");
  write_file(prog + "utilprog.xx_YY.UTF-8.msg", "prog language\n");
  EXPECT_EQ(search(prog.c_str()), prog + "utilprog.xx_YY.UTF-8.msg");
  EXPECT_STREQ(getmsg(0), "prog language");
  write_file(work + "/utilprog.xx_YY.UTF-8.msg", "work language\n");
  EXPECT_EQ(search(prog.c_str()), "utilprog.xx_YY.UTF-8.msg");
}

TEST_F(CatalogSearch, PlainNameInTheProgramDirectoryIsTheLastLocalChoice) {
  utiltest::env_guard lang("LANG", std::string("xx_YY"));
  write_file(prog + "utilprog.msg", "prog plain\n");
  EXPECT_EQ(search(prog.c_str()), prog + "utilprog.msg");
  write_file(work + "/utilprog.msg", "work plain\n");
  EXPECT_EQ(search(prog.c_str()), "utilprog.msg");
}

TEST_F(CatalogSearch, ProgramStartedWithoutDirectorySearchesPath) {
  utiltest::env_guard lang("LANG", std::nullopt);
  utiltest::env_guard path("PATH", tmp / "prog");
  write_file(prog + "utilprog.msg", "on path\n");
  EXPECT_EQ(search(""), tmp / "prog/utilprog.msg");
  EXPECT_STREQ(getmsg(0), "on path");
}

TEST_F(CatalogSearch, DebugTracesTheSearch) {
  utiltest::env_guard lang("LANG", std::string("xx"));
  write_file(work + "/utilprog.msg", "w\n");
  g_option.debug = true;
  testing::internal::CaptureStdout();
  const std::string found = search(prog.c_str());
  const std::string out = testing::internal::GetCapturedStdout();
  g_option.debug = false;
  EXPECT_EQ(found, "utilprog.msg");
  EXPECT_EQ(out, prog + "utilprog.xx.msg: warning can't load message file.\n");
  EXPECT_EQ(errors,
            "init_message() entering, locale.\n"
            "/usr/site/share/plimlib/utilprog.xx.msg: can't load message file.\n"
            "path: utilprog.msg\n"
            "init_message() leaving.\n");
}

TEST(MessageTitles, JoinWithADash) {
  EXPECT_EQ(make_title("Album", "2024"), "Album - 2024");
  std::string out = "old";
  make_title2(out, "plimzev3", "no image");
  EXPECT_EQ(out, "plimzev3 - no image");
}

// The programs name every id their catalog holds: a line added to a
// catalog or an id named without its line shows up here.
TEST(ShippedCatalogs, EachHoldsALinePerNamedId) {
  const struct {
    const char* file;
    plimlib::e_message_t count;
  } catalogs[] = {{"tavolin.msg", tavolin::TAVOLIN_MESSAGE_COUNT},
                  {"plimzev3.msg", plimzev2::PLIMZEV3_MESSAGE_COUNT}};
  for (const auto& c : catalogs) {
    // The source and the copy beside the programs, which they load.
    for (const char* dir : {TEST_SOURCE_DIR "/utility/catalog/", TEST_BIN_DIR "/"}) {
      const std::string text = utiltest::read_file(std::string(dir) + c.file);
      const auto lines = std::count(text.begin(), text.end(), '\n');
      EXPECT_EQ(static_cast<plimlib::e_message_t>(lines), c.count) << dir << c.file;
    }
  }
}

TEST(ShippedCatalogs, TavolinIsPlainAsciiWithEveryLineEnded) {
  const std::string text = utiltest::read_file(TEST_SOURCE_DIR "/utility/catalog/tavolin.msg");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    EXPECT_TRUE(u == '\n' || (u >= 0x20 && u < 0x7f)) << "byte " << int(u);
    EXPECT_TRUE(c != '<' && c != '>' && c != '&');
  }
  EXPECT_EQ(text.find("\n\n"), std::string::npos);  // no id left empty
}

TEST(ShippedCatalogs, BothLoadFromTheProgramDirectory) {
  utiltest::env_guard lang("LANG", std::nullopt);
  scratch_dir tmp;
  utiltest::cwd_guard cd(tmp.path());
  EXPECT_EQ(init_message(TEST_BIN_DIR "/", "tavolin"), TEST_BIN_DIR "/tavolin.msg");
  EXPECT_EQ(message_count(), tavolin::TAVOLIN_MESSAGE_COUNT);
  EXPECT_STREQ(getmsg(tavolin::MSG_TITLE_PROGRAM), "tavolin");
  EXPECT_EQ(init_message(TEST_BIN_DIR "/", "plimzev3"), TEST_BIN_DIR "/plimzev3.msg");
  EXPECT_EQ(message_count(), plimzev2::PLIMZEV3_MESSAGE_COUNT);
  EXPECT_STREQ(getmsg(plimzev2::MSG_VIEWER_NAME), "plimzev3");
}

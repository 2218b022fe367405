// The path functions: separators, buffers, multibyte names, splitting and
// joining, and the search along PATH.
#include "utility/futil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <list>
#include <memory>
#include <string>

#include "utility/tests/test_support.h"

using namespace libutils;
using utiltest::scratch_dir;

namespace {

struct parts_t {
  std::string drive, dir, name, ext;
};

parts_t split_string(const std::string& path) {
  auto p = std::make_unique<splitpath_t>();
  split(*p, path.c_str());
  return {p->drive, p->dir, p->name, p->ext};
}

}  // namespace

TEST(PathSeparators, DirnameKeepsTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(dirname("a/b/c"), "a/b/");
  EXPECT_EQ(dirname("/x"), "/");
  EXPECT_EQ(dirname("x"), "");
  EXPECT_EQ(dirname("abc"), "");
  EXPECT_EQ(dirname("dir\\name"), "dir\\");
  EXPECT_EQ(dirname("a\\b/c"), "a\\b/");
  EXPECT_EQ(dirname("a/b\\c"), "a/b\\");
  EXPECT_EQ(dirname("c:x"), "");
}

TEST(PathSeparators, BasenameCutsOnlyTheLastExtensionOfTheFileName) {
  EXPECT_EQ(libutils::basename("a/b.c.d"), "b.c");
  EXPECT_EQ(libutils::basename("a.b/c"), "c");
  EXPECT_EQ(libutils::basename("dir.d/name"), "name");
  EXPECT_EQ(libutils::basename("a/.profile"), "");
  EXPECT_EQ(libutils::basename("x\\y.jpg"), "y");
  EXPECT_EQ(libutils::basename("plain"), "plain");
  EXPECT_EQ(basename2("a/b.c.d"), "b.c.d");
  EXPECT_EQ(basename2("a\\b/c.txt"), "c.txt");
  EXPECT_EQ(basename2("dir/"), "");
}

TEST(PathSeparators, BaseptrPointsPastTheLastSeparator) {
  const char* path = "a/b\\c.jpg";
  EXPECT_EQ(baseptr(path), path + 4);
  const char* bare = "file";
  EXPECT_EQ(baseptr(bare), bare);
}

TEST(PathBuffers, WriteAtMostMaxMinusOneBytesAndTerminate) {
  char buf[8];
  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(dirname(buf, "abc/def/g", 4), 3u);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(buf[4], 'Z');

  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(libutils::basename(buf, "dir/longname.txt", 5), 4u);
  EXPECT_STREQ(buf, "long");

  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(libutils::basename(buf, "x/y", 1), 0u);
  EXPECT_EQ(buf[0], '\0');

  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(dirname(buf, "x/y", 0), 0u);
  EXPECT_EQ(buf[0], 'Z');

  EXPECT_EQ(dirname(buf, "a/b", sizeof buf), 2u);
  EXPECT_STREQ(buf, "a/");
  EXPECT_EQ(libutils::basename(buf, "a/b.c", sizeof buf), 1u);
  EXPECT_STREQ(buf, "b");
}

TEST(PathBuffers, CutOnlyBetweenWholeCharacters) {
  utiltest::locale_guard utf8(LC_CTYPE, "C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  char buf[16];
  // Three two-byte characters; room for three bytes keeps one character.
  EXPECT_EQ(libutils::basename(buf, "d/\xc3\xa9\xc3\xa9\xc3\xa9.txt", 4), 2u);
  EXPECT_STREQ(buf, "\xc3\xa9");
  EXPECT_EQ(dirname(buf, "\xe6\x97\xa5\xe6\x97\xa5/x", 6), 3u);
  EXPECT_STREQ(buf, "\xe6\x97\xa5");
}

TEST(PathMultibyte, Utf8PartsStayWhole) {
  utiltest::locale_guard utf8(LC_CTYPE, "C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  const std::string path = "\xe5\x86\x99\xe7\x9c\x9f/\xe6\x97\xa5\xe8\xa8\x98.\xe5\xa4\x8f.jpg";
  EXPECT_EQ(dirname(path), "\xe5\x86\x99\xe7\x9c\x9f/");
  EXPECT_EQ(libutils::basename(path), "\xe6\x97\xa5\xe8\xa8\x98.\xe5\xa4\x8f");
  const parts_t p = split_string("c\xc3\xa9:d\xc3\xa9/n\xc3\xa9.\xc3\xa9");
  EXPECT_EQ(p.drive, "c\xc3\xa9:");
  EXPECT_EQ(p.dir, "d\xc3\xa9/");
  EXPECT_EQ(p.name, "n\xc3\xa9");
  EXPECT_EQ(p.ext, ".\xc3\xa9");
}

TEST(PathMultibyte, SeparatorByteInsideACharacterIsNoSeparator) {
  // In GBK the character 0x81 0x5C ends in the byte of a backslash: a
  // byte-wise search would cut the path inside that character.
  utiltest::compiled_locale gbk("zh_CN", "GBK", "zh_CN.GBK");
  if (!gbk.ok()) GTEST_SKIP() << "cannot compile a GBK locale";
  utiltest::locale_guard loc(LC_CTYPE, "zh_CN.GBK");
  if (!loc.ok()) GTEST_SKIP() << "GBK locale not usable";
  const std::string ch = "\x81\x5c";
  EXPECT_EQ(dirname("dir" + ch + "name"), "");
  EXPECT_EQ(basename2("dir" + ch + "name"), "dir" + ch + "name");
  EXPECT_EQ(dirname("a/" + ch + ".jpg"), "a/");
  EXPECT_EQ(libutils::basename("a/" + ch + ".jpg"), ch);
  EXPECT_EQ(libutils::basename(ch + "\\" + ch), ch);
  const parts_t p = split_string("x" + ch + "/y" + ch + ".gz");
  EXPECT_EQ(p.dir, "x" + ch + "/");
  EXPECT_EQ(p.name, "y" + ch);
  char buf[4];
  EXPECT_EQ(libutils::basename(buf, (ch + ch).c_str(), sizeof buf), 2u);
  EXPECT_EQ(std::string(buf), ch);
}

TEST(PathMultibyte, InvalidBytesCountAsSingleCharacters) {
  utiltest::locale_guard utf8(LC_CTYPE, "C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  const std::string path = "di\xff\xfe/na\x80me.jp\xc3";
  EXPECT_EQ(dirname(path), "di\xff\xfe/");
  EXPECT_EQ(libutils::basename(path), "na\x80me");
  EXPECT_EQ(basename2(path), "na\x80me.jp\xc3");
  const parts_t p = split_string(path);
  EXPECT_EQ(p.dir, "di\xff\xfe/");
  EXPECT_EQ(p.name, "na\x80me");
  EXPECT_EQ(p.ext, ".jp\xc3");
  // A lead byte swallowing the separator would lose the directory.
  EXPECT_EQ(dirname("\xe6\x97/x"), "\xe6\x97/");
  EXPECT_EQ(delimconvert(path), path);
  EXPECT_EQ(deliminvert(path), path);
}

TEST(PathMultibyte, HighBytesInTheCLocaleAreKept) {
  utiltest::locale_guard c(LC_CTYPE, "C");
  const std::string path = "\xe5\x86\x99/\xc3\xa9t\xc3\xa9.JPG";
  EXPECT_EQ(dirname(path), "\xe5\x86\x99/");
  EXPECT_EQ(libutils::basename(path), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(delimconvert(path), path);
}

TEST(SplitPath, DriveEndsAtTheFirstColon) {
  parts_t p = split_string("c:dir/x.tar.gz");
  EXPECT_EQ(p.drive, "c:");
  EXPECT_EQ(p.dir, "dir/");
  EXPECT_EQ(p.name, "x.tar");
  EXPECT_EQ(p.ext, ".gz");
  p = split_string("a:b:c/d.e");
  EXPECT_EQ(p.drive, "a:");
  EXPECT_EQ(p.dir, "b:c/");
  EXPECT_EQ(p.name, "d");
  EXPECT_EQ(p.ext, ".e");
}

TEST(SplitPath, DotsOutsideTheFileNameDoNotMakeAnExtension) {
  parts_t p = split_string("/home/u.v/README");
  EXPECT_EQ(p.drive, "");
  EXPECT_EQ(p.dir, "/home/u.v/");
  EXPECT_EQ(p.name, "README");
  EXPECT_EQ(p.ext, "");
  p = split_string(".hidden");
  EXPECT_EQ(p.name, "");
  EXPECT_EQ(p.ext, ".hidden");
  p = split_string("");
  EXPECT_EQ(p.dir + p.name + p.ext + p.drive, "");
}

TEST(SplitPath, ConcatGivesThePathBack) {
  for (const char* path : {"c:dir/x.tar.gz", "/a/b\\c.d", "noext", "dir/", ".x", "a:"}) {
    auto p = std::make_unique<splitpath_t>();
    split(*p, path);
    EXPECT_EQ(concat(*p), path);
    char buf[path_buffer_size];
    EXPECT_TRUE(concat(buf, *p));
    EXPECT_STREQ(buf, path);
  }
}

TEST(SplitPath, ReplacingTheExtension) {
  auto p = std::make_unique<splitpath_t>();
  split(*p, "album/original/MVI_0001.MOV");
  std::strcpy(p->ext, ".jpg");
  char buf[path_buffer_size];
  ASSERT_TRUE(concat(buf, *p));
  EXPECT_STREQ(buf, "album/original/MVI_0001.jpg");
}

TEST(SplitPath, LongPartsAreCutToWholeCharacters) {
  utiltest::locale_guard utf8(LC_CTYPE, "C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  std::string dir;
  for (int i = 0; i < 2500; ++i) dir += "\xc3\xa9";
  const parts_t p = split_string(dir + "/" + std::string(5000, 'n') + ".e");
  EXPECT_EQ(p.dir.size(), 4094u);  // 2047 characters; the next would need 4096 bytes
  EXPECT_EQ(p.dir, dir.substr(0, 4094));
  EXPECT_EQ(p.name.size(), 4095u);
  EXPECT_EQ(p.ext, ".e");
}

TEST(ConcatPath, RefusesToOverflowTheDestination) {
  auto p = std::make_unique<splitpath_t>();
  std::memset(p.get(), 0, sizeof *p);
  std::memset(p->dir, 'd', 4000);
  std::memset(p->name, 'n', 4000);
  char buf[path_buffer_size + 16];
  std::memset(buf, 'Z', sizeof buf);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(concat(buf, path_buffer_size, *p));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[path_buffer_size], 'Z');
  EXPECT_NE(err.find("does not fit"), std::string::npos);
  EXPECT_EQ(concat(*p).size(), 8000u);

  char small[6];
  testing::internal::CaptureStderr();
  EXPECT_FALSE(concatpath(small, sizeof small, "c:", "d/", "n", ".e"));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(concatpath(small, sizeof small, "c:", "d/", "n", nullptr));
  EXPECT_STREQ(small, "c:d/n");
}

TEST(ExtCaseCmp, ComparesTheTailWithoutCase) {
  EXPECT_EQ(extcasecmp(std::string("photo.JPG"), ".jpg"), 0);
  EXPECT_EQ(extcasecmp(std::string("jpg"), ".jpg"), -1);
  EXPECT_NE(extcasecmp(std::string("photo.png"), ".jpg"), 0);
  EXPECT_EQ(extcasecmp("movie.Mp4xyz", 9, ".MP4"), 0);
  EXPECT_EQ(extcasecmp(std::string(".jpg"), ".JPG"), 0);
}

TEST(CurrentDirectory, GetcwdAndRealpathReadTheSystem) {
  scratch_dir tmp;
  ASSERT_EQ(::mkdir((tmp / "sub").c_str(), 0755), 0);
  const std::string real = std::filesystem::canonical(tmp.path()).string();
  utiltest::cwd_guard cd(tmp.path());
  EXPECT_EQ(libutils::getcwd(), real);
  EXPECT_EQ(libutils::realpath("sub/../sub"), real + "/sub");
}

TEST(SearchPath, ExistingNameIsReturnedUnchanged) {
  scratch_dir tmp;
  utiltest::write_file(tmp / "tool", "x");
  utiltest::cwd_guard cd(tmp.path());
  EXPECT_EQ(searchpath("tool", "/nowhere/prog"), "tool");
}

TEST(SearchPath, TriesPathEntriesThenTheHintDirectory) {
  scratch_dir tmp;
  ASSERT_EQ(::mkdir((tmp / "a").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((tmp / "b").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((tmp / "h").c_str(), 0755), 0);
  utiltest::write_file(tmp / "b/name.msg", "x");
  utiltest::write_file(tmp / "h/name.msg", "x");
  utiltest::write_file(tmp / "h/other.msg", "x");
  utiltest::cwd_guard cd(tmp.path());
  {
    utiltest::env_guard path("PATH", std::string("a::b:h"));
    EXPECT_EQ(searchpath("name.msg", nullptr), "b/name.msg");
    EXPECT_EQ(searchpath("other.msg", "b/prog"), "h/other.msg");
  }
  {
    utiltest::env_guard path("PATH", std::string("a"));
    EXPECT_EQ(searchpath("other.msg", "h/prog"), "h//other.msg");
    EXPECT_EQ(searchpath("missing.msg", "h/prog"), "missing.msg");
  }
  {
    utiltest::env_guard path("PATH", std::nullopt);
    EXPECT_EQ(searchpath("name.msg", "b/prog"), "b//name.msg");
  }
}

TEST(SearchPath, EmptyPathEntryMeansTheRootDirectory) {
  scratch_dir tmp;
  utiltest::cwd_guard cd(tmp.path());
  utiltest::env_guard path("PATH", std::string(":"));
  // The empty entry gives "" + "/" + "tmp", which exists on every Linux system.
  EXPECT_EQ(searchpath("tmp", nullptr), "/tmp");
}

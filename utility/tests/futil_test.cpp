#include "utility/futil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <list>
#include <memory>
#include <random>
#include <string>

#include "utility/regular_ifstream.h"
#include "utility/regular_ofstream.h"
#include "utility/tests/test_support.h"

using namespace libutils;
using utiltest::scratch_dir;

namespace {

std::list<std::string> L(std::initializer_list<const char*> items) {
  std::list<std::string> out;
  for (const char* s : items) out.emplace_back(s);
  return out;
}

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

class DirectoryListing : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp.path().empty());
    ASSERT_EQ(::mkdir((tmp / "b").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tmp / "a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tmp / "Z").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tmp / "\xc3\xa9").c_str(), 0755), 0);
    utiltest::write_file(tmp / "f.jpg", "x");
    utiltest::write_file(tmp / "E.txt", "x");
    ASSERT_EQ(::symlink("a", (tmp / "linkdir").c_str()), 0);
    ASSERT_EQ(::symlink("f.jpg", (tmp / "linkfile").c_str()), 0);
    ASSERT_EQ(::symlink("missing", (tmp / "dangling").c_str()), 0);
    ASSERT_TRUE(utiltest::bind_socket(tmp / "sock"));
  }

  scratch_dir tmp;
};

TEST_F(DirectoryListing, DirectoryBitDecidesSocketsCountAsDirectories) {
  std::list<std::string> dirs = L({"stale"});
  ASSERT_TRUE(getdirs(dirs, tmp.path().c_str()));
  EXPECT_EQ(dirs, L({"Z", "a", "b", "sock", "\xc3\xa9"}));
}

TEST_F(DirectoryListing, SymbolicLinksAreListedAsFiles) {
  std::list<std::string> files = L({"stale"});
  ASSERT_TRUE(getfiles(files, tmp.path()));
  EXPECT_EQ(files, L({"E.txt", "dangling", "f.jpg", "linkdir", "linkfile"}));
}

TEST_F(DirectoryListing, EmptyNameListsTheWorkingDirectory) {
  utiltest::cwd_guard cd(tmp.path());
  std::list<std::string> dirs;
  ASSERT_TRUE(getdirs(dirs, ""));
  EXPECT_EQ(dirs.size(), 5u);
  std::list<std::string> files;
  ASSERT_TRUE(getfiles(files, nullptr));
  EXPECT_EQ(files.size(), 5u);
}

TEST_F(DirectoryListing, MissingDirectoryGivesFalseAndAnEmptyList) {
  std::list<std::string> out = L({"stale"});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(getdirs(out, (tmp / "missing").c_str()));
  EXPECT_TRUE(out.empty());
  out = L({"stale"});
  EXPECT_FALSE(getfiles(out, (tmp / "f.jpg").c_str()));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

class FileTimes : public testing::Test {
 protected:
  void SetUp() override {
    source = tmp / "source";
    target = tmp / "target";
    utiltest::write_file(source, "data");
  }
  scratch_dir tmp;
  std::string source, target;
};

TEST_F(FileTimes, NeedUpdateComparesToTheNanosecond) {
  ASSERT_TRUE(utiltest::set_times(source, 1000000, 500));
  EXPECT_TRUE(need_update(source, target));  // no target yet
  utiltest::write_file(target, "old");
  ASSERT_TRUE(utiltest::set_times(target, 1000000, 499));
  EXPECT_TRUE(need_update(source, target));
  ASSERT_TRUE(utiltest::set_times(target, 1000000, 500));
  EXPECT_FALSE(need_update(source, target));
  ASSERT_TRUE(utiltest::set_times(target, 999999, 999999999));
  EXPECT_TRUE(need_update(source, target));
  ASSERT_TRUE(utiltest::set_times(target, 1000001, 0));
  EXPECT_FALSE(need_update(source, target));
}

TEST_F(FileTimes, NeedUpdateOfAMissingSourceIsFalse) {
  EXPECT_FALSE(need_update(tmp / "none", tmp / "none2"));
  EXPECT_FALSE(need_update(tmp / "none", source));
}

TEST_F(FileTimes, CopydateSetsWholeSecondsSoAFractionStillNeedsUpdate) {
  utiltest::write_file(target, "t");
  ASSERT_TRUE(utiltest::set_times(source, 1234567, 250000000));
  ASSERT_TRUE(copydate(source, target));
  const timespec t = utiltest::mtime_of(target);
  EXPECT_EQ(t.tv_sec, 1234567);
  EXPECT_EQ(t.tv_nsec, 0);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_atim.tv_sec, 1234567);
  EXPECT_TRUE(need_update(source, target));

  ASSERT_TRUE(utiltest::set_times(source, 1234567, 0));
  ASSERT_TRUE(copydate(source, target));
  EXPECT_FALSE(need_update(source, target));
}

TEST_F(FileTimes, CopydateReportsItsFailures) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(copydate((tmp / "none").c_str(), target.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), tmp / "none" + ": stat(2) error.\n");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(copydate(source.c_str(), (tmp / "no/such").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            tmp / "no/such" + ": " + std::strerror(ENOENT) + "\n");
}

class FileCopy : public FileTimes {};

TEST_F(FileCopy, CopiesAFortyMebibyteFileWithItsModificationSecond) {
  // 40 MiB and a few bytes: two whole pieces and a short last one.
  std::string data(40u * 1024 * 1024 + 7, '\0');
  std::mt19937_64 rng(42);
  for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
    const std::uint64_t word = rng();
    std::memcpy(&data[i], &word, 8);
  }
  data.back() = 'E';
  utiltest::write_file(source, data);
  ASSERT_TRUE(utiltest::set_times(source, 1700000000, 123456789));
  utiltest::write_file(target, std::string(50u * 1024 * 1024, 'x'));  // truncated by the copy
  ASSERT_TRUE(filecopy(source.c_str(), target.c_str()));
  EXPECT_TRUE(utiltest::read_file(target) == data);
  const timespec t = utiltest::mtime_of(target);
  EXPECT_EQ(t.tv_sec, 1700000000);
  EXPECT_EQ(t.tv_nsec, 0);
  EXPECT_TRUE(need_update(source, target));
}

TEST_F(FileCopy, EmptySourceGivesAnEmptyTarget) {
  utiltest::write_file(source, "");
  utiltest::write_file(target, "old content");
  ASSERT_TRUE(filecopy(source, target));
  EXPECT_EQ(utiltest::read_file(target), "");
}

TEST_F(FileCopy, RefusesToCopyAFileOntoItself) {
  ASSERT_EQ(::link(source.c_str(), target.c_str()), 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(filecopy(source, target));
  EXPECT_FALSE(filecopy(source, tmp.path() + "/./source"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(utiltest::read_file(source), "data");
  EXPECT_NE(err.find(target + ": "), std::string::npos);
}

TEST_F(FileCopy, MissingSourceOpensNothing) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(filecopy((tmp / "none").c_str(), target.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), tmp / "none" + ": stat(2) error.\n");
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(FileCopy, UnwritableTargetIsReported) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(filecopy(source, tmp / "no/such"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            tmp / "no/such" + ": " + std::strerror(ENOENT) + "\n");
}

TEST_F(FileCopy, RefusesFilesThatAreNotRegular) {
  const std::string sock = tmp / "sock";
  ASSERT_TRUE(utiltest::bind_socket(sock));
  ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0644), 0);  // opening it would block
  testing::internal::CaptureStderr();
  EXPECT_FALSE(filecopy(sock, target));
  EXPECT_FALSE(filecopy(tmp / "fifo", target));
  EXPECT_FALSE(filecopy(tmp.path(), target));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(sock + ": "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(target));
}

// The mode of a new file follows the umask, a replaced file keeps its own;
// where no temporary file can be made nothing is, and the caller is told.
TEST_F(FileCopy, ReplaceFileWritesWholeFilesBesideTheTarget) {
  const mode_t mask = ::umask(027);
  EXPECT_TRUE(replace_file(target, "new"));
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
  bool made = false;
  EXPECT_TRUE(replace_file(target, "newer", &made));
  EXPECT_TRUE(made);
  EXPECT_EQ(utiltest::read_file(target), "newer");
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  errno = 0;
  EXPECT_FALSE(replace_file(tmp / "no/such", "x", &made));
  EXPECT_FALSE(made);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 2);
}

// A name that is no regular file is refused at once, without waiting for a
// writer or a device; a link to a regular file reads as the file.
TEST_F(DirectoryListing, OpenRegularRefusesWhatWouldBlockAndReadsFiles) {
  ASSERT_EQ(::mkfifo((tmp / "fifo.jpg").c_str(), 0644), 0);
  for (const char* name : {"fifo.jpg", "sock", "a", "linkdir", "missing"}) {
    const char* why = nullptr;
    EXPECT_EQ(open_regular(tmp / name, &why), -1) << name;
    ASSERT_NE(why, nullptr);
    EXPECT_STREQ(why, std::string(name) == "missing" ? std::strerror(ENOENT) : "not a regular file")
        << name;
    EXPECT_FALSE(is_regular_file(tmp / name)) << name;
    regular_ifstream in(tmp / name);
    EXPECT_FALSE(in.is_open());
    EXPECT_FALSE(in.good());
    EXPECT_STREQ(in.why(), why);
  }
  EXPECT_EQ(open_regular("/dev/null"), -1);
  EXPECT_TRUE(is_regular_file(tmp / "linkfile"));
  regular_ifstream in(tmp / "linkfile");
  ASSERT_TRUE(in.is_open());
  std::string text;
  EXPECT_TRUE(std::getline(in, text));
  EXPECT_EQ(text, "x");
  EXPECT_FALSE(std::getline(in, text));
  in.open(tmp / "fifo.jpg");
  EXPECT_FALSE(in.is_open());
}

// Writing by name never waits either: what is no regular file is refused,
// without waiting for a reader; a file, a link to one and a name not there
// yet (a dangling link's too) are written.
TEST_F(DirectoryListing, OpenForWritingRefusesWhatWouldBlockAndWritesFiles) {
  ASSERT_EQ(::mkfifo((tmp / "fifo.txt").c_str(), 0644), 0);
  testsupport::watchdog guard(20);
  for (const char* name : {"fifo.txt", "sock", "a", "linkdir"}) {
    regular_ofstream out(tmp / name);
    EXPECT_FALSE(out.is_open() || out.good()) << name;
    EXPECT_STREQ(out.why(), "not a regular file") << name;
  }
  for (const char* name : {"linkfile", "dangling", "new.txt"}) {
    regular_ofstream out(tmp / name);
    out << "yz";
    out.close();
    EXPECT_FALSE(out.fail()) << name;
  }
  for (const char* name : {"f.jpg", "missing", "new.txt"})
    EXPECT_EQ(utiltest::read_file(tmp / name), "yz") << name;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(filecopy(tmp / "f.jpg", tmp / "fifo.txt"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), tmp / "fifo.txt" + ": not a regular file\n");
}

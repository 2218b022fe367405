// The file functions: directory listings, file times, copies, whole-file
// replacement and opening without waiting.
#include "utility/futil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <list>
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

}  // namespace

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

// Temporary names are hidden, short and of one length whatever the
// target's, so the longest target names are replaced too; an extension
// kept for a format-choosing program is a short one.
TEST_F(FileCopy, TemporaryNamesFitBesideTheLongestNames) {
  const std::string longest = tmp / (std::string(251, 'n') + ".zev");
  EXPECT_TRUE(replace_file(longest, "view"));
  EXPECT_EQ(utiltest::read_file(longest), "view");
  const std::string dir = tmp / ".";
  const std::string a = make_temp_beside(longest), b = make_temp_beside(tmp / "x.zev");
  const std::string kept = make_temp_beside(longest, nullptr, true);
  const std::string odd = make_temp_beside(tmp / "x.a-very-long-extension", nullptr, true);
  for (const std::string& t : {a, b, kept, odd}) EXPECT_EQ(t.compare(0, dir.size(), dir), 0) << t;
  EXPECT_NE(a, b);
  EXPECT_EQ(a.size(), b.size());
  EXPECT_LT(a.size() - dir.size(), 32u);
  EXPECT_EQ(a.substr(a.size() - 5), ".part");
  EXPECT_EQ(kept.substr(kept.size() - 4), ".zev");
  EXPECT_EQ(odd.substr(odd.size() - 5), ".part");
  // Each name was taken at once (the source, the view and four of them):
  // a second writer never shares one.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 6);
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

#include "album/engine/util.h"

#include <gtest/gtest.h>

#include "album/engine/shell.h"
#include "album/engine/tests/enginetest.h"
#include "utility/futil.h"

using namespace tavolin;
using enginetest::exists;
using enginetest::read_file;
using enginetest::write_file;

namespace {

std::string link_text(const std::string& path) {
  char buf[4096];
  const ssize_t n = readlink(path.c_str(), buf, sizeof buf);
  return n < 0 ? "" : std::string(buf, static_cast<size_t>(n));
}

// What sh makes of a quoted word: printf through the shell, read back.
std::string through_shell(const std::string& word, const std::string& dir) {
  const std::string out = dir + "/out";
  const std::string cmd = "cd " + shell_quote(dir) + " && printf '%s' " + word + " > out";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return read_file(out);
}

TEST(ShellQuote, OrdinaryNamesOnlyGainQuotes) {
  EXPECT_EQ(shell_quote("/home/u/album/2024 trip/IMG_1.JPG"),
            "\"/home/u/album/2024 trip/IMG_1.JPG\"");
  EXPECT_EQ(shell_quote(""), "\"\"");
  EXPECT_EQ(shell_quote("a\"b$c`d\\e"), "\"a\\\"b\\$c\\`d\\\\e\"");
  EXPECT_EQ(shell_protect("/opt/bin/"), "/opt/bin/");
  EXPECT_EQ(shell_protect(""), "");
  EXPECT_EQ(shell_protect("/opt/my apps/"), "\"/opt/my apps/\"");
}

TEST(ShellQuote, ShellReadsBackTheExactName) {
  enginetest::scratch_dir dir;
  for (const std::string name :
       {"x\"$(touch pwned)\".jpg", "`touch pwned`", "a\\b\\\\c", "$HOME", "it's",
        "semi;colon & amp | pipe > gt", "tab\tand\nnewline", "!bang", "*"}) {
    EXPECT_EQ(through_shell(shell_quote(name), dir.path()), name);
  }
  EXPECT_FALSE(exists(dir / "pwned"));
}

class Commands : public ::testing::Test {
 protected:
  enginetest::settings_guard keep;
};

TEST_F(Commands, LinesForOrdinaryNames) {
  g_global = global_t();
  EXPECT_EQ(browser_command("/home/u/album"),
            "browser.sh -noraise --new-tab \"/home/u/album/index.html\"");
  EXPECT_EQ(plimzev3_command("/usr/bin/", {"/a/b.jpg"}),
            "/usr/bin/plimzev3.lin -resizetype 2 -window_ratio_of_image 0.5"
            " -image_ratio_of_window 1 -g +0+32 \"/a/b.jpg\" &");
  g_global.plimzev3 = "v";
  EXPECT_EQ(plimzev3_command("", {"-Ssize1", "-C/r", "-F_Best/txt/list.txt"}),
            "v \"-Ssize1\" \"-C/r\" \"-F_Best/txt/list.txt\" &");
  EXPECT_EQ(plimzev3_command("/d/", {}), "/d/v &");
  EXPECT_EQ(movie_command("/m/a b.mp4"), "mpv -hwdec -geometry=3840x2160 \"/m/a b.mp4\" &");
  g_global.movie = "player $OPTS";
  EXPECT_EQ(movie_command("/m/$x.mp4"), "player $OPTS \"/m/\\$x.mp4\" &")
      << "the setting is a command fragment, the file is not";
}

// The program's own browser.sh when it can be run there, its directory
// protected from the shell; else the one on PATH.
TEST_F(Commands, BrowserFromTheProgramDirectoryWhenItHasOne) {
  enginetest::scratch_dir dir;
  const std::string prog = dir / "my $prog/";
  enginetest::make_dirs(prog);
  EXPECT_EQ(browser_command(prog, "/r"), "browser.sh -noraise --new-tab \"/r/index.html\"");
  write_file(prog + "browser.sh", "#!/bin/sh\n");
  EXPECT_EQ(browser_command(prog, "/r"), "browser.sh -noraise --new-tab \"/r/index.html\"")
      << "not executable";
  chmod((prog + "browser.sh").c_str(), 0755);
  EXPECT_EQ(browser_command(prog, "/r"),
            shell_quote(prog) + "browser.sh -noraise --new-tab \"/r/index.html\"");
  EXPECT_EQ(browser_command("", "/r"), browser_command("/r"));
}

TEST_F(Commands, BookArgumentsNameTheSizeRootAndList) {
  g_global.view_size = 2;
  EXPECT_EQ(plimzev3_book_args("/home/u/album", "_PrintBook"),
            (std::list<std::string>{"-Ssize2", "-C/home/u/album", "-F_PrintBook/txt/list.txt"}));
}

TEST(TempDir, MakesRemovesAndOwnsOnlyItsDirectory) {
  std::string made;
  {
    temp_t t;
    EXPECT_FALSE(t.destroy()) << "nothing made, nothing removed";
    ASSERT_TRUE(t.init("engine_test"));
    made = t.middle;
    EXPECT_EQ(made.rfind("/tmp/engine_test.", 0), 0u) << made;
    EXPECT_TRUE(exists(made));
    ASSERT_TRUE(t.init("other"));
    EXPECT_EQ(t.middle, made) << "a second init keeps the directory";
    std::string file;
    t.make(file, "f.txt");
    EXPECT_EQ(file, made + "/f.txt");
    write_file(file, "x");
  }
  EXPECT_FALSE(exists(made));

  enginetest::scratch_dir keepme;
  write_file(keepme / "precious", "x");
  {
    temp_t t;
    ASSERT_TRUE(t.init("engine_testXXXXXX"));
    made = t.middle;
    EXPECT_EQ(made.size(), std::string("/tmp/engine_test").size() + 6);
    t.middle = keepme.path();  // whatever a caller does to the location
  }
  EXPECT_FALSE(exists(made));
  EXPECT_TRUE(exists(keepme / "precious"));
}

TEST(TempDir, RemovalSurvivesAwkwardNames) {
  enginetest::scratch_dir guard;
  const std::string cwd = libutils::getcwd();
  ASSERT_EQ(chdir(guard.path().c_str()), 0);  // where an injected touch would land
  std::string made;
  {
    temp_t t;
    ASSERT_TRUE(t.init("engine test \"$(touch pwned)\" `touch pwned` \\"));
    made = t.middle;
    EXPECT_TRUE(exists(made));
  }
  EXPECT_FALSE(exists(made));
  EXPECT_FALSE(exists(guard / "pwned"));
  ASSERT_EQ(chdir(cwd.c_str()), 0);
}

TEST(TempDir, FailureIsReported) {
  temp_t t;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(t.init("no/such/dir/x"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "/tmp/no/such/dir/x.XXXXXX: mkdtemp failed.\n");
  EXPECT_FALSE(t.made);
}

TEST(FileHelpers, IsExist) {
  enginetest::scratch_dir dir;
  EXPECT_TRUE(is_exist(dir.path() + "/"));
  EXPECT_TRUE(is_exist(dir.path()));
  EXPECT_TRUE(is_exist("/"));
  EXPECT_FALSE(is_exist(""));
  EXPECT_FALSE(is_exist(dir / "missing"));
}

class Links : public ::testing::Test {
 protected:
  Links() {
    enginetest::make_dirs(dir / "original");
    enginetest::make_dirs(dir / "size0");
    write_file(from, "photo");
  }
  enginetest::scratch_dir dir;
  const std::string from = dir / "original/p.jpg";
  const std::string to = dir / "size0/p.jpg";
};

TEST_F(Links, CopyJpegReplacesAFileWithARelativeSymlink) {
  write_file(to, "stale");
  ASSERT_TRUE(copyjpeg(from, to, "../original/p.jpg"));
  EXPECT_EQ(link_text(to), "../original/p.jpg");
  EXPECT_EQ(read_file(to), "photo");
  ASSERT_TRUE(copyjpeg(from, to, "../original/p.jpg")) << "again over the link";
  EXPECT_EQ(link_text(to), "../original/p.jpg");
}

TEST_F(Links, CopyJpegFallsBackToAHardLink) {
  // An over-long link text makes symlink() fail, as on a file system
  // without symbolic links.
  const std::string too_long(5000, 'x');
  testing::internal::CaptureStderr();
  ASSERT_TRUE(copyjpeg(from, to, too_long));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(": symlink failed."), std::string::npos);
  struct stat a, b;
  ASSERT_EQ(stat(from.c_str(), &a), 0);
  ASSERT_EQ(lstat(to.c_str(), &b), 0);
  EXPECT_EQ(a.st_ino, b.st_ino) << "hard link";
}

TEST_F(Links, CopyJpegCopiesAcrossFileSystems) {
  struct stat shm, tmp;
  if (stat("/dev/shm", &shm) != 0 || stat(dir.path().c_str(), &tmp) != 0 ||
      shm.st_dev == tmp.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  char tmpl[] = "/dev/shm/engine_test.XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string other = std::string(tmpl) + "/p.jpg";
  testing::internal::CaptureStderr();
  const bool ok = copyjpeg(from, other, std::string(5000, 'x'));
  const std::string err = testing::internal::GetCapturedStderr();
  struct stat st;
  const bool regular = lstat(other.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  const std::string content = read_file(other);
  unlink(other.c_str());
  rmdir(tmpl);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(regular);
  EXPECT_EQ(content, "photo");
  EXPECT_NE(err.find(": hard link fail."), std::string::npos) << err;
}

TEST_F(Links, CopyJpegKeepsTheOnlyCopyOfAPhoto) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(copyjpeg(dir / "original/gone.jpg", to, "../original/gone.jpg"));
  EXPECT_TRUE(copyjpeg(from, from, "p.jpg"));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(read_file(from), "photo");
  EXPECT_EQ(link_text(from), "");
}

TEST_F(Links, LinksReplaceDanglingEntries) {
  ASSERT_EQ(symlink("../original/none.jpg", to.c_str()), 0);
  ASSERT_TRUE(hardlinkone(from, to));
  EXPECT_EQ(read_file(to), "photo");
  ASSERT_TRUE(hardlinkone(from, to)) << "already linked";
  ASSERT_TRUE(symlinkone("../original/p.jpg", to));
  EXPECT_EQ(link_text(to), "../original/p.jpg");
  EXPECT_EQ(read_file(from), "photo");
}

TEST_F(Links, FailuresAreReported) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(hardlinkone(dir / "none", dir / "nodir/x"));
  EXPECT_FALSE(symlinkone("t", dir / "nodir/x"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            dir / "none to " + dir / "nodir/x: hard link fail.\n" + "t to " +
                dir / "nodir/x: symlink failed.\n");
}

}  // namespace

TEST(FileTests, EachTestsWhatItsNameSays) {
  enginetest::scratch_dir dir;
  const std::string file = dir / "a.jpg";
  enginetest::write_file(file, "x");
  ASSERT_EQ(link(file.c_str(), (dir / "hard.jpg").c_str()), 0);
  ASSERT_EQ(symlink("a.jpg", (dir / "soft.jpg").c_str()), 0);
  enginetest::write_file(dir / "other.jpg", "x");

  EXPECT_TRUE(tavolin::stat_succeeds(file));
  EXPECT_FALSE(tavolin::stat_succeeds(file + "/")) << "a plain file is no directory";
  EXPECT_TRUE(tavolin::is_exist(file + "/")) << "is_exist drops the slash";
  EXPECT_FALSE(tavolin::stat_succeeds(""));

  EXPECT_TRUE(tavolin::same_inode(file, dir / "hard.jpg"));
  EXPECT_TRUE(tavolin::same_inode(file, dir / "soft.jpg")) << "links are followed";
  EXPECT_FALSE(tavolin::same_inode(file, dir / "other.jpg"));
  EXPECT_FALSE(tavolin::same_inode(file, dir / "missing.jpg"));

  EXPECT_EQ(tavolin::shr(4000, 3), 500u);
  EXPECT_EQ(tavolin::shr(~0ul, 63), 1u);
  EXPECT_EQ(tavolin::shr(~0ul, 64), 0u);
  EXPECT_EQ(tavolin::shr(1, 1000), 0u);
}

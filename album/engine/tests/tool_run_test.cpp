// albumtool end to end: the settings it reads from $HOME/.tavolin and the
// exact arguments the viewer and the movie player receive.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "album/engine/tests/enginetest.h"

extern char** environ;

namespace {

using enginetest::exists;
using enginetest::read_file;
using enginetest::write_file;

struct result_t {
  int status = -1;
  std::string out;
};

// Runs albumtool with args in cwd with HOME = home; collects stdout.
result_t run_tool(const std::vector<std::string>& args, const std::string& home,
                  const std::string& cwd) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "HOME=", 5) != 0) env.push_back(*e);
  }
  env.push_back("HOME=" + home);
  std::vector<std::string> argv = {TEST_BIN_DIR "/albumtool"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv, cenv;
  for (std::string& a : argv) cargv.push_back(&a[0]);
  cargv.push_back(nullptr);
  for (std::string& e : env) cenv.push_back(&e[0]);
  cenv.push_back(nullptr);

  int fds[2];
  result_t r;
  if (pipe(fds) != 0) return r;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    if (chdir(cwd.c_str()) != 0) _exit(126);
    execve(cargv[0], cargv.data(), cenv.data());
    _exit(127);
  }
  close(fds[1]);
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) r.out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// Waits until a background command has written path; returns its content.
std::string wait_for(const std::string& path) {
  for (int i = 0; i < 200 && !exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::string content = read_file(path);
  unlink(path.c_str());
  return content;
}

// A stub program that writes each of its arguments on its own line, and a
// settings file that points the viewer command and the player at it.
class ExternalPrograms : public ::testing::Test {
 protected:
  ExternalPrograms() {
    stub = dir / "stub.sh";
    args = dir / "args.txt";
    write_file(stub,
               "#!/bin/sh\n"
               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                   args + ".part'\nmv '" + args + ".part' '" + args + "'\n");
    chmod(stub.c_str(), 0755);
    // The viewer command is run from the program's own directory: climb
    // from there to the root, whatever depth the build tree has.
    char real[PATH_MAX];
    std::string up;
    if (realpath(TEST_BIN_DIR, real)) {
      for (const char* c = real; *c; ++c)
        if (*c == '/') up += "../";
    }
    write_file(dir / ".tavolin", "plimzev3=" + up + stub.substr(1) + " -resizetype 2\r\n" +
                                     "movie=" + stub + " -geometry=1x1\r\n");
  }

  std::string viewer(const std::vector<std::string>& a) {
    std::vector<std::string> all = {"run-viewer"};
    all.insert(all.end(), a.begin(), a.end());
    EXPECT_EQ(run_tool(all, dir.path(), dir.path()).status, 0);
    return wait_for(args);
  }

  enginetest::scratch_dir dir;
  std::string stub;
  std::string args;
};

TEST_F(ExternalPrograms, ViewerGetsAHostileNameAsOneArgument) {
  const std::string photo = dir / "x\"$(touch pwned)\".jpg";
  EXPECT_EQ(viewer({photo}), "-resizetype\n2\n" + photo + "\n");
  EXPECT_FALSE(exists(dir / "pwned"));
  const std::string odd = dir / "a`touch pwned` \\$HOME\\.jpg";
  EXPECT_EQ(viewer({odd}), "-resizetype\n2\n" + odd + "\n");
  EXPECT_FALSE(exists(dir / "pwned"));
}

TEST_F(ExternalPrograms, ViewerGetsBookArgumentsInOrder) {
  EXPECT_EQ(viewer({"--list", "-Ssize1", "-C" + dir.path(), "-F_Best/txt/list.txt"}),
            "-resizetype\n2\n-Ssize1\n-C" + dir.path() + "\n-F_Best/txt/list.txt\n");
}

TEST_F(ExternalPrograms, ViewerNeverTakesAPathForAnOption) {
  EXPECT_EQ(viewer({"-C.jpg"}), "-resizetype\n2\n./-C.jpg\n");
}

TEST_F(ExternalPrograms, MovieGetsTheFileLast) {
  const std::string movie = dir / "clip $(touch pwned) \"1\".mp4";
  EXPECT_EQ(run_tool({"run-movie", movie}, dir.path(), dir.path()).status, 0);
  EXPECT_EQ(wait_for(args), "-geometry=1x1\n" + movie + "\n");
  EXPECT_FALSE(exists(dir / "pwned"));
}

TEST(Albumtool, DumpsTheSettingsOfHome) {
  enginetest::scratch_dir dir;
  write_file(dir / ".tavolin", "jpeg_compress=0x50\r\nshrink_size=2048x1536\n");
  const result_t r = run_tool({"ini-dump"}, dir.path(), dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\nshrink_size=2048,1536\njpeg_compress=80\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.rfind("from=/mnt/DCIM\nalbum=" + dir.path() + "/album\n", 0), 0u);
}

TEST(Albumtool, ScanListsAlbumsNewestFirst) {
  enginetest::scratch_dir dir;
  for (const char* d :
       {"2021/original", "c/2023/original", "c/_Best/original", "p/2022/original", "p/txt"})
    enginetest::make_dirs(dir / d);
  write_file(dir / "p/txt/secret.txt", "");
  const result_t r = run_tool({"scan", dir.path()}, dir.path(), dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "c/2023\n2021\n");
}

}  // namespace

// The tavolin program itself: its command line answers before any window.
#include <sys/wait.h>

#include <cstdio>

#include "album/gui/tests/gui_test.h"

namespace {

struct result_t {
  int status = -1;
  std::string out;
};

// Runs the program with HOME set to home; ends it after 120 seconds, which
// counts as a window having opened.
result_t run_tavolin(const std::string& home, const std::string& args) {
  const std::string program = std::string(TEST_BIN_DIR) + "/tavolin";
  const std::string cmd =
      "HOME='" + home + "' timeout 120 '" + program + "' " + args + " 2>/dev/null";
  result_t r;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return r;
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int status = ::pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(Program, WrongCommandLinesPrintUsageAndEndWithZero) {
  guitest::scratch_dir scratch;
  const std::string program = std::string(TEST_BIN_DIR) + "/tavolin";
  const std::string expected = "usage: " + program + " [-h] [<from dir> <to dir>]\n";
  for (const char* args : {"-h", "only-one", "a b c", "-h second"}) {
    const result_t r = run_tavolin(scratch.path(), args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_EQ(r.out, expected) << args;
  }
  // No settings were offered or written on the way.
  EXPECT_FALSE(guitest::exists(scratch / ".tavolin"));
}

TEST(Program, LinksLibjpegStatically) {
  // The viewer uses the shared libjpeg.so.62; the album program carries
  // its own (GTK's picture loader may still bring the shared one).
  const std::string cmd = "readelf -d '" + std::string(TEST_BIN_DIR) + "/tavolin' | grep NEEDED";
  FILE* pipe = ::popen(cmd.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  ::pclose(pipe);
  EXPECT_NE(out.find("libgtkmm-3.0"), std::string::npos) << out;
  EXPECT_EQ(out.find("libjpeg"), std::string::npos) << out;
  EXPECT_EQ(out.find("libturbojpeg"), std::string::npos) << out;
}

}  // namespace

namespace {

TEST(Program, BrowserScriptHandsThePageToTheDesktop) {
  // The engine calls "browser.sh -noraise --new-tab PAGE"; a stand-in
  // xdg-open first on PATH records what it is given.
  guitest::scratch_dir scratch;
  guitest::write_file(scratch / "xdg-open",
                      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\n");
  ::chmod((scratch / "xdg-open").c_str(), 0755);
  const std::string cmd = "PATH='" + scratch.path() + ":/usr/bin:/bin' '" + TEST_BIN_DIR +
                          "/browser.sh' -noraise --new-tab '/root dir/index.html'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(guitest::read_file(scratch / "args"), "/root dir/index.html\n");
}

}  // namespace

// The leak check at exit of a sanitizer-built program, run as by hand:
// without the test environment's sanitizer options.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct run_t {
  int status = -1;
  std::string output;
};

run_t run_probe(const std::string& args) {
  run_t r;
  const std::string command =
      "env -u ASAN_OPTIONS -u LSAN_OPTIONS '" UNLOAD_PROBE "' " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.output.append(buffer, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(KeepLoaded, BlockKeptByAnUnloadedLibraryIsNoLeak) {
  const run_t r = run_probe("library '" KEPT_BLOCK_LIBRARY "'");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output.find("LeakSanitizer"), std::string::npos) << r.output;
}

TEST(KeepLoaded, OwnLeakIsStillReportedByItsFunction) {
  const run_t r = run_probe("leak");
  EXPECT_NE(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Direct leak of 64 byte(s)"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("leak_on_purpose"), std::string::npos) << r.output;
}

}  // namespace

// The shared test support: guards put the environment back, the scratch
// directory goes away, and the probe finds programs the way a shell would.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "utility/testsupport/testsupport.h"

namespace {

const char* env(const char* name) { return std::getenv(name); }

TEST(TestSupport, GuardsPutTheEnvironmentBack) {
  testsupport::env_guard outer("TESTSUPPORT_VALUE", std::string("before"));
  {
    testsupport::env_guard inner("TESTSUPPORT_VALUE", std::nullopt);
    EXPECT_EQ(env("TESTSUPPORT_VALUE"), nullptr);
    testsupport::home_guard home(nullptr);
    EXPECT_EQ(env("HOME"), nullptr);
  }
  ASSERT_NE(env("TESTSUPPORT_VALUE"), nullptr);
  EXPECT_STREQ(env("TESTSUPPORT_VALUE"), "before");
  {
    testsupport::home_guard home("/nowhere");
    EXPECT_STREQ(env("HOME"), "/nowhere");
  }
  EXPECT_STRNE(env("HOME") ? env("HOME") : "", "/nowhere");
}

TEST(TestSupport, ScratchDirectoryHoldsFilesAndIsRemoved) {
  std::string kept;
  {
    testsupport::scratch_dir dir("supporttest");
    ASSERT_TRUE(dir.ok());
    kept = dir.path();
    EXPECT_NE(kept.find("/supporttest."), std::string::npos);
    std::filesystem::create_directory(dir / "sub");
    ASSERT_TRUE(testsupport::write_file(dir.path("sub/a"), std::string("x\0y", 3)));
    EXPECT_EQ(testsupport::read_file(dir / "sub/a"), std::string("x\0y", 3));
    EXPECT_FALSE(testsupport::write_file(dir / "missing/a", "x"));
    EXPECT_EQ(testsupport::read_file(dir / "missing/a"), "");
    testsupport::cwd_guard cwd(dir / "sub");
    EXPECT_EQ(testsupport::read_file("a"), std::string("x\0y", 3));
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(TestSupport, ProgramProbeSearchesPathAndCiIsAnyValue) {
  EXPECT_TRUE(testsupport::have_program("sh"));
  EXPECT_TRUE(testsupport::have_program("/bin/sh"));
  EXPECT_FALSE(testsupport::have_program("no-such-program-anywhere"));
  EXPECT_FALSE(testsupport::have_program("/etc/passwd"));  // not executable
  EXPECT_FALSE(testsupport::have_program("/tmp"));         // a directory
  EXPECT_FALSE(testsupport::have_program(""));
  {
    testsupport::env_guard path("PATH", std::string("/nowhere"));
    EXPECT_FALSE(testsupport::have_program("sh"));
  }
  {
    testsupport::env_guard ci("CI", std::string("true"));
    EXPECT_TRUE(testsupport::under_ci());
  }
  {
    testsupport::env_guard ci("CI", std::string(""));
    EXPECT_FALSE(testsupport::under_ci());
  }
  testsupport::env_guard ci("CI", std::nullopt);
  EXPECT_FALSE(testsupport::under_ci());
}

}  // namespace

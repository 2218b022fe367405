#pragma once
// What the tests and fuzz targets of every library share: a scratch
// directory, guards that put the environment, HOME and the working
// directory back, whole-file reads and writes, and the probe for an
// outside program (see gtest.h for the test macro built on it).

#include <optional>
#include <string>

namespace testsupport {

// A fresh directory below the temporary directory (TMPDIR, else /tmp),
// removed with everything in it at the end; path("name") and
// dir / "name" are paths inside it. path() is "" when mkdtemp failed.
class scratch_dir {
 public:
  explicit scratch_dir(const char* prefix = "test");
  ~scratch_dir();
  scratch_dir(const scratch_dir&) = delete;
  scratch_dir& operator=(const scratch_dir&) = delete;
  bool ok() const { return !m_path.empty(); }
  const std::string& path() const { return m_path; }
  std::string path(const std::string& name) const { return m_path + "/" + name; }
  std::string operator/(const std::string& name) const { return path(name); }

 private:
  std::string m_path;
};

// Sets (or with nullopt unsets) an environment variable and puts the old
// state back afterwards.
class env_guard {
 public:
  env_guard(const char* name, std::optional<std::string> value);
  ~env_guard();
  env_guard(const env_guard&) = delete;
  env_guard& operator=(const env_guard&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};

// HOME set to value, or unset for a null value, for the guard's lifetime.
class home_guard : public env_guard {
 public:
  explicit home_guard(const char* value)
      : env_guard("HOME", value ? std::optional<std::string>(value) : std::nullopt) {}
};

// Changes the working directory for the lifetime of the object.
class cwd_guard {
 public:
  explicit cwd_guard(const std::string& dir);
  ~cwd_guard();
  cwd_guard(const cwd_guard&) = delete;
  cwd_guard& operator=(const cwd_guard&) = delete;

 private:
  std::string m_old;
};

// Ends the program with status 1 when it still runs after the given
// seconds: a test of a call that must never wait (on a FIFO, say) fails
// instead of hanging.
class watchdog {
 public:
  explicit watchdog(unsigned seconds);
  ~watchdog();
  watchdog(const watchdog&) = delete;
  watchdog& operator=(const watchdog&) = delete;
};

// The file's bytes; "" when it cannot be read.
std::string read_file(const std::string& path);
// Writes bytes to path, truncating it; false when any step failed.
bool write_file(const std::string& path, const std::string& bytes);

// True when name (a bare name looked up in PATH, or a path) is an
// executable file.
bool have_program(const std::string& name);
// True when the environment variable CI is set and not empty: there every
// outside program is installed, so a missing one is a failure, not a skip.
bool under_ci();

}  // namespace testsupport

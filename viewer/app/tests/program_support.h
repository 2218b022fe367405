#pragma once
// Running the real plimzev3 and outside tools (xdotool, ImageMagick) from
// the tests: a viewer process with HOME in a scratch directory, and small
// helpers that wait for what the viewer writes.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "utility/tests/test_support.h"

extern char** environ;

namespace viewertest {

using clock_type = std::chrono::steady_clock;

// Spawns argv (searched on PATH) with env; standard output into out_fd
// when it is not -1, standard error into err_path when not empty.
inline pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   int out_fd = -1, const std::string& err_path = std::string(),
                   const std::string& out_path = std::string()) {
  std::vector<std::string> argv_s = args;
  std::vector<char*> argv;
  for (std::string& a : argv_s) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_s = env;
  std::vector<char*> envp;
  for (std::string& e : env_s) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out_fd >= 0) posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  if (!out_path.empty())
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  if (!err_path.empty())
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

inline std::vector<std::string> environment() {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
  return env;
}

// Runs a tool to its end; its standard output, or nullopt when it could
// not run or did not exit with 0.
inline std::optional<std::string> capture(const std::vector<std::string>& args) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  const pid_t pid = spawn(args, environment(), fds[1], "/dev/null");
  ::close(fds[1]);
  std::string out;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
    out.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  if (pid < 0) return std::nullopt;
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

// Polls until ready() holds or seconds have passed; the last answer.
inline bool wait_for(const std::function<bool()>& ready, double seconds = 30) {
  const auto until = clock_type::now() + std::chrono::duration<double>(seconds);
  while (!ready()) {
    if (clock_type::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// One plimzev3 process with HOME in a scratch directory (or the given
// one) and its standard error in a file there; without DISPLAY when
// with_display is off.
class viewer_process {
 public:
  viewer_process(const std::vector<std::string>& args, const std::string& home,
                 const std::string& program = "plimzev3", bool with_display = true) {
    std::vector<std::string> argv{std::string(TEST_BIN_DIR) + "/" + program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env;
    for (const std::string& e : environment())
      if (e.rfind("HOME=", 0) != 0 && (with_display || e.rfind("DISPLAY=", 0) != 0))
        env.push_back(e);
    env.push_back("HOME=" + home);
    m_stderr = home + "/stderr.txt";
    m_stdout = home + "/stdout.txt";
    m_pid = spawn(argv, env, -1, m_stderr, m_stdout);
  }
  ~viewer_process() {
    if (m_pid > 0 && !m_status) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  viewer_process(const viewer_process&) = delete;
  viewer_process& operator=(const viewer_process&) = delete;

  pid_t pid() const { return m_pid; }
  // The exit status once the process ended within seconds.
  std::optional<int> wait(double seconds) {
    const auto until = clock_type::now() + std::chrono::duration<double>(seconds);
    while (!m_status) {
      int status = 0;
      const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
      if (r == m_pid) {
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        break;
      }
      if (r < 0 || clock_type::now() > until) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return m_status;
  }
  std::string error_text() const { return utiltest::read_file(m_stderr); }
  std::string output_text() const { return utiltest::read_file(m_stdout); }

 private:
  std::string m_stderr;
  std::string m_stdout;
  pid_t m_pid = -1;
  std::optional<int> m_status;
};

}  // namespace viewertest

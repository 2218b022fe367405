#include "album/engine/shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "utility/futil.h"

extern char** environ;

namespace tavolin {

namespace {

// Enough of an outside program's last words for the lines that tell why it
// failed; what came before is passed on to standard error only.
constexpr std::size_t kept_error_bytes = 16 * 1024;

// Waits for pid; its exit status, or -1.
int wait_status(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

}  // namespace

bool run_keeping_errors(const std::string& command, std::string& errors) {
  errors.clear();
  // Close-on-exec: a command started beside this one on another thread
  // must not hold the pipe open, or its end would never be seen here.
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return std::system(command.c_str()) == 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
  const char* const argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  const int spawned =
      ::posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  if (spawned != 0) {
    ::close(pipe_fds[0]);
    errors = std::string("/bin/sh: ") + std::strerror(spawned);
    return false;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(pipe_fds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    const std::size_t n = static_cast<std::size_t>(got);
    libutils::write_all(STDERR_FILENO, buffer, n);
    errors.append(buffer, n);
    if (errors.size() > 2 * kept_error_bytes) errors.erase(0, errors.size() - kept_error_bytes);
  }
  ::close(pipe_fds[0]);
  const int status = wait_status(pid);
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string shell_quote(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    if (c == '"' || c == '$' || c == '`' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

static bool is_literal(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return c != '\0' && std::strchr("/._-+,:@%", c) != nullptr;
}

std::string shell_protect(const std::string& text) {
  for (char c : text) {
    if (!is_literal(c)) return shell_quote(text);
  }
  return text;
}

}  // namespace tavolin

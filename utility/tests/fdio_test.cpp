// read_all and write_all through a pipe: pieces that arrive or leave a few
// at a time, a signal that cuts a blocked call short, the end of the file
// and a broken pipe.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "utility/futil.h"

namespace {

using libutils::read_all;
using libutils::write_all;

struct pipe_t {
  int fd[2] = {-1, -1};
  pipe_t() { EXPECT_EQ(pipe(fd), 0); }
  ~pipe_t() {
    close_read();
    close_write();
  }
  void close_read() {
    if (fd[0] >= 0) close(fd[0]);
    fd[0] = -1;
  }
  void close_write() {
    if (fd[1] >= 0) close(fd[1]);
    fd[1] = -1;
  }
};

std::vector<unsigned char> pattern(size_t size) {
  std::vector<unsigned char> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
  return bytes;
}

std::atomic<int> g_signals{0};
void count_signal(int) { ++g_signals; }

}  // namespace

// Far more than a pipe holds goes through: the writer's calls are cut short
// by the full pipe, the reader's by what little has arrived; at the end of
// the file the reader has the rest and true.
TEST(DescriptorIo, WholePiecesThroughShortReadsAndWrites) {
  pipe_t p;
  const std::vector<unsigned char> sent = pattern(size_t{3} << 20);
  std::thread writer([&] {
    EXPECT_TRUE(write_all(p.fd[1], sent.data(), sent.size()));
    p.close_write();
  });
  std::vector<unsigned char> got(sent.size() + 1000);
  size_t first = 0, rest = 0;
  ASSERT_TRUE(read_all(p.fd[0], got.data(), 1000, first));
  EXPECT_EQ(first, 1000u);
  ASSERT_TRUE(read_all(p.fd[0], got.data() + first, got.size() - first, rest));
  writer.join();
  EXPECT_EQ(first + rest, sent.size());
  got.resize(first + rest);
  EXPECT_TRUE(got == sent);
  size_t after = 7;
  EXPECT_TRUE(read_all(p.fd[0], got.data(), 10, after));
  EXPECT_EQ(after, 0u);
}

// A signal whose handler does not restart calls lands while the reader
// waits on an empty pipe: the read goes on and gets what comes after.
TEST(DescriptorIo, ReadGoesOnAfterASignal) {
  struct sigaction action = {}, old = {};
  action.sa_handler = count_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: the blocked read fails with EINTR
  ASSERT_EQ(sigaction(SIGUSR1, &action, &old), 0);
  pipe_t p;
  std::atomic<bool> started{false};
  unsigned char got[4] = {};
  size_t n = 0;
  bool ok = false;
  std::thread reader([&] {
    started = true;
    ok = read_all(p.fd[0], got, sizeof got, n);
  });
  while (!started) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  g_signals = 0;
  ASSERT_EQ(pthread_kill(reader.native_handle(), SIGUSR1), 0);
  while (g_signals == 0) std::this_thread::yield();
  const unsigned char sent[4] = {1, 2, 3, 4};
  ASSERT_TRUE(write_all(p.fd[1], sent, sizeof sent));
  reader.join();
  sigaction(SIGUSR1, &old, nullptr);
  EXPECT_TRUE(ok);
  ASSERT_EQ(n, sizeof sent);
  EXPECT_EQ(0, memcmp(got, sent, sizeof sent));
}

TEST(DescriptorIo, FailuresKeepTheirErrno) {
  unsigned char byte = 0;
  size_t n = 9;
  errno = 0;
  EXPECT_FALSE(read_all(-1, &byte, 1, n));
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(n, 0u);
  pipe_t p;
  p.close_read();
  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGPIPE, &ignore, &old), 0);
  errno = 0;
  EXPECT_FALSE(write_all(p.fd[1], &byte, 1));
  EXPECT_EQ(errno, EPIPE);
  sigaction(SIGPIPE, &old, nullptr);
}

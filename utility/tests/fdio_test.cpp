// read_all and write_all through a pipe: pieces that arrive or leave a few
// at a time, a signal that cuts a blocked read short, the end of the file
// and the errors.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "utility/futil.h"

namespace {

using libutils::read_all;
using libutils::write_all;

std::atomic<int> g_signals{0};
void count_signal(int) { ++g_signals; }

}  // namespace

// Far more than a pipe holds goes through: the writer's calls are cut short
// by the full pipe, the reader's by what little has arrived; at the end of
// the file the reader has the rest and true.
TEST(DescriptorIo, WholePiecesThroughShortReadsAndWrites) {
  int fd[2];
  ASSERT_EQ(pipe(fd), 0);
  std::vector<unsigned char> sent(size_t{3} << 20), got(sent.size() + 1000);
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<unsigned char>(i * 7 + i / 251);
  std::thread writer([&] {
    EXPECT_TRUE(write_all(fd[1], sent.data(), sent.size()));
    close(fd[1]);
  });
  size_t first = 0, rest = 0, after = 7;
  EXPECT_TRUE(read_all(fd[0], got.data(), 1000, first));
  EXPECT_TRUE(read_all(fd[0], got.data() + first, got.size() - first, rest));
  writer.join();
  EXPECT_EQ(first, 1000u);
  got.resize(first + rest);
  EXPECT_TRUE(got == sent);
  EXPECT_TRUE(read_all(fd[0], got.data(), 10, after));
  EXPECT_EQ(after, 0u);
  close(fd[0]);
}

// A signal whose handler does not restart calls lands while the reader
// waits on an empty pipe: the read goes on and gets what comes after.
TEST(DescriptorIo, ReadGoesOnAfterASignal) {
  struct sigaction action = {}, old = {};
  action.sa_handler = count_signal;  // no SA_RESTART: read fails with EINTR
  ASSERT_EQ(sigaction(SIGUSR1, &action, &old), 0);
  int fd[2];
  ASSERT_EQ(pipe(fd), 0);
  std::vector<unsigned char> got(4);
  size_t n = 0;
  bool ok = false;
  std::thread reader([&] { ok = read_all(fd[0], got.data(), got.size(), n); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  g_signals = 0;
  ASSERT_EQ(pthread_kill(reader.native_handle(), SIGUSR1), 0);
  while (g_signals == 0) std::this_thread::yield();
  const std::vector<unsigned char> sent = {1, 2, 3, 4};
  EXPECT_TRUE(write_all(fd[1], sent.data(), sent.size()));
  reader.join();
  sigaction(SIGUSR1, &old, nullptr);
  EXPECT_TRUE(ok);
  EXPECT_EQ(n, sent.size());
  EXPECT_TRUE(got == sent);

  // Errors keep their errno: no descriptor, a pipe without a reader.
  close(fd[0]);
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGPIPE, &ignore, &old), 0);
  EXPECT_FALSE(write_all(fd[1], sent.data(), 1));
  EXPECT_EQ(errno, EPIPE);
  sigaction(SIGPIPE, &old, nullptr);
  close(fd[1]);
  EXPECT_FALSE(read_all(-1, got.data(), 1, n));
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(n, 0u);
}

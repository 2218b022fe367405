#include "album/engine/moviework.h"

#include <pthread.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <ostream>
#include <sstream>

#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/linestream.h"
#include "album/engine/workthreads.h"

namespace tavolin {

namespace {

std::atomic<unsigned> g_encodes{0};

}  // namespace

// ffmpeg puts a terminal on its standard input into raw mode while it runs
// and sets back at its end the mode it found: of encodes that overlap, the
// last to end may set back another one's raw mode. The mode from before
// the first is set back after the last.
struct movie_workers_t::terminal_t {
  terminal_t() : kept(isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &mode) == 0) {}
  ~terminal_t() {
    termios now;
    if (!kept || tcgetattr(STDIN_FILENO, &now) != 0) return;
    if (now.c_iflag == mode.c_iflag && now.c_oflag == mode.c_oflag && now.c_lflag == mode.c_lflag &&
        std::memcmp(now.c_cc, mode.c_cc, sizeof now.c_cc) == 0)
      return;
    // From the background a terminal is set only with SIGTTOU blocked.
    sigset_t ttou, old;
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    pthread_sigmask(SIG_BLOCK, &ttou, &old);
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
  }
  termios mode;
  bool kept;
};

unsigned movie_encodes() {
  unsigned encodes = g_encodes;
  if (encodes == 0) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    encodes = (cores + cores_per_encode - 1) / cores_per_encode;
  }
  if (!g_global.hwaccel.empty()) encodes = std::min(encodes, hardware_encodes);
  return encodes;
}

void set_movie_encodes(unsigned encodes) { g_encodes = encodes; }

struct movie_workers_t::chain_t {
  chain_t(std::size_t k, const path_t& path, const std::string& name) : k(k), levels(path, name) {}
  std::size_t k;
  movie_levels_t levels;
  std::ostringstream log;
  bool running = false;
  bool ended = false;
};

movie_workers_t::movie_workers_t(const path_t& path, unsigned encodes, done_t done)
    : m_path(path),
      m_encodes(std::max(1u, encodes)),
      m_done(std::move(done)),
      m_terminal(std::make_unique<terminal_t>()) {}

movie_workers_t::~movie_workers_t() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  for (std::thread& t : m_threads) t.join();
  m_terminal.reset();
}

void movie_workers_t::add(std::size_t k, const std::string& name) {
  m_chains.push_back(std::make_unique<chain_t>(k, m_path, name));
}

void movie_workers_t::start() {
  start_workers(m_threads, std::min<std::size_t>(m_encodes, m_chains.size()), [this] { work(); });
}

movie_workers_t::chain_t* movie_workers_t::next_due() {
  chain_t* best = nullptr;
  for (const std::unique_ptr<chain_t>& c : m_chains) {
    if (c->running || c->ended) continue;
    // In list order, the fewest levels made first.
    if (!best || c->levels.made() < best->levels.made()) best = c.get();
  }
  return best;
}

void movie_workers_t::work() {
  line_stream_t out(stdout), err(stderr);
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    chain_t* chain = m_stopping ? nullptr : next_due();
    if (!chain) {
      // Nothing due: done when nothing runs either (a running chain may
      // have a level to come).
      if (m_stopping || m_running == 0) break;
      m_changed.wait(lock);
      continue;
    }
    chain->running = true;
    ++m_running;
    lock.unlock();
    const bool ok = chain->levels.step(chain->log, out, err);
    const bool ended = !ok || chain->levels.finished();
    if (ended) m_done(chain->k, ok, chain->log.str(), chain->levels.why());
    lock.lock();
    chain->running = false;
    chain->ended = ended;
    --m_running;
    m_changed.notify_all();
  }
}

}  // namespace tavolin

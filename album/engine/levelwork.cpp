#include "album/engine/levelwork.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <sstream>

#include "album/engine/workthreads.h"

namespace tavolin {

namespace {

std::atomic<unsigned> g_workers{0};
std::atomic<uint64_t> g_budget{0};

// Bytes of a decoded picture: three 8-bit components, rows padded to 4.
uint64_t picture_bytes(uint64_t width, uint64_t height) {
  return ((width * 3 + 3) / 4 * 4) * height;
}

}  // namespace

void set_level_workers(unsigned workers) { g_workers = workers; }

unsigned level_workers() {
  const unsigned set = g_workers;
  if (set != 0) return set;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

void set_level_memory_budget(uint64_t bytes) { g_budget = bytes; }

uint64_t level_memory_budget() {
  const uint64_t set = g_budget;
  if (set != 0) return set;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page = sysconf(_SC_PAGESIZE);
  const uint64_t gib = uint64_t{1} << 30;
  if (pages <= 0 || page <= 0) return gib / 2;
  return std::min(gib, uint64_t(pages) * uint64_t(page) / 4);
}

void memory_budget_t::acquire(uint64_t bytes) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_freed.wait(lock, [&] { return m_held == 0 || m_held + bytes <= m_limit; });
  m_held += bytes;
}

void memory_budget_t::release(uint64_t bytes) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_held -= std::min(m_held, bytes);
  }
  m_freed.notify_all();
}

void level_scratch_t::prepare(uint64_t width, uint64_t height) {
  if (!m_budget) return;
  const uint64_t bytes = picture_bytes(width, height);
  if (bytes <= m_held) return;
  // A larger buffer is needed: the small one goes first, so that a worker
  // waiting for the budget holds nothing.
  drop();
  m_budget->acquire(bytes);
  m_held = bytes;
}

void level_scratch_t::photo_done() {
  if (m_held > m_keep) drop();
}

void level_scratch_t::drop() {
  picture.clear();
  if (m_budget && m_held != 0) m_budget->release(m_held);
  m_held = 0;
}

level_workers_t::level_workers_t(std::size_t n, unsigned workers, uint64_t budget)
    : m_entries(n),
      m_workers(std::max(1u, workers)),
      m_budget(budget),
      m_keep(budget / std::max(1u, workers)) {}

level_workers_t::~level_workers_t() { stop(); }

void level_workers_t::add(std::size_t k, job_t job) {
  m_entries[k].job = std::move(job);
  m_entries[k].queued = true;
}

void level_workers_t::start() {
  std::size_t queued = 0;
  for (const entry_t& e : m_entries) queued += e.queued ? 1 : 0;
  start_workers(m_threads, std::min<std::size_t>(m_workers, queued), [this] { work(); });
}

void level_workers_t::work() {
  level_scratch_t scratch(&m_budget, m_keep);
  for (;;) {
    std::size_t k;
    job_t job;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      while (m_next < m_entries.size() && !m_entries[m_next].queued) ++m_next;
      if (m_stopping || m_next >= m_entries.size()) break;
      k = m_next++;
      job.swap(m_entries[k].job);
    }
    std::ostringstream log, err;
    const bool ok = job(scratch, log, err);
    scratch.photo_done();
    mark(k, ok, log.str(), err.str());
  }
}

void level_workers_t::mark(std::size_t k, bool ok, const std::string& log, const std::string& err) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    entry_t& e = m_entries[k];
    e.done = true;
    e.ok = ok;
    e.log = log;
    e.err = err;
  }
  m_changed.notify_all();
}

void level_workers_t::wait(std::size_t k) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [&] { return m_entries[k].done; });
}

bool level_workers_t::done(std::size_t k) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_entries[k].done;
}

bool level_workers_t::ok(std::size_t k) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_entries[k].ok;
}

std::string level_workers_t::log_text(std::size_t k) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_entries[k].log;
}

std::string level_workers_t::err_text(std::size_t k) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_entries[k].err;
}

void level_workers_t::stop() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  for (std::thread& t : m_threads) t.join();
  m_threads.clear();
}

}  // namespace tavolin

#pragma once
// Building the size levels of many photos at once: a memory budget for the
// decoded pictures in flight, the picture buffer each worker keeps from one
// photo to the next, and a pool of worker threads whose results the calling
// thread takes in list order.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "image/imagetype.h"

namespace tavolin {

// Bytes of decoded pictures that may be in memory at once. A request that
// does not fit waits until enough is given back, unless nothing at all is
// held: one picture larger than the budget still goes through, alone.
class memory_budget_t {
 public:
  explicit memory_budget_t(uint64_t limit) : m_limit(limit) {}
  void acquire(uint64_t bytes);
  void release(uint64_t bytes);

 private:
  std::mutex m_mutex;
  std::condition_variable m_freed;
  uint64_t m_limit;
  uint64_t m_held = 0;
};

// The picture buffer of one worker. Without a budget (a single photo made
// on the calling thread) it only holds the picture.
class level_scratch_t {
 public:
  level_scratch_t() = default;
  // keep: the largest buffer kept between photos; a larger one is given
  // back after its photo.
  level_scratch_t(memory_budget_t* budget, uint64_t keep) : m_budget(budget), m_keep(keep) {}
  ~level_scratch_t() { drop(); }
  level_scratch_t(const level_scratch_t&) = delete;
  level_scratch_t& operator=(const level_scratch_t&) = delete;

  // Before a picture of width x height is decoded into picture (waits for
  // the budget when the buffer held is too small).
  void prepare(uint64_t width, uint64_t height);
  // After a photo.
  void photo_done();
  // Frees the buffer and gives its bytes back.
  void drop();

  libgr::image2d_t picture;

 private:
  memory_budget_t* m_budget = nullptr;
  uint64_t m_keep = 0;
  uint64_t m_held = 0;
};

// Runs the jobs of a list on worker threads, each with its own scratch and
// its own two texts (the lines for the caller's log and for standard
// error). The calling thread finishes the other entries itself (mark) and
// takes the results in list order.
class level_workers_t {
 public:
  typedef std::function<bool(level_scratch_t&, std::ostream& log, std::ostream& err)> job_t;

  // n entries; workers threads (at least one); budget in bytes.
  level_workers_t(std::size_t n, unsigned workers, uint64_t budget);
  // Stops and waits for the workers.
  ~level_workers_t();
  level_workers_t(const level_workers_t&) = delete;
  level_workers_t& operator=(const level_workers_t&) = delete;

  // Before start: entry k is done by job on a worker.
  void add(std::size_t k, job_t job);
  void start();
  // Entry k, not given to a worker, is done by the caller.
  void mark(std::size_t k, bool ok, const std::string& log, const std::string& err);
  // Waits until entry k (a worker's or marked) is done.
  void wait(std::size_t k);
  bool done(std::size_t k);
  // After done(k): its result and texts.
  bool ok(std::size_t k);
  std::string log_text(std::size_t k);
  std::string err_text(std::size_t k);
  // Queued jobs are dropped; running ones finish; the workers end.
  void stop();

 private:
  struct entry_t {
    job_t job;
    bool queued = false;
    bool done = false;
    bool ok = true;
    std::string log, err;
  };
  void work();

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<entry_t> m_entries;
  std::vector<std::thread> m_threads;
  std::size_t m_next = 0;
  bool m_stopping = false;
  unsigned m_workers;
  memory_budget_t m_budget;
  uint64_t m_keep;
};

// Worker threads for the size levels of an import: 0 (the default) is one
// per core. Process-wide; for tests and measurements.
void set_level_workers(unsigned workers);
unsigned level_workers();
// The budget in bytes of decoded pictures in flight; 0 (the default) is a
// quarter of the memory, at most 1 GiB.
void set_level_memory_budget(uint64_t bytes);
uint64_t level_memory_budget();

}  // namespace tavolin

#pragma once
// Converting the movies of a list side by side. Each movie's levels are a
// chain of encodes (movie_levels_t: level 0 first, every further level
// from the one before); a few threads run the chains, one encode each at a
// time, so that as many encodes run at once as keep the cores busy. Each
// encode is the same foreground ffmpeg command as on one thread, whose
// output does not depend on what runs beside it.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "album/engine/album.h"

namespace tavolin {

// A libx264 encode of a full-size movie keeps about this many cores busy.
constexpr unsigned cores_per_encode = 3;
// Encodes at once when g_global.hwaccel is set: hardware encoders allow
// only a few sessions at a time.
constexpr unsigned hardware_encodes = 2;

// Encodes run at once: the cores divided by cores_per_encode, rounded up
// (the smaller levels keep fewer cores busy), or the count set; never more
// than hardware_encodes with g_global.hwaccel set.
unsigned movie_encodes();
// 0 (the default) derives the count from the cores. Process-wide; for
// tests and measurements.
void set_movie_encodes(unsigned encodes);

// Runs the movie levels of the entries added, on at most encodes threads.
// A free thread takes, of the movies whose next level is due, the one with
// the fewest levels made (the first in list order among equals): every
// movie's level 0, the longest encode, which its other levels wait for,
// starts as early as it can. A movie that fails ends its chain; the others
// go on.
class movie_workers_t {
 public:
  // Called on a worker thread when entry k's chain has ended: whether all
  // its levels were made, the lines of its log and, when not, why (for the
  // user, after the movie's name).
  typedef std::function<void(std::size_t k, bool ok, const std::string& log,
                             const std::string& why)>
      done_t;

  movie_workers_t(const path_t& path, unsigned encodes, done_t done);
  // Lets the running steps end, begins no other, waits for the threads and
  // sets back the mode of a terminal on standard input.
  ~movie_workers_t();
  movie_workers_t(const movie_workers_t&) = delete;
  movie_workers_t& operator=(const movie_workers_t&) = delete;

  // Before start: entry k is the camera movie name in "original".
  void add(std::size_t k, const std::string& name);
  // Without any thread to be had, the caller runs every chain itself, now.
  void start();

 private:
  struct chain_t;
  struct terminal_t;
  chain_t* next_due();
  void work();

  path_t m_path;
  unsigned m_encodes;
  done_t m_done;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::unique_ptr<chain_t>> m_chains;
  std::vector<std::thread> m_threads;
  std::unique_ptr<terminal_t> m_terminal;
  unsigned m_running = 0;
  bool m_stopping = false;
};

}  // namespace tavolin

// shrink and shrinkupdate: the photos' levels are built on worker threads
// while the calling thread converts the movies through ffmpeg (which uses
// the cores itself); the caller takes the results in list order, so that
// progress and log lines come as from one thread.
#include <sys/stat.h>

#include <iostream>
#include <set>
#include <sstream>

#include "album/engine/ffmpeg.h"
#include "album/engine/layout.h"
#include "album/engine/levelwork.h"
#include "album/engine/photolevels.h"
#include "album/engine/shrink.h"
#include "utility/failure.h"

namespace tavolin {

namespace {

typedef std::function<bool(const files_t&, level_scratch_t&, std::ostream&, std::ostream&)>
    photo_step_t;
typedef std::function<bool(const files_t&, std::ostream&)> movie_step_t;

std::size_t next_movie(const std::vector<files_t>& files, std::size_t from) {
  while (from < files.size() && !is_movie_name(files[from].name)) ++from;
  return from;
}

bool run_levels(const std::vector<files_t>& files, sigc::signal<void, double>& progress,
                std::ostream& log, const photo_step_t& photo, const movie_step_t& movie) {
  const std::size_t n = files.size();
  level_workers_t workers(n, level_workers(), level_memory_budget());
  for (std::size_t k = 0; k < n; ++k) {
    const files_t& file = files[k];
    if (is_photo_name(file.name)) {
      workers.add(k, [&photo, &file](level_scratch_t& scratch, std::ostream& l, std::ostream& e) {
        return photo(file, scratch, l, e);
      });
    } else if (!is_movie_name(file.name)) {
      workers.mark(k, true, "", "");  // sound files and texts have no levels
    }
  }
  workers.start();
  std::size_t emitted = 0, movie_k = next_movie(files, 0);
  // One file that cannot be made (a cut camera file) leaves the others to
  // be made all the same; the step still fails.
  bool all_made = true;
  for (;;) {
    while (emitted < n && workers.done(emitted)) {
      log << workers.log_text(emitted);
      std::cerr << workers.err_text(emitted);
      if (!workers.ok(emitted)) all_made = false;
      progress.emit(static_cast<double>(emitted + 1) / static_cast<double>(n));
      ++emitted;
    }
    if (emitted == n) return all_made;
    if (movie_k < n) {
      std::ostringstream text;
      const bool ok = movie(files[movie_k], text);
      workers.mark(movie_k, ok, text.str(), "");
      movie_k = next_movie(files, movie_k + 1);
      continue;
    }
    workers.wait(emitted);
  }
}

void make_thumb_dir(const path_t& path) {
  std::string dir;
  path.make(dir, thumb_dir);
  mkdir(dir.c_str(), 0755);
}

}  // namespace

bool shrink(const path_t& path, const std::vector<files_t>& files,
            sigc::signal<void, double>& progress, std::ostream& log) {
  return shrink_keeping(path, files, std::set<std::string>(), progress, log);
}

bool shrink_keeping(const path_t& path, const std::vector<files_t>& files,
                    const std::set<std::string>& kept, sigc::signal<void, double>& progress,
                    std::ostream& log) {
  make_thumb_dir(path);
  return run_levels(
      files, progress, log,
      [&path, &kept](const files_t& file, level_scratch_t& scratch, std::ostream& l,
                     std::ostream& e) {
        if (kept.count(file.name) == 0) return shrink_photo(path, file, l, e, scratch);
        // Its lines go to the log, as those of the photos made anew.
        return update_photo(path, file, l, l, scratch) || libutils::fail_to(l, "shinkone() fail.");
      },
      [&path](const files_t& file, std::ostream& l) { return shrinkmovie(path, file.name, l); });
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress) {
  return shrinkupdate(path, files, progress, std::cerr);
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& log) {
  // An album that has only "original" is repaired by an update too.
  make_thumb_dir(path);
  return run_levels(
      files, progress, log,
      [&path](const files_t& file, level_scratch_t& scratch, std::ostream& l, std::ostream& e) {
        return update_photo(path, file, l, e, scratch);
      },
      [&path](const files_t& file, std::ostream& l) { return shrinkmovie(path, file.name, l); });
}

}  // namespace tavolin

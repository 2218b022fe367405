// shrink and shrinkupdate: the photos' levels are built on worker threads
// and the movies are converted side by side on a few threads of their own
// (ffmpeg uses several cores itself); the calling thread takes the results
// in list order, so that progress and log lines come as from one thread.
#include <sys/stat.h>

#include <iostream>
#include <set>

#include "album/engine/layout.h"
#include "album/engine/levelwork.h"
#include "album/engine/moviework.h"
#include "album/engine/photolevels.h"
#include "album/engine/shrink.h"
#include "utility/failure.h"

namespace tavolin {

namespace {

typedef std::function<bool(const files_t&, level_scratch_t&, std::ostream&, std::ostream&)>
    photo_step_t;

// The movies' levels are the same in an import and in an update.
bool run_levels(const path_t& path, const std::vector<files_t>& files,
                sigc::signal<void, double>& progress, std::ostream& log,
                const photo_step_t& photo) {
  const std::size_t n = files.size();
  level_workers_t workers(n, level_workers(), level_memory_budget());
  // Ended before workers: its threads mark entries of workers.
  movie_workers_t movies(path, movie_encodes(),
                         [&workers](std::size_t k, bool ok, const std::string& text) {
                           workers.mark(k, ok, text, "");
                         });
  for (std::size_t k = 0; k < n; ++k) {
    const files_t& file = files[k];
    if (is_photo_name(file.name)) {
      workers.add(k, [&photo, &file](level_scratch_t& scratch, std::ostream& l, std::ostream& e) {
        return photo(file, scratch, l, e);
      });
    } else if (is_movie_name(file.name)) {
      movies.add(k, file.name);
    } else {
      workers.mark(k, true, "", "");  // sound files and texts have no levels
    }
  }
  workers.start();
  movies.start();
  // One file that cannot be made (a cut camera file) leaves the others to
  // be made all the same; the step still fails.
  bool all_made = true;
  for (std::size_t k = 0; k < n; ++k) {
    workers.wait(k);
    log << workers.log_text(k);
    std::cerr << workers.err_text(k);
    if (!workers.ok(k)) all_made = false;
    progress.emit(static_cast<double>(k + 1) / static_cast<double>(n));
  }
  return all_made;
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
  return run_levels(path, files, progress, log,
                    [&path, &kept](const files_t& file, level_scratch_t& scratch, std::ostream& l,
                                   std::ostream& e) {
                      if (kept.count(file.name) == 0)
                        return shrink_photo(path, file, l, e, scratch);
                      // Its lines go to the log, as those of the photos made anew.
                      return update_photo(path, file, l, l, scratch) ||
                             libutils::fail_to(l, "shinkone() fail.");
                    });
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress) {
  return shrinkupdate(path, files, progress, std::cerr);
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& log) {
  // An album that has only "original" is repaired by an update too.
  make_thumb_dir(path);
  return run_levels(path, files, progress, log,
                    [&path](const files_t& file, level_scratch_t& scratch, std::ostream& l,
                            std::ostream& e) { return update_photo(path, file, l, e, scratch); });
}

}  // namespace tavolin

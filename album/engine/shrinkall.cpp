// shrink and shrinkupdate: the photos' levels are built on worker threads
// and the movies are converted side by side on a few threads of their own
// (ffmpeg uses several cores itself); the calling thread takes the results
// in list order, so that progress and log lines come as from one thread.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <set>

#include "album/engine/failed_files.h"
#include "album/engine/layout.h"
#include "album/engine/levelwork.h"
#include "album/engine/moviework.h"
#include "album/engine/photolevels.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "image/loader_jpeg.h"
#include "utility/failure.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

typedef std::function<bool(const files_t&, level_scratch_t&, std::ostream&, std::ostream&)>
    photo_step_t;

// Why photo original got no levels, for the user, on the thread that
// tried: libjpeg's words when it could not read the photo, else the
// system's when the camera file cannot be opened; else it was the writing,
// which the lines before tell of.
std::string photo_failure(const std::string& original) {
  const std::string& jpeg = libgr::last_jpeg_error();
  if (!jpeg.empty()) return "the photo cannot be read: " + as_sentence(jpeg);
  const int fd = libutils::open_regular(original);
  if (fd < 0) return "the photo cannot be read: " + as_sentence(why_unreadable(original, errno));
  close(fd);
  return "its sizes could not be written; the lines before tell where.";
}

// The movies' levels are the same in an import and in an update. Each file
// that fails goes to failed (when given) with its reason.
bool run_levels(const path_t& path, const std::vector<files_t>& files,
                sigc::signal<void, double>& progress, std::ostream& log, failed_files_t* failed,
                const photo_step_t& photo) {
  const std::size_t n = files.size();
  // Written by the thread that made entry k before it is marked done.
  std::vector<std::string> reasons(n);
  level_workers_t workers(n, level_workers(), level_memory_budget());
  // Ended before workers: its threads mark entries of workers.
  movie_workers_t movies(path, movie_encodes(),
                         [&workers, &reasons](std::size_t k, bool ok, const std::string& text,
                                              const std::string& why) {
                           reasons[k] = why;
                           workers.mark(k, ok, text, "");
                         });
  for (std::size_t k = 0; k < n; ++k) {
    const files_t& file = files[k];
    if (is_photo_name(file.name)) {
      workers.add(k, [&photo, &file, &path, &reason = reasons[k]](
                         level_scratch_t& scratch, std::ostream& l, std::ostream& e) {
        libgr::forget_jpeg_error();
        if (photo(file, scratch, l, e)) return true;
        reason = photo_failure(file_in(path, original_dir, file.name));
        return false;
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
    if (!workers.ok(k)) {
      all_made = false;
      if (failed) failed->add(files[k].name, reasons[k].empty() ? "not made." : reasons[k]);
    }
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
  return shrink_keeping(path, files, std::set<std::string>(), progress, log, nullptr);
}

bool shrink_keeping(const path_t& path, const std::vector<files_t>& files,
                    const std::set<std::string>& kept, sigc::signal<void, double>& progress,
                    std::ostream& log, failed_files_t* failed) {
  make_thumb_dir(path);
  return run_levels(path, files, progress, log, failed,
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
  return shrinkupdate(path, files, progress, log, nullptr);
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& log, failed_files_t* failed) {
  // An album that has only "original" is repaired by an update too.
  make_thumb_dir(path);
  return run_levels(path, files, progress, log, failed,
                    [&path](const files_t& file, level_scratch_t& scratch, std::ostream& l,
                            std::ostream& e) { return update_photo(path, file, l, e, scratch); });
}

}  // namespace tavolin

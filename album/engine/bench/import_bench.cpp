// The levels of an import on one worker and on all: 40 generated photos of
// 24 MP (6000x4000, four different pictures, each copied ten times), then
// the same photos with two 5-second 1080p movies in the list. Prints wall
// and CPU times and their ratios. Usage: import_bench [PHOTOS [WORKERS
// [photos]]]; with "photos" the movies are left out.
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "album/engine/bench/bench_photo.h"
#include "album/engine/global.h"
#include "album/engine/levelwork.h"
#include "album/engine/moviework.h"
#include "album/engine/shrink.h"
#include "image/loader_jpeg.h"

namespace {

using namespace benchphoto;

bool sh(const std::string& command) { return std::system(command.c_str()) == 0; }

// CPU seconds of this process and its children: user, system.
void cpu_seconds(double& user, double& system) {
  user = system = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    struct rusage ru;
    getrusage(who, &ru);
    user += ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6;
    system += ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6;
  }
}

struct timing_t {
  double wall = 0, cpu = 0, system = 0;
  bool ok = false;
};

// Removes every level of the album, then runs shrink on files; with one
// worker the movies are converted one at a time too.
timing_t run_shrink(const std::string& album, const std::vector<tavolin::files_t>& files,
                    unsigned workers) {
  sh("cd '" + album + "' && rm -rf size* thumb movie*");
  tavolin::set_level_workers(workers);
  tavolin::set_movie_encodes(workers == 1 ? 1 : 0);
  const tavolin::path_t path("", album, "");
  sigc::signal<void, double> progress;
  std::ostringstream log;
  timing_t t;
  double user0, system0;
  cpu_seconds(user0, system0);
  const auto start = std::chrono::steady_clock::now();
  t.ok = tavolin::shrink(path, files, progress, log);
  t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double user1, system1;
  cpu_seconds(user1, system1);
  t.cpu = user1 + system1 - user0 - system0;
  t.system = system1 - system0;
  if (!t.ok) std::cerr << log.str();
  return t;
}

void print(const char* what, unsigned workers, const timing_t& t) {
  std::printf("%-28s %2u worker%s  wall %7.2f s  cpu %7.2f s (system %5.2f s)%s\n", what, workers,
              workers == 1 ? " " : "s", t.wall, t.cpu, t.system, t.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned photos = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 40;
  const unsigned all = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2]))
                                : std::max(1u, std::thread::hardware_concurrency());
  const bool with_movie_runs = !(argc > 3 && std::string(argv[3]) == "photos");
  char dir_template[] = "/tmp/import_bench.XXXXXX";
  if (!mkdtemp(dir_template)) return 1;
  const std::string album = std::string(dir_template) + "/album";
  mkdir(album.c_str(), 0755);
  mkdir((album + "/original").c_str(), 0755);
  tavolin::g_global.hwaccel = "";
  tavolin::g_global.ffmpeg = "";  // libx264, crf 23

  std::cout << "generating " << photos << " photos of " << photo_width << "x" << photo_height
            << " and two 5 s 1080p movies in " << dir_template << std::endl;
  std::vector<tavolin::files_t> photo_files;
  for (unsigned seed = 0; seed < 4 && seed < photos; ++seed) {
    libgr::jpeginfo_t info;
    libgr::jpegdata_t out;
    const std::string first = album + "/original/IMG_" + std::to_string(1000 + seed) + ".JPG";
    if (!info.compress(out, make_photo(seed), 92, true) || !out.save(first.c_str())) return 1;
  }
  for (unsigned i = 0; i < photos; ++i) {
    const std::string name = "IMG_" + std::to_string(1000 + i) + ".JPG";
    if (i >= 4 && !sh("cp '" + album + "/original/IMG_" + std::to_string(1000 + i % 4) + ".JPG' '" +
                      album + "/original/" + name + "'"))
      return 1;
    photo_files.push_back(tavolin::files_t(name, 0));
  }
  std::vector<tavolin::files_t> with_movies = photo_files;
  for (int m = 0; m < (with_movie_runs ? 2 : 0); ++m) {
    const std::string name = "MVI_" + std::to_string(2000 + m) + ".MOV";
    if (!sh("ffmpeg -loglevel error -y -f lavfi -i testsrc2=duration=5:size=1920x1080:rate=30 "
            "-c:v libx264 -preset veryfast -pix_fmt yuv420p '" +
            album + "/original/" + name + "'"))
      return 1;
    // One movie in the middle of the list, one at its end.
    with_movies.insert(m == 0 ? with_movies.begin() + with_movies.size() / 2 : with_movies.end(),
                       tavolin::files_t(name, 0));
  }
  std::vector<tavolin::files_t> movies_only;
  for (const tavolin::files_t& f : with_movies)
    if (tavolin::is_movie_name(f.name)) movies_only.push_back(f);

  // ffmpeg's echoed command lines and its output are not part of the table.
  std::fflush(stdout);
  const int saved_out = dup(1), saved_err = dup(2);
  auto quiet = [&] {
    std::fflush(stdout);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
  };
  auto loud = [&] {
    std::fflush(stdout);
    dup2(saved_out, 1);
    dup2(saved_err, 2);
  };
  quiet();
  const timing_t p1 = run_shrink(album, photo_files, 1);
  const timing_t pn = run_shrink(album, photo_files, all);
  timing_t mv, i1, in;
  if (with_movie_runs) {
    mv = run_shrink(album, movies_only, 1);
    i1 = run_shrink(album, with_movies, 1);
    in = run_shrink(album, with_movies, all);
  }
  loud();

  print("photos' levels", 1, p1);
  print("photos' levels", all, pn);
  std::printf("  wall ratio %.2f (all / one), speed-up %.2fx\n", pn.wall / p1.wall,
              p1.wall / pn.wall);
  if (!with_movie_runs) {
    remove_tree(dir_template);
    return p1.ok && pn.ok ? 0 : 1;
  }
  print("movies alone", 1, mv);
  print("import with two movies", 1, i1);
  print("import with two movies", all, in);
  std::printf("  wall ratio %.2f (all / one), speed-up %.2fx; import / movies alone %.2f\n",
              in.wall / i1.wall, i1.wall / in.wall, in.wall / mv.wall);
  remove_tree(dir_template);
  return p1.ok && pn.ok && mv.ok && i1.ok && in.ok ? 0 : 1;
}

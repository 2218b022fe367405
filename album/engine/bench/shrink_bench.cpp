// shrinkone on a generated 6000x4000 photo (no EXIF thumbnail, default
// settings) against its floor: one full decode of the same file and one
// encode of each level from halved pictures made beforehand. The ratio of
// the two is the cost of everything that is not libjpeg's own work.
#include <benchmark/benchmark.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <list>
#include <string>
#include <vector>

#include "album/engine/bench/bench_photo.h"
#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "image/imageutil.h"
#include "image/loader_jpeg.h"

namespace {

using namespace benchphoto;

// The album with its camera file, made once for the whole run.
struct album_fixture_t {
  std::string dir;
  tavolin::path_t path;
  std::string original;
  unsigned long level = 0;
  std::vector<std::string> levels;

  album_fixture_t() {
    char tmpl[] = "/tmp/engine_bench.XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    dir = tmpl;
    path = tavolin::path_t("", dir, "album");
    mkdir((dir + "/album").c_str(), 0755);
    mkdir((dir + "/album/original").c_str(), 0755);
    original = dir + "/album/original/photo.jpg";
    libgr::jpeginfo_t info;
    libgr::jpegdata_t out;
    if (!info.compress(out, make_photo(), 92, true) || !out.save(original.c_str())) std::abort();
    level = tavolin::getshrinklevel(path, "photo.jpg");
    levels = tavolin::size_level_dirs(level);
    for (const std::string& l : levels) mkdir((dir + "/album/" + l).c_str(), 0755);
  }
  ~album_fixture_t() { remove_tree(dir); }

  void remove_levels() const {
    for (const std::string& l : levels) unlink((dir + "/album/" + l + "/photo.jpg").c_str());
  }
};

album_fixture_t& fixture() {
  static album_fixture_t album;
  return album;
}

bool run_shrinkone(const album_fixture_t& album) {
  return tavolin::shrinkone(album.path, const_cast<std::vector<std::string>&>(album.levels),
                            "photo.jpg", album.level, 0, std::cerr);
}

// The pictures of every level and of the thumbnail, halved beforehand.
std::vector<libgr::image2d_t> ready_levels(const album_fixture_t& album) {
  std::vector<libgr::image2d_t> pictures;
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  libgr::image2d_t picture;
  if (!data.load(album.original.c_str()) ||
      !info.decompress(picture, data, 0, false, libgr::black3ub))
    std::abort();
  for (unsigned long i = 1; i <= album.level + 2; ++i) {
    libgr::image2d_t half;
    if (!libgr::scaledown(half, picture)) std::abort();
    pictures.push_back(half);
    picture = half;
  }
  return pictures;
}

// One decode of the camera file, one encode of each level (the levels
// with the camera file's markers, the thumbnail without), in memory.
bool run_floor(const album_fixture_t& album, const std::vector<libgr::image2d_t>& pictures) {
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  libgr::image2d_t picture;
  if (!data.load(album.original.c_str()) ||
      !info.decompress(picture, data, 0, false, libgr::black3ub))
    return false;
  benchmark::DoNotOptimize(picture.pixels.begin());
  const int quality = static_cast<int>(tavolin::g_global.jpeg_compress);
  for (size_t i = 0; i < pictures.size(); ++i) {
    libgr::jpeginfo_t level_info;
    if (i + 1 < pictures.size()) level_info.markers = info.markers;
    libgr::jpegdata_t out;
    if (!level_info.compress(out, pictures[i], quality, true)) return false;
    benchmark::DoNotOptimize(out.data.begin());
  }
  return true;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_shrinkone(benchmark::State& state) {
  album_fixture_t& album = fixture();
  for (auto _ : state) {
    state.PauseTiming();
    album.remove_levels();
    sync();
    state.ResumeTiming();
    if (!run_shrinkone(album)) state.SkipWithError("shrinkone failed");
  }
}

void BM_floor(benchmark::State& state) {
  album_fixture_t& album = fixture();
  const std::vector<libgr::image2d_t> pictures = ready_levels(album);
  for (auto _ : state) {
    if (!run_floor(album, pictures)) state.SkipWithError("floor failed");
  }
}

// Both in turn within one loop, so that a busy machine slows both alike;
// the time is shrinkone's, the counters give both and their ratio.
void BM_ratio(benchmark::State& state) {
  album_fixture_t& album = fixture();
  const std::vector<libgr::image2d_t> pictures = ready_levels(album);
  double ours = 0, floor = 0;
  for (auto _ : state) {
    album.remove_levels();
    sync();
    auto start = std::chrono::steady_clock::now();
    if (!run_floor(album, pictures)) state.SkipWithError("floor failed");
    floor += seconds_since(start);
    start = std::chrono::steady_clock::now();
    if (!run_shrinkone(album)) state.SkipWithError("shrinkone failed");
    const double elapsed = seconds_since(start);
    ours += elapsed;
    state.SetIterationTime(elapsed);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["shrinkone_ms"] = 1000 * ours / n;
  state.counters["floor_ms"] = 1000 * floor / n;
  state.counters["ratio"] = floor > 0 ? ours / floor : 0;
}

BENCHMARK(BM_shrinkone)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_floor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_ratio)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(5.0);

}  // namespace

BENCHMARK_MAIN();

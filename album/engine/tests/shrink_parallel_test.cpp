// The size levels built on worker threads, and the movies converted side
// by side, are what one thread makes: the same bytes in every file, the
// same progress on the calling thread in list order, the same failure and
// message; the memory budget holds, and so does the count of encodes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "album/engine/global.h"
#include "album/engine/levelwork.h"
#include "album/engine/moviework.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"

namespace {

namespace fs = std::filesystem;
using enginetest::read_file;
using enginetest::write_file;
using namespace phototest;
using tavolin::files_t;
using tavolin::path_t;

// Puts the process-wide worker and encode counts back after a test.
struct workers_guard {
  ~workers_guard() {
    tavolin::set_level_workers(0);
    tavolin::set_movie_encodes(0);
  }
};

// Every file below dir with its bytes (link texts for links).
std::map<std::string, std::string> contents(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    const std::string rel = e.path().string().substr(dir.size());
    if (e.is_symlink())
      out[rel] = "link " + fs::read_symlink(e.path()).string();
    else if (e.is_regular_file())
      out[rel] = read_file(e.path());
  }
  return out;
}

struct run_t {
  bool ok = false;
  std::string dir, log, err;
  std::vector<double> progress;
  bool on_caller = true;
  std::map<std::string, std::string> files;
};

class ShrinkParallel : public ::testing::Test {
 protected:
  void SetUp() override {
    enginetest::set_level_settings(256, 85, "-c:v mjpeg -q:v 5");  // deterministic movies
    enginetest::make_dirs(tmp / "camera");
  }

  // The album made from the camera files by shrink with workers threads
  // and encodes at once (update: then by shrinkupdate after removing some
  // levels).
  run_t make(unsigned workers, const std::vector<files_t>& files, bool update = false,
             unsigned encodes = 0) {
    tavolin::set_level_workers(workers);
    tavolin::set_movie_encodes(encodes);
    const std::string dir = tmp / ("album" + std::to_string(workers) + "e" +
                                   std::to_string(encodes) + (update ? "u" : ""));
    enginetest::make_dirs(dir + "/original");
    EXPECT_TRUE(run("cp -p '" + (tmp / "camera") + "'/* '" + dir + "/original/'"));
    const path_t path("", dir, "");
    run_t r;
    r.dir = dir;
    sigc::signal<void, double> progress;
    const std::thread::id caller = std::this_thread::get_id();
    progress.connect([&](double v) {
      r.progress.push_back(v);
      r.on_caller = r.on_caller && std::this_thread::get_id() == caller;
    });
    std::ostringstream log;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    r.ok = tavolin::shrink(path, files, progress, log);
    if (update && r.ok) {
      for (const char* gone : {"/size1/p1.jpg", "/thumb/p3.jpg", "/size0/p5.jpg"})
        fs::remove(dir + gone);
      write_file(dir + "/size2/p2.jpg", "");
      r.progress.clear();
      r.ok = tavolin::shrinkupdate(path, files, progress);
    }
    r.err = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    r.log = log.str();
    r.files = contents(dir);
    return r;
  }

  workers_guard keep_workers;
  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
};

std::vector<files_t> camera_files(const enginetest::scratch_dir& tmp, bool with_movie) {
  std::vector<files_t> files;
  for (unsigned i = 0; i < 9; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    EXPECT_TRUE(write_photo(tmp / ("camera/" + name), 300 + 97 * i, 200 + 61 * i, i + 1));
    files.push_back(files_t(name, i % 4));
    if (i == 4 && with_movie) {
      EXPECT_TRUE(
          run("ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=1:size=320x240:rate=5 "
              "-c:v mjpeg '" +
              (tmp / "camera/clip.avi") + "'"));
      files.push_back(files_t("clip.avi", 0));
      write_file(tmp / "camera/voice.wav", "not really sound");
      files.push_back(files_t("voice.wav", 0));
    }
  }
  EXPECT_TRUE(add_exif(tmp / "camera/p2.jpg", 6));
  return files;
}

// Tiny movies, 320x240 (levels 0 to 2 with side 256) and a portrait one as
// last, among the first photos of the camera files.
std::vector<files_t> with_movies(const enginetest::scratch_dir& tmp, std::size_t photos,
                                 const std::vector<std::string>& movies) {
  std::vector<files_t> files = camera_files(tmp, false);
  files.resize(photos);
  for (std::size_t i = 0; i < movies.size(); ++i) {
    const char* size = i + 1 == movies.size() ? "240x320" : "320x240";
    EXPECT_TRUE(
        run("ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=1:size=" + std::string(size) +
            ":rate=5 -c:v mjpeg '" + (tmp / "camera/") + movies[i] + "'"));
    files.insert(files.begin() + std::min(files.size(), 2 + 3 * i), files_t(movies[i], 0));
  }
  return files;
}

std::string path_now() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/bin:/bin";
}

// A stand-in for ffmpeg first in PATH: it notes each start and end in a
// journal, a conversion (the one with " -s ") as such, and runs the real
// one; the thumbnail of level 0 of a movie named "bad" gets a cut picture
// and fails, as an ffmpeg that dies would.
class ffmpeg_journal {
 public:
  explicit ffmpeg_journal(const enginetest::scratch_dir& tmp)
      : m_journal(tmp / "journal"), m_path("PATH", (tmp / "bin") + ":" + path_now()) {
    enginetest::make_dirs(tmp / "bin");
    write_file(tmp / "bin/ffmpeg",
               "#!/bin/sh\nkind=other\ncase \" $* \" in *\" -s \"*) kind=encode ;; esac\n"
               "echo \"+$kind\" >>'" +
                   m_journal +
                   "'\nfor last; do :; done\ncase \" $* \" in\n"
                   "*\"/movie0/bad.mp4 -f image2 \"*) echo cut >\"$last\"; sleep 0.3; status=1 ;;\n"
                   "*) PATH=${PATH#*:}; ffmpeg \"$@\"; status=$? ;;\nesac\n"
                   "echo \"-$kind\" >>'" +
                   m_journal + "'\nexit $status\n");
    chmod((tmp / "bin/ffmpeg").c_str(), 0755);
  }
  // The most conversions that ran at once since the last call; -1 when an
  // ffmpeg still runs.
  int most_at_once() {
    std::istringstream lines(read_file(m_journal));
    write_file(m_journal, "");
    int running = 0, encodes = 0, most = 0;
    for (std::string line; std::getline(lines, line);) {
      const int step = line[0] == '+' ? 1 : -1;
      running += step;
      if (line == "+encode" || line == "-encode") encodes += step;
      most = std::max(most, encodes);
    }
    return running == 0 ? most : -1;
  }

 private:
  std::string m_journal;
  testsupport::env_guard m_path;
};

void expect_in_list_order(const run_t& r, std::size_t n) {
  ASSERT_EQ(r.progress.size(), n);
  for (std::size_t k = 0; k < n; ++k) EXPECT_EQ(r.progress[k], double(k + 1) / double(n));
  EXPECT_TRUE(r.on_caller);
  for (const auto& f : r.files) EXPECT_EQ(f.first.find("/."), std::string::npos) << f.first;
}

TEST_F(ShrinkParallel, MoviesSideBySideMakeWhatOneAtATimeMakes) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::vector<files_t> files = with_movies(tmp, 4, {"a.avi", "b.mov", "c.avi"});
  ffmpeg_journal journal(tmp);
  const run_t one = make(8, files, false, 1);
  EXPECT_EQ(journal.most_at_once(), 1);
  const run_t three = make(8, files, false, 3);
  const int most_of_three = journal.most_at_once();
  EXPECT_GE(most_of_three, 2);
  EXPECT_LE(most_of_three, 3);
  // A hardware encoder is given fewer at once.
  tavolin::g_global.hwaccel = "-hide_banner";
  const run_t hardware = make(8, files, false, 8);
  const int most = journal.most_at_once();
  EXPECT_GE(most, 1);
  EXPECT_LE(most, int(tavolin::hardware_encodes));
  for (const run_t* r : {&one, &three, &hardware}) {
    EXPECT_TRUE(r->ok) << r->log << r->err;
    expect_in_list_order(*r, files.size());
    EXPECT_TRUE(r->files == one.files) << r->dir;
  }
  EXPECT_EQ(one.files.count("/movie2/c.jpg"), 1u);
}

// The others are made all the same, the failure is told in the log, and no
// ffmpeg nor a temporary file is left.
TEST_F(ShrinkParallel, MovieFailingAmongOthersEndsTheStepAsOneAtATime) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::vector<files_t> files = with_movies(tmp, 4, {"a.avi", "bad.avi", "c.avi"});
  ffmpeg_journal journal(tmp);
  const run_t one = make(8, files, false, 1);
  EXPECT_EQ(journal.most_at_once(), 1);
  const run_t three = make(8, files, false, 3);
  EXPECT_GE(journal.most_at_once(), 2);
  for (const run_t* r : {&one, &three}) {
    EXPECT_FALSE(r->ok);
    EXPECT_EQ(r->log, r->dir + "/movie0/bad.mp4: movie thumbnail save failed.\n");
    expect_in_list_order(*r, files.size());
  }
  EXPECT_TRUE(three.files == one.files);
  EXPECT_EQ(one.files.count("/movie0/bad.mp4"), 1u);
  EXPECT_EQ(one.files.count("/movie1/bad.mp4"), 0u);
  EXPECT_EQ(one.files.count("/movie2/c.jpg"), 1u);
}

// ffmpeg sets a terminal on its standard input raw while it runs: encodes
// that overlap leave it as it was before them.
TEST_F(ShrinkParallel, MoviesSideBySideLeaveTheTerminalAsItWas) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::vector<files_t> files = with_movies(tmp, 0, {"a.avi", "b.avi", "c.avi", "d.avi"});
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_TRUE(grantpt(master) == 0 && unlockpt(master) == 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  const int saved_in = dup(STDIN_FILENO);
  ASSERT_TRUE(terminal >= 0 && saved_in >= 0 && dup2(terminal, STDIN_FILENO) == STDIN_FILENO);
  termios before, after;
  const bool read_modes = tcgetattr(STDIN_FILENO, &before) == 0 && (make(1, files, false, 4).ok) &&
                          tcgetattr(STDIN_FILENO, &after) == 0;
  dup2(saved_in, STDIN_FILENO);
  for (int fd : {saved_in, terminal, master}) close(fd);
  ASSERT_TRUE(read_modes);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
}

TEST_F(ShrinkParallel, EightWorkersMakeWhatOneMakes) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::vector<files_t> files = camera_files(tmp, true);
  const run_t one = make(1, files), eight = make(8, files);
  ASSERT_TRUE(one.ok) << one.log << one.err;
  ASSERT_TRUE(eight.ok) << eight.log << eight.err;
  ASSERT_EQ(one.progress.size(), files.size());
  for (size_t k = 0; k < files.size(); ++k)
    EXPECT_EQ(one.progress[k], double(k + 1) / double(files.size()));
  EXPECT_EQ(eight.progress, one.progress);
  EXPECT_TRUE(one.on_caller && eight.on_caller);
  ASSERT_EQ(eight.files.size(), one.files.size());
  EXPECT_GT(one.files.size(), 9u * 4);
  for (const auto& f : one.files) {
    auto it = eight.files.find(f.first);
    ASSERT_NE(it, eight.files.end()) << f.first;
    EXPECT_TRUE(it->second == f.second) << f.first << " differs";
  }
}

TEST_F(ShrinkParallel, UpdateOnWorkersRepairsLikeOneThread) {
  const std::vector<files_t> files = camera_files(tmp, false);
  const run_t one = make(1, files, true), eight = make(8, files, true);
  ASSERT_TRUE(one.ok && eight.ok) << one.err << eight.err;
  EXPECT_EQ(eight.progress, one.progress);
  EXPECT_EQ(one.progress.size(), files.size());
  EXPECT_EQ(eight.files.size(), one.files.size());
  for (const auto& f : one.files) {
    auto it = eight.files.find(f.first);
    EXPECT_TRUE(it != eight.files.end() && it->second == f.second) << f.first;
  }
}

// Failing photos are told in list order and the others are made all the
// same, with one worker as with eight.
TEST_F(ShrinkParallel, FailingPhotoInTheMiddleDecidesAsWithOneWorker) {
  std::vector<files_t> files = camera_files(tmp, false);
  write_file(tmp / "camera/bad.jpg", "not a JPEG at all");
  files.insert(files.begin() + 4, files_t("bad.jpg", 0));
  write_file(tmp / "camera/worse.jpg", "not a JPEG either");
  files.insert(files.begin() + 7, files_t("worse.jpg", 0));
  const run_t one = make(1, files), eight = make(8, files);
  EXPECT_FALSE(one.ok);
  EXPECT_FALSE(eight.ok);
  EXPECT_EQ(one.log,
            "bad.jpg: shrinkone() original analyze_markers fail.\nshinkone() fail.\n"
            "worse.jpg: shrinkone() original analyze_markers fail.\nshinkone() fail.\n");
  EXPECT_EQ(eight.log, one.log);
  EXPECT_EQ(eight.progress, one.progress);
  EXPECT_EQ(one.progress.size(), files.size());
  EXPECT_EQ(eight.files, one.files);
  EXPECT_EQ(one.files.count("/thumb/p8.jpg"), 1u);
  EXPECT_NE(eight.err.find("bad.jpg: getshrinklevel() analyze_markers fail.\n"), std::string::npos)
      << eight.err;
}

TEST(LevelWorkers, ResultsInListOrderAndBudgetHolds) {
  const size_t n = 24;
  tavolin::level_workers_t workers(n, 4, 3000);
  std::atomic<int> in_flight{0}, most{0};
  for (size_t k = 0; k < n; ++k) {
    if (k % 5 == 4) continue;  // done by the caller
    workers.add(k, [&, k](tavolin::level_scratch_t& scratch, std::ostream& log, std::ostream& err) {
      scratch.prepare(20, 20);  // 1200 bytes: two fit the budget, not three
      const int now = ++in_flight;
      int seen = most;
      while (now > seen && !most.compare_exchange_weak(seen, now)) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds((n - k) % 3));
      --in_flight;
      log << "log " << k << "\n";
      err << "err " << k << "\n";
      return k != 13;
    });
  }
  workers.start();
  for (size_t k = 4; k < n; k += 5) workers.mark(k, true, "caller " + std::to_string(k), "");
  std::string logs;
  size_t k = 0;
  for (; k < n; ++k) {
    workers.wait(k);
    logs += workers.log_text(k);
    if (!workers.ok(k)) break;
  }
  EXPECT_EQ(k, 13u);
  EXPECT_EQ(logs.substr(0, 12), "log 0\nlog 1\n");
  EXPECT_NE(logs.find("log 3\ncaller 4log 5\n"), std::string::npos) << logs;
  EXPECT_NE(logs.find("log 12\nlog 13\n"), std::string::npos) << logs;
  workers.stop();
  EXPECT_LE(most.load(), 2);
  EXPECT_GE(most.load(), 1);

  // A picture larger than the whole budget still goes through, alone.
  tavolin::memory_budget_t budget(100);
  budget.acquire(500);
  budget.release(500);
  budget.acquire(60);
  budget.acquire(40);
  budget.release(100);
}

}  // namespace

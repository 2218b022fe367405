// Camera files are never lost or damaged: a clashing import leaves the
// album as it was, a copy that runs out of space leaves no fragment, and a
// failed or cut output is made again by the next update.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "album/engine/global.h"
#include "album/engine/makealbum.h"
#include "album/engine/safefile.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_links.h"
#include "album/engine/tests/photo_gen.h"

namespace {

namespace fs = std::filesystem;
using enginetest::exists;
using enginetest::read_file;
using enginetest::write_file;
using namespace phototest;
using tavolin::files_t;
using tavolin::path_t;

// Every entry below dir: its kind and content (link text, file bytes) and
// its modification time.
std::map<std::string, std::string> snapshot(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    const std::string rel = e.path().string().substr(dir.size());
    struct stat st;
    lstat(e.path().c_str(), &st);
    std::string what = std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    if (e.is_symlink())
      what += " link " + fs::read_symlink(e.path()).string();
    else if (e.is_regular_file())
      what += " file " + read_file(e.path());
    else
      what += " dir";
    out[rel] = what;
  }
  return out;
}

// Names in dir that begin with "." (temporary files left behind).
std::vector<std::string> hidden_in(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename();
    if (name[0] == '.') out.push_back(name);
  }
  return out;
}

class ImportSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    enginetest::set_level_settings(1024, 90);
    enginetest::make_dirs(tmp / "card1");
    enginetest::make_dirs(tmp / "card2");
    enginetest::make_dirs(album_dir() + "/txt");
    copying.connect([this](double v) { copied.push_back(v); });
  }
  std::string album_dir() const { return tmp / "root/trip"; }
  bool make(const std::string& from, const std::vector<files_t>& files) {
    log.str("");
    copied.clear();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok =
        tavolin::makealbumwithrotate(from, files, album, copying, shrinking, pages, zoom, log);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    return ok;
  }
  bool update(const std::vector<files_t>& files) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = tavolin::updatealbum(album, files, copying, shrinking, pages, zoom, log);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    return ok;
  }

  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
  path_t album{"", tmp / "root", "trip"};
  sigc::signal<void, double> copying, shrinking, pages, zoom;
  std::vector<double> copied;
  std::ostringstream log;
};

TEST_F(ImportSafety, ClashingNameLeavesAlbumAsItWasAndSameFileIsSkipped) {
  ASSERT_TRUE(write_photo(tmp / "card1/IMG_0001.JPG", 640, 480, 1));
  ASSERT_TRUE(write_photo(tmp / "card1/IMG_0002.JPG", 640, 480, 2));
  ASSERT_TRUE(make(tmp / "card1", {{"IMG_0001.JPG", 0}, {"IMG_0002.JPG", 0}})) << log.str();
  const auto before = snapshot(album_dir());

  // A second card whose numbering restarted: same name, other photo.
  ASSERT_TRUE(write_photo(tmp / "card2/IMG_0001.JPG", 640, 480, 9));
  ASSERT_TRUE(write_photo(tmp / "card2/IMG_0003.JPG", 640, 480, 3));
  EXPECT_FALSE(make(tmp / "card2", {{"IMG_0003.JPG", 0}, {"IMG_0001.JPG", 0}}));
  EXPECT_EQ(log.str(), album_dir() +
                           "/original/IMG_0001.JPG: a different file of this name is in the "
                           "album, not replaced.\ncopyfiles() fail.\n");
  EXPECT_TRUE(copied.empty());
  EXPECT_TRUE(snapshot(album_dir()) == before) << "the album changed";

  // The same card again: its files are there already and are skipped.
  ASSERT_TRUE(make(tmp / "card1", {{"IMG_0001.JPG", 0}, {"IMG_0002.JPG", 0}})) << log.str();
  EXPECT_EQ(copied, (std::vector<double>{0.5, 1.0}));
  EXPECT_TRUE(read_file(album_dir() + "/original/IMG_0001.JPG") ==
              read_file(tmp / "card1/IMG_0001.JPG"));
}

TEST_F(ImportSafety, MoviesThatWouldShareTheirLevelsAreRefused) {
  write_file(tmp / "card1/clip.mov", "first movie");
  write_file(tmp / "card1/clip.avi", "second movie");
  write_file(tmp / "card1/CLIP.JPG", "a photo");
  sigc::signal<void, double> progress;
  std::ostringstream refusals;
  EXPECT_FALSE(tavolin::copyfiles(tmp / "card1", {{"clip.mov", 0}, {"clip.avi", 0}}, album,
                                  progress, refusals));
  EXPECT_EQ(refusals.str(), tmp /
                                "card1/clip.avi: converts into the same movie as clip.mov, "
                                "not imported.\n");
  EXPECT_TRUE(hidden_in(album_dir() + "/original").empty());
  EXPECT_FALSE(exists(album_dir() + "/original/clip.mov"));

  // One of them already in the album clashes the same way; a photo of the
  // same name does not.
  ASSERT_TRUE(tavolin::copyfiles(tmp / "card1", {{"clip.mov", 0}, {"CLIP.JPG", 0}}, album, progress,
                                 refusals));
  refusals.str("");
  EXPECT_FALSE(tavolin::copyfiles(tmp / "card1", {{"clip.avi", 0}}, album, progress, refusals));
  EXPECT_NE(refusals.str().find("clip.avi: converts into the same movie as clip.mov"),
            std::string::npos)
      << refusals.str();
}

// Runs copy in a child whose files may not grow beyond limit bytes (as
// on a full card or disk); returns the child's exit status.
template <class Copy>
int with_file_size_limit(rlim_t limit, Copy copy) {
  const pid_t child = fork();
  if (child == 0) {
    struct rlimit rl = {limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    testing::internal::CaptureStderr();
    _exit(copy() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ImportSafety, CopyOutOfSpaceLeavesNoFragmentAndKeepsTheTarget) {
  ASSERT_TRUE(write_photo(tmp / "card1/big.jpg", 1200, 900));
  ASSERT_GT(read_file(tmp / "card1/big.jpg").size(), 100000u);
  enginetest::make_dirs(album_dir() + "/original");
  EXPECT_EQ(with_file_size_limit(
                50000,
                [&] {
                  sigc::signal<void, double> progress;
                  return tavolin::copyfiles(tmp / "card1", {{"big.jpg", 0}}, album, progress);
                }),
            1);
  EXPECT_FALSE(exists(album_dir() + "/original/big.jpg"));
  EXPECT_TRUE(hidden_in(album_dir() + "/original").empty());

  // Over a file that stands at the target, the copy helper fails the same
  // way and leaves that file whole.
  write_file(album_dir() + "/original/old.jpg", "what stood there");
  EXPECT_EQ(with_file_size_limit(50000,
                                 [&] {
                                   return tavolin::copy_replacing(
                                       tmp / "card1/big.jpg", album_dir() + "/original/old.jpg");
                                 }),
            1);
  EXPECT_EQ(read_file(album_dir() + "/original/old.jpg"), "what stood there");
  EXPECT_TRUE(hidden_in(album_dir() + "/original").empty());

  // Without the limit the copy is whole, with the camera file's times.
  set_mtime(tmp / "card1/big.jpg", 1500000000);
  ASSERT_TRUE(tavolin::copy_replacing(tmp / "card1/big.jpg", album_dir() + "/original/old.jpg"));
  EXPECT_TRUE(read_file(album_dir() + "/original/old.jpg") == read_file(tmp / "card1/big.jpg"));
  EXPECT_EQ(mtime_of(album_dir() + "/original/old.jpg").tv_sec, 1500000000);
}

// A name as long as the file system takes beside its zoom page's ending
// (82 three-byte letters and ".jpg", 250 bytes): every temporary name
// beside its files still fits, so it is imported, levelled and paged.
TEST_F(ImportSafety, TheLongestNamesGetTheirLevelsAndPages) {
  std::string stem;
  for (int i = 0; i < 82; ++i) stem += "\xE5\x86\x99";
  const std::string name = stem + ".jpg";
  ASSERT_EQ(name.size(), 250u);
  enginetest::set_level_settings(256, 90);
  ASSERT_TRUE(write_photo(tmp / ("card1/" + name), 640, 480, 1));
  ASSERT_TRUE(make(tmp / "card1", {{name, 0}})) << log.str();
  for (const char* dir : {"original", "size0", "size1", "size2", "thumb"}) {
    EXPECT_TRUE(exists(album_dir() + "/" + dir + "/" + name)) << dir;
    EXPECT_TRUE(hidden_in(album_dir() + "/" + dir).empty()) << dir;
  }
  for (const std::string& page :
       {std::string("index.html"), std::string("list.html"), "html/" + stem + "_1.html"}) {
    ASSERT_TRUE(exists(album_dir() + "/" + page)) << page;
    EXPECT_EQ(pagelinks::broken_links(album_dir() + "/" + page), std::vector<std::string>());
  }
}

TEST_F(ImportSafety, FailedConversionCostsOnlyItselfAndUpdateRebuildsItAndEmptyLevels) {
  REQUIRE_PROGRAM("ffmpeg");
  ASSERT_TRUE(
      run("ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=1:size=320x240:rate=10 "
          "-c:v mjpeg -q:v 5 '" +
          (tmp / "card1/clip.avi") + "'"));
  ASSERT_TRUE(write_photo(tmp / "card1/p.jpg", 2048, 1536));
  ASSERT_TRUE(write_photo(tmp / "card1/q.jpg", 640, 480));
  // Hardware that no machine has: the conversion fails the same way
  // everywhere, as the default settings do on a machine without it.
  tavolin::g_global.hwaccel = "-hwaccel no_such_accel";
  EXPECT_FALSE(make(tmp / "card1", {{"p.jpg", 0}, {"clip.avi", 0}, {"q.jpg", 0}}));
  EXPECT_EQ(log.str(),
            "shrink() fail.\nclip.avi: the movie was not converted: Unrecognized hwaccel: "
            "no_such_accel. The conversion used the settings \"Hardware acceleration\" "
            "(-hwaccel no_such_accel) and \"ffmpeg options\" (" +
                std::string(enginetest::quick_encoder) + "), which the option dialog changes.\n");
  EXPECT_FALSE(exists(album_dir() + "/movie0/clip.mp4"));
  EXPECT_TRUE(hidden_in(album_dir() + "/movie0").empty());
  // Every photo has its pages; the movie is listed by its camera file, and
  // no page links a level that was not made.
  for (const char* page : {"/index.html", "/list.html"}) {
    const std::string html = read_file(album_dir() + page);
    EXPECT_NE(html.find("href=\"original/clip.avi\""), std::string::npos) << page;
    EXPECT_EQ(html.find("movie0/"), std::string::npos) << page;
    for (const char* photo : {"/p.jpg\"", "/q.jpg\""})
      EXPECT_NE(html.find(photo), std::string::npos) << page << " " << photo;
  }
  EXPECT_EQ(read_file(album_dir() + "/txt/count.txt"), "+2\n");

  // What an older failure left: an empty level, thumbnail and still, all
  // newer than the camera files.
  write_file(album_dir() + "/size1/p.jpg", "");
  write_file(album_dir() + "/thumb/p.jpg", "");
  write_file(album_dir() + "/movie0/clip.mp4", "");
  tavolin::g_global.hwaccel = "";
  log.str("");
  ASSERT_TRUE(update({{"p.jpg", 0}, {"clip.avi", 0}})) << log.str();
  EXPECT_NE(read_file(album_dir() + "/list.html").find("href=\"movie0/clip.mp4\""),
            std::string::npos);
  EXPECT_EQ(read_file(album_dir() + "/txt/count.txt"), "1+2\n");
  EXPECT_EQ(frame(album_dir() + "/size1/p.jpg"), "1024x768");
  EXPECT_EQ(frame(album_dir() + "/thumb/p.jpg"), "256x192");
  EXPECT_GT(read_file(album_dir() + "/movie0/clip.mp4").size(), 1000u);
  EXPECT_EQ(frame(album_dir() + "/movie0/clip.jpg"), "320x240");
  EXPECT_EQ(frame(album_dir() + "/movie1/clip.jpg"), "160x120");
  EXPECT_TRUE(hidden_in(album_dir() + "/movie0").empty());
}

TEST(SafeFile, StaleAndEmptyAndSameBytes) {
  enginetest::scratch_dir tmp;
  write_file(tmp / "a", "camera");
  write_file(tmp / "b", "camera");
  write_file(tmp / "c", "camerA");
  write_file(tmp / "empty", "");
  EXPECT_TRUE(tavolin::same_bytes(tmp / "a", tmp / "b"));
  EXPECT_FALSE(tavolin::same_bytes(tmp / "a", tmp / "c"));
  EXPECT_FALSE(tavolin::same_bytes(tmp / "a", tmp / "missing"));
  set_mtime(tmp / "a", 1500000000);
  EXPECT_FALSE(tavolin::is_stale(tmp / "a", tmp / "b"));
  EXPECT_TRUE(tavolin::is_stale(tmp / "a", tmp / "empty"));
  EXPECT_TRUE(tavolin::is_stale(tmp / "a", tmp / "missing"));
  EXPECT_FALSE(tavolin::is_stale(tmp / "missing", tmp / "b"));
  // A temporary file keeps the extension that ffmpeg chooses its format by.
  const std::string temp = tavolin::make_temp_beside(tmp / "clip.mp4", nullptr, true);
  EXPECT_EQ(temp.substr(0, (tmp / ".").size()), tmp / ".");
  EXPECT_EQ(temp.substr(temp.size() - 4), ".mp4");
  // Otherwise a file left by a crash is no photo by its name.
  const std::string part = tavolin::make_temp_beside(tmp / "IMG_1.JPG");
  EXPECT_EQ(part.substr(part.size() - 5), ".part");
  EXPECT_FALSE(tavolin::is_photo_name(part));
  // An empty result never replaces what stands at the name.
  EXPECT_FALSE(tavolin::replace_with(temp, tmp / "a"));
  EXPECT_FALSE(exists(temp));
  EXPECT_EQ(read_file(tmp / "a"), "camera");
}

}  // namespace

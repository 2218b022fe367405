// Camera files that cannot be read (empty, cut short in its header as when
// the battery ran out, or in colours the decoder refuses) among good photos
// and a movie: the album is still made and updated, pages and movie levels
// included; the result and the log tell of the files, which the pages list
// without any level of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "album/engine/comment.h"
#include "album/engine/global.h"
#include "album/engine/makealbum.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_links.h"
#include "album/engine/tests/photo_gen.h"

namespace {

using enginetest::exists;
using enginetest::read_file;
using enginetest::write_file;
using tavolin::files_t;
using tavolin::path_t;

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(UnreadablePhoto, AlbumIsMadeAndUpdatedAroundIt) {
  REQUIRE_PROGRAM("ffmpeg");
  REQUIRE_PROGRAM("convert");
  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
  enginetest::set_level_settings(64, 85, "-c:v mjpeg -q:v 5");
  const std::string card = tmp / "card", album = tmp / "trip";
  enginetest::make_dirs(card);
  enginetest::make_dirs(album + "/txt");
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  ASSERT_TRUE(phototest::write_photo(card + "/z.jpg", 200, 150, 2));
  ASSERT_TRUE(phototest::write_photo(tmp / "whole.jpg", 200, 150, 3));
  const std::string whole = read_file(tmp / "whole.jpg");
  write_file(card + "/cut.jpg", whole.substr(0, whole.find("\xFF\xDA") / 2));
  write_file(card + "/empty.jpg", "");
  ASSERT_TRUE(phototest::run("/usr/bin/convert -size 40x30 xc:red -colorspace CMYK '" + card +
                             "/cmyk.jpg'"));
  const char* const bad[] = {"cmyk.jpg", "cut.jpg", "empty.jpg"};
  ASSERT_TRUE(
      phototest::run("ffmpeg -loglevel error -y -f lavfi -i "
                     "testsrc=duration=1:size=160x120:rate=5 -c:v mjpeg '" +
                     card + "/clip.avi'"));
  std::ostringstream log;
  ASSERT_TRUE(tavolin::savecommenttxt(path_t("", tmp.path(), "trip"), "Trip", "old head", "", log));

  // The movie comes after the bad files, so that stopping there shows.
  const std::vector<files_t> files{files_t("a.jpg", 0),    files_t("cmyk.jpg", 0),
                                   files_t("cut.jpg", 0),  files_t("empty.jpg", 0),
                                   files_t("clip.avi", 0), files_t("z.jpg", 0)};
  const path_t path("", tmp.path(), "trip");
  sigc::signal<void, double> copying, shrinking, pages, zoom;
  std::vector<double> shrunk;
  shrinking.connect([&shrunk](double v) { shrunk.push_back(v); });
  testing::internal::CaptureStderr();
  EXPECT_FALSE(
      tavolin::makealbumwithrotate(card, files, path, copying, shrinking, pages, zoom, log));
  testing::internal::GetCapturedStderr();
  for (const std::string name : bad)
    EXPECT_TRUE(has(log.str(), name + ": shrinkone() ")) << name << "\n" << log.str();
  EXPECT_TRUE(has(log.str(), "shrink() fail.\n")) << log.str();
  EXPECT_FALSE(has(log.str(), "makehtml")) << log.str();
  // After the steps, a line per file with the reason the decoder gave.
  const auto tells_why = [&bad](const std::string& text) {
    const std::string after = text.substr(text.rfind("() fail.\n") + 9);
    for (const std::string name : bad)
      EXPECT_TRUE(has(after, name + ": the photo cannot be read: ")) << text;
    EXPECT_TRUE(has(after, "\nempty.jpg: the photo cannot be read: Empty input file.\n")) << text;
  };
  tells_why(log.str());
  EXPECT_EQ(shrunk.size(), files.size());

  const auto check_album = [&](const std::string& head) {
    for (const char* file : {"index.html", "list.html", "txt/count.txt", "html/a_1.html",
                             "html/z_1.html", "movie0/clip.mp4", "movie1/clip.jpg"})
      EXPECT_TRUE(exists(album + "/" + file)) << file;
    EXPECT_EQ(read_file(album + "/txt/count.txt"), "1+2\n");
    const std::string index = read_file(album + "/index.html");
    EXPECT_TRUE(has(index, head)) << index;
    const std::string pages[] = {index, read_file(album + "/list.html")};
    for (const std::string& page : pages) {
      for (const std::string name : bad)
        EXPECT_TRUE(has(page, "<a href=\"original/" + name + "\">" + name + "</a>")) << page;
    }
    for (const char* page : {"index.html", "list.html"})
      EXPECT_EQ(pagelinks::broken_links(album + "/" + page), std::vector<std::string>()) << page;
    // No level is made up for the files that cannot be read.
    for (const auto& entry : std::filesystem::directory_iterator(album)) {
      const std::string dir = entry.path().filename().string();
      if (dir == "original" || dir == "txt" || dir == "html") continue;
      for (const std::string name : bad)
        EXPECT_FALSE(exists(entry.path().string() + "/" + name)) << dir << "/" << name;
    }
  };
  check_album("old head");

  // A later update (after a comment changed) still reaches the pages.
  ASSERT_TRUE(tavolin::savecommenttxt(path, "Trip", "new head", "", log));
  std::ostringstream update_log;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::updatealbum(path, files, copying, shrinking, pages, zoom, update_log));
  testing::internal::GetCapturedStderr();
  for (const std::string name : bad)
    EXPECT_TRUE(has(update_log.str(), name + ": shrinkoneupdate() ")) << update_log.str();
  EXPECT_TRUE(has(update_log.str(), "shrinkupdate() fail.\n")) << update_log.str();
  tells_why(update_log.str());
  check_album("new head");
}

// A level directory that is a link to "original" holds the camera files
// themselves: taking back the level 0 of a photo that cannot be decoded
// must not take its camera file with it.
TEST(UnreadablePhoto, ItsCameraFileStaysWhenSize0IsOriginalItself) {
  REQUIRE_PROGRAM("convert");
  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
  enginetest::set_level_settings(64, 85);
  const std::string album = tmp / "trip";
  enginetest::make_dirs(album + "/original");
  ASSERT_TRUE(phototest::run("/usr/bin/convert -size 40x30 xc:red -colorspace CMYK '" + album +
                             "/original/cmyk.jpg'"));
  const std::string camera = read_file(album + "/original/cmyk.jpg");
  std::filesystem::create_directory_symlink("original", album + "/size0");
  sigc::signal<void, double> progress;
  std::ostringstream log;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(
      tavolin::shrink(path_t("", tmp.path(), "trip"), {files_t("cmyk.jpg", 0)}, progress, log));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(has(log.str(), "cmyk.jpg: shrinkone() ")) << log.str();
  ASSERT_TRUE(exists(album + "/original/cmyk.jpg"));
  EXPECT_EQ(read_file(album + "/original/cmyk.jpg"), camera);
}

}  // namespace

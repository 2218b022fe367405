// A FIFO among the camera files, as mkfifo makes one: albumtool ends within
// seconds (timeout(1) would end it with 124), names the FIFO, and makes the
// album of the other photos as it would around a file that cannot be read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "album/engine/tests/page_fixture.h"

namespace {

using enginetest::exists;

TEST(NotRegularFile, AlbumtoolEndsNamingAFifoAndMakesTheAlbumOfTheRest) {
  enginetest::scratch_dir tmp;
  const std::string home = tmp / "home", card = tmp / "card", fifo = card + "/b.jpg";
  for (const std::string& d : {home, card}) enginetest::make_dirs(d);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_TRUE(phototest::write_photo(card + "/a.jpg", 200, 150, 1));
  ASSERT_TRUE(phototest::write_photo(card + "/c.jpg", 200, 150, 2));
  enginetest::write_file(home + "/.tavolin", "shrink_size=64,64\r\n");

  pagetest::run_result_t r = pagetest::albumtool(home, {"exif", fifo}, 20);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, fifo + ": not a regular file\n");

  r = pagetest::albumtool(
      home, {"new-album", card, tmp.path(), "al", "T", "h", "l", "a.jpg", "b.jpg", "c.jpg"}, 20);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.err, "b.jpg: not a regular file, not copied.\n");
  const std::string album = tmp / "al";
  for (const char* file : {"size0/a.jpg", "size3/a.jpg", "size0/c.jpg", "thumb/c.jpg"})
    EXPECT_TRUE(exists(album + "/" + file)) << file;
  EXPECT_FALSE(exists(album + "/original/b.jpg"));
  const std::string index = enginetest::read_file(album + "/index.html");
  EXPECT_NE(index.find("c.jpg"), std::string::npos);
  EXPECT_EQ(index.find("b.jpg"), std::string::npos);

  // A FIFO in place of a level: the pages, which ask ahead for every
  // level's head, still end and name it.
  const std::string level = album + "/size1/c.jpg";
  ASSERT_EQ(unlink(level.c_str()), 0);
  ASSERT_EQ(mkfifo(level.c_str(), 0644), 0);
  r = pagetest::albumtool(home, {"html", album}, 20);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(level + ": not a regular file"), std::string::npos) << r.err;
}

}  // namespace

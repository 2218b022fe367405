#include "album/engine/scan.h"

#include <gtest/gtest.h>

#include "album/engine/tests/enginetest.h"

using namespace tavolin;

namespace {

// A tree of albums and collections below a scratch root.
class TreeScan : public ::testing::Test {
 protected:
  TreeScan() {
    for (const char* d : {
             "2019a/original",
             "2019a/txt",
             "2019a/zzz/original",  // album: not descended
             "trip/txt",
             "trip/_Best/original",
             "trip/txt/original",
             "trip/2020b/original",
             "trip/deeper/2018c/original",
             "trip/deeper/empty",
             "secret/txt",
             "secret/2017d/original",  // private collection
             "trip/hidden/original",
             "trip/hidden/txt",  // private album
             "_GoodBook/original",
             "txt/original",
         })
      enginetest::make_dirs(dir / d);
    enginetest::write_file(dir / "secret/txt/secret.txt", "");
    enginetest::write_file(dir / "trip/hidden/txt/secret.txt", "");
  }

  std::list<albumdir_t> scan(const std::list<std::string>& names) {
    std::list<albumdir_t> albums;
    hierar_albums(albums, path_t(dir.path(), "", ""), names);
    return albums;
  }

  enginetest::scratch_dir dir;
};

TEST_F(TreeScan, FindsAlbumsDepthFirstInDescendingOrder) {
  const std::list<albumdir_t> want = {{"", "2019a"}, {"trip/deeper", "2018c"}, {"trip", "2020b"}};
  EXPECT_EQ(scan({"2019a", "trip"}), want);
}

TEST_F(TreeScan, TopLevelEntriesSkipTextGeneratedAndPrivate) {
  std::list<std::string> names;
  ASSERT_TRUE(album_entries(names, dir.path()));
  EXPECT_EQ(names, (std::list<std::string>{"trip", "2019a"}));
  EXPECT_FALSE(album_entries(names, dir / "nosuch"));
  EXPECT_TRUE(names.empty());
}

TEST_F(TreeScan, PrivateNamesGivenByTheCallerAreStillScanned) {
  const std::list<albumdir_t> want = {{"secret", "2017d"}};
  EXPECT_EQ(scan({"secret"}), want);
  EXPECT_TRUE(scan({}).empty());
  EXPECT_TRUE(scan({"nosuch"}).empty());
}

TEST_F(TreeScan, SortEndsInDescendingNamesAcrossCollections) {
  std::list<albumdir_t> albums = {{"x", "2019a"}, {"y", "2020b"}, {"", "2018c"}, {"z", "2019a"}};
  sort_albums(albums);
  const std::list<albumdir_t> want = {
      {"y", "2020b"}, {"z", "2019a"}, {"x", "2019a"}, {"", "2018c"}};
  EXPECT_EQ(albums, want);
}

TEST_F(TreeScan, LoadAlbumsLocatesEachBelowTheRoot) {
  enginetest::write_file(dir / "trip/2020b/original/p.jpg", "x");
  enginetest::make_dirs(dir / "trip/2020b/txt");
  enginetest::write_file(dir / "trip/2020b/txt/best.txt", "p.jpg\r\n");
  std::list<album_t> out;
  load_albums(out, path_t(dir.path(), "", ""), {{"trip", "2020b"}, {"", "2019a"}});
  ASSERT_EQ(out.size(), 2u);
  std::string p;
  out.front().path.make(p);
  EXPECT_EQ(p, dir / "trip/2020b");
  EXPECT_TRUE(out.front().best("p.jpg"));
  EXPECT_EQ(out.front().m_best.path, &out.front().path);
  out.back().path.make(p);
  EXPECT_EQ(p, dir / "2019a");
}

}  // namespace

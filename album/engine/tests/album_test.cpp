#include "album/engine/album.h"

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "album/engine/tests/enginetest.h"

using namespace tavolin;
using enginetest::read_file;
using enginetest::write_file;

namespace {

std::string made(const path_t& p) {
  std::string out;
  p.make(out);
  return out;
}

TEST(PathJoin, SkipsEmptyPartsAndKeepsSlashes) {
  EXPECT_EQ(made({"/a", "", "b"}), "/a/b");
  EXPECT_EQ(made({"", "m", "b"}), "m/b");
  EXPECT_EQ(made({"/a/", "m", ""}), "/a//m");
  EXPECT_EQ(made({"", "", ""}), "");
  std::string out;
  path_t{"/a", "m", ""}.make(out, "txt");
  EXPECT_EQ(out, "/a/m/txt");
  path_t{"", "", ""}.make(out, "txt", "f");
  EXPECT_EQ(out, "txt/f");
  path_t{"/a", "m", "b"}.make(out, "", "f");
  EXPECT_EQ(out, "/a/m/b/f");
  path_t{"/a", "", "b"}.submake(out);
  EXPECT_EQ(out, "b");
  path_t{"/a", "x/y", "b"}.submake(out);
  EXPECT_EQ(out, "x/y/b");
}

TEST(BestName, BookDirectoriesMatchTheirKinds) {
  e_bestname_t kind = E_BESTNAME_FAIL;
  EXPECT_TRUE(bestname_from_bookdir("_PrintBook", kind));
  EXPECT_EQ(kind, E_BESTNAME_PRINT);
  EXPECT_STREQ(bestname_listfile(kind), "print.txt");
  EXPECT_TRUE(bestname_from_bookdir("_FailBook", kind));
  EXPECT_EQ(kind, 0);
  EXPECT_TRUE(bestname_from_bookdir("_UploadBook", kind));
  EXPECT_EQ(kind, 7);
  EXPECT_FALSE(bestname_from_bookdir("_Best", kind));
}

// An album directory with "original" and "txt", photos named in originals.
class AlbumFiles : public ::testing::Test {
 protected:
  AlbumFiles() : loc(dir.path(), "", "trip") {
    enginetest::make_dirs(dir / "trip/original");
    enginetest::make_dirs(dir / "trip/txt");
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
      write_file(dir / "trip/original/" + name, "x");
  }
  std::string txt(const char* name) const { return dir / "trip/txt/" + name; }

  enginetest::scratch_dir dir;
  path_t loc;
};

TEST_F(AlbumFiles, ListReadsAnyLineEnd) {
  using names_t = std::set<std::string>;
  const std::vector<std::pair<std::string, names_t>> cases = {
      {"a.jpg\r\nb.jpg\r\n", {"a.jpg", "b.jpg"}},
      {"b.jpg\na.jpg", {"a.jpg", "b.jpg"}},
      {"\na.jpg\t \r\n\r\n\nb.jpg  \n", {"a.jpg", "b.jpg"}},
      {"a.jpg\rb.jpg\r", {"a.jpg", "b.jpg"}},
      {" lead.jpg\na.jpg\na.jpg\n", {" lead.jpg", "a.jpg"}},
  };
  for (const auto& c : cases) {
    write_file(txt("best.txt"), c.first);
    best_t list;
    list.dirty = true;
    EXPECT_TRUE(list.load(loc, "best.txt"));
    EXPECT_EQ(list.names, c.second) << c.first;
    EXPECT_FALSE(list.dirty);
    EXPECT_EQ(list.file, txt("best.txt"));
  }
}

TEST_F(AlbumFiles, LoadAlbumFilesReadsTheListsAndTheOriginals) {
  write_file(txt("good.txt"), "a.jpg\r\n");
  write_file(txt("fail.txt"), "c.jpg\r\n");
  write_file(txt("sale.txt"), "b.jpg\r\n");
  enginetest::make_dirs(dir / "trip/original/sub");  // no file of the album
  best_t good, fail;
  album_t album;
  std::list<std::string> names;
  ASSERT_TRUE(load_album_files(loc, good, fail, album, names));
  EXPECT_EQ(good.names, std::set<std::string>{"a.jpg"});
  EXPECT_EQ(fail.names, std::set<std::string>{"c.jpg"});
  EXPECT_TRUE(album.sale("b.jpg"));
  names.sort();
  EXPECT_EQ(names, (std::list<std::string>{"a.jpg", "b.jpg", "c.jpg"}));

  names = {"stale.jpg"};
  EXPECT_FALSE(load_album_files(path_t(dir.path(), "", "none"), good, fail, album, names));
  EXPECT_TRUE(names.empty());
}

TEST_F(AlbumFiles, SaveWritesCrLfAndDropsMissingPhotos) {
  best_t list;
  list.load(loc, "best.txt");
  list.names = {"c.jpg", "gone.jpg", "a.jpg"};
  EXPECT_FALSE(list.save()) << "a clean list writes nothing";
  EXPECT_FALSE(enginetest::exists(txt("best.txt")));
  list.dirty = true;
  EXPECT_TRUE(list.save());
  EXPECT_EQ(read_file(txt("best.txt")), "a.jpg\r\nc.jpg\r\n");
  EXPECT_FALSE(list.dirty);
  EXPECT_EQ(list.names.size(), 3u) << "the set itself keeps every name";
}

TEST_F(AlbumFiles, MissingListFileLoadsCleanAndEmpty) {
  best_t list;
  list.names = {"stale.jpg"};
  list.dirty = true;
  EXPECT_FALSE(list.load(loc, "apply.txt"));
  EXPECT_TRUE(list.names.empty());
  EXPECT_FALSE(list.dirty) << "a list without a file must not be written back as empty";
  EXPECT_EQ(list.file, txt("apply.txt"));
}

TEST_F(AlbumFiles, FailedSaveKeepsDirty) {
  best_t list;
  list.load(path_t(dir.path(), "", "nosuch"), "best.txt");
  list.names = {"a.jpg"};
  list.dirty = true;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(list.save());
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(list.dirty);
}

TEST_F(AlbumFiles, LoadMakesBookPhotosGoodAndLeavesListsClean) {
  write_file(txt("best.txt"), "a.jpg\r\n");
  write_file(txt("print.txt"), "b.jpg\r\n");
  write_file(txt("fail.txt"), "c.jpg\r\n");
  album_t album;
  album.changed = true;
  album.m_upload.dirty = true;
  EXPECT_FALSE(album.load(loc)) << "five list files are missing";
  EXPECT_TRUE(album.good("a.jpg"));
  EXPECT_TRUE(album.good("b.jpg"));
  EXPECT_FALSE(album.good("c.jpg"));
  EXPECT_TRUE(album.fail("c.jpg"));
  EXPECT_TRUE(album.isfind("b.jpg"));
  EXPECT_FALSE(album.isfind("c.jpg"));
  EXPECT_FALSE(album.changed);
  for (unsigned i = 0; i < bestname_count; ++i)
    EXPECT_FALSE(album.list(static_cast<e_bestname_t>(i)).dirty) << i;
  EXPECT_FALSE(album.save()) << "nothing changed, nothing written";
  EXPECT_FALSE(enginetest::exists(txt("good.txt")));
}

TEST_F(AlbumFiles, FullAlbumLoadsTrue) {
  for (const char* f : {"best.txt", "apply.txt", "submit.txt", "sale.txt", "print.txt",
                        "upload.txt", "good.txt", "fail.txt"})
    write_file(txt(f), "");
  album_t album;
  EXPECT_TRUE(album.load(loc));
}

TEST_F(AlbumFiles, SaveWritesBookListsButNotGoodOrFail) {
  album_t album;
  album.load(loc);
  album.m_sale.names.insert("b.jpg");
  album.m_sale.dirty = true;
  album.m_good.names.insert("c.jpg");
  album.m_good.dirty = true;
  EXPECT_TRUE(album.save());
  EXPECT_EQ(read_file(txt("sale.txt")), "b.jpg\r\n");
  EXPECT_FALSE(enginetest::exists(txt("good.txt")));

  album.changed = true;
  EXPECT_TRUE(album.save()) << "a comment change counts";
  EXPECT_FALSE(album.changed);
}

TEST_F(AlbumFiles, CopiesAndMovesSaveThroughTheirOwnLocation) {
  std::list<album_t> albums;
  {
    album_t original;
    original.load(loc);
    album_t copy(original);
    albums.push_back(std::move(copy));
    album_t assigned;
    assigned = original;
    albums.push_back(assigned);
  }  // the albums loaded first are gone now
  for (album_t& album : albums) {
    EXPECT_EQ(album.m_best.path, &album.path);
    album.m_best.names = {"a.jpg"};
    album.m_best.dirty = true;
    EXPECT_TRUE(album.save());
  }
  EXPECT_EQ(read_file(txt("best.txt")), "a.jpg\r\n");
  album_t fresh;
  album_t copy_of_fresh(fresh);
  EXPECT_EQ(copy_of_fresh.m_best.path, nullptr);
}

}  // namespace

TEST(BestList, BytesParseInPlaceOfTheNames) {
  best_t list;
  list.names = {"old.jpg"};
  list.dirty = true;
  list.parse("b.jpg\r\n\ra.jpg \ra.jpg\n");
  EXPECT_EQ(list.names, (std::set<std::string>{"a.jpg", "b.jpg"}));
  EXPECT_TRUE(list.dirty) << "only load() says the list is as on disk";
  list.parse("");
  EXPECT_TRUE(list.names.empty());
}

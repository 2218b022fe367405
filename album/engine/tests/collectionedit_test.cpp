// The collection editor's work without a window: the new-album checks, the
// album directory, renaming and removing entries, and the batch refresh.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "album/engine/collectionedit.h"
#include "album/engine/exif.h"
#include "album/engine/makealbum.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"
#include "utility/catalog/tavolin_messages.h"

namespace {

using namespace tavolin;
using enginetest::exists;
using enginetest::make_dirs;
using enginetest::read_file;
using enginetest::write_file;

TEST(NewAlbumChecks, EachCheckFailsInTurnWithItsMessage) {
  enginetest::scratch_dir dir;
  make_dirs(dir / "coll/old");
  const std::vector<files_t> one{files_t("a.jpg", 0)};
  const path_t fresh("", dir / "coll", "new");
  const path_t old("", dir / "coll", "old");

  // A later check never hides an earlier one.
  EXPECT_EQ(check_newalbum({}, "", path_t("", dir / "coll", ""), "", false), NEWALBUM_NO_FILES);
  EXPECT_EQ(check_newalbum(one, "", path_t("", dir / "coll", ""), "", false), NEWALBUM_NO_SOURCE);
  EXPECT_EQ(check_newalbum(one, "/src", path_t("", dir / "coll", ""), "", false), NEWALBUM_NO_NAME);
  EXPECT_EQ(check_newalbum(one, "/src", old, "", false), NEWALBUM_EXISTS);
  EXPECT_EQ(check_newalbum(one, "/src", old, "", true), NEWALBUM_NO_TITLE);
  EXPECT_EQ(check_newalbum(one, "/src", fresh, "", false), NEWALBUM_NO_TITLE);
  EXPECT_EQ(check_newalbum(one, "/src", fresh, "Trip", false), NEWALBUM_OK);
  EXPECT_EQ(check_newalbum(one, "/src", old, "Trip", true), NEWALBUM_OK);

  EXPECT_EQ(newalbum_message(NEWALBUM_NO_FILES), MSG_ERROR_NO_FILES);
  EXPECT_EQ(newalbum_message(NEWALBUM_NO_SOURCE), MSG_ERROR_NO_IMPORT_DIR);
  EXPECT_EQ(newalbum_message(NEWALBUM_NO_NAME), MSG_ERROR_NO_ALBUM_NAME);
  EXPECT_EQ(newalbum_message(NEWALBUM_EXISTS), MSG_ASK_ALBUM_EXISTS);
  EXPECT_EQ(newalbum_message(NEWALBUM_NO_TITLE), MSG_ERROR_NO_TITLE);
}

// The hub's checks are the import's own plan: every text the import would
// not copy is dropped, every file it would refuse is refused beforehand.
TEST(NewAlbumImport, ReservedNamesAreDroppedAndDifferingCameraFilesAreClashes) {
  const std::vector<files_t> files{files_t("a.jpg", 1),     files_t("HEAD.TXT", 0),
                                   files_t("last.txt", 0),  files_t("Secret.txt", 0),
                                   files_t("notes.txt", 0), files_t("count.txt", 0),
                                   files_t("Print.txt", 0), files_t("list.txt", 0)};
  const std::vector<files_t> kept = importable_files(files);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].name, "a.jpg");
  EXPECT_EQ(kept[0].rotation, 1u);
  EXPECT_EQ(kept[1].name, "notes.txt");

  enginetest::scratch_dir dir;
  make_dirs(dir / "card");
  make_dirs(dir / "coll/trip/original");
  write_file(dir / "card/same.jpg", "camera bytes");
  write_file(dir / "coll/trip/original/same.jpg", "camera bytes");
  write_file(dir / "card/other.jpg", "new card");
  write_file(dir / "coll/trip/original/other.jpg", "old card");
  write_file(dir / "card/long.jpg", "camera bytes and more");
  write_file(dir / "coll/trip/original/long.jpg", "camera bytes");
  write_file(dir / "card/fresh.jpg", "fresh");
  make_dirs(dir / "coll/trip/txt");
  write_file(dir / "card/notes.txt", "new notes");
  write_file(dir / "coll/trip/txt/notes.txt", "old notes");
  write_file(dir / "card/clip.mov", "a movie");
  write_file(dir / "card/clip.avi", "another movie");
  const std::vector<files_t> chosen{files_t("same.jpg", 0),  files_t("other.jpg", 0),
                                    files_t("long.jpg", 0),  files_t("fresh.jpg", 0),
                                    files_t("notes.txt", 0), files_t("clip.mov", 0),
                                    files_t("clip.avi", 0)};
  const std::string album = dir / "coll/trip";
  EXPECT_EQ(import_refusals(dir / "card", chosen, path_t("", dir / "coll", "trip")),
            (std::vector<std::string>{
                album + "/original/other.jpg: a different file of this name is in the album, "
                        "not replaced.",
                album + "/original/long.jpg: a different file of this name is in the album, "
                        "not replaced.",
                album + "/txt/notes.txt: a different file of this name is in the album, "
                        "not replaced.",
                (dir / "card/clip.avi") + ": converts into the same movie as clip.mov, "
                                          "not imported."}));
}

TEST(AlbumDirectory, IsMadeWithCommentsAndMarkerAndReusedWhenItExists) {
  enginetest::scratch_dir dir;
  const path_t album("", dir.path(), "trip");
  std::ostringstream log;
  ASSERT_TRUE(make_album_dir(album, "Trip", "first\nsecond", "end", true, log)) << log.str();
  struct stat st;
  ASSERT_EQ(stat((dir / "trip").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(read_file(dir / "trip/txt/head.txt"), "Trip\r\nTrip\r\nfirst\r\nsecond\r\n");
  EXPECT_TRUE(get_private(album));
  EXPECT_EQ(read_file(dir / "trip/txt/secret.txt"), "");

  write_file(dir / "trip/keep.me", "x");
  ASSERT_TRUE(make_album_dir(album, "Trip 2", "", "", false, log));
  EXPECT_FALSE(get_private(album));
  EXPECT_TRUE(exists(dir / "trip/keep.me"));
  EXPECT_EQ(read_file(dir / "trip/txt/head.txt"), "Trip 2\r\nTrip 2\r\n");

  // Below a missing directory nothing can be written: false with the line.
  std::ostringstream fail;
  EXPECT_FALSE(make_album_dir(path_t("", dir / "none", "trip"), "T", "", "", true, fail));
  EXPECT_NE(fail.str(), "");
  EXPECT_FALSE(exists(dir / "none"));
}

// The marker as the album editor, the best-album dialog and the hub set it:
// a FIFO under its name keeps the directory private without a wait for a
// reader, and is unlinked when the mark is taken off.
TEST(PrivateMarker, AFifoUnderItsNameIsNeverWaitedOn) {
  enginetest::scratch_dir dir;
  const path_t album("", dir.path(), "trip");
  make_dirs(dir / "trip/txt");
  ASSERT_EQ(mkfifo((dir / "trip/txt/secret.txt").c_str(), 0644), 0);
  testsupport::watchdog guard(20);
  EXPECT_TRUE(set_private(album, true));
  EXPECT_TRUE(get_private(album));
  EXPECT_TRUE(set_private(album, false));
  EXPECT_FALSE(exists(dir / "trip/txt/secret.txt"));
}

TEST(RenameEntry, RunsNoShellAndRefusesUnsafeOrTakenNames) {
  enginetest::scratch_dir dir;
  const std::string coll = dir / "coll";
  make_dirs(coll + "/trip/txt");
  make_dirs(coll + "/taken");
  make_dirs(coll + "/2023");
  write_file(coll + "/file", "not a directory");
  std::ostringstream log;

  const std::string nasty = "a\"b $(touch pwned) `touch pwned2`";
  ASSERT_TRUE(rename_entry(coll, "trip", nasty, log)) << log.str();
  EXPECT_TRUE(exists(coll + "/" + nasty + "/txt"));
  EXPECT_FALSE(exists(coll + "/pwned"));
  EXPECT_FALSE(exists("pwned"));
  EXPECT_FALSE(exists("pwned2"));
  ASSERT_TRUE(rename_entry(coll, nasty, "trip", log));

  for (const char* bad : {"", "/tmp/x", "..", "../x", "a/../b", "a//b", "2023/", ".", "taken"}) {
    std::ostringstream refused;
    EXPECT_FALSE(rename_entry(coll, "trip", bad, refused)) << bad;
    EXPECT_NE(refused.str(), "") << bad;
    EXPECT_TRUE(exists(coll + "/trip/txt")) << bad;
  }
  EXPECT_TRUE(exists(coll + "/taken"));
  EXPECT_FALSE(rename_entry(coll, "file", "file2", log));
  EXPECT_FALSE(rename_entry(coll, "../coll", "x", log));
  EXPECT_FALSE(rename_entry(coll, "missing", "x", log));
  EXPECT_FALSE(rename_entry(coll, "trip", "nowhere/trip", log));
  EXPECT_TRUE(exists(coll + "/trip"));

  // A move into an existing collection of the same hub.
  ASSERT_TRUE(rename_entry(coll, "trip", "2023/trip", log));
  EXPECT_TRUE(exists(coll + "/2023/trip/txt"));
  EXPECT_FALSE(exists(coll + "/trip"));
}

TEST(RemoveEntry, RemovesOnlyARealChildDirectory) {
  enginetest::scratch_dir dir;
  const std::string coll = dir / "coll";
  make_dirs(coll + "/trip/original");
  make_dirs(dir / "outside/original");
  write_file(coll + "/trip/original/a.jpg", "a");
  write_file(dir / "outside/original/b.jpg", "b");
  ASSERT_EQ(symlink((dir / "outside").c_str(), (coll + "/link").c_str()), 0);
  write_file(coll + "/plain", "p");
  // A link inside the removed tree is removed, not followed.
  ASSERT_EQ(symlink((dir / "outside").c_str(), (coll + "/trip/inner").c_str()), 0);

  for (const char* bad : {"link", "plain", ".", "..", "", "trip/original", "missing"}) {
    std::ostringstream log;
    EXPECT_FALSE(remove_entry(coll, bad, log)) << bad;
    EXPECT_NE(log.str(), "") << bad;
  }
  EXPECT_TRUE(exists(dir / "outside/original/b.jpg"));
  EXPECT_TRUE(exists(coll + "/plain"));
  EXPECT_TRUE(exists(coll + "/trip/original/a.jpg"));

  std::ostringstream log;
  ASSERT_TRUE(remove_entry(coll, "trip", log)) << log.str();
  EXPECT_FALSE(exists(coll + "/trip"));
  EXPECT_TRUE(exists(dir / "outside/original/b.jpg"));
  EXPECT_TRUE(exists(coll + "/link"));
}

TEST(BookKind, FollowsTheDirectoryNameWithBestForUnknownNames) {
  EXPECT_EQ(book_kind("_FailBook"), E_BESTNAME_FAIL);
  EXPECT_EQ(book_kind("_GoodBook"), E_BESTNAME_GOOD);
  EXPECT_EQ(book_kind("_SaleBook"), E_BESTNAME_SALE);
  EXPECT_EQ(book_kind("_UploadBook"), E_BESTNAME_UPLOAD);
  EXPECT_EQ(book_kind("_BestBook"), E_BESTNAME_BEST);
  EXPECT_EQ(book_kind("_Old"), E_BESTNAME_BEST);
}

// root/2024 (album a, photo), root/nested/2023 (album), root/_PrintBook,
// root/_Best: one refresh from the root's entries rebuilds them all.
TEST(BatchUpdate, RefreshesAlbumsBooksAndNestedCollectionsDepthFirst) {
  enginetest::settings_guard settings;
  tavolin::initexif(nullptr, nullptr);
  enginetest::scratch_dir dir;
  const std::string root = dir / "root";
  make_dirs(dir / "card");
  ASSERT_TRUE(phototest::write_photo(dir / "card/p1.jpg", 320, 240, 3));
  sigc::signal<void, double> s[6];
  const progress_signals_t progress{&s[0], &s[1], &s[2], &s[3], &s[4], &s[5]};
  std::ostringstream log;
  for (const path_t& album : {path_t("", root, "2024"), path_t("", root + "/nested", "2023")}) {
    make_dirs(album.middle);
    ASSERT_TRUE(make_album_dir(album, "T", "", "", false, log)) << log.str();
    ASSERT_TRUE(makealbumwithrotate(dir / "card", {files_t("p1.jpg", 0)}, album, s[0], s[1], s[2],
                                    s[3], log))
        << log.str();
  }
  ASSERT_TRUE(make_album_dir(path_t("", root, "nested"), "Nested", "", "", false, log));
  ASSERT_TRUE(make_album_dir(path_t("", root, "_PrintBook"), "Print", "", "", false, log));
  make_dirs(root + "/_Best");
  make_dirs(root + "/txt");
  for (const char* page : {"2024/index.html", "2024/list.html", "nested/2023/index.html",
                           "nested/index.html", "_PrintBook/index.html", "_Best/index.html"})
    unlink((root + "/" + page).c_str());
  unlink((root + "/2024/thumb/p1.jpg").c_str());

  std::vector<std::string> seen;
  double last_shrink = -1;
  s[1].connect([&](double v) { last_shrink = v; });
  for (const char* name : {"2024", "_Best", "_PrintBook", "nested", "txt"}) {
    batchupdate(path_t("", root, name), progress, log,
                [&](const std::string& d) { seen.push_back(d.substr(root.size())); });
  }
  EXPECT_EQ(log.str(), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"/2024", "/_Best", "/_PrintBook", "/nested",
                                            "/nested/2023", "/nested/txt", "/txt"}));
  for (const char* page :
       {"2024/index.html", "2024/list.html", "2024/thumb/p1.jpg", "nested/2023/index.html",
        "nested/index.html", "_PrintBook/index.html", "_Best/index.html"})
    EXPECT_TRUE(exists(root + "/" + page)) << page;
  EXPECT_EQ(last_shrink, 1.0);

  // An empty album part does nothing at all.
  seen.clear();
  EXPECT_TRUE(batchupdate(path_t("", root, ""), progress, log,
                          [&](const std::string& d) { seen.push_back(d); }));
  EXPECT_TRUE(seen.empty());
  // A collection that cannot be listed.
  EXPECT_FALSE(batchupdate(path_t("", root, "missing"), progress, log, nullptr));
}

}  // namespace

// The size levels of an album made from generated photos: directories and
// sizes, links and lossless turns against jpegtran, the markers each level
// carries, the import copy, updates and the failure texts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <vector>

#include "album/engine/global.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"

namespace {

using enginetest::exists;
using enginetest::read_file;
using enginetest::write_file;
using namespace phototest;
using tavolin::files_t;
using tavolin::path_t;

const unsigned char APP0 = 0xE0, APP1 = 0xE1, COM = 0xFE;

class ShrinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tavolin::g_global.shrink_size.x = 1024;
    tavolin::g_global.shrink_size.y = 1024;
    tavolin::g_global.jpeg_compress = 90;
    enginetest::make_dirs(import_dir());
    enginetest::make_dirs(album_dir() + "/txt");
    progress.connect([this](double v) { values.push_back(v); });
  }

  std::string import_dir() const { return tmp / "import"; }
  std::string album_dir() const { return tmp / "root/album"; }
  std::string in_album(const std::string& sub, const std::string& name) const {
    return album_dir() + "/" + sub + "/" + name;
  }
  std::string imported(const std::string& name) const { return import_dir() + "/" + name; }

  // Copies the files into the album and shrinks them; the log is kept.
  bool make_album(const std::vector<files_t>& files) {
    if (!tavolin::copyfiles(import_dir(), files, album, progress)) return false;
    values.clear();
    return tavolin::shrink(album, files, progress, log);
  }

  std::string link_text(const std::string& path) const {
    char buffer[4096];
    ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? "" : std::string(buffer, static_cast<size_t>(n));
  }

  bool is_symlink(const std::string& path) const {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }

  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
  // As the windows pass an album: the directory that holds it in middle.
  path_t album{"", tmp / "root", "album"};
  sigc::signal<void, double> progress;
  std::vector<double> values;
  std::ostringstream log;
};

TEST_F(ShrinkTest, LargePhotoGetsHalvedLadderLinkAndCameraMarkers) {
  libgr::jpeginfo_t::marker_t comment{COM, {}};
  ASSERT_TRUE(comment.payload.load(5, nullptr, libutils::E_PROT_READWRITE));
  std::memcpy(comment.payload.begin(), "hello", 5);
  ASSERT_TRUE(write_jpeg(imported("big.jpg"), make_photo(4000, 3000), 85, {comment}));

  EXPECT_EQ(tavolin::getshrinklevel(imported("big.jpg")), 2u);
  ASSERT_TRUE(make_album({{"big.jpg", 0}})) << log.str();

  const char* expected[] = {"4000x3000", "2000x1500", "1000x750", "500x375", "250x187"};
  std::vector<std::string> levels = tavolin::size_level_dirs(2);
  ASSERT_EQ(levels.size(), 5u);
  for (size_t i = 0; i < levels.size(); ++i)
    EXPECT_EQ(frame(in_album(levels[i], "big.jpg")), expected[i]) << levels[i];
  EXPECT_FALSE(exists(album_dir() + "/size4"));

  EXPECT_TRUE(is_symlink(in_album("size0", "big.jpg")));
  EXPECT_EQ(link_text(in_album("size0", "big.jpg")), "../original/big.jpg");

  // Each level: the encoder's JFIF, then the camera's JFIF and comment.
  for (int i = 1; i <= 3; ++i) {
    const std::string level = in_album("size" + std::to_string(i), "big.jpg");
    EXPECT_EQ(count_markers(level, APP0), 2) << level;
    EXPECT_EQ(count_markers(level, COM), 1) << level;
  }
  EXPECT_EQ(count_markers(in_album("thumb", "big.jpg"), APP0), 1);
  EXPECT_EQ(count_markers(in_album("thumb", "big.jpg"), COM), 0);
}

TEST_F(ShrinkTest, PhotoThatFitsGetsOneHalvedLevel) {
  ASSERT_TRUE(write_photo(imported("small.jpg"), 1024, 768));
  ASSERT_TRUE(make_album({{"small.jpg", 0}})) << log.str();
  EXPECT_EQ(frame(in_album("size0", "small.jpg")), "1024x768");
  EXPECT_EQ(frame(in_album("size1", "small.jpg")), "512x384");
  EXPECT_EQ(frame(in_album("thumb", "small.jpg")), "256x192");
  EXPECT_FALSE(exists(album_dir() + "/size2"));
}

TEST_F(ShrinkTest, ExifThumbnailIsTurnedAndLevelsKeepCameraOrientation) {
  REQUIRE_PROGRAM("exiftool");
  REQUIRE_PROGRAM("jpegtran");
  ASSERT_TRUE(write_photo(tmp / "exifthumb.jpg", 96, 64, 7));
  ASSERT_TRUE(write_photo(imported("turned.jpg"), 640, 480));
  ASSERT_TRUE(add_exif(imported("turned.jpg"), 6, tmp / "exifthumb.jpg"));

  ASSERT_TRUE(make_album({{"turned.jpg", 0}})) << log.str();
  EXPECT_EQ(link_text(in_album("size0", "turned.jpg")), "../original/turned.jpg");
  // The levels keep the camera's pixel order and its orientation tag.
  EXPECT_EQ(frame(in_album("size1", "turned.jpg")), "320x240");
  EXPECT_EQ(orientation_of(in_album("size1", "turned.jpg")), 6);

  // The thumbnail is the camera's, turned a quarter to the right.
  ASSERT_TRUE(run("exiftool -b -ThumbnailImage '" + imported("turned.jpg") + "' > '" +
                  (tmp / "stored.jpg") + "'"));
  ASSERT_TRUE(run("jpegtran -copy none -rotate 90 '" + (tmp / "stored.jpg") + "' > '" +
                  (tmp / "expected.jpg") + "'"));
  decoded_t thumb = decode(in_album("thumb", "turned.jpg"));
  decoded_t expected = decode(tmp / "expected.jpg");
  ASSERT_TRUE(thumb.ok && expected.ok);
  EXPECT_EQ(thumb.image.width, 64u);
  EXPECT_EQ(thumb.image.height, 96u);
  EXPECT_TRUE(same_pixels(thumb.image, expected.image));
  EXPECT_EQ(count_markers(in_album("thumb", "turned.jpg"), APP1), 0);
}

TEST_F(ShrinkTest, RotatedImportIsLosslessTurnWithoutExifAndUpdateKeepsIt) {
  REQUIRE_PROGRAM("exiftool");
  REQUIRE_PROGRAM("jpegtran");
  ASSERT_TRUE(write_photo(imported("r.jpg"), 1200, 800));
  ASSERT_TRUE(add_exif(imported("r.jpg"), 3));  // upside down: combined count 1 + 2
  ASSERT_TRUE(make_album({{"r.jpg", 1}})) << log.str();

  const std::string size0 = in_album("size0", "r.jpg");
  EXPECT_FALSE(is_symlink(size0));
  ASSERT_TRUE(run("jpegtran -copy none -rotate 270 '" + imported("r.jpg") + "' > '" +
                  (tmp / "expected.jpg") + "'"));
  decoded_t turned = decode(size0);
  ASSERT_TRUE(turned.ok);
  EXPECT_TRUE(same_pixels(turned.image, decode(tmp / "expected.jpg").image));

  const char* expected[] = {"800x1200", "400x600", "200x300", "100x150"};
  std::vector<std::string> levels = tavolin::size_level_dirs(1);
  for (size_t i = 0; i < levels.size(); ++i) {
    const std::string level = in_album(levels[i], "r.jpg");
    EXPECT_EQ(frame(level), expected[i]) << levels[i];
    EXPECT_EQ(count_markers(level, APP1), 0) << levels[i];
  }

  // An update turns again from the camera file: same lossless size0, not
  // a re-encoded copy, and the turns do not add up.
  const std::string before = read_file(size0);
  ASSERT_TRUE(tavolin::shrinkupdate(album, {{"r.jpg", 1}}, progress));
  EXPECT_TRUE(read_file(size0) == before) << "size0 was re-encoded";
  EXPECT_EQ(frame(in_album("size1", "r.jpg")), "400x600");
  // The rebuilt levels carry size0's JFIF after the encoder's own.
  EXPECT_EQ(count_markers(in_album("size1", "r.jpg"), APP0), 2);
}

TEST_F(ShrinkTest, CheckerboardHalvesToFlatGrey) {
  ASSERT_TRUE(write_jpeg(imported("check.jpg"), make_checkerboard(64, 64), 100));
  ASSERT_TRUE(make_album({{"check.jpg", 0}})) << log.str();
  decoded_t half = decode(in_album("size1", "check.jpg"));
  ASSERT_TRUE(half.ok);
  ASSERT_EQ(half.image.width, 32u);
  int lowest = 255, highest = 0;
  for (uint32_t r = 0; r < half.image.height; ++r) {
    for (uint32_t c = 0; c < half.image.width; ++c) {
      lowest = std::min<int>(lowest, half.image[r][c]);
      highest = std::max<int>(highest, half.image[r][c]);
    }
  }
  EXPECT_GE(lowest, 123);
  EXPECT_LE(highest, 131);
}

TEST_F(ShrinkTest, ImportSortsFilesAndReportsProgressPerFile) {
  ASSERT_TRUE(write_photo(imported("IMG_1.JPG"), 320, 240));
  write_file(imported("voice.m4a"), "not really sound");
  write_file(imported("notes.pdf"), "%PDF");
  ASSERT_TRUE(write_photo(imported("IMG_2.jpeg"), 240, 320));
  set_mtime(imported("IMG_1.JPG"), 1600000000);
  std::vector<files_t> files = {
      {"IMG_1.JPG", 0}, {"voice.m4a", 0}, {"notes.pdf", 0}, {"IMG_2.jpeg", 0}};

  ASSERT_TRUE(tavolin::copyfiles(import_dir(), files, album, progress));
  EXPECT_EQ(values, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  EXPECT_TRUE(read_file(in_album("original", "IMG_1.JPG")) == read_file(imported("IMG_1.JPG")));
  EXPECT_EQ(mtime_of(in_album("original", "IMG_1.JPG")).tv_sec, 1600000000);
  EXPECT_TRUE(exists(in_album("original", "voice.m4a")));
  EXPECT_TRUE(exists(in_album("txt", "notes.pdf")));
  EXPECT_FALSE(exists(in_album("original", "notes.pdf")));

  values.clear();
  ASSERT_TRUE(tavolin::shrink(album, files, progress, log)) << log.str();
  EXPECT_EQ(values, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  EXPECT_EQ(frame(in_album("thumb", "IMG_2.jpeg")), "60x80");
  EXPECT_FALSE(exists(in_album("size0", "voice.m4a")));
}

TEST_F(ShrinkTest, ImportFromAlbumsOwnOriginalKeepsTheFiles) {
  ASSERT_TRUE(write_photo(imported("a.jpg"), 64, 48));
  ASSERT_TRUE(tavolin::copyfiles(import_dir(), {{"a.jpg", 0}}, album, progress));
  const std::string camera = read_file(in_album("original", "a.jpg"));
  values.clear();
  ASSERT_TRUE(tavolin::copyfiles(album_dir() + "/original", {{"a.jpg", 0}}, album, progress));
  EXPECT_TRUE(read_file(in_album("original", "a.jpg")) == camera);
  EXPECT_EQ(values, (std::vector<double>{1.0}));
}

TEST_F(ShrinkTest, ImportNeverReplacesAlbumTextFiles) {
  write_file(in_album("txt", "head.txt"), "My title\r\n");
  write_file(in_album("txt", "best.txt"), "a.jpg\r\n");
  write_file(imported("HEAD.TXT"), "camera junk");
  write_file(imported("best.txt"), "camera junk");
  write_file(imported("readme.txt"), "camera readme");
  testing::internal::CaptureStderr();
  ASSERT_TRUE(tavolin::copyfiles(
      import_dir(), {{"HEAD.TXT", 0}, {"best.txt", 0}, {"readme.txt", 0}}, album, progress));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(read_file(in_album("txt", "head.txt")), "My title\r\n");
  EXPECT_FALSE(exists(in_album("txt", "HEAD.TXT")));
  EXPECT_EQ(read_file(in_album("txt", "best.txt")), "a.jpg\r\n");
  EXPECT_EQ(read_file(in_album("txt", "readme.txt")), "camera readme");
  EXPECT_NE(err.find(imported("HEAD.TXT")), std::string::npos) << err;
  EXPECT_NE(err.find(imported("best.txt")), std::string::npos) << err;
  EXPECT_EQ(values.size(), 3u);
}

TEST_F(ShrinkTest, UpdateRewritesOnlyTheMissingLevelAndTheThumbnail) {
  ASSERT_TRUE(write_photo(imported("u.jpg"), 2048, 1536));
  set_mtime(imported("u.jpg"), 1600000000);
  ASSERT_TRUE(make_album({{"u.jpg", 0}})) << log.str();
  const std::string size1 = in_album("size1", "u.jpg");
  const std::string size2 = in_album("size2", "u.jpg");
  const std::string thumb = in_album("thumb", "u.jpg");
  for (const std::string& f : {size1, size2, thumb}) set_mtime(f, 1700000000);

  // A complete album with no rotation: nothing is rewritten.
  ASSERT_TRUE(tavolin::shrinkupdate(album, {{"u.jpg", 0}}, progress));
  for (const std::string& f : {size1, size2, thumb}) EXPECT_EQ(mtime_of(f).tv_sec, 1700000000);

  ASSERT_EQ(unlink(size2.c_str()), 0);
  values.clear();
  ASSERT_TRUE(tavolin::shrinkupdate(album, {{"u.jpg", 0}}, progress));
  EXPECT_EQ(frame(size2), "512x384");
  EXPECT_EQ(mtime_of(size1).tv_sec, 1700000000);
  EXPECT_NE(mtime_of(thumb).tv_sec, 1700000000);
  EXPECT_EQ(frame(thumb), "256x192");
  EXPECT_EQ(values, (std::vector<double>{1.0}));
}

TEST_F(ShrinkTest, UpdateRepairsAlbumThatHasOnlyOriginal) {
  ASSERT_TRUE(write_photo(imported("o.jpg"), 300, 200));
  ASSERT_TRUE(tavolin::copyfiles(import_dir(), {{"o.jpg", 0}}, album, progress));
  ASSERT_TRUE(tavolin::shrinkupdate(album, {{"o.jpg", 0}}, progress));
  struct stat st;
  ASSERT_EQ(stat((album_dir() + "/thumb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(frame(in_album("size1", "o.jpg")), "150x100");
  EXPECT_EQ(frame(in_album("thumb", "o.jpg")), "75x50");
}

// An EXIF thumbnail that is no JPEG, or whose turn fails, gives way to
// the halved picture.
TEST_F(ShrinkTest, UnusableExifThumbnailFallsBackToHalving) {
  REQUIRE_PROGRAM("exiftool");
  write_file(tmp / "garbage.jpg", std::string("\xFF\xD8", 2) + std::string(200, '\0'));
  ASSERT_TRUE(write_photo(tmp / "cut.jpg", 96, 64));
  std::string whole = read_file(tmp / "cut.jpg");
  std::string::size_type sos = whole.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  write_file(tmp / "cut.jpg", whole.substr(0, sos + 40));

  ASSERT_TRUE(write_photo(imported("g.jpg"), 640, 480));
  ASSERT_TRUE(add_exif(imported("g.jpg"), 1, tmp / "garbage.jpg"));
  ASSERT_TRUE(write_photo(imported("c.jpg"), 640, 480));
  ASSERT_TRUE(add_exif(imported("c.jpg"), 6, tmp / "cut.jpg"));
  testing::internal::CaptureStderr();
  bool made = make_album({{"g.jpg", 0}, {"c.jpg", 0}});
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(made) << log.str();
  EXPECT_EQ(frame(in_album("thumb", "g.jpg")), "160x120");
  // Turned upright like the EXIF thumbnail would have been.
  EXPECT_EQ(frame(in_album("thumb", "c.jpg")), "120x160");
  EXPECT_TRUE(decode(in_album("thumb", "c.jpg")).ok);
}

TEST_F(ShrinkTest, FailuresWriteTheirTexts) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(tavolin::getshrinklevel(tmp / "missing.jpg"), 0u);
  libgr::image2d_t image = make_photo(8, 8);
  std::list<libgr::jpeginfo_t::marker_t> none;
  EXPECT_FALSE(tavolin::savejpeg(tmp / "no/dir.jpg", image, none));
  ASSERT_TRUE(write_photo(tmp / "p.jpg", 16, 16));
  EXPECT_FALSE(tavolin::rotatejpeg(tmp / "p.jpg", tmp / "no/dir.jpg", 1));
  EXPECT_FALSE(tavolin::rotatejpeg(tmp / "p.jpg", tmp / "q.jpg", 4));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(tmp / "missing.jpg: getshrinklevel() jpegdata load fail.\n"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find(tmp / "no/dir.jpgsvjdata save() fail.\n"), std::string::npos) << err;
  EXPECT_NE(err.find(tmp / "no/dir.jpg: jpegdata save() fai.\n"), std::string::npos) << err;
  EXPECT_NE(err.find(tmp / "p.jpg: transform() fail.\n"), std::string::npos) << err;
  EXPECT_FALSE(exists(tmp / "q.jpg"));

  std::ostringstream shrinklog;
  std::vector<std::string> levels = tavolin::size_level_dirs(0);
  EXPECT_FALSE(tavolin::shrinkone(album, levels, "gone.jpg", 0, 0, shrinklog));
  EXPECT_EQ(shrinklog.str(), "gone.jpg: shrinkone() original jpegdata load fail.\n");
}

// The first steps of an import and of a repair are the same code; each
// function still tells its failures in its own words.
TEST_F(ShrinkTest, ImportAndRepairTellTheSameFailuresInTheirOwnWords) {
  enginetest::make_dirs(album_dir() + "/original");
  write_file(in_album("original", "bad.jpg"), "not a JPEG");
  ASSERT_TRUE(write_photo(in_album("original", "p.jpg"), 64, 48));
  std::vector<std::string> levels = tavolin::size_level_dirs(0);
  for (const std::string& level : levels) enginetest::make_dirs(album_dir() + "/" + level);
  std::vector<std::string> short_list(levels.begin(), levels.begin() + 2);

  std::ostringstream shrinklog;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::shrinkone(album, short_list, "p.jpg", 0, 0, shrinklog));
  EXPECT_FALSE(tavolin::shrinkone(album, levels, "bad.jpg", 0, 0, shrinklog));
  EXPECT_FALSE(tavolin::shrinkone(album, levels, "p.jpg", 0, 4, shrinklog));  // no such turn
  testing::internal::GetCapturedStderr();  // rotatejpeg's own line
  EXPECT_EQ(shrinklog.str(),
            "p.jpg: shrinkone() too few level directories.\n"
            "bad.jpg: shrinkone() original analyze_markers fail.\n"
            "p.jpg: shrinkone() rotatejpeg fail.\n");

  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::shrinkoneupdate(short_list, album, "p.jpg", 0, 0, 0));
  EXPECT_FALSE(tavolin::shrinkoneupdate(levels, album, "gone.jpg", 0, 0, 0));
  EXPECT_FALSE(tavolin::shrinkoneupdate(levels, album, "bad.jpg", 0, 0, 0));
  EXPECT_FALSE(tavolin::shrinkoneupdate(levels, album, "p.jpg", 0, 0, 4));
  const std::string err = testing::internal::GetCapturedStderr();
  for (const char* line :
       {"p.jpg: shrinkoneupdate() too few level directories.\n",
        "gone.jpg: shrinkoneupdate() jpegdata load fail.\n",
        "bad.jpg: shrinkoneupdate() analyze_markers fail.\n", "p.jpg: rotatejpeg() fail.\n"})
    EXPECT_NE(err.find(line), std::string::npos) << line << err;
  EXPECT_EQ(err.find("shrinkone()"), std::string::npos) << err;
  EXPECT_FALSE(exists(in_album("size1", "p.jpg")));
}

TEST(RotateJpeg, TurnInPlaceLeavesHardLinkedNameAlone) {
  enginetest::scratch_dir tmp;
  ASSERT_TRUE(write_photo(tmp / "f.jpg", 64, 32));
  ASSERT_EQ(link((tmp / "f.jpg").c_str(), (tmp / "g.jpg").c_str()), 0);
  ASSERT_TRUE(tavolin::rotatejpeg(tmp / "f.jpg", tmp / "f.jpg", 1));
  EXPECT_EQ(frame(tmp / "f.jpg"), "32x64");
  EXPECT_EQ(frame(tmp / "g.jpg"), "64x32");
}

}  // namespace

namespace {

// albumtool as people and scripts drive it: the location split as the
// windows pass it, NAME@ROT arguments and one progress line per file.
TEST(AlbumtoolShrink, MakesLevelsAndPrintsProgressLines) {
  enginetest::scratch_dir tmp;
  const std::string album = tmp / "root/trip";
  enginetest::make_dirs(album + "/original");
  ASSERT_TRUE(write_photo(album + "/original/a.jpg", 300, 200));
  ASSERT_TRUE(write_photo(album + "/original/b.jpg", 300, 200));
  const std::string tool = "HOME='" + tmp.path() + "' " TEST_BIN_DIR "/albumtool ";
  const std::string out = tmp / "out.txt";
  ASSERT_TRUE(run(tool + "shrink '" + (tmp / "root") + "' trip a.jpg b.jpg@1 > '" + out + "'"));
  EXPECT_EQ(read_file(out), "P2 0.5\nP2 1\n");
  EXPECT_EQ(frame(album + "/size0/b.jpg"), "200x300");
  EXPECT_EQ(frame(album + "/thumb/a.jpg"), "75x50");

  ASSERT_EQ(unlink((album + "/size1/a.jpg").c_str()), 0);
  ASSERT_TRUE(run(tool + "update-levels '" + (tmp / "root") + "' trip a.jpg > '" + out + "'"));
  EXPECT_EQ(read_file(out), "P2 1\n");
  EXPECT_EQ(frame(album + "/size1/a.jpg"), "150x100");

  ASSERT_TRUE(run(tool + "thumb '" + (tmp / "root") + "' trip a.jpg 1 > '" + out + "'"));
  EXPECT_EQ(read_file(out), "150x100\n");
  ASSERT_TRUE(run(tool + "level '" + album + "/original/a.jpg' > '" + out + "'"));
  EXPECT_EQ(read_file(out), "0\n");
  EXPECT_FALSE(run(tool + "shrink '" + (tmp / "root") + "' trip a.jpg@5 2>/dev/null"));
}

}  // namespace

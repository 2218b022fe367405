// The saved-view file: its name beside the image, its exact text, reading
// it back, and the cases that must count as no saved view or a failed save.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "utility/option.h"
#include "utility/tests/test_support.h"
#include "viewer/app/viewmatrix.h"
#include "viewer/app/zevfile2.h"

namespace {

namespace fs = std::filesystem;
using plimzev2::make_zevpath;
using plimzev2::zevfile_t;
using utiltest::read_file;
using utiltest::write_file;

const char identity_800x600[] =
    "dir2l(800, 600)\n"
    "mtx3w(\t1.000000, 0.000000, 0.000000, 0.000000,\n"
    "\t0.000000, 1.000000, 0.000000, 0.000000,\n"
    "\t0.000000, 0.000000, 1.000000, 0.000000,\n"
    "\t0.000000, 0.000000, 0.000000, 1.000000)\n";

TEST(ZevPath, BesideTheImageWithoutItsLastExtension) {
  EXPECT_EQ(make_zevpath("/p/a/IMG_1.JPG"), "/p/a/IMG_1.zev");
  EXPECT_EQ(make_zevpath("a.b.jpg"), "a.b.zev");
  EXPECT_EQ(make_zevpath("noext"), "noext.zev");
  EXPECT_EQ(make_zevpath("dir.d/noext"), "dir.d/noext.zev");
  // Long names are not cut: two of them must not share one view.
  const std::string a(300, 'a');
  EXPECT_NE(make_zevpath((a + "1.jpg").c_str()), make_zevpath((a + "2.jpg").c_str()));
}

class ZevFile : public ::testing::Test {
 protected:
  void SetUp() override {
    plimlib::option_reset();
    m_image = m_dir / "a.jpg";
    m_zev = m_dir / "a.zev";
  }
  void TearDown() override { plimlib::option_reset(); }
  int files() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(m_dir.path())) n += e.is_regular_file();
    return n;
  }
  utiltest::scratch_dir m_dir;
  std::string m_image;
  std::string m_zev;
};

TEST_F(ZevFile, TextOfAnIdentityViewAndReadingItBack) {
  zevfile_t z;
  z.size = libgr::direction2l_t(800, 600);
  ASSERT_TRUE(z.save(m_image.c_str()));
  EXPECT_EQ(read_file(m_zev), identity_800x600);
  EXPECT_EQ(files(), 1);  // no temporary left behind

  zevfile_t r;
  ASSERT_TRUE(r.load(m_image.c_str()));
  EXPECT_EQ(r.size.x, 800);
  EXPECT_EQ(r.size.y, 600);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(r.view[i], libgr::Imtx[i]);
}

TEST_F(ZevFile, AComposedViewRoundTripsToSixDecimals) {
  zevfile_t z;
  z.size = libgr::direction2l_t(1023, 77);
  plimlib::view_rotate(z.view, 37);
  plimlib::view_zoom(z.view, -1.3f);
  plimlib::view_move(z.view, libgr::direction3_t(-12.25f, 300.5f, 0));
  ASSERT_TRUE(z.save(m_image.c_str()));
  // Saving twice overwrites.
  z.size.x = 1024;
  ASSERT_TRUE(z.save(m_image.c_str()));
  zevfile_t r;
  ASSERT_TRUE(r.load(m_image.c_str()));
  EXPECT_EQ(r.size.x, 1024);
  EXPECT_EQ(r.size.y, 77);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(r.view[i], z.view[i], 5e-7 + 1e-6) << i;
  // Deleting, then loading: nothing.
  EXPECT_TRUE(z.del(m_image.c_str()));
  EXPECT_FALSE(fs::exists(m_zev));
  EXPECT_FALSE(r.load(m_image.c_str()));
  EXPECT_FALSE(z.del(m_image.c_str()));
}

TEST_F(ZevFile, ViewsThatCannotBeRestoredCountAsAbsent) {
  // Each would otherwise ask for a window side of 0 or spread a "nan".
  const char* bad[] = {
      "",
      "dir2l(0, 0)\n",
      "dir2l(0, 0)\nmtx3w(\t1, 0, 0, 0,\n\t0, 1, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n",
      "dir2l(-5, 600)\nmtx3w(\t1, 0, 0, 0,\n\t0, 1, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n",
      "dir2l(800, 0)\nmtx3w(\t1, 0, 0, 0,\n\t0, 1, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n",
      "dir2l(800, 600)\n",
      "dir2l(800, 600)\nmtx3w(\t1, 0, 0, 0,\n\t0, 1, 0)\n",
      "dir2l(800, 600)\nmtx3w(\tnan, 0, 0, 0,\n\t0, 1, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n",
      "dir2l(800, 600)\nmtx3w(\t1, 0, 0, 0,\n\t0, inf, 0, 0,\n\t0, 0, 1, 0,\n\t0, 0, 0, 1)\n",
      "garbage",
  };
  for (const char* text : bad) {
    write_file(m_zev, text);
    zevfile_t z;
    z.size = libgr::direction2l_t(3, 4);
    z.view[12] = 9;
    EXPECT_FALSE(z.load(m_image.c_str())) << text;
    EXPECT_EQ(z.size.x, 3) << text;
    EXPECT_EQ(z.size.y, 4) << text;
    EXPECT_EQ(z.view[12], 9) << text;
  }
  // A file of the right form without line ends still reads.
  write_file(m_zev, "dir2l(10, 20)mtx3w(1,0,0,0,0,1,0,0,0,0,1,0,5,6,0,1)");
  zevfile_t z;
  EXPECT_TRUE(z.load(m_image.c_str()));
  EXPECT_EQ(z.size.y, 20);
  EXPECT_EQ(z.view[13], 6);
}

TEST_F(ZevFile, AFailedSaveKeepsTheOldViewAndSaysSo) {
  write_file(m_zev, identity_800x600);
  zevfile_t z;
  z.size = libgr::direction2l_t(1, 2);

  // A file size limit below the text: the write stops short.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct sigaction ignore {};
  struct sigaction before {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &before);
  struct rlimit small = old;
  small.rlim_cur = 40;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = z.save(m_image.c_str());
  setrlimit(RLIMIT_FSIZE, &old);
  sigaction(SIGXFSZ, &before, nullptr);
  EXPECT_FALSE(saved);
  EXPECT_EQ(read_file(m_zev), identity_800x600);
  EXPECT_EQ(files(), 1);

  // A directory we may not write: nothing opens, the old view stays.
  if (geteuid() != 0) {
    fs::permissions(m_dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(z.save(m_image.c_str()));
    EXPECT_FALSE(z.del(m_image.c_str()));
    fs::permissions(m_dir.path(), fs::perms::owner_all);
    EXPECT_EQ(read_file(m_zev), identity_800x600);
  }
  // No directory at all.
  EXPECT_FALSE(z.save((m_dir / "missing/a.jpg").c_str()));
}

TEST_F(ZevFile, SaveKeepsTheModeOfTheFileItReplaces) {
  write_file(m_zev, identity_800x600);
  fs::permissions(m_zev, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  zevfile_t z;
  z.size = libgr::direction2l_t(5, 5);
  ASSERT_TRUE(z.save(m_image.c_str()));
  EXPECT_EQ(fs::status(m_zev).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A photo of the longest name the file system takes gets its view: the
// view file's own name fits, and so must the temporary one beside it.
TEST_F(ZevFile, ThePhotosOfTheLongestNamesGetTheirViews) {
  for (const std::size_t length : {255u, 250u}) {
    const std::string stem(length - 4, 'v');
    zevfile_t z;
    z.size = libgr::direction2l_t(800, 600);
    ASSERT_TRUE(z.save((m_dir / (stem + ".jpg")).c_str())) << length;
    EXPECT_EQ(read_file(m_dir / (stem + ".zev")), identity_800x600) << length;
    zevfile_t r;
    EXPECT_TRUE(r.load((m_dir / (stem + ".jpg")).c_str())) << length;
  }
  EXPECT_EQ(files(), 2);
}

TEST(ZevParse, TheTraceLinesGoToStandardOutput) {
  plimlib::option_reset();
  utiltest::scratch_dir dir;
  write_file(dir / "a.zev", identity_800x600);
  plimlib::g_option.debug = true;
  plimlib::g_option.verbose = true;
  testing::internal::CaptureStdout();
  zevfile_t z;
  EXPECT_TRUE(z.load((dir / "a.png").c_str()));
  EXPECT_TRUE(z.save((dir / "a.png").c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "dir2l(800, 600)\n" + (dir / "a.zev") +
                                                        ": zevfile loaded.\n" + (dir / "a.zev") +
                                                        ": zevfile saved.\n");
  plimlib::option_reset();
}

}  // namespace

#include "album/engine/global.h"

#include <gtest/gtest.h>

#include <sstream>

#include "album/engine/tests/enginetest.h"

using namespace tavolin;
using enginetest::read_file;
using enginetest::write_file;

namespace {

class Settings : public ::testing::Test {
 protected:
  Settings() : home(dir.path().c_str()) { g_global = global_t(); }

  std::string file() const { return dir / ".tavolin"; }
  // Loads text as the settings file; returns what went to standard error.
  std::string load(const std::string& text) {
    write_file(file(), text);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadini("", "tavolin"));
    return testing::internal::GetCapturedStderr();
  }

  enginetest::scratch_dir dir;
  enginetest::home_guard home;
  enginetest::settings_guard keep;
};

TEST_F(Settings, DefaultAlbumRootFollowsHome) {
  EXPECT_EQ(global_t().album, dir.path() + "/album");
  enginetest::home_guard nohome(nullptr);
  EXPECT_EQ(global_t().album, "album");
}

TEST_F(Settings, SaveThenLoadRestoresEverySetting) {
  g_global.from = "/media/card";
  g_global.album = "/srv/photos";
  g_global.shrink_size = {2048, 1536};
  g_global.jpeg_compress = 85;
  g_global.horizontal_items = 6;
  g_global.show_level = 2;
  g_global.view_size = 3;
  g_global.html_header_check = true;
  g_global.html_header = "<meta name=\"a\" content=\"b=c\">";
  g_global.html_address = "me";
  g_global.hwaccel = "";
  g_global.ffmpeg = "-c:v libx264";
  g_global.movie = "player -x";
  g_global.play_size_x = 1920;
  g_global.play_size_y = 1080;
  g_global.movie_thumbnail_retina = false;
  g_global.plimzev3 = "viewer -g +0+0";
  saveini("", "tavolin");
  const std::string saved = read_file(file());

  const global_t wanted = g_global;
  g_global = global_t();
  ASSERT_TRUE(loadini("", "tavolin"));
  std::ostringstream a, b;
  dumpini(a, wanted, "\n");
  dumpini(b, g_global, "\n");
  EXPECT_EQ(b.str(), a.str());

  EXPECT_EQ(saved,
            "from=/media/card\r\nalbum=/srv/photos\r\nshrink_size=2048,1536\r\n"
            "jpeg_compress=85\r\nhorizontal_items=6\r\nshow_level=2\r\nview_size=3\r\n"
            "html_header_check=1\r\nhtml_header=<meta name=\"a\" content=\"b=c\">\r\n"
            "html_address=me\r\nhwaccel=\r\nffmpeg=-c:v libx264\r\nmovie=player -x\r\n"
            "play_size_x=1920\r\nplay_size_y=1080\r\nmovie_thumbnail_retina=0\r\n"
            "plimzev3=viewer -g +0+0\r\n");
}

TEST_F(Settings, HeaderIsSavedOnlyWhenItsCheckIsOn) {
  g_global.html_header = "custom";
  g_global.html_header_check = false;
  saveini("", "tavolin");
  EXPECT_EQ(read_file(file()).find("html_header="), std::string::npos);
  g_global = global_t();
  ASSERT_TRUE(loadini("", "tavolin"));
  EXPECT_EQ(g_global.html_header, default_html_header());
}

TEST_F(Settings, NumbersReadAsCNumbers) {
  EXPECT_EQ(load("jpeg_compress=0x50\nshow_level=010\nview_size=abc\n"
                 "play_size_x=1920px\r\nhtml_header_check=0x1\n"
                 "movie_thumbnail_retina=0\n"),
            "");
  EXPECT_EQ(g_global.jpeg_compress, 80u);
  EXPECT_EQ(g_global.show_level, 8u);
  EXPECT_EQ(g_global.view_size, 0u);
  EXPECT_EQ(g_global.play_size_x, 1920u);
  EXPECT_TRUE(g_global.html_header_check);
  EXPECT_FALSE(g_global.movie_thumbnail_retina);
}

TEST_F(Settings, ShrinkSizeTakesAnySeparatorOrOneNumber) {
  load("shrink_size=2048x1536\n");
  EXPECT_EQ(g_global.shrink_size.x, 2048u);
  EXPECT_EQ(g_global.shrink_size.y, 1536u);
  load("shrink_size=0x400,0x300\n");
  EXPECT_EQ(g_global.shrink_size.x, 1024u);
  EXPECT_EQ(g_global.shrink_size.y, 768u);
  load("shrink_size=640\n");
  EXPECT_EQ(g_global.shrink_size.x, 640u);
  EXPECT_EQ(g_global.shrink_size.y, 640u);
  load("shrink_size=800,\n");
  EXPECT_EQ(g_global.shrink_size.x, 800u);
  EXPECT_EQ(g_global.shrink_size.y, 0u);
}

TEST_F(Settings, ZeroItemsPerRowBecomesOne) {
  load("horizontal_items=0\n");
  EXPECT_EQ(g_global.horizontal_items, 1u);
  load("horizontal_items=none\n");
  EXPECT_EQ(g_global.horizontal_items, 1u);
  load("horizontal_items=7\n");
  EXPECT_EQ(g_global.horizontal_items, 7u);
}

TEST_F(Settings, UnknownKeysAreReportedAndSkipped) {
  EXPECT_EQ(load("from =/x\nshrink_level=3\nno equals sign\nbogus=1\nalbum=/a\n"),
            "Unrecognized name: from \nUnrecognized name: bogus\n");
  EXPECT_EQ(g_global.from, "/mnt/DCIM");
  EXPECT_EQ(g_global.album, "/a");
}

TEST_F(Settings, LineEndsAndValuesAreKeptAsWritten) {
  load("html_address=a=b=c\r\r\nfrom=\nhwaccel= -h \nmovie=mpv\nmovie=last wins\n");
  EXPECT_EQ(g_global.hwaccel, " -h ");
  EXPECT_EQ(g_global.html_address, "a=b=c");
  EXPECT_EQ(g_global.from, "");
  EXPECT_EQ(g_global.movie, "last wins");
}

TEST_F(Settings, EmptyFileKeepsDefaults) {
  g_global.jpeg_compress = 42;
  EXPECT_EQ(load(""), "");
  EXPECT_EQ(g_global.jpeg_compress, 42u);
}

TEST_F(Settings, MissingFileLoadsNothing) {
  g_global.jpeg_compress = 42;
  EXPECT_FALSE(loadini("", "tavolin"));
  EXPECT_EQ(g_global.jpeg_compress, 42u);
}

TEST_F(Settings, WithoutHomeNothingIsReadOrWritten) {
  enginetest::home_guard nohome(nullptr);
  EXPECT_EQ(inifile("", "tavolin"), "");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(loadini("", "tavolin"));
  saveini("", "tavolin");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("loadini: HOME is not set"), std::string::npos) << err;
  EXPECT_NE(err.find("saveini: HOME is not set"), std::string::npos) << err;
  EXPECT_FALSE(enginetest::exists("/.tavolin"));
}

TEST_F(Settings, UnwritableFileIsReported) {
  enginetest::make_dirs(file());  // a directory where the file should be
  testing::internal::CaptureStderr();
  saveini("", "tavolin");
  EXPECT_FALSE(loadini("", "tavolin"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find(file() + ": "), 0u) << err;
}

TEST(HtmlHeader, CharsetFollowsLang) {
  const char* old = std::getenv("LANG");
  const std::string saved = old ? old : "";
  const auto charset = [](const char* lang) {
    setenv("LANG", lang, 1);
    return default_html_header();
  };
  EXPECT_NE(charset("ja_JP.SJIS").find("charset=shift_jis\">"), std::string::npos);
  EXPECT_NE(charset("ja-JP").find("charset=shift_jis\">"), std::string::npos);
  EXPECT_NE(charset("JA_jp.EUCJP").find("charset=euc-jp\">"), std::string::npos);
  EXPECT_NE(charset("ja_JP.sjis").find("charset=UTF-8\">"), std::string::npos);
  EXPECT_EQ(charset("C"),
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">");
  if (old)
    setenv("LANG", saved.c_str(), 1);
  else
    unsetenv("LANG");
}

}  // namespace

TEST_F(Settings, BytesParseOverTheGivenSettingsAndWriteBack) {
  const global_t before = g_global;
  global_t g;
  g.html_header_check = false;
  g.html_header = "kept";
  parseini(g, "horizontal_items=0\r\nfrom=/media/card\nhtml_header=read\n");
  EXPECT_EQ(g.horizontal_items, 1u);
  EXPECT_EQ(g.from, "/media/card");
  EXPECT_EQ(g.html_header, "read");
  std::ostringstream dumped, again;
  dumpini(dumped, before, "\n");
  dumpini(again, g_global, "\n");
  EXPECT_EQ(again.str(), dumped.str()) << "g_global is left alone";

  std::ostringstream written;
  writeini(written, g);
  EXPECT_EQ(written.str().find("html_header="), std::string::npos) << "its check is off";
  EXPECT_NE(written.str().find("from=/media/card\r\n"), std::string::npos);
  global_t reread;
  parseini(reread, written.str());
  EXPECT_EQ(reread.from, g.from);
  EXPECT_EQ(reread.horizontal_items, 1u);
}

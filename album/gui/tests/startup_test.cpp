// First start of the main window: no settings file yet, so the option
// dialog opens over the defaults; OK saves and starts, CANCEL ends.
#include "album/gui/globaloption.h"
#include "album/gui/menu_win.h"
#include "album/gui/tests/gui_test.h"

namespace {

using guitest::exists;
using guitest::read_file;

// The keys of a saved settings file, in file order (header left out while
// its check is off).
const std::vector<std::string> kKeys = {
    "from",       "album",     "shrink_size",       "jpeg_compress", "horizontal_items",
    "show_level", "view_size", "html_header_check", "html_address",  "hwaccel",
    "ffmpeg",     "movie",     "play_size_x",       "play_size_y",   "movie_thumbnail_retina",
    "plimzev3"};

class FirstStart : public ::testing::Test {
 protected:
  FirstStart() : home(scratch / "home"), home_env("HOME", home.c_str()), program(scratch / "bin") {
    guitest::make_dirs(home);
    tavolin::g_global = tavolin::global_t();  // defaults over this HOME
  }
  guitest::scratch_dir scratch;
  std::string home;
  guitest::env_guard home_env;
  guitest::settings_guard settings;
  guitest::program_dir program;
};

TEST_F(FirstStart, OkSavesSettingsMakesRootAndShowsWindow) {
  guitest::respond_when_shown<tavolin::GlobalOptionDialog>(Gtk::RESPONSE_OK);
  tavolin::MenuWindow window(program.argc(), program.argv());

  const std::string ini = read_file(home + "/.tavolin");
  ASSERT_FALSE(ini.empty());
  // Every line ends with CR LF and the keys come in their fixed order.
  std::vector<std::string> keys;
  std::string::size_type start = 0;
  while (start < ini.size()) {
    const std::string::size_type end = ini.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "line without CR LF at " << start;
    const std::string line = ini.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    keys.push_back(line.substr(0, line.find('=')));
    start = end + 2;
  }
  EXPECT_EQ(keys, kKeys);
  EXPECT_NE(ini.find("album=" + home + "/album\r\n"), std::string::npos);
  EXPECT_TRUE(exists(home + "/album"));
  EXPECT_EQ(window.get_title(), "tavolin - photo albums");
  EXPECT_TRUE(window.items().empty());
}

TEST_F(FirstStart, CancelWritesNothingAndEndsWithZero) {
  EXPECT_EXIT(
      {
        guitest::respond_when_shown<tavolin::GlobalOptionDialog>(Gtk::RESPONSE_CANCEL);
        tavolin::MenuWindow window(program.argc(), program.argv());
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(exists(home + "/.tavolin"));
  EXPECT_FALSE(exists(home + "/album"));
}

TEST_F(FirstStart, ClosedDialogEndsWithZero) {
  EXPECT_EXIT(
      {
        guitest::respond_when_shown<tavolin::GlobalOptionDialog>(Gtk::RESPONSE_DELETE_EVENT);
        tavolin::MenuWindow window(program.argc(), program.argv());
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(exists(home + "/.tavolin"));
}

TEST_F(FirstStart, UnsaveableSettingsEndWithOneAfterOk) {
  const std::string missing = home + "/no/such/dir";
  EXPECT_EXIT(
      {
        setenv("HOME", missing.c_str(), 1);
        guitest::respond_when_shown<tavolin::GlobalOptionDialog>(Gtk::RESPONSE_OK);
        tavolin::MenuWindow window(program.argc(), program.argv());
      },
      ::testing::ExitedWithCode(1), "settings could not be saved");
  EXPECT_EXIT(
      {
        unsetenv("HOME");
        guitest::respond_when_shown<tavolin::GlobalOptionDialog>(Gtk::RESPONSE_OK);
        tavolin::MenuWindow window(program.argc(), program.argv());
      },
      ::testing::ExitedWithCode(1), "HOME is not set: the settings could not be saved");
  // CANCEL with an unset HOME is still a quiet end.
  EXPECT_EXIT(
      {
        unsetenv("HOME");
        guitest::respond_when_shown<tavolin::GlobalOptionDialog>(Gtk::RESPONSE_CANCEL);
        tavolin::MenuWindow window(program.argc(), program.argv());
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(FirstStart, WrongCommandLineShowsUsageBeforeAnyDialog) {
  // No dialog is answered: a window would hang the child until the timeout.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-h"}, {"one"}, {"a", "b", "c"}, {"-h", "root"}}) {
    EXPECT_EXIT(tavolin::MenuWindow(program.argc(), program.argv(args)),
                ::testing::ExitedWithCode(0), "")
        << args.size();
  }
  EXPECT_FALSE(exists(home + "/.tavolin"));
}

TEST_F(FirstStart, TwoArgumentsReplaceFromAndAlbumForThisRun) {
  guitest::write_file(home + "/.tavolin", "from=/saved/from\r\nalbum=/saved/root\r\n");
  const std::string root = scratch / "root";
  guitest::make_dirs(root + "/2024/txt");
  tavolin::MenuWindow window(program.argc(), program.argv({"/mnt/cam", root}));
  EXPECT_EQ(tavolin::g_global.from, "/mnt/cam");
  EXPECT_EQ(tavolin::g_global.album, root);
  ASSERT_EQ(window.items().size(), 1u);
  EXPECT_EQ(window.items()[0].name, "2024");
  // The file keeps what it had.
  EXPECT_EQ(read_file(home + "/.tavolin"), "from=/saved/from\r\nalbum=/saved/root\r\n");
}

}  // namespace

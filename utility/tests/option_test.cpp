#include "utility/option.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "utility/tests/test_support.h"

using namespace plimlib;
using utiltest::scratch_dir;

namespace {

// A command line whose argv ends with a null pointer, as main() gets it.
class command_line {
 public:
  command_line(std::initializer_list<const char*> args) {
    for (const char* a : args) m_store.emplace_back(a);
    for (std::string& s : m_store) m_ptrs.push_back(s.data());
    m_ptrs.push_back(nullptr);
    m_argc = static_cast<int>(m_store.size());
    m_argv = m_ptrs.data();
  }
  void enter() { option_enter_argument(&m_argc, &m_argv); }
  int argc() const { return m_argc; }
  std::string arg(int i) const { return m_argv[i]; }
  bool terminated() const { return m_argv[m_argc] == nullptr; }

 private:
  std::vector<std::string> m_store;
  std::vector<char*> m_ptrs;
  int m_argc;
  char** m_argv;
};

int analyze(std::initializer_list<const char*> args) {
  std::vector<const char*> v(args);
  v.push_back(nullptr);
  return option_each_analyze(v.data());
}

const char* const usage_text =
    "usage: ./plimzev3 [option] file...\n"
    "\n"
    "option                 format  comment.\n"
    "---------------------------------------\n"
    "-h                     bool        print help and exit(if commend-line).\n"
    "-verbose               bool        verbose print.\n"
    "-debug                 bool        debug print.\n"
    "-wintype               enum        window type (0:window 1:maximize 2:fullscreen).\n"
    "-winsize               XXXxYYY     initial window size.\n"
    "-g                     XXXxYYY     initial window position.\n"
    "-resizetype            enum        policy of resize (0:fix 1:image 2:window).\n"
    "-image_ratio_of_image  rate(float) image size factor of image(fix).\n"
    "-image_ratio_of_window rate(float) image size factor of window(image).\n"
    "-window_ratio_of_image rate(float) window size factor of image(window).\n"
    "-resize_magnify        bool        allow window resize (if magnify).\n"
    "-resize_shrink         bool        allow window resize (if shrink).\n"
    "-sizelimit             enum        limitation of window size (0: unlimited 1:screen "
    "2:value).\n"
    "-maxmargin             XXXxYYY     0:screen, margin of maximum window size.\n"
    "-maxsize               XXXxYYY     1:value, maximum window size.\n"
    "-cursor_movement       enum        moving cursorkey direction (0:panning, 1:camera).\n"
    "-magsmooth             bool        image smoother for magnify.\n"
    "-move_limit            bool        image move limitation (not implemented yet).\n"
    "-doubleclick_interval  ulong       maximum interval time(ms) of mouse double-click.\n"
    "-frametype             enum        drawing photo-frame type (0:none - 4:max).\n"
    "-framewidth            ulong       drawing photo-frame width (in pixel).\n"
    "-framecolor            R,G,B       frame color.\n"
    "-reproduce             bool        reproduce angle/zoom of saved '.zev' file.\n"
    "-resetview             bool        resetview(reproduce) on nextimage.\n"
    "-menu                  bool        menu on/off.\n"
    "-single                bool        disable double-buffer, reduce VRAM use.\n";

const char* const default_file =
    "-h-\n-verbose-\n-debug-\n-wintype 0\n-winsize 800x600\n-g 16384x16384\n"
    "-resizetype 1\n-image_ratio_of_image 1\n-image_ratio_of_window 0.875\n"
    "-window_ratio_of_image 1.2\n-resize_magnify+\n-resize_shrink-\n-sizelimit 0\n"
    "-maxmargin 10x32\n-maxsize 1500x1000\n-cursor_movement 1\n-magsmooth+\n"
    "-move_limit-\n-doubleclick_interval 300\n-frametype 1\n-framewidth 32\n"
    "-framecolor 255,255,255,255\n-reproduce+\n-resetview+\n-menu+\n-single-\n";

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expect_same_options(const option_t& a, const option_t& b) {
  EXPECT_EQ(a.h, b.h);
  EXPECT_EQ(a.verbose, b.verbose);
  EXPECT_EQ(a.debug, b.debug);
  EXPECT_EQ(a.wintype, b.wintype);
  EXPECT_EQ(a.winsize.x, b.winsize.x);
  EXPECT_EQ(a.winsize.y, b.winsize.y);
  EXPECT_EQ(a.g.x, b.g.x);
  EXPECT_EQ(a.g.y, b.g.y);
  EXPECT_EQ(a.resizetype, b.resizetype);
  EXPECT_TRUE(same_bits(a.image_ratio_of_image, b.image_ratio_of_image));
  EXPECT_TRUE(same_bits(a.image_ratio_of_window, b.image_ratio_of_window));
  EXPECT_TRUE(same_bits(a.window_ratio_of_image, b.window_ratio_of_image));
  EXPECT_EQ(a.resize_magnify, b.resize_magnify);
  EXPECT_EQ(a.resize_shrink, b.resize_shrink);
  EXPECT_EQ(a.sizelimit, b.sizelimit);
  EXPECT_EQ(a.maxmargin.x, b.maxmargin.x);
  EXPECT_EQ(a.maxmargin.y, b.maxmargin.y);
  EXPECT_EQ(a.maxsize.x, b.maxsize.x);
  EXPECT_EQ(a.maxsize.y, b.maxsize.y);
  EXPECT_EQ(a.cursor_movement, b.cursor_movement);
  EXPECT_EQ(a.magsmooth, b.magsmooth);
  EXPECT_EQ(a.move_limit, b.move_limit);
  EXPECT_EQ(a.doubleclick_interval, b.doubleclick_interval);
  EXPECT_EQ(a.frametype, b.frametype);
  EXPECT_EQ(a.framewidth, b.framewidth);
  EXPECT_EQ(a.framecolor.r, b.framecolor.r);
  EXPECT_EQ(a.framecolor.g, b.framecolor.g);
  EXPECT_EQ(a.framecolor.b, b.framecolor.b);
  EXPECT_EQ(a.framecolor.a, b.framecolor.a);
  EXPECT_EQ(a.reproduce, b.reproduce);
  EXPECT_EQ(a.resetview, b.resetview);
  EXPECT_EQ(a.menu, b.menu);
  EXPECT_EQ(a.single, b.single);
}

class Options : public testing::Test {
 protected:
  void SetUp() override {
    option_reset();
    option_init();
  }
  void TearDown() override { option_reset(); }
  scratch_dir tmp;
};

}  // namespace

TEST_F(Options, BoolNamesIgnoreCaseAndTakePlusOrMinus) {
  EXPECT_EQ(analyze({"-VERBOSE"}), 1);
  EXPECT_TRUE(g_option.verbose);
  EXPECT_EQ(analyze({"-verbose-"}), 1);
  EXPECT_FALSE(g_option.verbose);
  EXPECT_EQ(analyze({"-Verbose+"}), 1);
  EXPECT_TRUE(g_option.verbose);
  EXPECT_EQ(analyze({"-verbosex"}), 0);
  EXPECT_EQ(analyze({"verbose"}), 0);
  EXPECT_EQ(analyze({"-"}), 0);
}

TEST_F(Options, DebugTracesEachBoolForm) {
  g_option.debug = true;
  testing::internal::CaptureStderr();
  analyze({"-single"});
  analyze({"-single+"});
  analyze({"-single-"});
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "option single is set.\noption single is '+'.\noption single is '-'.\n");
}

TEST_F(Options, SizeValuesKeepNegativeParts) {
  EXPECT_EQ(analyze({"-winsize", "1024x768"}), 2);
  EXPECT_EQ(g_option.winsize.x, 1024);
  EXPECT_EQ(g_option.winsize.y, 768);
  EXPECT_EQ(analyze({"-winsize", "-1x500"}), 2);
  EXPECT_EQ(g_option.winsize.x, 1024);
  EXPECT_EQ(g_option.winsize.y, 500);
  EXPECT_EQ(analyze({"-G", "+0+32"}), 2);
  EXPECT_EQ(g_option.g.x, 0);
  EXPECT_EQ(g_option.g.y, 32);
  EXPECT_EQ(analyze({"-maxsize", "0x20"}), 2);  // hexadecimal, no separator left
  EXPECT_EQ(g_option.maxsize.x, 32);
  EXPECT_EQ(g_option.maxsize.y, 1000);
  EXPECT_EQ(analyze({"-maxsize", "99999999999x7"}), 2);  // too large for the value
  EXPECT_EQ(g_option.maxsize.x, 32);
  EXPECT_EQ(g_option.maxsize.y, 7);
}

TEST_F(Options, NumbersTakeTheirBaseFromThePrefix) {
  EXPECT_EQ(analyze({"-wintype", "0x2"}), 2);
  EXPECT_EQ(g_option.wintype, 2);
  EXPECT_EQ(analyze({"-frametype", "010"}), 2);
  EXPECT_EQ(g_option.frametype, 8);
  EXPECT_EQ(analyze({"-sizelimit", "-3"}), 2);
  EXPECT_EQ(g_option.sizelimit, -3);
  EXPECT_EQ(analyze({"-framewidth", "junk"}), 2);  // parses as 0: ignored
  EXPECT_EQ(g_option.framewidth, 32u);
  EXPECT_EQ(analyze({"-image_ratio_of_window", "0.5"}), 2);
  EXPECT_FLOAT_EQ(g_option.image_ratio_of_window, 0.5f);
  EXPECT_EQ(analyze({"-window_ratio_of_image", "1e300"}), 2);
  EXPECT_EQ(g_option.window_ratio_of_image, HUGE_VALF);
}

TEST_F(Options, ZeroIntervalKeepsTheOldValue) {
  EXPECT_EQ(analyze({"-doubleclick_interval", "0"}), 2);
  EXPECT_EQ(g_option.doubleclick_interval, 300u);
  EXPECT_EQ(analyze({"-doubleclick_interval", "450"}), 2);
  EXPECT_EQ(g_option.doubleclick_interval, 450u);
}

TEST_F(Options, ColorTakesUpToFourLowBytes) {
  EXPECT_EQ(analyze({"-framecolor", "0x10,32,48"}), 2);
  EXPECT_EQ(g_option.framecolor.r, 16);
  EXPECT_EQ(g_option.framecolor.g, 32);
  EXPECT_EQ(g_option.framecolor.b, 48);
  EXPECT_EQ(g_option.framecolor.a, 255);
  EXPECT_EQ(analyze({"-framecolor", "300/1/2/3/4"}), 2);
  EXPECT_EQ(g_option.framecolor.r, 44);
  EXPECT_EQ(g_option.framecolor.a, 3);
  EXPECT_EQ(analyze({"-framecolor", "7"}), 2);
  EXPECT_EQ(g_option.framecolor.r, 7);
  EXPECT_EQ(g_option.framecolor.g, 1);
}

TEST_F(Options, TypedOptionMatchesOnlyItsWholeName) {
  EXPECT_EQ(analyze({"-winsizex", "1x1"}), 0);
  EXPECT_EQ(g_option.winsize.x, 800);
}

TEST_F(Options, TypedOptionWithoutValueReadsNothingPastTheEnd) {
  // Exactly one entry, no terminator: ASan sees any read of a second.
  std::unique_ptr<const char*[]> args(new const char* [1] { "-winsize" });
  testing::internal::CaptureStderr();
  EXPECT_EQ(option_each_analyze(args.get(), 1), 0);
  EXPECT_EQ(analyze({"-framecolor"}), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("-winsize: option value missing."), std::string::npos);
  EXPECT_EQ(g_option.winsize.x, 800);
  EXPECT_EQ(g_option.framecolor.r, 255);
}

TEST_F(Options, EnterArgumentStopsAtTheFirstNonOption) {
  command_line cl{"./plimzev3", "-menu-", "a.jpg", "-single"};
  cl.enter();
  EXPECT_FALSE(g_option.menu);
  EXPECT_FALSE(g_option.single);
  ASSERT_EQ(cl.argc(), 3);
  EXPECT_EQ(cl.arg(0), "./plimzev3");
  EXPECT_EQ(cl.arg(1), "a.jpg");
  EXPECT_EQ(cl.arg(2), "-single");
}

TEST_F(Options, EnterArgumentConsumesValuesAndKeepsArgvTerminated) {
  command_line cl{"v",     "-resizetype",
                  "2",     "-window_ratio_of_image",
                  "0.5",   "-image_ratio_of_window",
                  "1",     "-g",
                  "+0+32", "photo.jpg"};
  cl.enter();
  EXPECT_EQ(g_option.resizetype, 2);
  EXPECT_FLOAT_EQ(g_option.window_ratio_of_image, 0.5f);
  EXPECT_FLOAT_EQ(g_option.image_ratio_of_window, 1.0f);
  EXPECT_EQ(g_option.g.y, 32);
  ASSERT_EQ(cl.argc(), 2);
  EXPECT_EQ(cl.arg(1), "photo.jpg");
  EXPECT_TRUE(cl.terminated());

  command_line only{"v"};
  only.enter();
  EXPECT_EQ(only.argc(), 1);
}

TEST_F(Options, TypedOptionAsTheLastArgumentEndsTheOptions) {
  // argv with exactly argc entries, no terminator.
  std::unique_ptr<char*[]> args(new char*[3]);
  std::string a0 = "prog", a1 = "-verbose", a2 = "-winsize";
  args[0] = a0.data();
  args[1] = a1.data();
  args[2] = a2.data();
  int argc = 3;
  char** argv = args.get();
  testing::internal::CaptureStderr();
  option_enter_argument(&argc, &argv);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(g_option.verbose);
  EXPECT_EQ(g_option.winsize.x, 800);
  ASSERT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], "-winsize");
}

TEST_F(Options, EnterArgumentClearsH) {
  g_option.h = true;
  command_line cl{"v", "x"};
  cl.enter();
  EXPECT_FALSE(g_option.h);
}

TEST_F(Options, ListPrintsTheUsageTable) {
  testing::internal::CaptureStdout();
  option_list("./plimzev3");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), usage_text);
}

// Runs in the child of the death test: the usage text goes to out.
void enter_help(const std::string& out) {
  if (std::freopen(out.c_str(), "w", stdout) == nullptr) std::_Exit(2);
  command_line cl{"./plimzev3", "-verbose", "-h", "file.jpg"};
  cl.enter();
  std::_Exit(3);
}

TEST(OptionsDeathTest, HelpPrintsTheUsageTableAndExitsWithZero) {
  GTEST_FLAG_SET(death_test_style, "fast");
  scratch_dir tmp;
  const std::string out = tmp / "usage.txt";
  EXPECT_EXIT(enter_help(out), testing::ExitedWithCode(0), "");
  EXPECT_EQ(utiltest::read_file(out), usage_text);
}

TEST_F(Options, SaveWritesTheDefaultsInCommandLineSyntax) {
  const std::string path = tmp / "opts";
  ASSERT_TRUE(option_save(path.c_str()));
  EXPECT_EQ(utiltest::read_file(path), default_file);
}

TEST_F(Options, FileRoundTripRestoresEveryOption) {
  option_t v = option_default;
  v.h = true;
  v.verbose = true;
  v.debug = true;
  v.wintype = 2;
  v.winsize = {1024, 768};
  v.g = {0, 32};
  v.resizetype = 2;
  v.image_ratio_of_image = 0.1234567f;  // needs more than six digits
  v.image_ratio_of_window = 1e-8f;
  v.window_ratio_of_image = FLT_MAX;
  v.resize_magnify = false;
  v.resize_shrink = true;
  v.sizelimit = -3;
  v.maxmargin = {0, 0};
  v.maxsize = {2147483647, 1};
  v.cursor_movement = 0;
  v.magsmooth = false;
  v.move_limit = true;
  v.doubleclick_interval = 4294967295u;
  v.frametype = 4;
  v.framewidth = 1;
  v.framecolor = {1, 2, 3, 0};
  v.reproduce = false;
  v.resetview = false;
  v.menu = false;
  v.single = true;
  g_option = v;
  const std::string path = tmp / "opts";
  ASSERT_TRUE(option_save(path.c_str()));
  option_reset();
  testing::internal::CaptureStderr();
  ASSERT_TRUE(option_load(path.c_str()));
  testing::internal::GetCapturedStderr();
  expect_same_options(g_option, v);
}

TEST_F(Options, LoadAppliesOnlyTheFirstOptionOfEachLine) {
  const std::string path = tmp / "opts";
  utiltest::write_file(path,
                       "-maxsize 1600x1200 -single\r\n"
                       "\n"
                       "  -menu-\n"
                       "\t\n"
                       "-resize_shrink\r\n"
                       "-maxmargin  5x6\n"
                       "not-an-option -magsmooth-\n"
                       "-winsize");
  testing::internal::CaptureStderr();
  EXPECT_TRUE(option_load(path.c_str()));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(g_option.maxsize.x, 1600);
  EXPECT_EQ(g_option.maxsize.y, 1200);
  EXPECT_FALSE(g_option.single);
  EXPECT_TRUE(g_option.menu);           // a leading blank makes an empty first token
  EXPECT_TRUE(g_option.resize_shrink);  // the CR is cut off
  EXPECT_EQ(g_option.maxmargin.x, 0);   // two blanks: the value is the empty token
  EXPECT_EQ(g_option.maxmargin.y, 32);
  EXPECT_TRUE(g_option.magsmooth);
  EXPECT_EQ(g_option.winsize.x, 800);
}

TEST_F(Options, MissingFileChangesNothing) {
  EXPECT_TRUE(option_load((tmp / "none").c_str()));
  expect_same_options(g_option, option_default);
}

TEST_F(Options, SaveToAnUnwritablePathFails) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(option_save((tmp / "no/such").c_str()));
  EXPECT_NE(testing::internal::GetCapturedStderr().find(tmp / "no/such" + ": "), std::string::npos);
}

TEST_F(Options, AFailedSaveKeepsTheOldFileAndItsLink) {
  // A file size limit stands in for a full disk: the write fails half way.
  const std::string real = tmp / "real";
  const std::string link = tmp / "link";
  utiltest::write_file(real, "-winsize 640x480\n");
  ::chmod(real.c_str(), 0640);
  std::filesystem::create_symlink(real, link);
  g_option.winsize = {320, 200};
  {
    struct sigaction ignore = {}, old = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &old);
    struct rlimit limit = {}, saved = {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 200;  // room for the captured line, not for the file
    ::setrlimit(RLIMIT_FSIZE, &limit);
    testing::internal::CaptureStderr();
    const bool saved_ok = option_save(link.c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(err.rfind(link + ": option file write failed, ", 0), 0u) << err;
  }
  EXPECT_EQ(utiltest::read_file(real), "-winsize 640x480\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 2);
  // A save that succeeds replaces the file behind the link, keeping the
  // link and the file's mode.
  ASSERT_TRUE(option_save(link.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(utiltest::read_file(real).find("-winsize 320x200\n"), std::string::npos);
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Options, NumbersUseAPointWhateverTheNumericLocale) {
  utiltest::compiled_locale de("de_DE", "UTF-8", "de_DE.UTF-8");
  if (!de.ok()) GTEST_SKIP() << "cannot compile a German locale";
  utiltest::locale_guard numeric(LC_NUMERIC, "de_DE.UTF-8");
  if (!numeric.ok()) GTEST_SKIP() << "German locale not usable";
  ASSERT_EQ(std::strtod("0,5", nullptr), 0.5);  // the locale really uses a comma
  EXPECT_EQ(analyze({"-window_ratio_of_image", "0.5"}), 2);
  EXPECT_FLOAT_EQ(g_option.window_ratio_of_image, 0.5f);
  const std::string path = tmp / "opts";
  ASSERT_TRUE(option_save(path.c_str()));
  EXPECT_NE(utiltest::read_file(path).find("-image_ratio_of_window 0.875\n"), std::string::npos);
  option_reset();
  ASSERT_TRUE(option_load(path.c_str()));
  EXPECT_FLOAT_EQ(g_option.window_ratio_of_image, 0.5f);
}

TEST_F(Options, UserDefaultFileLivesInHome) {
  utiltest::env_guard home("HOME", tmp.path());
  g_option.verbose = true;
  g_option.winsize = {640, 480};
  testing::internal::CaptureStdout();
  option_save_user_default("plimzev3", "/ignored/");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "save user default: " + tmp.path() + "/.plimzev3\n");
  EXPECT_NE(utiltest::read_file(tmp / ".plimzev3").find("-winsize 640x480\n"), std::string::npos);
  option_reset();
  g_option.verbose = true;
  testing::internal::CaptureStdout();
  option_load_user_default("plimzev3", "/ignored/");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "load user default: " + tmp.path() + "/.plimzev3\n");
  EXPECT_EQ(g_option.winsize.x, 640);
}

TEST_F(Options, UserDefaultFallsBackToTheProgramDirectory) {
  utiltest::env_guard home("HOME", std::nullopt);
  g_option.debug = true;
  testing::internal::CaptureStdout();
  option_save_user_default("viewer", tmp.path().c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "prog: viewer, dir: " + tmp.path() + "\n");
  EXPECT_TRUE(std::filesystem::exists(tmp / ".viewer"));
  g_option.debug = false;
  option_save_user_default("viewer2", (tmp.path() + "/").c_str());
  EXPECT_TRUE(std::filesystem::exists(tmp / ".viewer2"));
  utiltest::env_guard home2("HOME", tmp.path() + "\\");
  option_save_user_default("viewer3", "");
  EXPECT_TRUE(std::filesystem::exists(tmp.path() + "\\.viewer3"));
}

TEST_F(Options, BytesParseAsTheirFileLoads) {
  using namespace std::string_literals;
  const std::string bytes = "-maxsize 1600x1200\r\n-menu-\n-single\0-magsmooth-\n-winsize 9x"s;
  const std::string path = tmp / "opts";
  utiltest::write_file(path, bytes);
  testing::internal::CaptureStderr();
  option_load(path.c_str());
  const plimlib::option_t loaded = g_option;
  option_reset();
  option_init();
  option_parse(bytes);
  testing::internal::GetCapturedStderr();
  expect_same_options(g_option, loaded);
  EXPECT_EQ(g_option.maxsize.x, 1600);
  EXPECT_FALSE(g_option.menu);
}

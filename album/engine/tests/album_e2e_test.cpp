// albumtool make and update over an import directory generated here:
// photos with and without EXIF, one turned on import, a movie, a sound file
// and a text file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_fixture.h"
#include "album/engine/tests/page_links.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/message.h"

namespace {

using enginetest::read_file;
using enginetest::write_file;
namespace fs = std::filesystem;

int sh(const std::string& command) { return std::system(command.c_str()); }

// Width x height from the frame header of a JPEG; "" when there is none.
std::string jpeg_size(const std::string& file) {
  const std::string b = read_file(file);
  auto at = [&b](size_t i) { return static_cast<unsigned char>(b[i]); };
  for (size_t p = 2; p + 9 <= b.size() && at(p) == 0xFF;) {
    const unsigned marker = at(p + 1);
    if (marker >= 0xC0 && marker <= 0xC2)
      return std::to_string(at(p + 7) << 8 | at(p + 8)) + "x" +
             std::to_string(at(p + 5) << 8 | at(p + 6));
    p += 2 + (at(p + 2) << 8 | at(p + 3));
  }
  return "";
}

// Frame size of a movie's first video stream, read by ffprobe.
std::string movie_size(const std::string& file) {
  std::string out;
  FILE* pipe = popen(("ffprobe -v error -select_streams v:0 -show_entries stream=width,height"
                      " -of csv=s=x:p=0 '" +
                      file + "'")
                         .c_str(),
                     "r");
  char buf[64];
  while (pipe && std::fgets(buf, sizeof buf, pipe)) out += buf;
  if (pipe) pclose(pipe);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Every entry below dir, relative to it ("size0/a.jpg"), directories too.
std::set<std::string> tree(const std::string& dir) {
  std::set<std::string> entries;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    entries.insert(e.path().lexically_relative(dir).string());
  return entries;
}

struct stamp_t {
  ino_t ino;
  off_t size;
  long sec, nsec;
  bool operator==(const stamp_t& o) const {
    return ino == o.ino && size == o.size && sec == o.sec && nsec == o.nsec;
  }
};

stamp_t stamp(const std::string& file) {
  struct stat st {};
  lstat(file.c_str(), &st);
  return {st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

void expect_progress(const std::string& out, int signal, const std::vector<double>& want) {
  const std::vector<double> got = pagetest::progress_values(out, signal);
  ASSERT_EQ(got.size(), want.size()) << "signal " << signal;
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-5) << signal << ":" << i;
}

// A page without its time stamp line.
std::string without_stamp(const std::string& page) {
  return std::regex_replace(page, std::regex("HTML Generated: [^\n]*\n"), "");
}

std::vector<double> steps(int n) {
  std::vector<double> v;
  for (int k = 1; k <= n; ++k) v.push_back(double(k) / n);
  return v;
}

class AlbumToolRun : public ::testing::Test {
 protected:
  AlbumToolRun() {
    pagetest::load_catalog();
    enginetest::make_dirs(import());
    enginetest::make_dirs(root());
    write_file(dir / ".tavolin",
               "from=" + import() + "\r\nalbum=" + root() +
                   "\r\nshrink_size=1024,1024\r\njpeg_compress=90\r\nhtml_header_check=1\r\n"
                   "html_header=<meta charset=\"UTF-8\">\r\nhtml_address=Test Owner\r\n"
                   "hwaccel=\r\nffmpeg=-c:v libx264 -crf 23 -preset ultrafast\r\n"
                   "play_size_x=3840\r\nplay_size_y=2160\r\nmovie_thumbnail_retina=1\r\n");
  }
  std::string import() const { return dir / "import"; }
  std::string root() const { return dir / "root"; }
  std::string album(const std::string& rel = "") const {
    return root() + "/trip" + (rel.empty() ? "" : "/" + rel);
  }
  pagetest::run_result_t tool(const std::vector<std::string>& args) {
    return pagetest::albumtool(dir.path(), args);
  }

  enginetest::scratch_dir dir;
};

TEST_F(AlbumToolRun, MakeThenUpdateAnAlbum) {
  // The import directory.
  pagetest::make_jpeg(import() + "/big.jpg", 4000, 3000);
  pagetest::make_jpeg(dir / "exifthumb.jpg", 160, 120);
  ASSERT_EQ(sh("exiftool -q -overwrite_original -Make=Acme '-Model=Model 1'"
               " '-LensModel=Acme 12-40mm' '-DateTimeOriginal=2024:05:06 07:08:09'"
               " -ExposureProgram#=3 -FocalLength=25 -FocalLengthIn35mmFormat=50 -FNumber=5.6"
               " -ExposureTime=1/125 -ISO=200 -MeteringMode#=2 -ExifIFD:Flash#=25"
               " -ExposureCompensation=-2/3 -ColorSpace#=1 -WhiteBalance#=0 -Contrast#=0"
               " -Saturation#=0 -Sharpness#=0 '-ThumbnailImage<=" +
               dir / "exifthumb.jpg" + "' '" + import() + "/big.jpg'"),
            0);
  pagetest::make_jpeg(import() + "/plain.jpg", 1024, 768);
  pagetest::make_jpeg(import() + "/turn.jpg", 2048, 1536);
  ASSERT_EQ(sh("ffmpeg -loglevel error -f lavfi -i testsrc=size=1920x1080:duration=2:rate=5"
               " -c:v libx264 -preset ultrafast -pix_fmt yuv420p '" +
               import() + "/clip.mov'"),
            0);
  ASSERT_EQ(sh("ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=3 '" + import() +
               "/voice.wav'"),
            0);
  write_file(import() + "/notes.txt", "a note\n");

  const pagetest::run_result_t made =
      tool({"make", import(), root(), "trip", "Trip 2024", "first line\nsecond", "the end",
            "big.jpg", "plain.jpg", "turn.jpg@1", "clip.mov", "voice.wav", "notes.txt"});
  ASSERT_EQ(made.status, 0) << made.err;

  // The whole layout, with the size of every level file.
  const std::map<std::string, std::string> levels = {
      {"size0/big.jpg", "4000x3000"},   {"size1/big.jpg", "2000x1500"},
      {"size2/big.jpg", "1000x750"},    {"size3/big.jpg", "500x375"},
      {"thumb/big.jpg", "160x120"},     {"size0/plain.jpg", "1024x768"},
      {"size1/plain.jpg", "512x384"},   {"thumb/plain.jpg", "256x192"},
      {"size0/turn.jpg", "1536x2048"},  {"size1/turn.jpg", "768x1024"},
      {"size2/turn.jpg", "384x512"},    {"thumb/turn.jpg", "192x256"},
      {"movie0/clip.mp4", "1920x1080"}, {"movie0/clip.jpg", "1920x1080"},
      {"movie1/clip.mp4", "960x540"},   {"movie1/clip.jpg", "960x540"},
      {"movie2/clip.mp4", "480x270"},   {"movie2/clip.jpg", "480x270"},
  };
  std::set<std::string> want = {"original",
                                "original/big.jpg",
                                "original/plain.jpg",
                                "original/turn.jpg",
                                "original/clip.mov",
                                "original/voice.wav",
                                "size0",
                                "size1",
                                "size2",
                                "size3",
                                "thumb",
                                "movie0",
                                "movie1",
                                "movie2",
                                "html",
                                "html/big_1.html",
                                "html/big_2.html",
                                "html/turn_1.html",
                                "html/clip_1_1.html",
                                "html/clip_2_0.html",
                                "txt",
                                "txt/head.txt",
                                "txt/last.txt",
                                "txt/count.txt",
                                "txt/notes.txt",
                                "index.html",
                                "list.html"};
  for (const auto& level : levels) {
    want.insert(level.first);
    const std::string file = album(level.first);
    const std::string size =
        level.first.find(".mp4") != std::string::npos ? movie_size(file) : jpeg_size(file);
    EXPECT_EQ(size, level.second) << level.first;
  }
  EXPECT_EQ(tree(album()), want);
  // size0 links to the camera file unless the photo was turned; the
  // thumbnail of the EXIF photo is the camera's own.
  EXPECT_EQ(fs::read_symlink(album("size0/big.jpg")), "../original/big.jpg");
  EXPECT_EQ(fs::read_symlink(album("size0/plain.jpg")), "../original/plain.jpg");
  EXPECT_FALSE(fs::is_symlink(album("size0/turn.jpg")));
  EXPECT_EQ(read_file(album("thumb/big.jpg")), read_file(dir / "exifthumb.jpg"));
  EXPECT_EQ(read_file(album("original/voice.wav")), read_file(import() + "/voice.wav"));
  EXPECT_EQ(read_file(album("txt/notes.txt")), "a note\n");
  EXPECT_EQ(read_file(album("txt/head.txt")), "Trip 2024\r\nTrip 2024\r\nfirst line\r\nsecond\r\n");
  EXPECT_EQ(read_file(album("txt/count.txt")), "1+3+1\n");

  expect_progress(made.out, 1, steps(6));
  expect_progress(made.out, 2, steps(6));
  expect_progress(made.out, 3, steps(3));
  std::vector<double> zoom = steps(3);
  for (double v : steps(5)) zoom.push_back(v);
  expect_progress(made.out, 4, zoom);

  // The index page: head, one photo's whole item, foot.
  const std::string index = read_file(album("index.html"));
  EXPECT_EQ(index.rfind("<HTML>\n<HEAD>\n\t<meta charset=\"UTF-8\">\n\t<title>Trip 2024</title>\n"
                        "</HEAD>\n\n<BODY>\n\t<CENTER><h1>Trip 2024</h1></CENTER>\n"
                        "<br>first line\n<br>second\n<p>\n\t<li>clip.mov\n",
                        0),
            0u)
      << index;
  auto kb = [this](const std::string& rel) {
    return std::to_string((fs::file_size(album(rel)) + 1023) / 1024);
  };
  const std::string big =
      "\t<li>big.jpg\n"
      "\t<br><a href=\"size0/big.jpg\">4000x3000 (" +
      kb("original/big.jpg") +
      "k)</a>\n"
      "\t<br><a href=\"html/big_1.html\">2000x1500 (" +
      kb("size1/big.jpg") +
      "k)</a>\n"
      "\t<br><a href=\"html/big_1.html\"><IMG SRC=\"size2/big.jpg\""
      " SRCSET=\"size2/big.jpg 1x,size1/big.jpg 2x\" ALIGN=\"left\"></a>\n"
      "\t<br clear=all>\n"
      "\t2024:05:06 07:08:09\n"
      "\t<br>Acme, Model 1\n"
      "\t<br>Acme 12-40mm\n"
      "\t<br>A, f=25mm(50mm), f/5.6, 1/125sec, iso200, " +
      std::string(plimlib::getmsg(tavolin::MSG_METERING_CENTER_WEIGHTED)) +
      ", -2/3 EV\n"
      "\t<br>Auto WB, Flash/Auto\n"
      "\t<br>Shp Normal, Sat Normal, Ctr Normal, sRGB\n"
      "\t<p>\n\n\t<li>plain.jpg\n";
  EXPECT_NE(index.find(big), std::string::npos) << index;
  // Every zoom page of the photo shows its EXIF lines, read once for all.
  const std::string exif = big.substr(big.find("\t2024:05:06"));
  for (const char* page : {"html/big_1.html", "html/big_2.html"})
    EXPECT_NE(read_file(album(page))
                  .find("\t<br clear=all>\n" + exif.substr(0, exif.find("\t<p>")) + "<hr>\n"),
              std::string::npos)
        << page;
  EXPECT_NE(index.find("\t<br><a href=\"movie0/clip.mp4\">1920x1080 (" + kb("movie0/clip.mp4") +
                       "k)</a> <a href=\"html/clip_2_0.html\">Retina1920x1080 ("),
            std::string::npos);
  EXPECT_NE(index.find("<video controls width=\"960px\" height=\"540px\""
                       " src=\"movie0/clip.mp4\">\n\t</video>\n"),
            std::string::npos);
  EXPECT_NE(index.find("\t<li>voice.wav\n\t<br>\n\t<audio controls src=\"original/voice.wav\">"),
            std::string::npos);
  const std::regex foot(
      "<br>the end\n<hr>\n\t<address>Test Owner</address>\n"
      "<!-- hhmts start -->\nHTML Generated: [^\n]+\n<!-- hhmts end -->\n"
      "</BODY>\n</HTML>\n$");
  EXPECT_TRUE(std::regex_search(index, foot));
  EXPECT_NE(read_file(album("list.html"))
                .find("<a href=\"movie0/clip.mp4\"><IMG SRC=\"movie2/clip.jpg\""
                      " SRCSET=\"movie2/clip.jpg 1x,movie1/clip.jpg 2x\"></a>\n"),
            std::string::npos);

  // Every page links only to files that exist.
  for (const std::string& rel : want) {
    if (rel.size() < 5 || rel.compare(rel.size() - 5, 5, ".html") != 0) continue;
    EXPECT_EQ(pagelinks::broken_links(album(rel)), std::vector<std::string>()) << rel;
  }

  // An update of the complete album converts nothing and leaves every
  // level as it is, but writes the pages again.
  std::map<std::string, stamp_t> before;
  for (const auto& level : levels) before[level.first] = stamp(album(level.first));
  for (const char* page :
       {"index.html", "list.html", "html/big_1.html", "html/clip_2_0.html", "txt/count.txt"})
    write_file(album(page), "stale");
  const pagetest::run_result_t updated = tool({"update", root(), "trip"});
  ASSERT_EQ(updated.status, 0) << updated.err;
  EXPECT_EQ(updated.out.find("ffmpeg -y"), std::string::npos);
  EXPECT_EQ(updated.err.find("ffmpeg -y"), std::string::npos);
  for (const auto& level : levels)
    EXPECT_TRUE(stamp(album(level.first)) == before[level.first]) << level.first;
  EXPECT_EQ(without_stamp(read_file(album("index.html"))), without_stamp(index));
  for (const char* page : {"list.html", "html/big_1.html", "html/clip_2_0.html"})
    EXPECT_EQ(read_file(album(page)).rfind("<HTML>\n", 0), 0u) << page;
  EXPECT_EQ(read_file(album("txt/count.txt")), "1+3+1\n");
  EXPECT_TRUE(pagetest::progress_values(updated.out, 1).empty());
  expect_progress(updated.out, 2, steps(5));
  expect_progress(updated.out, 3, steps(3));
  EXPECT_EQ(tree(album()), want);
}

TEST_F(AlbumToolRun, FailedMakesStopEarly) {
  pagetest::make_jpeg(import() + "/a.jpg", 64, 48);
  // No album name: nothing below the root is touched.
  pagetest::run_result_t r = tool({"make", import(), root(), "", "T", "", "", "a.jpg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(": album directory is empty.\n"), std::string::npos) << r.err;
  EXPECT_TRUE(tree(root()).empty());
  EXPECT_EQ(r.out, "");

  // A missing import file costs only itself: the album is made of the
  // rest, and the file is named with the system's reason.
  r = tool({"make", import(), root(), "trip", "T", "", "", "a.jpg", "gone.jpg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("gone.jpg: not copied: No such file or directory.\n"), std::string::npos)
      << r.err;
  expect_progress(r.out, 1, {0.5, 1.0});
  EXPECT_FALSE(read_file(album("thumb/a.jpg")).empty());
  EXPECT_NE(read_file(album("index.html")).find("a.jpg"), std::string::npos);
}

}  // namespace

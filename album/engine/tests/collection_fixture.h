// A collection made at test time the way a user's is made: albums through
// "albumtool make" from generated camera files, photo lists written as CR LF
// files, then the best album, the print book and the index pages through
// albumtool. Built once per test process and removed at its end.
//
//   root/txt/head.txt          "My albums"
//   root/2024b                 p1.jpg p2.jpg (two zoom levels), p3.jpg (no
//                              zoom level), m1.mp4 (one movie level), s1.wav
//   root/2023a                 pv.jpg, private (txt/secret.txt)
//   root/2022/txt/head.txt     a collection holding
//   root/2022/trip             t1.jpg, an empty print list
//   root/_Best, root/_PrintBook  empty before the run
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_fixture.h"
#include "album/engine/tests/photo_gen.h"

namespace collectiontest {

struct collection_t {
  enginetest::scratch_dir scratch;
  std::string home;
  std::string cam;
  std::string root;
  pagetest::run_result_t best;   // albumtool best root
  pagetest::run_result_t book;   // albumtool book root _PrintBook
  pagetest::run_result_t index;  // albumtool index root
  std::string failure;           // what went wrong while building, if anything
};

inline std::string crlf_lines(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) text += n + "\r\n";
  return text;
}

inline bool make_album(collection_t& c, const std::string& parent, const std::string& album,
                       const std::vector<std::string>& args) {
  std::vector<std::string> all = {"make", c.cam, parent, album};
  all.insert(all.end(), args.begin(), args.end());
  const pagetest::run_result_t r = pagetest::albumtool(c.home, all);
  if (r.status != 0) c.failure += "make " + album + ": " + r.err + "\n";
  return r.status == 0;
}

inline void build(collection_t& c) {
  c.home = c.scratch / "home";
  c.cam = c.scratch / "cam";
  c.root = c.scratch / "root";
  for (const std::string& d : {c.home, c.cam, c.root}) enginetest::make_dirs(d);
  // Small levels keep the run short; a play size below the movie's frame
  // makes the list pages link a movie level that has to be capped.
  enginetest::write_file(c.home + "/.tavolin",
                         "hwaccel=\r\nffmpeg=-c:v libx264 -preset ultrafast -crf 23\r\n"
                         "shrink_size=96,96\r\nplay_size_x=32\r\nplay_size_y=32\r\n");
  bool ok = phototest::write_photo(c.cam + "/p1.jpg", 384, 256, 1) &&
            phototest::write_photo(c.cam + "/p2.jpg", 256, 384, 2) &&
            phototest::write_photo(c.cam + "/p3.jpg", 80, 60, 3) &&
            phototest::write_photo(c.cam + "/pv.jpg", 200, 150, 4) &&
            phototest::write_photo(c.cam + "/t1.jpg", 300, 200, 5) &&
            phototest::run(
                "ffmpeg -v error -y -f lavfi -i testsrc=size=128x96:rate=10 -t 1 "
                "-pix_fmt yuv420p '" +
                c.cam + "/m1.mp4' </dev/null") &&
            phototest::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440 -t 1 '" + c.cam +
                           "/s1.wav' </dev/null");
  if (!ok) {
    c.failure += "camera files could not be generated\n";
    return;
  }
  ok = make_album(c, c.root, "2024b",
                  {"Summer 2024", "A head\nsecond line", "The end", "p1.jpg", "p2.jpg", "p3.jpg",
                   "m1.mp4", "s1.wav"}) &&
       make_album(c, c.root, "2023a", {"Secret", "hidden", "", "pv.jpg"});
  enginetest::make_dirs(c.root + "/2022/txt");
  enginetest::write_file(c.root + "/2022/txt/head.txt", "Year 2022\r\nYear 2022\r\nOld trips\r\n");
  ok = ok && make_album(c, c.root + "/2022", "trip", {"Trip", "Mountains", "", "t1.jpg"});
  if (!ok) return;

  const std::string a = c.root + "/2024b/txt/";
  enginetest::write_file(a + "good.txt",
                         crlf_lines({"m1.mp4", "p1.jpg", "p2.jpg", "p3.jpg", "s1.wav"}));
  enginetest::write_file(a + "best.txt", crlf_lines({"m1.mp4", "p1.jpg"}));
  enginetest::write_file(a + "print.txt", crlf_lines({"m1.mp4", "p1.jpg", "p2.jpg", "s1.wav"}));
  enginetest::write_file(a + "apply.txt", crlf_lines({"p3.jpg"}));
  const std::string v = c.root + "/2023a/txt/";
  enginetest::write_file(v + "secret.txt", "");
  enginetest::write_file(v + "good.txt", crlf_lines({"pv.jpg"}));
  enginetest::write_file(v + "print.txt", crlf_lines({"pv.jpg"}));
  enginetest::write_file(c.root + "/2022/trip/txt/good.txt", crlf_lines({"t1.jpg"}));
  enginetest::write_file(c.root + "/2022/trip/txt/print.txt", "");
  enginetest::make_dirs(c.root + "/txt");
  enginetest::write_file(c.root + "/txt/head.txt", "My albums\r\nMy albums\r\nAll of them\r\n");
  enginetest::make_dirs(c.root + "/_Best");
  enginetest::make_dirs(c.root + "/_PrintBook");

  c.best = pagetest::albumtool(c.home, {"best", c.root});
  c.book = pagetest::albumtool(c.home, {"book", c.root, "_PrintBook"});
  // As the collection editor does: the changed collection's page, then
  // its parent's.
  const pagetest::run_result_t sub = pagetest::albumtool(c.home, {"index", c.root + "/2022"});
  c.index = pagetest::albumtool(c.home, {"index", c.root});
  if (sub.status != 0) c.failure += "index 2022: " + sub.err + "\n";
}

// The collection of this process, built on first use.
inline const collection_t& collection() {
  static std::unique_ptr<collection_t> made;
  if (!made) {
    made.reset(new collection_t);
    build(*made);
  }
  return *made;
}

// The pages the generated collection's tests look at, relative to root.
inline std::vector<std::string> generated_pages() {
  return {"index.html",      "2022/index.html",       "_Best/index.html",
          "_Best/list.html", "_PrintBook/index.html", "_PrintBook/list.html"};
}

}  // namespace collectiontest

// The pages of an album, of the best album and of a book as a browser sees
// them: headless Chromium parses each page (its DOM must hold one picture
// per photo and per movie thumbnail, one video per movie) and leaves a
// screenshot in the build tree (TEST_SHOT_DIR, whatever the working
// directory) for a person to look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "album/engine/tests/collection_fixture.h"

namespace {

using collectiontest::collection;

const char* const chromium = "/usr/bin/chromium";

size_t count_of(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

// Parses page in a fresh profile; the DOM as Chromium serialises it, ""
// when the browser failed or hung (each run is bounded by a timeout).
std::string load_page(const std::string& page, const std::string& png) {
  const collectiontest::collection_t& c = collection();
  const std::string profile = c.scratch / ("profile-" + std::to_string(getpid()));
  const std::string dom = c.scratch / "dom.html";
  const std::string command =
      std::string("timeout 120 ") + chromium +
      " --headless --no-sandbox --disable-gpu --disable-background-networking"
      " --disable-component-update --disable-sync --no-first-run --hide-scrollbars"
      " --window-size=1024,1400 --user-data-dir='" +
      profile + "' --screenshot='" + png + "' --dump-dom 'file://" + page + "' >'" + dom +
      "' 2>/dev/null </dev/null";
  unlink(png.c_str());
  if (std::system(command.c_str()) != 0) return "";
  return enginetest::read_file(dom);
}

struct expected_page_t {
  const char* page;  // below the collection root
  const char* shot;  // screenshot file name
  size_t images;
  size_t videos;
  const char* picture;  // one picture source the page must show
};

TEST(PagesInBrowser, ParsedPagesHoldEveryPhotoAndMovie) {
  REQUIRE_PROGRAM(chromium);
  REQUIRE_PROGRAM("ffmpeg");
  const collectiontest::collection_t& c = collection();
  ASSERT_EQ(c.failure, "");
  ASSERT_EQ(c.best.status | c.book.status, 0) << c.best.err << c.book.err;

  const std::string shots = TEST_SHOT_DIR;
  enginetest::make_dirs(shots);
  // 2024b holds three photos and a movie; "_Best" adds the private
  // album's photo; the print book holds two photos and the movie.
  const expected_page_t pages[] = {
      {"2024b/index.html", "album-index.png", 3, 1, "size2/p1.jpg"},
      {"2024b/list.html", "album-list.png", 4, 0, "thumb/p1.jpg"},
      {"_Best/index.html", "best-index.png", 4, 1, "../2023a/size2/pv.jpg"},
      {"_Best/list.html", "best-list.png", 5, 0, "../2024b/movie2/m1.jpg"},
      {"_PrintBook/index.html", "book-index.png", 2, 1, "../2024b/size2/p1.jpg"},
      {"_PrintBook/list.html", "book-list.png", 3, 0, "../2024b/thumb/p2.jpg"},
  };
  for (const expected_page_t& p : pages) {
    const std::string png = shots + "/" + p.shot;
    const std::string dom = load_page(c.root + "/" + p.page, png);
    ASSERT_NE(dom, "") << p.page << ": the browser did not load the page";
    EXPECT_EQ(count_of(dom, "<img "), p.images) << p.page;
    EXPECT_EQ(count_of(dom, "<video "), p.videos) << p.page;
    EXPECT_NE(dom.find(std::string("src=\"") + p.picture + "\""), std::string::npos) << p.page;
    const std::string head = enginetest::read_file(png).substr(0, 8);
    EXPECT_EQ(head, "\x89PNG\r\n\x1a\n") << png;
  }
}

}  // namespace

// Helpers of the page tests: generated JPEG pictures, albums laid
// out by hand, the message catalog, and running albumtool.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"
#include "image/loader_jpeg.h"
#include "image/tests/jpeg_test_support.h"
#include "utility/message.h"

namespace pagetest {

// The catalog the album program ships with, loaded once.
inline void load_catalog() {
  static const bool loaded = !plimlib::init_message(TEST_BIN_DIR "/", "tavolin").empty();
  ASSERT_TRUE(loaded);
}

// A w x h baseline JPEG of a gradient, with one extra marker when code is
// not 0 (code 0xE1 for APP1, payload its bytes).
inline void make_jpeg(const std::string& path, unsigned w, unsigned h, unsigned char code = 0,
                      const std::string& payload = "") {
  libgr::image2d_t image = phototest::blank_image(libgr::IMAGE_FORMAT_RGB, w, h);
  for (unsigned y = 0; y < h; ++y) {
    unsigned char* row = image[y];
    for (unsigned x = 0; x < w * 3; ++x) row[x] = static_cast<unsigned char>(x + y);
  }
  std::list<libgr::jpeginfo_t::marker_t> markers;
  if (code != 0) {
    libgr::jpeginfo_t::marker_t marker;
    marker.code = code;
    ASSERT_TRUE(marker.payload.resize(payload.size()));
    std::memcpy(marker.payload.begin(), payload.data(), payload.size());
    markers.push_back(marker);
  }
  ASSERT_TRUE(phototest::write_jpeg(path, image, 90, markers)) << path;
}

// An album photo laid out as the shrink pipeline leaves it: "original" at
// w x h, size0 to size(L+1) halving from it, and a thumbnail half of the
// last level. L is the number of halvings until both fit box.
inline unsigned long make_photo(const std::string& album, const std::string& name, unsigned w,
                                unsigned h, unsigned long box = 1024) {
  for (const char* dir : {"original", "thumb"}) enginetest::make_dirs(album + "/" + dir);
  make_jpeg(album + "/original/" + name, w, h);
  unsigned long L = 0;
  for (unsigned x = w, y = h; x > box || y > box; x /= 2, y /= 2) ++L;
  for (unsigned long i = 0; i <= L + 1; ++i) {
    const std::string dir = album + "/size" + std::to_string(i);
    enginetest::make_dirs(dir);
    make_jpeg(dir + "/" + name, w >> i, h >> i);
  }
  make_jpeg(album + "/thumb/" + name, w >> (L + 2), h >> (L + 2));
  return L;
}

struct run_result_t {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs albumtool with args (each passed as one word) and HOME set to home;
// with seconds given, it is killed after that long (status 124).
inline run_result_t albumtool(const std::string& home, const std::vector<std::string>& args,
                              unsigned seconds = 0) {
  using jpegtest::quote;
  const std::string out = home + "/albumtool.out", err = home + "/albumtool.err";
  std::string cmd = "HOME=" + quote(home) + " ";
  if (seconds != 0) cmd += "timeout -k 2 " + std::to_string(seconds) + " ";
  cmd += quote(TEST_BIN_DIR "/albumtool");
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(out) + " 2>" + quote(err) + " </dev/null";
  run_result_t r;
  r.status = jpegtest::run(cmd);
  r.out = enginetest::read_file(out);
  r.err = enginetest::read_file(err);
  return r;
}

// The progress values printed for one signal ("P<signal> <value>" lines).
inline std::vector<double> progress_values(const std::string& out, int signal) {
  std::vector<double> values;
  const std::string key = "P" + std::to_string(signal) + " ";
  std::string::size_type pos = 0;
  while (pos < out.size()) {
    std::string::size_type end = out.find('\n', pos);
    if (end == std::string::npos) end = out.size();
    if (out.compare(pos, key.size(), key) == 0)
      values.push_back(std::strtod(out.c_str() + pos + key.size(), nullptr));
    pos = end + 1;
  }
  return values;
}

}  // namespace pagetest

// Helpers of the page tests: generated JPEG and PPM pictures, albums laid
// out by hand, the message catalog, and running albumtool.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "album/engine/tests/enginetest.h"
#include "image/loader_jpeg.h"
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
  libgr::image2d_t image;
  image.desc = libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT,
                                   libgr::IMAGE_BITS_8);
  image.width = w;
  image.height = h;
  ASSERT_TRUE(image.allocate());
  for (unsigned y = 0; y < h; ++y) {
    unsigned char* row = image[y];
    for (unsigned x = 0; x < w * 3; ++x) row[x] = static_cast<unsigned char>(x + y);
  }
  libgr::jpeginfo_t info;
  if (code != 0) {
    libgr::jpeginfo_t::marker_t marker;
    marker.code = code;
    ASSERT_TRUE(marker.payload.resize(payload.size()));
    std::memcpy(marker.payload.begin(), payload.data(), payload.size());
    info.markers.push_back(marker);
  }
  libgr::jpegdata_t out;
  ASSERT_TRUE(info.compress(out, image, 90, true));
  ASSERT_TRUE(out.save(path.c_str()));
}

// A w x h grey PPM; returns its path.
inline std::string make_ppm(const std::string& path, unsigned w, unsigned h) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << w << " " << h << "\n255\n" << std::string(size_t(w) * h * 3, '\x80');
  return path;
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

// Runs albumtool with args (each passed as one word) and HOME set to home.
inline run_result_t albumtool(const std::string& home, const std::vector<std::string>& args) {
  auto quote = [](const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  const std::string out = home + "/albumtool.out", err = home + "/albumtool.err";
  std::string cmd = "HOME=" + quote(home) + " " + quote(TEST_BIN_DIR "/albumtool");
  for (const std::string& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(out) + " 2>" + quote(err) + " </dev/null";
  run_result_t r;
  const int status = std::system(cmd.c_str());
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

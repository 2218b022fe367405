// Option files: load arbitrary bytes, then a save and load must give the
// same option block back.

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "utility/option.h"

namespace {

// One scratch directory for the whole run, removed at exit.
struct scratch {
  scratch() {
    char pattern[] = "/tmp/fuzz_option_file.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) std::abort();
    dir = pattern;
    input = dir + "/input";
    saved = dir + "/saved";
  }
  ~scratch() {
    ::unlink(input.c_str());
    ::unlink(saved.c_str());
    ::rmdir(dir.c_str());
  }
  std::string dir, input, saved;
};

bool same(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}
bool same(const plimlib::option_xy_t& a, const plimlib::option_xy_t& b) {
  return a.x == b.x && a.y == b.y;
}
bool same(const plimlib::option_rgba_t& a, const plimlib::option_rgba_t& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
template <typename T>
bool same(const T& a, const T& b) {
  return a == b;
}

bool same_block(const plimlib::option_t& a, const plimlib::option_t& b) {
  return same(a.h, b.h) && same(a.verbose, b.verbose) && same(a.debug, b.debug) &&
         same(a.wintype, b.wintype) && same(a.winsize, b.winsize) && same(a.g, b.g) &&
         same(a.resizetype, b.resizetype) && same(a.image_ratio_of_image, b.image_ratio_of_image) &&
         same(a.image_ratio_of_window, b.image_ratio_of_window) &&
         same(a.window_ratio_of_image, b.window_ratio_of_image) &&
         same(a.resize_magnify, b.resize_magnify) && same(a.resize_shrink, b.resize_shrink) &&
         same(a.sizelimit, b.sizelimit) && same(a.maxmargin, b.maxmargin) &&
         same(a.maxsize, b.maxsize) && same(a.cursor_movement, b.cursor_movement) &&
         same(a.magsmooth, b.magsmooth) && same(a.move_limit, b.move_limit) &&
         same(a.doubleclick_interval, b.doubleclick_interval) && same(a.frametype, b.frametype) &&
         same(a.framewidth, b.framewidth) && same(a.framecolor, b.framecolor) &&
         same(a.reproduce, b.reproduce) && same(a.resetview, b.resetview) &&
         same(a.menu, b.menu) && same(a.single, b.single);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static scratch files;
  plimlib::option_reset();
  plimlib::option_init();
  {
    std::ofstream out(files.input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  plimlib::option_load(files.input.c_str());
  // Trace lines would only slow the run down.
  plimlib::g_option.debug = false;
  const plimlib::option_t loaded = plimlib::g_option;
  if (!plimlib::option_save(files.saved.c_str())) std::abort();
  plimlib::option_reset();
  plimlib::option_load(files.saved.c_str());
  if (!same_block(plimlib::g_option, loaded)) std::abort();
  plimlib::option_reset();
  return 0;
}

// Option files: load arbitrary bytes, then a save and load must give the
// same option block back.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "utility/option.h"
#include "utility/testsupport/testsupport.h"

namespace {

// The saved file's path, in a scratch directory removed at exit.
const std::string& saved_file() {
  static const testsupport::scratch_dir dir("fuzz_option_file");
  static const std::string path = dir / "saved";
  if (!dir.ok()) std::abort();
  return path;
}

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
         same(a.reproduce, b.reproduce) && same(a.resetview, b.resetview) && same(a.menu, b.menu) &&
         same(a.single, b.single);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plimlib::option_reset();
  plimlib::option_init();
  plimlib::option_parse(std::string(reinterpret_cast<const char*>(data), size));
  // Trace lines would only slow the run down.
  plimlib::g_option.debug = false;
  const plimlib::option_t loaded = plimlib::g_option;
  if (!plimlib::option_save(saved_file().c_str())) std::abort();
  plimlib::option_reset();
  plimlib::option_load(saved_file().c_str());
  if (!same_block(plimlib::g_option, loaded)) std::abort();
  plimlib::option_reset();
  return 0;
}

// Helpers of the graphics tests: a scratch directory, ImageMagick as the
// independent decoder, and any loaded image as 16-bit RGBA values.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/imagetype.h"
#include "viewer/graphics/tests/pixels.h"

namespace grtest {

typedef std::vector<unsigned char> bytes_t;

class scratch_t {
 public:
  scratch_t() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/grtest.XXXXXX";
    if (mkdtemp(pattern.data())) dir_ = pattern;
    EXPECT_FALSE(dir_.empty()) << pattern;
  }
  ~scratch_t() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  scratch_t(const scratch_t&) = delete;
  scratch_t& operator=(const scratch_t&) = delete;
  std::string operator/(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

inline std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline int run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string data_file(const std::string& name) {
  return std::string(TEST_DATA_DIR) + "/" + name;
}

inline std::vector<std::string> data_files(const std::string& dir, const std::string& extension) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(data_file(dir))) {
    if (e.path().extension() == extension) names.push_back(e.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline bytes_t read_file(const std::string& path) {
  std::ifstream is(path, std::ios::binary);
  return bytes_t(std::istreambuf_iterator<char>(is), std::istreambuf_iterator<char>());
}

inline bool write_file(const std::string& path, const bytes_t& b) {
  std::ofstream os(path, std::ios::binary | std::ios::trunc);
  os.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(os);
}

// ImageMagick is the oracle; CI installs it, so there a missing one fails.
inline bool have_imagemagick() {
  if (run("test -x /usr/bin/convert") == 0) return true;
  if (getenv("CI")) ADD_FAILURE() << "/usr/bin/convert missing";
  return false;
}

// The picture as ImageMagick decodes it: 16-bit RGBA values, top row
// first; empty when it cannot.
inline std::vector<uint16_t> imagemagick_rgba16(const std::string& path,
                                                const std::string& scratch_file) {
  std::vector<uint16_t> out;
  if (run("/usr/bin/convert " + quote(path) + " -auto-orient -set colorspace sRGB -depth 16 " +
          quote("rgba:" + scratch_file) + " 2>/dev/null") != 0) {
    return out;
  }
  bytes_t b = read_file(scratch_file);
  out.resize(b.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<uint16_t>(b[2 * i] | b[2 * i + 1] << 8);
  }
  return out;
}

// Compares the colour channels (and alpha when with_alpha) of two RGBA16
// pictures at 8-bit precision when coarse, else exactly; the first
// difference is reported.
inline ::testing::AssertionResult same_pixels(const std::vector<uint16_t>& ours,
                                              const std::vector<uint16_t>& theirs, bool with_alpha,
                                              bool coarse = false) {
  if (ours.size() != theirs.size()) {
    return ::testing::AssertionFailure() << "sizes " << ours.size() << " and " << theirs.size();
  }
  for (size_t i = 0; i < ours.size(); ++i) {
    if (i % 4 == 3 && !with_alpha) continue;
    uint16_t a = ours[i], b = theirs[i];
    if (coarse ? (a >> 8) != (b >> 8) : a != b) {
      return ::testing::AssertionFailure()
             << "pixel " << i / 4 << " channel " << i % 4 << ": " << a << " against " << b;
    }
  }
  return ::testing::AssertionSuccess();
}

// An allocated image of unsigned samples in the layout.
inline libgr::image2d_t uint_image(uint32_t w, uint32_t h,
                                   libgr::e_image_format_t format = libgr::IMAGE_FORMAT_RGB,
                                   libgr::e_image_bits_t bits = libgr::IMAGE_BITS_8) {
  libgr::image2d_t image;
  image.desc = libgr::image_desc_t(format, libgr::IMAGE_TYPE_UINT, bits);
  image.width = w;
  image.height = h;
  EXPECT_TRUE(image.allocate());
  return image;
}

// An image of the layout whose byte i of row r is r * row + i * step + base
// (modulo 256).
inline libgr::image2d_t pattern(libgr::e_image_format_t format, libgr::e_image_bits_t bits,
                                uint32_t w, uint32_t h, unsigned row, unsigned step,
                                unsigned base = 0) {
  libgr::image2d_t image = uint_image(w, h, format, bits);
  for (uint32_t r = 0; r < h; ++r) {
    for (uint64_t i = 0; i < image.rowbyte(); ++i) {
      image[r][i] = static_cast<unsigned char>(r * row + i * step + base);
    }
  }
  return image;
}

}  // namespace grtest

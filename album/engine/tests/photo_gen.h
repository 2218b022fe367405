// Photos generated for the size-level and picture tests: photo-like
// pixels encoded with the library's own encoder, EXIF added by exiftool,
// and the small readers the tests check the results with.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>

#include "image/exif.h"
#include "image/imagetype.h"
#include "image/loader_jpeg.h"
#include "image/tests/jpeg_test_support.h"

namespace phototest {

// True when the shell command line exits with 0.
inline bool run(const std::string& command) { return jpegtest::run(command) == 0; }

// A zero-filled 8-bit UINT picture of the format.
inline libgr::image2d_t blank_image(libgr::e_image_format_t format, uint32_t width,
                                    uint32_t height) {
  libgr::image2d_t image;
  image.desc = libgr::image_desc_t(format, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = width;
  image.height = height;
  EXPECT_TRUE(image.allocate());
  return image;
}

// Smooth gradients with a fine texture and some noise, so that every
// halving and every encoding has real work to do.
inline libgr::image2d_t make_photo(uint32_t width, uint32_t height, uint32_t seed = 1) {
  libgr::image2d_t image = blank_image(libgr::IMAGE_FORMAT_RGB, width, height);
  uint32_t state = seed * 2654435761u + 1;
  for (uint32_t r = 0; r < height; ++r) {
    unsigned char* p = image[r];
    for (uint32_t c = 0; c < width; ++c, p += 3) {
      state = state * 1664525u + 1013904223u;
      const uint32_t noise = (state >> 24) & 15;
      const uint32_t stripe = ((c / 7 + r / 5) & 1) * 24;
      p[0] = static_cast<unsigned char>((c * 200 / width + noise + stripe) & 255);
      p[1] = static_cast<unsigned char>((r * 200 / height + noise) & 255);
      p[2] = static_cast<unsigned char>(((c + r) * 100 / (width + height) + stripe + 60) & 255);
    }
  }
  return image;
}

// A grayscale picture whose pixels alternate between black and white.
inline libgr::image2d_t make_checkerboard(uint32_t width, uint32_t height) {
  libgr::image2d_t image = blank_image(libgr::IMAGE_FORMAT_GRAYSCALE, width, height);
  for (uint32_t r = 0; r < height; ++r)
    for (uint32_t c = 0; c < width; ++c) image[r][c] = ((r + c) & 1) ? 255 : 0;
  return image;
}

inline bool write_jpeg(const std::string& path, const libgr::image2d_t& image, int quality = 90,
                       const std::list<libgr::jpeginfo_t::marker_t>& markers = {}) {
  libgr::jpeginfo_t info;
  info.markers = markers;
  libgr::jpegdata_t out;
  return info.compress(out, image, quality, true) && out.save(path.c_str());
}

inline bool write_photo(const std::string& path, uint32_t width, uint32_t height,
                        uint32_t seed = 1) {
  return write_jpeg(path, make_photo(width, height, seed));
}

// Sets the EXIF orientation and, when thumbnail is not empty, the EXIF
// thumbnail (a file) of a JPEG.
inline bool add_exif(const std::string& path, int orientation, const std::string& thumbnail = "") {
  std::string command =
      "exiftool -q -q -overwrite_original -Orientation#=" + std::to_string(orientation);
  if (!thumbnail.empty()) command += " '-ThumbnailImage<=" + thumbnail + "'";
  return run(command + " '" + path + "' >/dev/null 2>&1");
}

struct decoded_t {
  bool ok = false;
  libgr::image2d_t image;
  std::list<libgr::jpeginfo_t::marker_t> markers;
};

inline decoded_t decode(const std::string& path) {
  decoded_t d;
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  d.ok = data.load(path.c_str()) && info.decompress(d.image, data, 0, false, libgr::black3ub);
  d.markers = info.markers;
  return d;
}

// "WxH" of a JPEG file's frame, "" when it cannot be read.
inline std::string frame(const std::string& path) {
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  if (!data.load(path.c_str()) || !info.analyze_markers(data)) return "";
  return std::to_string(info.width) + "x" + std::to_string(info.height);
}

inline std::list<libgr::jpeginfo_t::marker_t> markers_of(const std::string& path) {
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  if (data.load(path.c_str())) info.analyze_markers(data);
  return info.markers;
}

inline int count_markers(const std::string& path, unsigned char code) {
  int n = 0;
  for (const auto& m : markers_of(path)) n += m.code == code;
  return n;
}

// The EXIF orientation of a JPEG file; 0 without one.
inline int orientation_of(const std::string& path) {
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  if (!data.load(path.c_str()) || !info.analyze_markers(data)) return 0;
  libgr::jpeg_bytes_t app1 = info.get_marker(libgr::jpeginfo_t::MARKER_APP1);
  if (app1.empty()) return 0;
  libgr::app1_marker_t exif;
  exif.set_app1_buffer(app1);
  exif.parse();
  const auto& o = exif.tiff_header.tag_0th.orientation;
  return o.empty() ? 0 : o[0];
}

inline bool same_pixels(const libgr::image2d_t& a, const libgr::image2d_t& b) {
  if (a.width != b.width || a.height != b.height || !(a.desc == b.desc)) return false;
  for (uint32_t r = 0; r < a.height; ++r) {
    if (std::memcmp(a[r], b[r], a.rowbyte()) != 0) return false;
  }
  return true;
}

inline void set_mtime(const std::string& path, time_t seconds) {
  struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimes(path.c_str(), times), 0) << path;
}

inline struct timespec mtime_of(const std::string& path) {
  struct stat st = {};
  stat(path.c_str(), &st);
  return st.st_mtim;
}

inline bool same_time(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace phototest

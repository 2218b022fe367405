// Helpers of the JPEG tests: generated pictures, libjpeg-turbo's own
// tools and imagetool, and an independent segment walk.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/loader_jpeg.h"
#include "utility/testsupport/gtest.h"

namespace jpegtest {

typedef std::vector<unsigned char> bytes_t;

// A fresh directory below the temporary directory, removed with
// everything in it at the end.
using scratch_t = testsupport::scratch_dir;

inline std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Exit status of a shell command line; -1 when it did not exit normally.
inline int run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string imagetool() { return std::string(TEST_BIN_DIR) + "/imagetool"; }
inline std::string data_file(const std::string& name) {
  return std::string(TEST_DATA_DIR) + "/" + name;
}

inline bytes_t read_file(const std::string& path) {
  std::ifstream is(path, std::ios::binary);
  return bytes_t(std::istreambuf_iterator<char>(is), std::istreambuf_iterator<char>());
}
inline bool write_file(const std::string& path, const unsigned char* p, size_t n) {
  std::ofstream os(path, std::ios::binary | std::ios::trunc);
  os.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n));
  return static_cast<bool>(os);
}
inline bool write_file(const std::string& path, const bytes_t& b) {
  return write_file(path, b.data(), b.size());
}

// Gradients, hard edges and some noise, so that every coefficient and the
// chroma planes carry information; noise 255 gives pure noise. One
// channel writes a PGM, three a PPM.
inline bool write_picture(const std::string& path, unsigned width, unsigned height, int channels,
                          unsigned seed = 1, int noise = 24) {
  std::string text = std::string(channels == 1 ? "P5\n" : "P6\n") + std::to_string(width) + " " +
                     std::to_string(height) + "\n255\n";
  uint32_t state = seed * 2654435761u + 1;
  for (unsigned y = 0; y < height; ++y)
    for (unsigned x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        state = state * 1664525u + 1013904223u;
        int base = c == 0   ? x * 255 / std::max(width - 1, 1u)
                   : c == 1 ? y * 255 / std::max(height - 1, 1u)
                            : ((x / 5 + y / 7) % 2) * 200 + 20;
        int v =
            noise >= 255 ? int(state >> 24) : base + int((state >> 24) % (noise + 1)) - noise / 2;
        text += static_cast<char>(std::clamp(v, 0, 255));
      }
  return write_file(path, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// cjpeg's JPEG of a generated picture, in the scratch directory.
inline std::string make_jpeg(const scratch_t& s, const std::string& name, unsigned w, unsigned h,
                             int channels, const std::string& options) {
  std::string pnm = s.path(name + (channels == 1 ? ".pgm" : ".ppm")), jpg = s.path(name + ".jpg");
  EXPECT_TRUE(write_picture(pnm, w, h, channels, 7));
  EXPECT_EQ(run("cjpeg " + options + " -outfile " + quote(jpg) + " " + quote(pnm)), 0);
  return jpg;
}

// The PNM that djpeg writes for a JPEG file (empty when it fails; status 2
// means warnings only).
inline bytes_t djpeg(const scratch_t& s, const std::string& jpeg) {
  std::string out = s.path("djpeg-out.pnm");
  int status = run("djpeg -pnm -outfile " + quote(out) + " " + quote(jpeg) + " 2>/dev/null");
  if (status != 0 && status != 2) return bytes_t();
  return read_file(out);
}

inline bool pnm_size(const bytes_t& pnm, unsigned& width, unsigned& height) {
  std::string head(pnm.begin(), pnm.begin() + std::min<size_t>(pnm.size(), 32));
  return std::sscanf(head.c_str(), "P%*d %u %u", &width, &height) == 2;
}

// A JPEG's bytes in an anonymous block, as encoder output holds them.
inline void set_bytes(libgr::jpegdata_t& data, const bytes_t& bytes) {
  data.data.clear();
  ASSERT_TRUE(data.data.resize(bytes.size()));
  if (!bytes.empty()) std::memcpy(data.data.begin(), bytes.data(), bytes.size());
}

inline bytes_t to_bytes(const libgr::jpeg_bytes_t& v) {
  return v.empty() ? bytes_t() : bytes_t(v.begin(), v.end());
}

// info.decompress of data into image; err gets what it wrote.
inline bool decode(libgr::jpeginfo_t& info, libgr::image2d_t& image, libgr::jpegdata_t& data,
                   std::string& err) {
  testing::internal::CaptureStderr();
  bool ok = info.decompress(image, data, 0, false, libgr::black3ub);
  err = testing::internal::GetCapturedStderr();
  return ok;
}

// The image as djpeg writes it: the picture's top row (the last stored
// row) first.
inline bytes_t as_pnm(const libgr::image2d_t& image) {
  bool grey = image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE;
  std::string head = std::string(grey ? "P5\n" : "P6\n") + std::to_string(image.width) + " " +
                     std::to_string(image.height) + "\n255\n";
  bytes_t out(head.begin(), head.end());
  for (uint32_t r = image.height; r-- > 0;)
    out.insert(out.end(), image[r], image[r] + image.rowbyte());
  return out;
}

// Offset of the first segment with the code (at its 0xFF), walking the
// segments up to the first scan; the stream's size when there is none.
inline size_t segment_offset(const bytes_t& b, unsigned char code) {
  size_t at = 2;
  while (at + 4 <= b.size() && b[at] == 0xFF) {
    if (b[at + 1] == code) return at;
    if (b[at + 1] == 0xDA) break;
    at += 2 + ((size_t{b[at + 2]} << 8) | b[at + 3]);
  }
  return b.size();
}

struct segment_t {
  unsigned char code;
  bytes_t payload;
};

// The segments from SOI up to and including the first SOS.
inline std::vector<segment_t> segments(const bytes_t& b) {
  std::vector<segment_t> list;
  for (size_t at = 2; at + 4 <= b.size() && b[at] == 0xFF;) {
    size_t length = (size_t{b[at + 2]} << 8) | b[at + 3];
    if (length < 2 || at + 2 + length > b.size()) break;
    list.push_back({b[at + 1], bytes_t(b.begin() + at + 4, b.begin() + at + 2 + length)});
    if (b[at + 1] == 0xDA) break;
    at += 2 + length;
  }
  return list;
}

// Only the APPn and COM segments, in file order.
inline std::vector<segment_t> app_segments(const std::vector<segment_t>& all) {
  std::vector<segment_t> list;
  for (const segment_t& s : all)
    if ((s.code >= 0xE0 && s.code <= 0xEF) || s.code == 0xFE) list.push_back(s);
  return list;
}

// The stream with its baseline frame header claiming 65500 x 65500 pixels,
// the most libjpeg itself accepts.
inline bytes_t forge_frame_size(bytes_t b) {
  size_t sof = segment_offset(b, 0xC0);
  EXPECT_LT(sof + 9, b.size());
  if (sof + 9 >= b.size()) return b;
  b[sof + 5] = b[sof + 7] = 0xFF;
  b[sof + 6] = b[sof + 8] = 0xDC;
  return b;
}

// A progressive stream with its last scan repeated n more times before
// EOI: a valid file in form, with far more scans than any encoder writes.
inline bytes_t repeat_last_scan(const bytes_t& b, int n) {
  EXPECT_GE(b.size(), 4u);
  if (b.size() < 4) return b;
  size_t eoi = b.size() - 2, last = eoi;
  while (last > 0 && !(b[last - 1] == 0xFF && b[last] == 0xDA)) --last;
  EXPECT_GT(last, 0u);
  if (last == 0) return b;
  bytes_t scan(b.begin() + last - 1, b.begin() + eoi), forged(b.begin(), b.begin() + eoi);
  for (int i = 0; i < n; ++i) forged.insert(forged.end(), scan.begin(), scan.end());
  forged.insert(forged.end(), b.begin() + eoi, b.end());
  return forged;
}

}  // namespace jpegtest

// What the pixel operation tests share: images made from their picture as
// seen (rows top first) and read back the same way, and picture-space
// references of a quarter turn and a halving over random images.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "image/imageutil.h"

namespace imagetest {

using namespace libgr;

typedef std::vector<std::vector<int>> rows_t;  // top row first, bytes

inline const image_store_t kAlign1(false, 1);
inline const image_store_t kAlign8(false, 8);

inline image_desc_t desc_of(e_image_format_t format, e_image_bits_t bits = IMAGE_BITS_8,
                            e_image_type_t type = IMAGE_TYPE_UINT) {
  return image_desc_t(format, type, bits);
}

// An image from its picture as seen: rows top first, each the bytes of the
// row's pixels. Rows are stored bottom-up.
inline image2d_t picture(const image_desc_t& desc, uint32_t width, const rows_t& top_down,
                         const image_store_t* store = nullptr) {
  image2d_t image;
  image.desc = desc;
  image.store = store;
  image.width = width;
  image.height = static_cast<uint32_t>(top_down.size());
  EXPECT_TRUE(image.allocate());
  for (uint32_t r = 0; r < image.height; ++r) {
    EXPECT_EQ(top_down[r].size(), image.rowbyte());
    for (size_t k = 0; k < top_down[r].size(); ++k) {
      image[image.height - 1 - r][k] = static_cast<unsigned char>(top_down[r][k]);
    }
  }
  return image;
}

inline rows_t seen(const image2d_t& image) {
  rows_t rows(image.height);
  for (uint32_t r = 0; r < image.height; ++r) {
    const unsigned char* p = image[image.height - 1 - r];
    rows[r].assign(p, p + image.rowbyte());
  }
  return rows;
}

inline std::string stderr_of(bool (*op)(image2d_t&, const image2d_t&), image2d_t& dst,
                             const image2d_t& src, bool* result) {
  testing::internal::CaptureStderr();
  *result = op(dst, src);
  return testing::internal::GetCapturedStderr();
}

// Pixel (x, y) of the picture as seen, y counted from the top.
inline const unsigned char* at(const image2d_t& image, uint32_t x, uint32_t y, int bytes) {
  return image[image.height - 1 - y] + x * bytes;
}

inline bool same_picture(const image2d_t& a, const image2d_t& b) {
  return a.width == b.width && a.height == b.height && seen(a) == seen(b);
}

// One clockwise quarter turn, pixel by pixel: the new top-left pixel is the
// old bottom-left one.
inline image2d_t reference_turn(const image2d_t& src, int bytes) {
  image2d_t dst;
  dst.desc = src.desc;
  dst.width = src.height;
  dst.height = src.width;
  EXPECT_TRUE(dst.allocate());
  for (uint32_t y = 0; y < dst.height; ++y) {
    for (uint32_t x = 0; x < dst.width; ++x) {
      const unsigned char* from = at(src, y, src.height - 1 - x, bytes);
      unsigned char* to = const_cast<unsigned char*>(at(dst, x, y, bytes));
      for (int k = 0; k < bytes; ++k) to[k] = from[k];
    }
  }
  return dst;
}

inline image2d_t reference_halving(const image2d_t& src, int bytes) {
  image2d_t dst;
  dst.desc = src.desc;
  dst.width = src.width / 2;
  dst.height = src.height / 2;
  EXPECT_TRUE(dst.allocate());
  for (uint32_t r = 0; r < dst.height; ++r) {
    for (uint32_t c = 0; c < dst.width; ++c) {
      for (int k = 0; k < bytes; ++k) {
        int sum = src[2 * r][2 * c * bytes + k] + src[2 * r][(2 * c + 1) * bytes + k] +
                  src[2 * r + 1][2 * c * bytes + k] + src[2 * r + 1][(2 * c + 1) * bytes + k];
        dst[r][c * bytes + k] = static_cast<unsigned char>(sum / 4);
      }
    }
  }
  return dst;
}

// A random picture, sometimes a window inside a larger one, with a random
// row alignment.
inline image2d_t random_image(std::mt19937& rng, const image_desc_t& desc, int bytes) {
  const image_store_t* stores[3] = {nullptr, &kAlign1, &kAlign8};
  std::uniform_int_distribution<uint32_t> size(1, 67), margin(0, 3), pick(0, 2);
  image2d_t base;
  base.desc = desc;
  base.store = stores[pick(rng)];
  base.width = size(rng);
  base.height = size(rng);
  uint32_t mx = margin(rng), my = margin(rng);
  base.width += mx;
  base.height += my;
  EXPECT_TRUE(base.allocate());
  std::uniform_int_distribution<int> byte(0, 255);
  for (uint32_t r = 0; r < base.height; ++r) {
    for (uint32_t k = 0; k < base.width * bytes; ++k) {
      base[r][k] = static_cast<unsigned char>(byte(rng));
    }
  }
  if (pick(rng) == 0) return base;
  image2d_t window;
  EXPECT_TRUE(makewindow(window, base, static_cast<int>(mx), static_cast<int>(my), base.width - mx,
                         base.height - my));
  return window;
}

}  // namespace imagetest

// Colour fills, normal maps and the normalisation cube map.
#include "image/imageutil.h"

#include <cmath>

#include "image/imageutil_common.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;
using namespace imageutil_detail;

namespace {

// ---- colour fills -------------------------------------------------------

// Components per pixel of a fillable image, 0 after the report.
int colour_target(const image2d_t& image) {
  if (image.desc.type != IMAGE_TYPE_UINT) {
    fail("not support image type.");
    return 0;
  }
  if (image.desc.bits != IMAGE_BITS_8) {
    fail("not support image bits.");
    return 0;
  }
  if ((image.desc.format != IMAGE_FORMAT_RGB && image.desc.format != IMAGE_FORMAT_RGBA) ||
      image.compressed) {
    fail("not support format.");
    return 0;
  }
  return image.desc.format == IMAGE_FORMAT_RGB ? 3 : 4;
}

// Every byte of the image through one table per component.
void map_bytes(image2d_t& image, int components, const unsigned char (*table)[256]) {
  plane_t<unsigned char> d = rows_of(image);
  for (uint32_t r = 0; r < image.height; ++r) {
    unsigned char* p = d[r];
    for (uint32_t j = 0; j < image.width; ++j, p += components) {
      for (int k = 0; k < components; ++k) p[k] = table[k][p[k]];
    }
  }
}

signed char normal_byte(float c) {
  return static_cast<signed char>(static_cast<int>(c < 0 ? c * 127 - 0.5f : c * 127 + 0.5f));
}

}  // namespace

bool fillcolor(image2d_t& image, const color3a_t& colour) {
  int components = colour_target(image);
  if (components == 0) return false;
  if (!store_covers(image, "fillcolor")) return false;
  const unsigned char value[4] = {unit_byte(colour.r), unit_byte(colour.g), unit_byte(colour.b),
                                  unit_byte(colour.a)};
  plane_t<unsigned char> d = rows_of(image);
  for (uint32_t r = 0; r < image.height; ++r) {
    unsigned char* p = d[r];
    for (uint32_t j = 0; j < image.width; ++j, p += components) {
      std::memcpy(p, value, components);
    }
  }
  return true;
}

bool addcolor(image2d_t& image, const color3a_t& colour) {
  int components = colour_target(image);
  if (components == 0) return false;
  if (!store_covers(image, "addcolor")) return false;
  unsigned char table[4][256];
  const float add[3] = {colour.r, colour.g, colour.b};
  for (int k = 0; k < 3; ++k) {
    for (int v = 0; v < 256; ++v) {
      float sum = v / 255.0f + add[k];
      table[k][v] = unit_byte(sum > 1 ? 1 : sum);
    }
  }
  // The colour's alpha is not added: any alpha but 0 becomes opaque.
  for (int v = 0; v < 256; ++v) table[3][v] = v ? 255 : 0;
  map_bytes(image, components, table);
  return true;
}

bool heightmap2normalmap(image2d_t& dst, const image2d_t& src, float) {
  const image2d_t s(src);
  if (s.compressed) {
    fail("normalmap(): compressed format not supported.");
    dst = s;
    return false;
  }
  if (byte_layout(s, IMAGE_FORMAT_RGB)) {
    dst = s;
    return true;
  }
  if (s.desc.format != IMAGE_FORMAT_GRAYSCALE || s.desc.type != IMAGE_TYPE_UINT ||
      s.desc.bits != IMAGE_BITS_8) {
    fail("normalmap(): image type not supported.");
    dst = s;
    return false;
  }
  if (!store_covers(s, "normalmap")) return false;
  dst.store = s.store;
  if (!prepare_or_report(dst, image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8),
                         s.width, s.height, "normalmap allocate() fail.")) {
    return false;
  }
  plane_t<const unsigned char> in = rows_of(s);
  plane_t<unsigned char> out = rows_of(dst);
  for (uint32_t y = 0; y < s.height; ++y) {
    const unsigned char* row = in[y];
    const unsigned char* above = in[(y + 1) % s.height];
    unsigned char* q = out[y];
    for (uint32_t x = 0; x < s.width; ++x, q += 3) {
      float h = row[x] / 255.0f;
      float dx = row[(x + 1) % s.width] / 255.0f - h;
      float dy = above[x] / 255.0f - h;
      direction3_t n =
          Normalize(direction3_t(dx, dy, std::sqrt(1 - dx * dx) + std::sqrt(1 - dy * dy)));
      if (compare(n.x, 0) && compare(n.y, 0) && compare(n.z, 0)) {
        q[0] = 0;
        q[1] = 0;
        q[2] = 127;
        continue;
      }
      q[0] = static_cast<unsigned char>(normal_byte(n.x));
      q[1] = static_cast<unsigned char>(normal_byte(n.y));
      q[2] = static_cast<unsigned char>(normal_byte(n.z));
    }
  }
  return true;
}

bool makenormalcubemap(image2d_t* faces) {
  const image_desc_t desc(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8);
  for (int f = 0; f < 6; ++f) {
    if (!prepare_or_report(faces[f], desc, 256, 256, "makenormalcubemap(): allocate() fail.")) {
      return false;
    }
  }
  for (int f = 0; f < 6; ++f) {
    plane_t<unsigned char> out = rows_of(faces[f]);
    for (int i = 0; i < 256; ++i) {
      unsigned char* q = out[i];
      float t = i / 127.0f - 1;
      for (int j = 0; j < 256; ++j, q += 3) {
        float s = j / 127.0f - 1;
        direction3_t d;
        switch (f) {
          case 0: d = direction3_t(1, -t, -s); break;
          case 1: d = direction3_t(-1, -t, s); break;
          case 2: d = direction3_t(s, 1, t); break;
          case 3: d = direction3_t(s, -1, -t); break;
          case 4: d = direction3_t(s, -t, 1); break;
          default: d = direction3_t(-s, -t, -1); break;
        }
        d = Normalize(d);
        q[0] = unit_byte(d.x * 0.5f + 0.5f);
        q[1] = unit_byte(d.y * 0.5f + 0.5f);
        q[2] = unit_byte(d.z * 0.5f + 0.5f);
      }
    }
  }
  return true;
}

}  // namespace libgr

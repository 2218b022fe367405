// The TGA reader and writer.
#include "viewer/graphics/loader_tga.h"

#include <iostream>

#include "image/imageutil.h"
#include "utility/futil.h"
#include "utility/refvector.h"
#include "utility/regular_ifstream.h"
#include "utility/regular_ofstream.h"

namespace libgr {

namespace {

constexpr uint8_t top_left = 0x20;
constexpr uint8_t right_to_left = 0x10;
constexpr size_t header_size = 18;

uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint64_t pixel_bytes(unsigned depth) { return (depth + 7) / 8; }

bool read_bytes(std::istream& is, std::vector<unsigned char>& out, size_t n) {
  out.resize(n);
  return n == 0 || is.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(n));
}

// One colour-map entry of 15, 16, 24 or 32 bits as 16-bit channels.
void map_entry(const unsigned char* p, unsigned bits, unsigned short& r, unsigned short& g,
               unsigned short& b) {
  if (bits <= 16) {
    unsigned v = le16(p);
    r = static_cast<unsigned short>(((v >> 10) & 31) * 65535 / 31);
    g = static_cast<unsigned short>(((v >> 5) & 31) * 65535 / 31);
    b = static_cast<unsigned short>((v & 31) * 65535 / 31);
  } else {
    b = static_cast<unsigned short>(p[0] * 257);
    g = static_cast<unsigned short>(p[1] * 257);
    r = static_cast<unsigned short>(p[2] * 257);
  }
}

}  // namespace

bool tgaimage_t::load(const char* path, libutils::android_app*) {
  libutils::regular_ifstream is(path);
  name = path;
  return is && load(is);
}

bool tgaimage_t::load(std::istream& is) {
  pixels.clear();
  row_stride = 0;
  unsigned char h[header_size];
  if (!is.read(reinterpret_cast<char*>(h), sizeof h)) return false;
  id_length = h[0];
  colormap_type = h[1];
  image_type = h[2];
  colormap_first = le16(h + 3);
  colormap_length = le16(h + 5);
  colormap_entry_size = h[7];
  x_origin = le16(h + 8);
  y_origin = le16(h + 10);
  width = le16(h + 12);
  height = le16(h + 14);
  pixel_depth = h[16];
  descriptor = h[17];

  if (image_type != 1 && image_type != 2) return false;
  if (colormap_type > 1 || (descriptor & right_to_left)) return false;
  switch (pixel_depth) {
    case 8:
    case 15:
    case 16:
    case 24:
    case 32: break;
    default: return false;
  }
  if (width == 0 || height == 0 || !check_image_size(name, width, height)) {
    return false;
  }
  if (!read_bytes(is, id, id_length)) return false;
  size_t map_bytes = 0;
  if (colormap_type) {
    map_bytes = size_t(colormap_length) * pixel_bytes(colormap_entry_size);
  }
  if (!read_bytes(is, colormap, map_bytes)) return false;

  // The file's rows are not padded; memory rows are, to 4 bytes.
  const uint64_t file_row = uint64_t(width) * pixel_bytes(pixel_depth);
  const uint64_t stride = libutils::UpAlign<uint64_t>(file_row, 4);
  if (!pixels.resize(stride * height)) return false;
  const bool flip = descriptor & top_left;
  for (uint64_t k = 0; k < height; ++k) {
    uint64_t r = flip ? height - 1 - k : k;
    if (!is.read(reinterpret_cast<char*>(pixels.begin() + r * stride),
                 static_cast<std::streamsize>(file_row))) {
      pixels.clear();
      return false;
    }
  }
  descriptor = static_cast<uint8_t>(descriptor & ~top_left);
  row_stride = stride;
  return true;
}

bool tgaimage_t::save(const char* path, libutils::android_app*) {
  libutils::regular_ofstream os(path);  // a FIFO there would wait for a reader
  if (!os) return false;
  if (!save(os)) return false;
  os.close();
  return !os.fail();
}

bool tgaimage_t::save(std::ostream& os) {
  const uint64_t file_row = uint64_t(width) * pixel_bytes(pixel_depth);
  if (height && pixels.size() < (height - 1) * row_stride + file_row) {
    return false;
  }
  if (id.size() > 255) return false;
  id_length = static_cast<uint8_t>(id.size());
  if (colormap_entry_size != 0) {
    colormap_length = static_cast<uint16_t>(colormap.size() / pixel_bytes(colormap_entry_size));
  }
  colormap_type = colormap.empty() ? 0 : 1;
  const uint16_t words[] = {colormap_first, colormap_length, x_origin, y_origin, width, height};
  unsigned char h[header_size] = {id_length, colormap_type, image_type};
  h[3] = static_cast<unsigned char>(words[0]);
  h[4] = static_cast<unsigned char>(words[0] >> 8);
  h[5] = static_cast<unsigned char>(words[1]);
  h[6] = static_cast<unsigned char>(words[1] >> 8);
  h[7] = colormap_entry_size;
  for (int i = 2; i < 6; ++i) {
    h[8 + 2 * (i - 2)] = static_cast<unsigned char>(words[i]);
    h[9 + 2 * (i - 2)] = static_cast<unsigned char>(words[i] >> 8);
  }
  h[16] = pixel_depth;
  h[17] = descriptor;
  os.write(reinterpret_cast<const char*>(h), sizeof h);
  os.write(reinterpret_cast<const char*>(id.data()), static_cast<std::streamsize>(id.size()));
  os.write(reinterpret_cast<const char*>(colormap.data()),
           static_cast<std::streamsize>(colormap.size()));
  // Rows bottom first as memory holds them; a top-left file is written
  // from the top row.
  const bool flip = descriptor & top_left;
  for (uint64_t k = 0; k < height && os; ++k) {
    uint64_t r = flip ? height - 1 - k : k;
    os.write(reinterpret_cast<const char*>(pixels.begin() + r * row_stride),
             static_cast<std::streamsize>(file_row));
  }
  return !os.fail();
}

bool convert(image2d_t& image, const tgaimage_t& tga) {
  if ((tga.image_type != 1 && tga.image_type != 2) ||
      (tga.descriptor & (top_left | right_to_left))) {
    return false;
  }
  image_desc_t desc(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
  palette_t palette;
  if (tga.image_type == 1) {
    // Indices are bytes: a palette of 256 entries, the ones the map does
    // not cover black.
    const unsigned entry = tga.colormap_entry_size;
    if (tga.pixel_depth != 8 || !tga.colormap_type ||
        (entry != 15 && entry != 16 && entry != 24 && entry != 32) ||
        tga.colormap.size() < tga.colormap_length * pixel_bytes(entry) || !palette.resize(256)) {
      return false;
    }
    for (unsigned i = 0; i < 256; ++i) {
      unsigned short r = 0, g = 0, b = 0;
      if (i >= tga.colormap_first && i - tga.colormap_first < tga.colormap_length) {
        map_entry(tga.colormap.data() + (i - tga.colormap_first) * pixel_bytes(entry), entry, r, g,
                  b);
      }
      palette.red[i] = r;
      palette.green[i] = g;
      palette.blue[i] = b;
    }
    desc.format = IMAGE_FORMAT_INDEX;
  } else {
    switch (tga.pixel_depth) {
      case 8: break;
      case 15:
      case 16: desc = image_desc_t(IMAGE_FORMAT_BGRA, IMAGE_TYPE_UINT, IMAGE_BITS_R5G5B5A1); break;
      case 24: desc.format = IMAGE_FORMAT_BGR; break;
      case 32: desc.format = IMAGE_FORMAT_BGRA; break;
      default: return false;
    }
  }
  const uint64_t file_row = uint64_t(tga.width) * pixel_bytes(tga.pixel_depth);
  if (tga.width == 0 || tga.height == 0 ||
      tga.row_stride != libutils::UpAlign<uint64_t>(file_row, 4) ||
      tga.pixels.size() < tga.row_stride * tga.height) {
    return false;
  }
  image.desc = desc;
  image.store = nullptr;  // rows padded to 4 bytes
  image.window = image_window2d_t();
  image.width = tga.width;
  image.height = tga.height;
  image.compressed = false;
  image.palette = palette;
  image.pixels = tga.pixels;
  return true;
}

bool convert(tgaimage_t& tga, const image2d_t& image) {
  if (image.compressed || image.desc.type != IMAGE_TYPE_UINT) return false;
  image2d_t s(image);
  const e_image_format_t format = s.desc.format;
  const e_image_bits_t bits = s.desc.bits;
  uint8_t depth = 0;
  if (bits == IMAGE_BITS_8) {
    if (format == IMAGE_FORMAT_BGRA || format == IMAGE_FORMAT_RGBA) depth = 32;
    if (format == IMAGE_FORMAT_BGR || format == IMAGE_FORMAT_RGB) depth = 24;
    if (format == IMAGE_FORMAT_GRAYSCALE) depth = 8;
  } else if (bits == IMAGE_BITS_R5G5B5A1 &&
             (format == IMAGE_FORMAT_BGRA || format == IMAGE_FORMAT_RGBA)) {
    depth = 16;
  }
  if (depth == 0) return false;
  if (s.width == 0 || s.height == 0 || s.width > 65535 || s.height > 65535) {
    libutils::error();
    std::cerr << "convert(to tga): image size not supported." << std::endl;
    return false;
  }
  if (depth != 16 && (format == IMAGE_FORMAT_RGB || format == IMAGE_FORMAT_RGBA)) {
    if (!rgb2bgr(s, image)) return false;
  }
  const uint64_t stride = s.rowsize();
  const uint64_t skip_bits = uint64_t(s.window.skip_pixels) * depth;
  const uint64_t first = s.window.skip_rows * stride + skip_bits / 8;
  const uint64_t file_row = uint64_t(s.width) * (depth / 8);
  if (s.pixels.size() < first + (s.height - 1) * stride + file_row) return false;
  tga.pixels.setwindow(s.pixels, first, pixel_store_t::whole);
  tga.row_stride = stride;
  tga.id.clear();
  tga.colormap.clear();
  tga.id_length = 0;
  tga.colormap_type = 0;
  tga.image_type = 2;
  tga.colormap_first = 0;
  tga.colormap_length = 0;
  tga.colormap_entry_size = 0;
  tga.x_origin = 0;
  tga.y_origin = 0;
  tga.width = static_cast<uint16_t>(s.width);
  tga.height = static_cast<uint16_t>(s.height);
  tga.pixel_depth = depth;
  tga.descriptor = depth == 32 ? 8 : depth == 16 ? 1 : 0;
  return true;
}

}  // namespace libgr

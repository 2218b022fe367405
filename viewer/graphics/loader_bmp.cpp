// The stream BMP reader and writer and BmpLoad.
#include "viewer/graphics/loader_bmp.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <utility>

#include "utility/futil.h"
#include "utility/regular_ifstream.h"
#include "utility/regular_ofstream.h"
#include "viewer/graphics/bmp_layout.h"

namespace libgr {

namespace {

// Reads the headers and seeks to the pixels; f holds the fields after.
bool read_headers(std::istream& is, bmp::fields_t& f, const char* name) {
  unsigned char head[bmp::headers_size];
  if (!is.read(reinterpret_cast<char*>(head), sizeof head)) return false;
  f = bmp::parse(head);
  if (!bmp::headers_valid(f) || !bmp::size_valid(f, name)) return false;
  is.seekg(f.offset);
  return is && is.tellg() == std::streampos(f.offset);
}

// Rows of rowbytes each, bottom-up into base; a top-down file's first row
// goes last. A file that ends early leaves the remaining rows as they are
// (zero). Returns the number of whole rows read.
uint64_t read_rows(std::istream& is, unsigned char* base, uint64_t rowbytes, uint64_t count,
                   bool top_down) {
  uint64_t done = 0;
  if (!top_down) {
    is.read(reinterpret_cast<char*>(base), static_cast<std::streamsize>(rowbytes * count));
    done = static_cast<uint64_t>(is.gcount()) / rowbytes;
  } else {
    for (; done < count && is; ++done) {
      is.read(reinterpret_cast<char*>(base + (count - 1 - done) * rowbytes),
              static_cast<std::streamsize>(rowbytes));
      if (static_cast<uint64_t>(is.gcount()) != rowbytes) break;
    }
  }
  is.clear();
  return done;
}

void put16(unsigned char*& p, uint16_t v) {
  *p++ = static_cast<unsigned char>(v);
  *p++ = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char*& p, uint32_t v) {
  put16(p, static_cast<uint16_t>(v));
  put16(p, static_cast<uint16_t>(v >> 16));
}

void unsupported(const char* text) {
  libutils::error();
  std::cerr << "convert(to bmp): " << text << std::endl;
}

}  // namespace

bool bmpimage_t::load(const char* path, libutils::android_app*) {
  libutils::regular_ifstream is(path);
  return is && load(is, path);
}

bool bmpimage_t::load(std::istream& is, const char* name) {
  pixels.clear();
  colours.clear();
  bmp::fields_t f;
  if (!read_headers(is, f, name)) return false;
  uint64_t rowbytes = bmp::rowbytes(uint64_t(f.width), f.bits);
  uint64_t count = bmp::rows(f);
  if (!pixels.resize(rowbytes * count)) return false;
  read_rows(is, pixels.begin(), rowbytes, count, f.height < 0);
  f.height = static_cast<int32_t>(count);
  bmp::store(file, info, f);
  return true;
}

bool bmpimage_t::save(const char* path, libutils::android_app*) {
  libutils::regular_ofstream os(path);  // a FIFO there would wait for a reader
  if (!os) return false;
  if (!save(os)) return false;
  os.close();
  return !os.fail();
}

bool bmpimage_t::save(std::ostream& os) {
  const uint64_t table = colours.size() * sizeof(libutils::tagRGBQUAD);
  const uint64_t offset = bmp::headers_size + table;
  const uint64_t bytes = pixels.size();
  if (offset + bytes > UINT32_MAX) return false;
  file.bfType = bmp::file_type;
  file.bfSize = static_cast<uint32_t>(offset + bytes);
  file.bfReserved1 = 0;
  file.bfReserved2 = 0;
  file.bfOffBits = static_cast<uint32_t>(offset);
  info.biSize = 40;

  unsigned char head[bmp::headers_size];
  unsigned char* p = head;
  put16(p, file.bfType);
  put32(p, file.bfSize);
  put16(p, file.bfReserved1);
  put16(p, file.bfReserved2);
  put32(p, file.bfOffBits);
  put32(p, info.biSize);
  put32(p, static_cast<uint32_t>(info.biWidth));
  put32(p, static_cast<uint32_t>(info.biHeight));
  put16(p, info.biPlanes);
  put16(p, info.biBitCount);
  put32(p, info.biCompression);
  put32(p, info.biSizeImage);
  put32(p, static_cast<uint32_t>(info.biXPelsPerMeter));
  put32(p, static_cast<uint32_t>(info.biYPelsPerMeter));
  put32(p, info.biClrUsed);
  put32(p, info.biClrImportant);
  os.write(reinterpret_cast<const char*>(head), sizeof head);
  os.write(reinterpret_cast<const char*>(colours.data()), static_cast<std::streamsize>(table));
  if (bytes) {
    os.write(reinterpret_cast<const char*>(pixels.begin()), static_cast<std::streamsize>(bytes));
  }
  return !os.fail();
}

bool convert(image2d_t& image, const bmpimage_t& bmp) {
  if (bmp.info.biCompression != 0) return false;
  e_image_format_t format = IMAGE_FORMAT_GRAYSCALE;
  e_image_bits_t bits;
  switch (bmp.info.biBitCount) {
    case 1: bits = IMAGE_BITS_1; break;
    case 4: bits = IMAGE_BITS_4; break;
    case 8: bits = IMAGE_BITS_8; break;
    case 24:
      format = IMAGE_FORMAT_BGR;
      bits = IMAGE_BITS_8;
      break;
    default: return false;
  }
  if (bmp.info.biWidth <= 0 || bmp.info.biHeight <= 0) return false;
  uint64_t rowbytes = bmp::rowbytes(uint64_t(bmp.info.biWidth), bmp.info.biBitCount);
  if (bmp.pixels.size() < rowbytes * uint64_t(bmp.info.biHeight)) return false;
  image.desc = image_desc_t(format, IMAGE_TYPE_UINT, bits);
  // The rows are padded to 4 bytes: no store record, no window.
  image.store = nullptr;
  image.window = image_window2d_t();
  image.width = static_cast<uint32_t>(bmp.info.biWidth);
  image.height = static_cast<uint32_t>(bmp.info.biHeight);
  image.compressed = false;
  image.palette.clear();
  image.pixels = bmp.pixels;
  return true;
}

bool convert(bmpimage_t& bmp, const image2d_t& image) {
  if (image.compressed) return false;
  const image2d_t s(image);
  const bool integer = s.desc.type == IMAGE_TYPE_SINT || s.desc.type == IMAGE_TYPE_UINT;
  uint16_t bits = 0;
  if (integer && s.desc.format == IMAGE_FORMAT_GRAYSCALE) {
    if (s.desc.bits == IMAGE_BITS_1) bits = 1;
    if (s.desc.bits == IMAGE_BITS_4) bits = 4;
    if (s.desc.bits == IMAGE_BITS_8) bits = 8;
  } else if (integer && s.desc.format == IMAGE_FORMAT_BGR && s.desc.bits == IMAGE_BITS_8) {
    bits = 24;
  }
  if (bits == 0) {
    unsupported("not supported format.");
    return false;
  }
  if (s.width == 0 || s.height == 0 || s.width > INT32_MAX || s.height > INT32_MAX) {
    unsupported("image size not supported.");
    return false;
  }
  const uint64_t rowbytes = bmp::rowbytes(s.width, bits);
  const uint64_t bytes = rowbytes * s.height;
  const uint64_t skip_bits = uint64_t(s.window.skip_pixels) * bits;
  const uint64_t first = s.window.skip_rows * s.rowsize() + skip_bits / 8;
  if (skip_bits % 8 != 0 || s.pixels.size() < first + (s.height - 1) * s.rowsize() + s.rowbyte()) {
    unsupported("image rows outside the pixel store.");
    return false;
  }
  if (s.rowsize() == rowbytes && s.window.skip_pixels == 0 && s.pixels.size() >= first + bytes) {
    bmp.pixels.setwindow(s.pixels, first, bytes);
  } else {
    // Another alignment or a window narrower than its rows: the file wants
    // rows padded to 4 bytes, so they are copied.
    pixel_store_t rows;
    if (!rows.resize(bytes)) {
      unsupported("memory allocation fail.");
      return false;
    }
    for (uint32_t r = 0; r < s.height; ++r) {
      std::memcpy(rows.begin() + r * rowbytes, s[r], s.rowbyte());
    }
    bmp.pixels = std::move(rows);
  }
  // Readers need a colour table for 1 to 8 bits: a grey ramp.
  bmp.colours.clear();
  if (bits <= 8) {
    const unsigned n = 1u << bits;
    for (unsigned i = 0; i < n; ++i) {
      uint8_t v = static_cast<uint8_t>(i * 255 / (n - 1));
      bmp.colours.push_back(libutils::tagRGBQUAD{v, v, v, 0});
    }
  }
  bmp.info.biSize = 40;
  bmp.info.biWidth = static_cast<int32_t>(s.width);
  bmp.info.biHeight = static_cast<int32_t>(s.height);
  bmp.info.biPlanes = 1;
  bmp.info.biBitCount = bits;
  bmp.info.biCompression = 0;
  bmp.info.biSizeImage = bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
  bmp.info.biXPelsPerMeter = 72;
  bmp.info.biYPelsPerMeter = 72;
  bmp.info.biClrUsed = 0;
  bmp.info.biClrImportant = 0;
  return true;
}

bool BmpLoad(image2d_t& image, const char* path, e_image_format_t format) {
  libutils::regular_ifstream is(path);
  return is && BmpLoad(image, is, format, path);
}

bool BmpLoad(image2d_t& image, std::istream& is, e_image_format_t format, const char* name) {
  bmp::fields_t f;
  if (!read_headers(is, f, name) || f.compression != 0) return false;
  const uint64_t rowbytes = bmp::rowbytes(uint64_t(f.width), f.bits);
  const uint64_t count = bmp::rows(f);
  pixel_store_t rows;
  if (!rows.resize(rowbytes * count)) return false;
  const uint64_t done = read_rows(is, rows.begin(), rowbytes, count, f.height < 0);
  if (f.bits == 24) {
    // Only the rows the file held: the others are zero, whatever the order
    // (and a forged size never makes us walk memory nothing was read into).
    const uint64_t first = f.height < 0 ? count - done : 0;
    for (uint64_t r = first; r < first + done; ++r) {
      unsigned char* p = rows.begin() + r * rowbytes;
      for (int32_t x = 0; x < f.width; ++x, p += 3) std::swap(p[0], p[2]);
    }
  }
  image_desc_t desc(format, IMAGE_TYPE_UINT, image.desc.bits);
  if (f.bits == 1) desc.bits = IMAGE_BITS_1;
  if (f.bits == 4) desc.bits = IMAGE_BITS_4;
  if (f.bits == 8 || f.bits == 24) desc.bits = IMAGE_BITS_8;
  // The label must describe the rows read, or the image would promise
  // more bytes than its store holds.
  if (image_rowsize(desc, nullptr, uint64_t(f.width)) != rowbytes) return false;
  image.pixels = std::move(rows);
  image.store = nullptr;
  image.window = image_window2d_t();
  image.width = static_cast<uint32_t>(f.width);
  image.height = static_cast<uint32_t>(count);
  image.desc = desc;
  image.compressed = false;
  image.palette.clear();
  return true;
}

}  // namespace libgr

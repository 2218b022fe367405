// PNG reading and writing through libpng, errors caught with setjmp.
#include "viewer/graphics/loader_png.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "utility/byteorder.h"
#include "utility/futil.h"
#include "viewer/graphics/pngutil.h"

namespace libgr {

namespace {

// libpng keeps its interface within one major.minor series, and refuses a
// structure made for another series itself: the run-time library must be
// of the series the program was built against.
bool check_png_version() {
  const char* header = PNG_LIBPNG_VER_STRING;
  const char* source = png_get_libpng_ver(nullptr);
  const char* dot = std::strchr(header, '.');
  dot = dot ? std::strchr(dot + 1, '.') : nullptr;
  size_t series = dot ? size_t(dot - header) + 1 : std::strlen(header);
  if (source && std::strncmp(header, source, series) == 0) return true;
  libutils::error();
  std::cerr << "libpng version different." << std::endl;
  libutils::error();
  std::cerr << "  header: " << header << std::endl;
  libutils::error();
  std::cerr << "  source: " << (source ? source : "") << std::endl;
  return false;
}

// 16-bit samples stay in PNG's big-endian order: on a little-endian host
// the store record asks for swapped bytes.
const image_store_t big_endian_store(libutils::detail::host_is_little_endian(), 4);

bool memory_is_big_endian(const image2d_t& image) {
  bool swapped = image.store && image.store->swap_bytes;
  return libutils::detail::host_is_little_endian() == swapped;
}

bool format_of(int colour_type, e_image_format_t& format) {
  switch (colour_type) {
    case PNG_COLOR_TYPE_GRAY: format = IMAGE_FORMAT_GRAYSCALE; return true;
    case PNG_COLOR_TYPE_GRAY_ALPHA: format = IMAGE_FORMAT_GRAYSCALE_ALPHA; return true;
    case PNG_COLOR_TYPE_RGB: format = IMAGE_FORMAT_RGB; return true;
    case PNG_COLOR_TYPE_RGB_ALPHA: format = IMAGE_FORMAT_RGBA; return true;
    case PNG_COLOR_TYPE_PALETTE: format = IMAGE_FORMAT_INDEX; return true;
    default: return false;
  }
}

bool colour_type_of(e_image_format_t format, int& colour_type) {
  switch (format) {
    case IMAGE_FORMAT_GRAYSCALE: colour_type = PNG_COLOR_TYPE_GRAY; return true;
    case IMAGE_FORMAT_GRAYSCALE_ALPHA: colour_type = PNG_COLOR_TYPE_GRAY_ALPHA; return true;
    case IMAGE_FORMAT_RGB: colour_type = PNG_COLOR_TYPE_RGB; return true;
    case IMAGE_FORMAT_RGBA: colour_type = PNG_COLOR_TYPE_RGB_ALPHA; return true;
    case IMAGE_FORMAT_INDEX: colour_type = PNG_COLOR_TYPE_PALETTE; return true;
    default: return false;
  }
}

bool bits_of(int depth, e_image_bits_t& bits) {
  switch (depth) {
    case 1: bits = IMAGE_BITS_1; return true;
    case 2: bits = IMAGE_BITS_2; return true;
    case 4: bits = IMAGE_BITS_4; return true;
    case 8: bits = IMAGE_BITS_8; return true;
    case 16: bits = IMAGE_BITS_16; return true;
    default: return false;
  }
}

bool depth_of(e_image_bits_t bits, int& depth) {
  switch (bits) {
    case IMAGE_BITS_1: depth = 1; return true;
    case IMAGE_BITS_2: depth = 2; return true;
    case IMAGE_BITS_4: depth = 4; return true;
    case IMAGE_BITS_8: depth = 8; return true;
    case IMAGE_BITS_16: depth = 16; return true;
    default: return false;
  }
}

uint64_t next_power_of_two(uint64_t n) {
  uint64_t p = 1;
  while (p < n) p <<= 1;
  return n == 0 ? 0 : p;
}

// Everything between the error return point and the end of a read; any
// failure leaves through png_longjmp or libpng's own error.
void read_body(png_structp png, png_infop info, image2d_t& image, const char* name,
               png_bytep* volatile& rows) {
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colour_type = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colour_type, nullptr, nullptr, nullptr);
  // Interlaced files: png_read_image hands back whole rows.
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  image.clear();
  image.window = image_window2d_t();
  image.width = width;
  image.height = height;
  e_image_format_t format;
  e_image_bits_t bits;
  if (!format_of(colour_type, format) || !bits_of(depth, bits)) {
    png_error(png, "colour type or bit depth not handled");
  }
  if (format == IMAGE_FORMAT_INDEX) {
    png_colorp entries = nullptr;
    int n = 0;
    if (!png_get_PLTE(png, info, &entries, &n)) n = 0;
    uint64_t size = next_power_of_two(uint64_t(n));
    if (size && !image.palette.resize(size)) png_error(png, "out of memory");
    for (uint64_t i = 0; i < size; ++i) {
      bool present = i < uint64_t(n);
      image.palette.red[i] = present ? entries[i].red * 257 : 0;
      image.palette.green[i] = present ? entries[i].green * 257 : 0;
      image.palette.blue[i] = present ? entries[i].blue * 257 : 0;
    }
  }
  image.desc = image_desc_t(format, IMAGE_TYPE_UINT, bits);
  image.store = depth == 16 ? &big_endian_store : nullptr;
  image.compressed = false;
  if (height == 0 || !check_image_size(name, width, height) || !image.allocate()) {
    png_longjmp(png, 1);
  }
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!rows) png_longjmp(png, 1);
  for (png_uint_32 k = 0; k < height; ++k) rows[k] = image[height - 1 - k];
  png_read_image(png, rows);
}

// Chunks whose contents the reader never uses: libpng would read each into
// a buffer of the length the file claims (gigabytes for a few bytes of
// file) before it finds the file cut short. Skipped unread instead.
const png_byte unused_chunks[] = {'i', 'C', 'C', 'P', '\0', 's', 'P', 'L', 'T', '\0',
                                  't', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0',
                                  'i', 'T', 'X', 't', '\0', 'p', 'C', 'A', 'L', '\0',
                                  's', 'C', 'A', 'L', '\0', 'e', 'X', 'I', 'f', '\0'};
constexpr int unused_chunk_count = sizeof unused_chunks / 5;

int read_png(std::istream& is, image2d_t& image, const char* name) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return PNG_NO_STRUCT;
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unused_chunks, unused_chunk_count);
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return PNG_NO_INFO;
  }
  png_bytep* volatile rows = nullptr;
  if (setjmp(*png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)))) {
    libutils::error();
    std::cerr << "FAIL" << std::endl;
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    return PNG_FAILED;
  }
  png_set_read_fn(png, &is, png_read);
  png_set_sig_bytes(png, 4);
  read_body(png, info, image, name, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(rows);
  return PNG_OK;
}

// Everything between the error return point and the end of a write.
void write_body(png_structp png, png_infop info, const image2d_t& image, int depth, int colour_type,
                const char* title, png_bytep* volatile& rows) {
  png_set_IHDR(png, info, image.width, image.height, depth, colour_type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  const png_byte d = static_cast<png_byte>(depth);
  png_color_8 sig = {};
  bool significant = true;
  switch (colour_type) {
    case PNG_COLOR_TYPE_GRAY: sig.gray = d; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: sig.gray = sig.alpha = d; break;
    case PNG_COLOR_TYPE_RGB: sig.red = sig.green = sig.blue = d; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: sig.red = sig.green = sig.blue = sig.alpha = d; break;
    default: significant = false; break;
  }
  if (significant) png_set_sBIT(png, info, &sig);
  if (colour_type == PNG_COLOR_TYPE_PALETTE) {
    png_color palette[PNG_MAX_PALETTE_LENGTH];
    const uint64_t n = std::min<uint64_t>({image.palette.size, image.palette.red.size(),
                                           image.palette.green.size(), image.palette.blue.size(),
                                           uint64_t(1) << depth});
    for (uint64_t i = 0; i < n; ++i) {
      palette[i].red = static_cast<png_byte>(image.palette.red[i] >> 8);
      palette[i].green = static_cast<png_byte>(image.palette.green[i] >> 8);
      palette[i].blue = static_cast<png_byte>(image.palette.blue[i] >> 8);
    }
    png_set_PLTE(png, info, palette, static_cast<int>(n));
  }
  if (title) {
    png_text text = {};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>("Title");
    text.text = const_cast<char*>(title);
    text.text_length = std::strlen(title);
    png_set_text(png, info, &text, 1);
  }
  png_write_info(png, info);
  if (depth == 16 && !memory_is_big_endian(image)) png_set_swap(png);
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * image.height));
  if (!rows) png_longjmp(png, 1);
  for (uint32_t i = 0; i < image.height; ++i) {
    rows[i] = const_cast<png_bytep>(image[image.height - 1 - i]);
  }
  png_write_image(png, rows);
  png_write_end(png, info);
}

// The libpng part of a save; what libpng wrote stays in the file after
// an error.
int write_png(std::FILE* fp, const image2d_t& image, int depth, int colour_type,
              const char* title) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return PNG_NO_STRUCT;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return PNG_NO_INFO;
  }
  png_bytep* volatile rows = nullptr;
  if (setjmp(*png_set_longjmp_fn(png, std::longjmp, sizeof(std::jmp_buf)))) {
    std::cerr << "FAIL" << std::endl;
    png_destroy_write_struct(&png, &info);
    std::free(rows);
    return PNG_FAILED;
  }
  png_init_io(png, fp);
  write_body(png, info, image, depth, colour_type, title, rows);
  png_destroy_write_struct(&png, &info);
  std::free(rows);
  return PNG_OK;
}

}  // namespace

bool loader_png(image2d_t& image, const char* path, libutils::android_app* app) {
  image.clear();
  return check_png_version() && loadpng(path, image, app) == PNG_OK;
}

bool saver_png(const image2d_t& image, const char* path, libutils::android_app* app) {
  return check_png_version() && savepng(path, image, nullptr, app) == PNG_OK;
}

int loadpng(const char* path, image2d_t& image, libutils::android_app*) {
  libutils::regular_ifstream is;
  if (!check_if_png(path, is)) return PNG_NOT_OPENED;
  return read_png(is, image, path);
}

int loadpng(std::istream& is, image2d_t& image, const char* name) {
  unsigned char bytes[4];
  is.read(reinterpret_cast<char*>(bytes), sizeof bytes);
  if (is.gcount() != sizeof bytes || png_sig_cmp(bytes, 0, sizeof bytes) != 0) {
    return PNG_NOT_OPENED;
  }
  return read_png(is, image, name);
}

int savepng(const char* path, const image2d_t& image, const char* title, libutils::android_app*) {
  int colour_type = 0, depth = 0;
  if (image.compressed || image.desc.type != IMAGE_TYPE_UINT ||
      !colour_type_of(image.desc.format, colour_type) || !depth_of(image.desc.bits, depth) ||
      image.width == 0 || image.height == 0 || image.width > PNG_UINT_31_MAX ||
      image.height > PNG_UINT_31_MAX) {
    return PNG_NO_LAYOUT;
  }
  // Sample depths PNG allows per colour type, and a palette to write.
  const bool allowed =
      colour_type == PNG_COLOR_TYPE_GRAY ||
      (colour_type == PNG_COLOR_TYPE_PALETTE ? depth <= 8 && image.palette.size : depth >= 8);
  const uint64_t last = image.window.skip_rows * image.rowsize() +
                        (uint64_t(image.window.skip_pixels) * image.desc.getPixelBits() + 7) / 8 +
                        (image.height - 1) * image.rowsize() + image.rowbyte();
  if (!allowed || image.pixels.size() < last) return PNG_NO_LAYOUT;

  // Opened so that a FIFO under the name cannot wait for a reader.
  const int fd = libutils::open_for_writing(path);
  if (fd < 0) return PNG_NOT_OPENED;
  std::FILE* fp = ::fdopen(fd, "wb");
  if (!fp) {
    ::close(fd);
    return PNG_NOT_OPENED;
  }
  int result = write_png(fp, image, depth, colour_type, title);
  if (std::fclose(fp) != 0 && result == PNG_OK) result = PNG_FAILED;
  return result;
}

}  // namespace libgr

// imagetool subcommands over the JPEG front end: decode to PPM/PGM, encode
// from PPM/PGM, re-encode with the markers kept, lossless turns and the
// marker list. Exit status 0 on success, 1 on failure.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "image/loader_jpeg.h"
#include "image/tests/imagetool.h"
#include "image/transupp.h"

namespace {

bool load_jpeg(libgr::jpegdata_t& data, const char* path) {
  if (data.load(path, nullptr)) return true;
  std::cerr << path << ": cannot read file." << std::endl;
  return false;
}

bool save_jpeg(libgr::jpegdata_t& data, const char* path) {
  if (data.save(path, nullptr)) return true;
  std::cerr << path << ": cannot write file." << std::endl;
  return false;
}

// P6 for RGB, P5 for grey, rows top-down: the picture's top row is the
// image's last stored row.
bool write_pnm(const libgr::image2d_t& image, const char* path) {
  bool grey = image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE;
  std::ofstream os(path, std::ios::out | std::ios::binary | std::ios::trunc);
  os << (grey ? "P5" : "P6") << "\n" << image.width << " " << image.height << "\n255\n";
  for (uint32_t r = image.height; r-- > 0;) {
    os.write(reinterpret_cast<const char*>(image[r]),
             static_cast<std::streamsize>(image.rowbyte()));
  }
  os.close();
  if (os) return true;
  std::cerr << path << ": cannot write file." << std::endl;
  return false;
}

// Next header number of a PNM file, skipping blanks and # comments.
bool pnm_number(std::istream& is, unsigned long& value) {
  int c = is.get();
  while (c != EOF && (std::isspace(c) || c == '#')) {
    if (c == '#') {
      while (c != EOF && c != '\n') c = is.get();
    }
    c = is.get();
  }
  if (c == EOF || !std::isdigit(c)) return false;
  value = 0;
  while (c != EOF && std::isdigit(c)) {
    value = value * 10 + static_cast<unsigned long>(c - '0');
    if (value > 1000000) return false;
    c = is.get();
  }
  return true;  // the single blank after the number is consumed
}

bool read_pnm(libgr::image2d_t& image, const char* path) {
  static const libgr::image_store_t store(false, 4);
  std::ifstream is(path, std::ios::in | std::ios::binary);
  char magic[2] = {0, 0};
  unsigned long width = 0, height = 0, maxval = 0;
  is.read(magic, 2);
  bool grey = magic[0] == 'P' && magic[1] == '5';
  bool rgb = magic[0] == 'P' && magic[1] == '6';
  if (!is || !(grey || rgb) || !pnm_number(is, width) || !pnm_number(is, height) ||
      !pnm_number(is, maxval) || maxval != 255) {
    std::cerr << path << ": not an 8-bit binary PPM or PGM file." << std::endl;
    return false;
  }
  image.desc = libgr::image_desc_t(grey ? libgr::IMAGE_FORMAT_GRAYSCALE : libgr::IMAGE_FORMAT_RGB,
                                   libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.store = &store;
  image.width = static_cast<uint32_t>(width);
  image.height = static_cast<uint32_t>(height);
  if (!image.allocate()) {
    std::cerr << path << ": cannot allocate the image." << std::endl;
    return false;
  }
  for (uint32_t r = image.height; r-- > 0;) {
    is.read(reinterpret_cast<char*>(image[r]), static_cast<std::streamsize>(image.rowbyte()));
  }
  if (!is) {
    std::cerr << path << ": file cut short." << std::endl;
    return false;
  }
  return true;
}

int usage(const char* text) {
  std::cerr << "usage: imagetool " << text << std::endl;
  return 1;
}

bool parse_number(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

int decode(int argc, char** argv) {
  if (argc != 3) return usage("decode IN.jpg OUT.ppm|OUT.pgm");
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  if (!load_jpeg(data, argv[1])) return 1;
  if (!info.decompress(image, data, 0, false, libgr::black3ub)) return 1;
  return write_pnm(image, argv[2]) ? 0 : 1;
}

int encode(int argc, char** argv) {
  long quality;
  if (argc != 4 || !parse_number(argv[1], 0, 100, quality))
    return usage("encode QUALITY(0-100) IN.ppm|IN.pgm OUT.jpg");
  libgr::image2d_t image;
  libgr::jpeginfo_t info;
  libgr::jpegdata_t out;
  if (!read_pnm(image, argv[2])) return 1;
  out.name = argv[3];
  if (!info.compress(out, image, static_cast<int>(quality), true)) return 1;
  return save_jpeg(out, argv[3]) ? 0 : 1;
}

int reencode(int argc, char** argv) {
  if (argc != 3) return usage("reencode IN.jpg OUT.jpg");
  libgr::jpegdata_t data, out;
  libgr::jpeginfo_t info;
  libgr::image2d_t image;
  if (!load_jpeg(data, argv[1])) return 1;
  if (!info.decompress(image, data, 0, false, libgr::black3ub)) return 1;
  out.name = argv[2];
  if (!info.compress(out, image, 90, true)) return 1;
  return save_jpeg(out, argv[2]) ? 0 : 1;
}

// A stream that is complete despite warnings is still written, for
// inspection; the status says the turn failed.
int transform(int argc, char** argv) {
  long count;
  if (argc != 4 || !parse_number(argv[1], 0, 1000000, count))
    return usage("transform COUNT IN.jpg OUT.jpg");
  libgr::jpegdata_t in, out;
  if (!load_jpeg(in, argv[2])) return 1;
  bool ok = libgr::transform(static_cast<unsigned long>(count), out, in);
  if (!out.data.empty() && !save_jpeg(out, argv[3])) return 1;
  return ok ? 0 : 1;
}

int markers(int argc, char** argv) {
  if (argc != 2) return usage("markers IN.jpg");
  libgr::jpegdata_t data;
  libgr::jpeginfo_t info;
  if (!load_jpeg(data, argv[1])) return 1;
  if (!info.analyze_markers(data)) return 1;
  for (const libgr::jpeginfo_t::marker_t& m : info.markers)
    std::printf("%02X %zu\n", m.code, m.payload.size());
  return 0;
}

const bool registered =
    imagetool::register_command({"decode", "IN.jpg OUT.ppm|OUT.pgm", decode}) &&
    imagetool::register_command({"encode", "QUALITY IN.ppm|IN.pgm OUT.jpg", encode}) &&
    imagetool::register_command({"reencode", "IN.jpg OUT.jpg", reencode}) &&
    imagetool::register_command({"transform", "COUNT IN.jpg OUT.jpg", transform}) &&
    imagetool::register_command({"markers", "IN.jpg", markers});

}  // namespace

// imagetool subcommands over the image file objects of the graphics
// library: load any of JPEG, BMP, PNG and TGA into a PPM, and save a PPM
// as BMP, TGA or PNG. Exit status 0 on success, 1 on failure.
#include <strings.h>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "image/imageutil.h"
#include "image/tests/imagetool.h"
#include "viewer/graphics/image_object.h"
#include "viewer/graphics/tests/pixels.h"

namespace {

int usage(const char* text) {
  std::cerr << "usage: imagetool " << text << std::endl;
  return 1;
}

// The object for the path's extension, as the viewer picks it.
std::unique_ptr<libgr::image_object_t> object_for(const std::string& path) {
  std::string::size_type dot = path.rfind('.');
  std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "jpg" || ext == "jpeg") return std::make_unique<libgr::image_jpeg1_t>();
  if (ext == "bmp") return std::make_unique<libgr::image_bmp2_t>();
  if (ext == "png") return std::make_unique<libgr::image_png_t>();
  if (ext == "tga") return std::make_unique<libgr::image_tga_t>();
  return nullptr;
}

// P6, rows top-down, 8 bits a channel; alpha is dropped.
bool write_ppm(const libgr::image2d_t& image, const char* path) {
  std::vector<uint16_t> rgba = grtest::rgba16(image);
  if (rgba.size() != uint64_t(image.width) * image.height * 4) {
    std::cerr << path << ": layout not supported." << std::endl;
    return false;
  }
  std::ofstream os(path, std::ios::out | std::ios::binary | std::ios::trunc);
  os << "P6\n" << image.width << " " << image.height << "\n255\n";
  for (size_t i = 0; i < rgba.size(); ++i) {
    if (i % 4 != 3) os.put(static_cast<char>(rgba[i] >> 8));
  }
  os.close();
  if (os) return true;
  std::cerr << path << ": cannot write file." << std::endl;
  return false;
}

bool ppm_number(std::istream& is, unsigned long& value) {
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
  return true;
}

bool read_ppm(libgr::image2d_t& image, const char* path) {
  std::ifstream is(path, std::ios::in | std::ios::binary);
  char magic[2] = {0, 0};
  unsigned long width = 0, height = 0, maxval = 0;
  is.read(magic, 2);
  if (!is || magic[0] != 'P' || magic[1] != '6' || !ppm_number(is, width) ||
      !ppm_number(is, height) || !ppm_number(is, maxval) || maxval != 255 ||
      !libgr::check_image_size(path, width, height)) {
    std::cerr << path << ": not an 8-bit binary PPM file." << std::endl;
    return false;
  }
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = static_cast<uint32_t>(width);
  image.height = static_cast<uint32_t>(height);
  if (!image.allocate()) return false;
  for (uint32_t r = image.height; r-- > 0;) {
    is.read(reinterpret_cast<char*>(image[r]), static_cast<std::streamsize>(image.rowbyte()));
  }
  if (is) return true;
  std::cerr << path << ": file cut short." << std::endl;
  return false;
}

int load(int argc, char** argv) {
  if (argc != 3) return usage("load IN.jpg|bmp|png|tga OUT.ppm");
  std::unique_ptr<libgr::image_object_t> object = object_for(argv[1]);
  libgr::image2d_t image;
  if (!object || !object->load(image, argv[1])) {
    std::cerr << argv[1] << ": cannot load image." << std::endl;
    return 1;
  }
  std::cout << image.width << "x" << image.height << " " << image.desc.format << " "
            << image.desc.type << " " << image.desc.bits << " palette " << image.palette.size
            << " rotate " << object->rightrotatecount << std::endl;
  return write_ppm(image, argv[2]) ? 0 : 1;
}

// BMP takes BGR rows; PNG and TGA take RGB.
int save(int argc, char** argv) {
  if (argc != 3) return usage("save OUT.bmp|tga|png IN.ppm");
  std::string out = argv[1];
  std::unique_ptr<libgr::image_object_t> object = object_for(out);
  if (!object || out.size() < 4 || strcasecmp(out.c_str() + out.size() - 4, ".jpg") == 0 ||
      strcasecmp(out.c_str() + out.size() - 5, ".jpeg") == 0) {
    return usage("save OUT.bmp|tga|png IN.ppm");
  }
  libgr::image2d_t image;
  if (!read_ppm(image, argv[2])) return 1;
  if (dynamic_cast<libgr::image_bmp2_t*>(object.get())) {
    object = std::make_unique<libgr::image_bmp_t>();
    if (!libgr::rgb2bgr(image, image)) return 1;
  }
  if (!object->save(image, argv[1])) {
    std::cerr << argv[1] << ": cannot save image." << std::endl;
    return 1;
  }
  return 0;
}

const bool registered = imagetool::register_command({"load", "IN.jpg|bmp|png|tga OUT.ppm", load}) &&
                        imagetool::register_command({"save", "OUT.bmp|tga|png IN.ppm", save});

}  // namespace

#include "viewer/graphics/pngutil.h"

namespace libgr {

void png_read(png_struct* png, unsigned char* data, png_size_t length) {
  std::istream* is = static_cast<std::istream*>(png_get_io_ptr(png));
  if (!is->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(length))) {
    png_error(png, "read error, file cut short");
  }
}

}  // namespace libgr

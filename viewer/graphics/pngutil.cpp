#include "viewer/graphics/pngutil.h"

#include "utility/failure.h"

namespace libgr {

void png_read(png_struct* png, unsigned char* data, png_size_t length) {
  std::istream* is = static_cast<std::istream*>(png_get_io_ptr(png));
  if (!is->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(length))) {
    png_error(png, "read error, file cut short");
  }
}

bool check_if_png(const char* path, libutils::regular_ifstream& stream) {
  if (!stream.open(path)) return libutils::fail(path, ": file open error, ", stream.why());
  unsigned char bytes[4];
  stream.read(reinterpret_cast<char*>(bytes), sizeof bytes);
  if (stream.gcount() == sizeof bytes) {
    return png_sig_cmp(bytes, 0, sizeof bytes) == 0;
  }
  stream.close();
  return false;
}

}  // namespace libgr

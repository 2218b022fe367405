#include "album/engine/thumbnail.h"

#include <algorithm>
#include <iostream>
#include <sstream>

#include <gdkmm/wrap_init.h>
#include <glibmm/init.h>

#include "album/engine/exif.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/photolevels.h"
#include "album/engine/safefile.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "image/exif.h"
#include "image/halvings.h"
#include "image/imageutil.h"
#include "image/loader_jpeg.h"
#include "utility/failure.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

using libutils::fail;

// The quarter turns that make the picture upright, from a parsed EXIF
// orientation; 0 without one.
unsigned long upright_count(libgr::app1_marker_t& exif, bool parsed) {
  const std::vector<uint16_t>& orientation = exif.tiff_header.tag_0th.orientation;
  if (!parsed || orientation.empty()) return 0;
  return libgr::mixorientandrightrotatecount(0, orientation[0]);
}

// The quarter turns that make a decoded or probed file upright, from its
// APP1 marker; 0 without one.
unsigned long upright_count(libgr::jpeginfo_t& info) {
  libgr::jpeg_bytes_t app1 = info.get_marker(libgr::jpeginfo_t::MARKER_APP1);
  if (app1.empty()) return 0;
  libgr::app1_marker_t exif;
  exif.set_app1_buffer(app1);
  const bool parsed = exif.parse();
  return upright_count(exif, parsed);
}

bool turn_upright(libgr::image2d_t& image, unsigned long count, const std::string& file) {
  if (count == 0) return true;
  libgr::image2d_t turned;
  if (!libgr::rotate(count, turned, image)) return fail(file, ": rotate() fail.");
  image = turned;
  return true;
}

// Halves the whole photo until it fits a quarter of the shrink box. The
// small picture gets a store of its own size: the rows that keep it must
// not keep the whole decode.
bool halve_to_button(libgr::image2d_t& image) {
  // Never below a side of one pixel.
  return libgr::scaledown_times(
      image, libgr::halvings_to_fit(image.width, image.height, g_global.shrink_size.x / 4,
                                    g_global.shrink_size.y / 4, {ULONG_MAX, 1}));
}

// The whole photo halved to button size, then turned upright by count:
// the picture the user's quarter turns count from, as on the EXIF
// thumbnail path. Only the small result is turned.
bool decode_whole(libgr::image2d_t& image, libgr::jpegdata_t& data, const std::string& file,
                  const char* text, unsigned long count) {
  libgr::jpeginfo_t info;
  if (!info.decompress(image, data, 0, false, libgr::black3ub)) return fail(file, text);
  return halve_to_button(image) && turn_upright(image, count, file);
}

bool to_rgb(libgr::image2d_t& image) {
  if (image.desc.format != libgr::IMAGE_FORMAT_GRAYSCALE) return true;
  libgr::image2d_t rgb;
  if (!libgr::grayscale2rgb(rgb, image)) return false;
  image = rgb;
  return true;
}

// The whole file decoded, halved the given number of times (never below a
// side of one pixel, a halved picture in a store of its own size) and then
// turned upright by its EXIF orientation.
bool decode_upright(libgr::image2d_t& image, const std::string& file, unsigned long halvings) {
  libgr::jpegdata_t data;
  if (!data.load(file.c_str())) return fail(file, ": load_jpeg() jpegdata load fail.");
  libgr::jpeginfo_t info;
  if (!info.decompress(image, data, 0, false, libgr::black3ub))
    return fail(file, ": load_jpeg() decompress fail.");
  if (!libgr::scaledown_times(image, halvings)) return fail(file, ": scaledown() fail.");
  return turn_upright(image, upright_count(info), file);
}

}  // namespace

bool load_jpeg(libgr::image2d_t& image, const std::string& file) {
  if (!is_photo_name(file)) return false;
  return decode_upright(image, file, 0);
}

bool load_size_jpeg(libgr::image2d_t& image, const path_t& path, const std::string& subdir,
                    const std::string& file) {
  std::string full;
  path.make(full, subdir, file);
  return load_jpeg(image, full);
}

bool load_thumbnail(libgr::image2d_t& image, const std::string& file) {
  if (!is_photo_name(file)) return false;
  libgr::jpegdata_t data;
  if (!data.load(file.c_str())) return fail(file, ": load_thumbnail() jpegdata load fail.");
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(data))
    return fail(file, ": load_thumbnail() jpeginfo analyze_markers fail.");
  libgr::jpeg_bytes_t app1 = info.get_marker(libgr::jpeginfo_t::MARKER_APP1);
  if (app1.empty()) return decode_whole(image, data, file, ": thumbnail decompress() fail.", 0);
  libgr::app1_marker_t exif;
  exif.set_app1_buffer(app1);
  bool parsed = exif.parse();
  const unsigned long upright = upright_count(exif, parsed);
  if (!parsed || exif.tiff_header.thumbnail.empty())
    return decode_whole(image, data, file, ": original decompress() fail.", upright);

  libgr::jpegdata_t thumbnail;
  thumbnail.setvector(exif.tiff_header.thumbnail, file.c_str());
  libgr::jpeginfo_t thumbinfo;
  if (!thumbinfo.decompress(image, thumbnail, 0, false, libgr::black3ub)) {
    // A broken embedded thumbnail still leaves the photo itself.
    fail(file, ": thumbnail decompress() fail.");
    return decode_whole(image, data, file, ": original decompress() fail.", upright);
  }
  return turn_upright(image, upright, file);
}

bool load_exifthumbnail_or_thumbdir(libgr::image2d_t& image, const path_t& path,
                                    const std::string& file) {
  std::string thumb, size0, original;
  path.make(thumb, thumb_dir, file);
  if (is_exist(thumb)) return load_jpeg(image, thumb);
  path.make(size0, size_dir(0), file);
  if (is_exist(size0)) return load_thumbnail(image, size0);
  path.make(original, original_dir, file);
  return load_thumbnail(image, original);
}

unsigned long scaled_level_index(unsigned long level_count, int scale) {
  unsigned long bits = 0;
  for (unsigned int s = scale > 0 ? static_cast<unsigned int>(scale) : 0; s != 0; s >>= 1) ++bits;
  const unsigned long candidates = level_count + 3;
  const unsigned long from_small = g_global.show_level + bits;
  if (from_small > candidates) return 0;
  // show_level 0 at scale 0 would name the entry after "thumb".
  return std::min(candidates - from_small, candidates - 1);
}

namespace {

bool load_level_or_thumbnail(libgr::image2d_t& image, const path_t& path, const std::string& file,
                             int scale, unsigned long level) {
  const std::vector<std::string> dirs = size_level_dirs(level);
  const std::string& candidate = dirs[scaled_level_index(level, scale)];
  if (!load_size_jpeg(image, path, candidate, file) &&
      !load_exifthumbnail_or_thumbdir(image, path, file))
    return false;
  return to_rgb(image);
}

// The level load_level_or_thumbnail would decode, kept undecoded when its
// head says decoding it would succeed; false (with the messages of a
// decoding) when it would not.
bool keep_level(level_picture_t& kept, const path_t& path, const std::string& file, int scale,
                unsigned long level, libgr::jpeg_head_buffer_t& heads) {
  const std::vector<std::string> dirs = size_level_dirs(level);
  std::string full;
  path.make(full, dirs[scaled_level_index(level, scale)], file);
  if (!is_photo_name(full)) return false;
  libgr::jpegdata_t head;
  if (!head.load_head(full.c_str(), heads)) return fail(full, ": load_jpeg() jpegdata load fail.");
  libgr::jpeginfo_t info;
  if (!info.probe(head)) return fail(full, ": load_jpeg() decompress fail.");
  const unsigned long turns = upright_count(info);
  kept.file = full;
  kept.width = turns % 2 ? info.height : info.width;
  kept.height = turns % 2 ? info.width : info.height;
  return true;
}

// The camera file's level and EXIF line from one read of its head; level
// 0 (and a message) when the head cannot be read.
unsigned long level_and_exif_line(const path_t& path, const std::string& file,
                                  std::string& exif_line, libgr::jpeg_head_buffer_t& heads) {
  exif_line.clear();
  const std::string original = file_in(path, original_dir, file);
  libgr::jpegdata_t head;
  if (!head.load_head(original.c_str(), heads)) {
    libutils::fail_to(std::cerr, original, ": getshrinklevel() jpegdata load fail.");
    return 0;
  }
  const unsigned long level = getshrinklevel_to(head, original, std::cerr);
  libgr::jpegdata2_t bytes;
  bytes.bytes = head.data;
  bytes.name = head.name;
  std::ostringstream line;
  writeexif(line, bytes, false);
  exif_line = line.str();
  return level;
}

}  // namespace

bool level_picture_t::decode(libgr::image2d_t& image) const {
  return load_jpeg(image, file) && to_rgb(image);
}

bool load_scaled_thumbnail(libgr::image2d_t& image, const path_t& path, const std::string& file,
                           int scale) {
  return load_level_or_thumbnail(image, path, file, scale, getshrinklevel(path, file));
}

bool load_scaled_thumbnail(level_picture_t& kept, libgr::image2d_t& image, const path_t& path,
                           const std::string& file, int scale, std::string& exif_line,
                           libgr::jpeg_head_buffer_t& heads) {
  kept = level_picture_t();
  const unsigned long level = level_and_exif_line(path, file, exif_line, heads);
  if (keep_level(kept, path, file, scale, level, heads)) return true;
  kept = level_picture_t();
  return load_exifthumbnail_or_thumbdir(image, path, file) && to_rgb(image);
}

bool load_scaled_upright(libgr::image2d_t& image, const path_t& path, const std::string& file,
                         int scale) {
  if (!is_photo_name(file)) return false;
  const std::string original = file_in(path, original_dir, file);
  const std::string size0 = file_in(path, size_dir(0), file);
  libgr::image2d_t picture;
  bool loaded;
  if (same_bytes(original, size0)) {
    // size0 is the camera file itself: the levels keep its pixel order and
    // its orientation, and show it upright.
    loaded = load_scaled_thumbnail(picture, path, file, scale);
  } else {
    // The levels hold a turn whose count is written nowhere: the camera
    // file, halved as often as the level the button shows, turned upright.
    const unsigned long level = getshrinklevel(original);
    loaded = decode_upright(picture, original, scaled_level_index(level, scale)) && to_rgb(picture);
  }
  if (loaded) image = picture;  // untouched on failure
  return loaded;
}

bool load_scaled_ffthumbnail(libgr::image2d_t& image, const path_t& path, const std::string& file,
                             int scale, std::string& duration, std::string& stream) {
  libgr::direction2ul_t size;
  const unsigned long level = getffshrinklevel(path, original_dir, file, size, duration, stream);
  const std::vector<std::string> dirs = movie_level_dirs(level);
  // "thumb" holds no movie pictures: the smallest movie level stands in.
  const unsigned long index = std::min(scaled_level_index(level, scale), level + 1);
  return load_size_jpeg(image, path, dirs[index], replace_extension(file, ".jpg"));
}

Glib::RefPtr<Gdk::Pixbuf> convert_to_pixbuf(const libgr::image2d_t& image) {
  // Tools and tests run without a display and without GTK's start-up,
  // which is what registers the pixbuf wrapper; registering again is
  // harmless.
  static const bool wrappers = (Glib::init(), Gdk::wrap_init(), true);
  (void)wrappers;
  libgr::image2d_t rgb;
  if (!libgr::grayscale2rgb(rgb, image)) return Glib::RefPtr<Gdk::Pixbuf>();
  const libgr::image_desc_t want(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT,
                                 libgr::IMAGE_BITS_8);
  if (!(rgb.desc == want) || rgb.compressed || rgb.width == 0 || rgb.height == 0 ||
      rgb.pixels.empty())
    return Glib::RefPtr<Gdk::Pixbuf>();
  Glib::RefPtr<Gdk::Pixbuf> wrapped = Gdk::Pixbuf::create_from_data(
      rgb[0], Gdk::COLORSPACE_RGB, false, 8, static_cast<int>(rgb.width),
      static_cast<int>(rgb.height), static_cast<int>(rgb.rowsize()));
  if (!wrapped) return wrapped;
  // The flipped copy owns its pixels and has the top row first.
  return wrapped->flip(false);
}

}  // namespace tavolin

#pragma once
// Pictures of photos and movies for the windows' buttons, taken from what
// the size levels left in an album (the level that suits the screen, else
// "thumb", else the EXIF thumbnail or the halved photo), and their
// conversion into GTK pictures. Images have their rows bottom-up.

#include <string>

#include <gdkmm/pixbuf.h>

#include "album/engine/album.h"
#include "image/imagetype.h"
#include "image/loader_jpeg.h"

namespace tavolin {

// The whole JPEG file (".jpg"/".jpeg" only, else false without a message),
// turned upright by its EXIF orientation.
bool load_jpeg(libgr::image2d_t& image, const std::string& file);
// load_jpeg of path.make(subdir, file).
bool load_size_jpeg(libgr::image2d_t& image, const path_t& path, const std::string& subdir,
                    const std::string& file);
// The EXIF thumbnail of a JPEG file, turned upright; without a usable one
// the whole photo halved until it fits a quarter of g_global.shrink_size,
// then turned upright the same way.
bool load_thumbnail(libgr::image2d_t& image, const std::string& file);
// "thumb" of the album, else the thumbnail of "size0", else of "original".
bool load_exifthumbnail_or_thumbdir(libgr::image2d_t& image, const path_t& path,
                                    const std::string& file);

// The index into the level_count + 3 candidate directories (levels 0 ..
// level_count + 1, then "thumb") that g_global.show_level and the screen's
// scale factor choose; never past the last.
unsigned long scaled_level_index(unsigned long level_count, int scale);

// The picture of a photo for a button, always RGB.
bool load_scaled_thumbnail(libgr::image2d_t& image, const path_t& path, const std::string& file,
                           int scale);
// A photo's button picture kept as the name of its size level until it is
// painted: a large album's rows hold no pixels, and a window opens after
// reading only the head of each level.
struct level_picture_t {
  std::string file;         // the level; empty when none is kept
  unsigned long width = 0;  // the picture's size once upright
  unsigned long height = 0;
  // The level read and decoded as load_scaled_thumbnail decodes it:
  // upright, always RGB.
  bool decode(libgr::image2d_t& image) const;
};
// The same, and into exif_line what writeexif writes (without html) of
// the camera file, whose head is read once for both; but a level that
// would decode is kept in level and not decoded (image untouched); a
// picture from elsewhere ("thumb", the EXIF thumbnail, the halved photo) is decoded
// into image as before, level left empty. The heads are read in heads,
// which a caller reading row after row keeps.
bool load_scaled_thumbnail(level_picture_t& level, libgr::image2d_t& image, const path_t& path,
                           const std::string& file, int scale, std::string& exif_line,
                           libgr::jpeg_head_buffer_t& heads);

// The picture load_scaled_thumbnail gives, as the camera file shows it
// upright (by its EXIF orientation), whatever turn the album's levels were
// made with: the picture a new quarter-turn count starts from. The levels
// serve when size0 is the camera file itself; else the camera file is
// decoded and halved as often. Always RGB; image is untouched on failure.
bool load_scaled_upright(libgr::image2d_t& image, const path_t& path, const std::string& file,
                         int scale);
// The picture of a movie for a button, with its duration and stream text.
bool load_scaled_ffthumbnail(libgr::image2d_t& image, const path_t& path, const std::string& file,
                             int scale, std::string& duration, std::string& stream);

// A GTK picture (RGB, top row first) holding its own copy of the pixels;
// empty for an image that is neither RGB nor grayscale.
Glib::RefPtr<Gdk::Pixbuf> convert_to_pixbuf(const libgr::image2d_t& image);

}  // namespace tavolin

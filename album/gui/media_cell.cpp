#include "album/gui/media_cell.h"

#include <utility>

#include "album/engine/ffmpeg.h"
#include "album/engine/layout.h"
#include "album/engine/shrink.h"
#include "album/engine/thumbnail.h"
#include "album/engine/util.h"

namespace tavolin {

std::string original_file(const path_t& location, const std::string& name) {
  std::string file;
  location.make(file, original_dir, name);
  return file;
}

e_media_t media_kind(const std::string& name) {
  if (is_photo_name(name)) return MEDIA_PHOTO;
  if (is_movie_name(name)) return MEDIA_MOVIE;
  if (is_sound_name(name)) return MEDIA_SOUND;
  return MEDIA_OTHER;
}

bool load_media_cell(CairoButton& button, picture_shelf_t& shelf, e_media_t kind,
                     const path_t& location, const std::string& name, std::string& info) {
  const int scale = button.get_scale_factor();
  std::string duration, stream;
  bool loaded = false;
  switch (kind) {
    case MEDIA_PHOTO: {
      level_picture_t level;
      loaded =
          load_scaled_thumbnail(level, shelf.scratch, location, name, scale, info, shelf.heads);
      if (loaded && !level.file.empty()) {
        button.set(std::move(level), shelf.decoded);
        return true;
      }
      break;
    }
    case MEDIA_MOVIE:
      loaded = load_scaled_ffthumbnail(shelf.scratch, location, name, scale, duration, stream);
      info = duration + ", " + stream;
      break;
    case MEDIA_SOUND:
      mpidentify(original_file(location, name), duration, stream);
      info = duration + ", " + stream;
      break;
    case MEDIA_OTHER: return false;
  }
  if (loaded) {
    libgr::image2d_t kept = shelf.keep(shelf.scratch);
    button.set(kept);
  } else {
    button.set_size_request(32, 32);
  }
  return loaded;
}

}  // namespace tavolin

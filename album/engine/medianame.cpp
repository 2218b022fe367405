// The kinds of an album's files, told by their extension.
#include <initializer_list>
#include <string>

#include "album/engine/shrink.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

bool has_extension(const std::string& name, std::initializer_list<const char*> exts) {
  for (const char* ext : exts) {
    if (libutils::extcasecmp(name, ext) == 0) return true;
  }
  return false;
}

}  // namespace

bool is_photo_name(const std::string& name) { return has_extension(name, {".jpg", ".jpeg"}); }

bool is_movie_name(const std::string& name) {
  return has_extension(name, {".avi", ".mov", ".mpg", ".mp4"});
}

bool is_sound_name(const std::string& name) {
  return has_extension(name, {".wav", ".mp3", ".m4a"});
}

bool is_media_name(const std::string& name) {
  return is_photo_name(name) || is_movie_name(name) || is_sound_name(name);
}

}  // namespace tavolin

#pragma once
// The thumbnail button of one file of an album, by the file's kind.

#include <string>

#include "album/engine/album.h"
#include "album/gui/cairobutton.h"
#include "album/gui/picture_shelf.h"

namespace tavolin {

enum e_media_t { MEDIA_PHOTO, MEDIA_MOVIE, MEDIA_SOUND, MEDIA_OTHER };
e_media_t media_kind(const std::string& name);

// File name of the album at location, in its "original".
std::string original_file(const path_t& location, const std::string& name);

// The picture of file name of the album at location for its button: a
// photo's level picture (read and decoded when painted), else its or a movie's
// thumbnail (decoded on the shelf and kept there), else a 32 x 32 empty
// button; a sound gets 32 x 32 and no picture, another file nothing. info
// gets a movie's or sound's duration + ", " + stream, a photo's EXIF
// summary as plain lines ("" when none). True when a picture was loaded.
bool load_media_cell(CairoButton& button, picture_shelf_t& shelf, e_media_t kind,
                     const path_t& location, const std::string& name, std::string& info);

}  // namespace tavolin

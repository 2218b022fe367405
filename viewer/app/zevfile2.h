#pragma once
// The saved view beside each image: the window size and the view matrix at
// the moment the user saved, in the text form of the geometric types.

#include <istream>
#include <string>

#include "image/geometry.h"

namespace plimzev2 {

// The saved-view path of an image: its directory part, its name without
// the last extension, ".zev".
std::string make_zevpath(const char* path);

struct zevfile_t {
  libgr::direction2l_t size;
  libgr::matrix3w_t view = libgr::Imtx;

  // Reads the saved view of the image at path. False when the file does
  // not open, does not parse, holds a size below 1x1 or a number that is
  // not finite: such a view counts as absent and the fields keep their
  // values.
  bool load(const char* path);
  // The same from a stream.
  bool parse(std::istream& in);
  // Writes the view beside the image through a temporary file renamed over
  // the old one: false, the old view kept and a line on standard error,
  // unless every byte was written.
  bool save(const char* path) const;
  // Removes the saved view; false when there was none to remove.
  bool del(const char* path) const;
  // The file's text.
  std::string text() const;
};

}  // namespace plimzev2

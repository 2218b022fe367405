// The level number of a photo, from its size against the shrink_size
// setting, and the directories of its levels.
#include <iostream>
#include <string>
#include <vector>

#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/photolevels.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "image/halvings.h"
#include "image/loader_jpeg.h"
#include "utility/failure.h"

namespace tavolin {

std::vector<std::string> size_level_dirs(unsigned long level) {
  std::vector<std::string> dirs;
  for (unsigned long i = 0; i <= level + 1; ++i) dirs.push_back(size_dir(i));
  dirs.push_back(thumb_dir);
  return dirs;
}

unsigned long shrinklevel_of(unsigned long width, unsigned long height) {
  return libgr::halvings_to_fit(width, height, g_global.shrink_size.x, g_global.shrink_size.y);
}

unsigned long getshrinklevel_to(const std::string& file, std::ostream& err) {
  libgr::jpegdata_t data;
  if (!data.load_head(file.c_str())) {
    libutils::fail_to(err, file, ": getshrinklevel() jpegdata load fail.");
    return 0;
  }
  return getshrinklevel_to(data, file, err);
}

unsigned long getshrinklevel_to(libgr::jpegdata_t& data, const std::string& file,
                                std::ostream& err) {
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(data)) {
    libutils::fail_to(err, file, ": getshrinklevel() analyze_markers fail.");
    return 0;
  }
  return shrinklevel_of(info.width, info.height);
}

unsigned long getshrinklevel(const std::string& file) { return getshrinklevel_to(file, std::cerr); }

unsigned long getshrinklevel(const path_t& path, const std::string& name) {
  return getshrinklevel(file_in(path, original_dir, name));
}
}  // namespace tavolin

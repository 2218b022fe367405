#pragma once
// The per-file steps of shrink and shrinkupdate, with the picture buffer
// and the streams given, so that workers can run them: log takes the lines
// the step writes to the caller's log, err the lines that go to standard
// error when one thread does the work.

#include <ostream>
#include <string>
#include <vector>

#include "album/engine/album.h"
#include "album/engine/levelwork.h"

namespace tavolin {

unsigned long getshrinklevel_to(const std::string& file, std::ostream& err);

bool shrinkone_with(const path_t& path, const std::vector<std::string>& levels,
                    const std::string& name, unsigned long level_number, unsigned long rotation,
                    std::ostream& log, std::ostream& err, level_scratch_t& scratch);

bool shrinkoneupdate_with(const std::vector<std::string>& levels, const path_t& path,
                          const std::string& name, unsigned long level_number, unsigned long start,
                          unsigned long rotation, std::ostream& log, std::ostream& err,
                          level_scratch_t& scratch);

// One photo of an import (shrink) and of an update (shrinkupdate): its
// level number, its directories, its levels.
bool shrink_photo(const path_t& path, const files_t& file, std::ostream& log, std::ostream& err,
                  level_scratch_t& scratch);
bool update_photo(const path_t& path, const files_t& file, std::ostream& log, std::ostream& err,
                  level_scratch_t& scratch);

}  // namespace tavolin

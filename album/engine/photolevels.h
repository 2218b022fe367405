#pragma once
// The per-file steps of shrink and shrinkupdate, with the picture buffer
// and the streams given, so that workers can run them: log takes the lines
// the step writes to the caller's log, err the lines that go to standard
// error when one thread does the work.

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <sigc++/signal.h>

#include "album/engine/album.h"
#include "album/engine/failed_files.h"
#include "album/engine/levelwork.h"
#include "image/loader_jpeg.h"

namespace tavolin {

unsigned long getshrinklevel_to(const std::string& file, std::ostream& err);
// The same from the file's bytes, already read (its head is enough).
unsigned long getshrinklevel_to(libgr::jpegdata_t& data, const std::string& file,
                                std::ostream& err);

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

// shrink for files copied into an album that may hold some of them
// already. A photo named in kept stood in the album with the same bytes and
// is given no new turn: it keeps its files and only gets what is missing,
// as from an update. Every other photo gets size0, all its levels and its
// thumbnail from the one count it is imported with.
// Each file that gets no level goes to failed (when given) with its reason.
bool shrink_keeping(const path_t& path, const std::vector<files_t>& files,
                    const std::set<std::string>& kept, sigc::signal<void, double>& progress,
                    std::ostream& log, failed_files_t* failed);

}  // namespace tavolin

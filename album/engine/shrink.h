#pragma once
// The size levels of an album: the camera files copied into "original",
// every photo halved into "size0", "size1", ... and "thumb" (the photo
// decoded once and halved in memory), every movie converted into
// "movie0", "movie1", ..., and the repair of missing or turned levels.
//
// Level L of a photo is the first whose width and height both fit
// g_global.shrink_size; a photo has "size0" .. "size" + (L + 1) and
// "thumb". Failures are reported to the log or standard error as each
// function says, after libutils::error().

#include <list>
#include <ostream>
#include <string>
#include <vector>

#include <sigc++/signal.h>

#include "album/engine/album.h"
#include "album/engine/failed_files.h"
#include "image/imagetype.h"
#include "image/loader_jpeg.h"

namespace tavolin {

// File kinds by extension, case ignored: ".jpg" ".jpeg"; ".avi" ".mov"
// ".mpg" ".mp4"; ".wav" ".mp3" ".m4a".
bool is_photo_name(const std::string& name);
bool is_movie_name(const std::string& name);
bool is_sound_name(const std::string& name);
bool is_media_name(const std::string& name);

// "size0" .. "size" + (level + 1), then "thumb".
std::vector<std::string> size_level_dirs(unsigned long level);

// Copies each file of from into path's "original" (media) or "txt"
// (anything else), with its times, each by way of a temporary name. A file
// that already is its target or holds the same bytes, a non-media file
// named like one of the album's own text files, or a name that is not a
// regular file (a FIFO, device or socket; one line on log), is skipped
// with its progress still emitted. Emits (k + 1) / n after each. Nothing
// is copied when a name stands in the album with other bytes, or when two
// movies would convert into one movie level: one line per such file goes
// to log.
bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress, std::ostream& log);
// The same with the refusals on standard error.
bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress);
// The same with each file that is not copied in failed, and not on log: a
// name that is not a regular file, and a camera file that cannot be read,
// which cost only themselves. False when the copying ended: a refusal
// above (nothing copied), or a copy that cannot be written (a full disk).
bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress, std::ostream& log, failed_files_t& failed);

// Makes "thumb", the size levels of every photo and the movie levels of
// every movie of files (already in "original"); failures go to log. A file
// that fails (a camera file that cannot be read) gets no level and the
// others are made all the same; the result is then false. The photos are
// made on worker threads (level_workers(), levelwork.h) and the movies are
// converted side by side on threads of their own (movie_encodes(),
// moviework.h) while this thread waits; progress and the log lines come in
// list order on this thread, as from one thread, one emission per file.
bool shrink(const path_t& path, const std::vector<files_t>& files,
            sigc::signal<void, double>& progress, std::ostream& log);

// The levels of one photo: levels from size_level_dirs(level_number),
// rotation the user's quarter turns to the right. A turn that cannot be
// lossless (a side that is no whole number of blocks) is made by decoding,
// turning and encoding, so that the whole picture is kept; every thumbnail
// is upright; halving never makes a side smaller than one pixel. size0 is
// always written, and so is every level and the thumbnail after it: all of
// them come from one count. Every file is written under a temporary name
// and renamed when complete. A photo that cannot be decoded keeps no
// level 0. Failures go to log.
bool shrinkone(const path_t& path, std::vector<std::string>& levels, const std::string& name,
               unsigned long level_number, unsigned long rotation, std::ostream& log);

// Like shrink, for an existing album: makes what is missing or empty,
// turns again what has a rotation. Failures go to standard error.
bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress);
// The same with the lines of each file's failure on log.
bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& log);
// The same, with each file that gets no level in failed (when given).
bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& log, failed_files_t* failed);

// Rewrites the levels of one photo from level start on (level 0, a link or
// a lossless turn, is never re-encoded) and its thumbnail; all of them when
// size0 is written (a rotation, or a missing or stale link). Without a
// rotation the levels follow size0 as it stands, turned earlier or not.
bool shrinkoneupdate(std::vector<std::string>& levels, const path_t& path, const std::string& name,
                     unsigned long level_number, unsigned long start, unsigned long rotation);

// Encodes image at quality g_global.jpeg_compress, baseline, with markers
// after the encoder's own JFIF segment, and writes it to file.
bool savejpeg(const std::string& file, libgr::image2d_t& image,
              std::list<libgr::jpeginfo_t::marker_t>& markers);

// Turns from losslessly by count quarter turns to the right into to (from
// and to may be the same path; a link at to is replaced, not written
// through). to is untouched when the turn fails.
bool rotatejpeg(const std::string& from, const std::string& to, unsigned long count);

// Level number of a photo file; 0 (with a message) when it cannot be read.
unsigned long getshrinklevel(const std::string& file);
// The same for path.make("original", name).
unsigned long getshrinklevel(const path_t& path, const std::string& name);

// The level number of a width x height picture.
unsigned long shrinklevel_of(unsigned long width, unsigned long height);

}  // namespace tavolin

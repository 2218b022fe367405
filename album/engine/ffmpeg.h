#pragma once
// Movies and sound files through the external program ffmpeg, run through
// the shell: conversion into MP4 levels, a thumbnail picture of the first
// frame, and the frame size, duration and stream text read from the
// diagnostic output of "ffmpeg -i".

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "album/engine/album.h"
#include "image/geometry.h"

namespace tavolin {

// A size 0 by 0 means the movie keeps its own size.

// Converts from into to, scaled to size unless it is 0 by 0. True at once
// when to is up to date (not older than from, not empty); otherwise true
// when ffmpeg succeeded. ffmpeg writes a temporary file beside to, which
// replaces to only when complete and is removed when ffmpeg fails. A from
// that is not a regular file (a FIFO, device or socket) is refused with a
// line on standard error: ffmpeg is never started on one, here or below
// (the identifications below then tell nothing).
bool ffconvertone(const std::string& from, const std::string& to,
                  const libgr::direction2ul_t& size);

// Writes the first frame of movie as the JPEG picture jpeg, scaled to size
// unless it is 0 by 0. True at once when jpeg is up to date; written like
// ffconvertone's output.
bool ffsavethumbnail(const std::string& movie, const std::string& jpeg,
                     const libgr::direction2ul_t& size);

// Makes the movie levels dirs[1] .. dirs[level + 1] of file (the MP4 name
// of level 0) from dirs[0], each with its thumbnail picture; size is the
// frame size of level 0 and every level has even dimensions.
bool ffshrinkone(const path_t& path, const std::vector<std::string>& dirs, const std::string& file,
                 unsigned long level, const libgr::direction2ul_t& size);

// The movie levels of the camera movie name in "original", in steps, so
// that several movies can be converted side by side. Each step needs the
// one before it and runs one encode: the first identifies the movie and
// makes level 0 at the movie's own size, in "movie0"; step i makes level i
// from level i - 1 (halved, even sides, as ffshrinkone) while the
// thumbnail picture of level i - 1 is made on a thread beside it (and a
// level the album pages will ask the size of is identified); level i
// is kept only when that picture was made, as when one followed the
// other. A last step makes the last level's picture. out takes the echoed
// conversions and identifications, err the failure lines; the pictures'
// echoes and lines go straight to standard error, but level 0's failure
// line to log.
class movie_levels_t {
 public:
  movie_levels_t(const path_t& path, const std::string& name);
  // False when the step failed; no step follows a failed one.
  bool step(std::ostream& log, std::ostream& out, std::ostream& err);
  // Steps made.
  unsigned long made() const { return m_made; }
  // Whether every level is made (the count is known after the first step).
  bool finished() const;
  // After a failed step: why, for the user (the text after the camera
  // movie's name; "" when nothing says).
  const std::string& why() const { return m_why; }

 private:
  bool first_level(std::ostream& out, std::ostream& err);
  bool level_beside_picture(unsigned long i, std::ostream& log, std::ostream& out,
                            std::ostream& err);

  path_t m_path;
  std::string m_name, m_movie;
  std::vector<std::string> m_dirs;
  libgr::direction2ul_t m_size;  // of the level made last
  unsigned long m_level = 0;
  unsigned long m_made = 0;
  std::string m_why;
};

// Frame size as shown (0 by 0 when unknown; width and height swapped for a
// movie whose display rotation is a quarter turn, as phones store portrait
// movies), duration (e.g. "00:00:02.00") and stream text (e.g. " 25 fps")
// of a movie. Reports nothing. Like mpidentify, it starts ffmpeg only for
// a file not identified before or changed since (see ffidentity.h); only
// then is the command line echoed.
void ffidentify(const std::string& file, libgr::direction2ul_t& size, std::string& duration,
                std::string& stream);

// Duration and stream description (e.g. "mp3, 44100 Hz, stereo, 128 kb/s")
// of a sound file. Reports nothing.
void mpidentify(const std::string& file, std::string& duration, std::string& stream);

// ffidentify of path.make(subdir, file), the results handed back; returns
// the number of halvings until the frame fits g_global.shrink_size (0 for
// an unidentified movie).
unsigned long getffshrinklevel(const path_t& path, const std::string& subdir,
                               const std::string& file, libgr::direction2ul_t& size,
                               std::string& duration, std::string& stream);

// "movie0" .. "movie" + (level + 1).
std::vector<std::string> movie_level_dirs(unsigned long level);
// Whether every level of camera movie name, with level count level, and
// the picture of each stand in the album, none empty. The pages link a
// movie's levels only then; a movie that could not be converted is
// listed by its camera file, as a photo that cannot be read is.
bool movie_is_made(const path_t& path, const std::string& name, unsigned long level);
// name with its extension replaced by ext (".mp4" for the converted movie,
// ".jpg" for its thumbnail picture).
std::string replace_extension(const std::string& name, const char* ext);
// width "x" height in decimal.
std::string size_text(const libgr::direction2ul_t& size);

// The command lines, every file name quoted by shell_quote().
std::string ffconvert_command(const std::string& from, const std::string& to,
                              const libgr::direction2ul_t& size);
std::string ffthumbnail_command(const std::string& movie, const std::string& jpeg,
                                const libgr::direction2ul_t& size);
std::string ffidentify_command(const std::string& file);

// The readers of "ffmpeg -i" output, kept apart from the pipe so that
// canned output can be fed to them (e.g. through fmemopen).
//
// Reads in (pieces of at most 4094 characters) up to the first line that
// holds "Stream" with kind ("Video" or "Audio") after it; duration_line is
// the last line before it that holds "Duration". False when the output
// ends first.
bool ffscan_output(std::FILE* in, const char* kind, std::string& duration_line,
                   std::string& stream_line);
// The duration of a "Duration" line: the first blank-separated piece that
// ends in ",", without the comma; "" when there is none.
std::string ffparse_duration(const std::string& duration_line);
// Frame size and stream text of a video "Stream" line; commas inside
// parentheses do not count. A line without the fields leaves size 0 by 0
// and stream "".
void ffparse_video(const std::string& video_line, libgr::direction2ul_t& size, std::string& stream);
// The stream description of an audio "Stream" line; "" without "Audio:".
std::string ffparse_audio(const std::string& audio_line);
// Reads the lines that follow a video "Stream" line, up to the next
// "Stream" line, for the stream's display rotation ("displaymatrix:
// rotation of -90.00 degrees", or an older "rotate : 90" entry); the rest
// of the output is read too. True when it is a quarter turn either way.
bool ffscan_quarter_turn(std::FILE* in);
// The rotation in degrees of one such line; false when it holds none.
bool ffparse_rotation(const std::string& line, double& degrees);

}  // namespace tavolin

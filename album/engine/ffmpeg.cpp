#include "album/engine/ffmpeg.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <iostream>
#include <sstream>
#include <thread>
#include <utility>

#include "album/engine/failed_files.h"
#include "album/engine/ffidentity.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/linestream.h"
#include "album/engine/safefile.h"
#include "album/engine/shell.h"
#include "album/engine/util.h"
#include "image/halvings.h"
#include "utility/failure.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

const char* const default_encoder = "-c:v libx264 -crf 23";

bool is_zero(const libgr::direction2ul_t& size) { return size.x == 0 && size.y == 0; }

// The command line as one line in one write: the movie threads' lines on
// the same stream (line_stream_t) never land inside it.
void echo_line(const std::string& command, std::ostream& echo) {
  echo << command + "\n" << std::flush;
}

// Why a run of ffmpeg left nothing: ffmpeg's own words, or the system's
// when its output could not be put in place.
struct ffmpeg_failure_t {
  bool by_ffmpeg = false;
  std::string words;
};

// Runs an ffmpeg command line in the foreground after echoing it; when it
// fails, its last meaningful line of error output lands in failure.
bool run_echoed(const std::string& command, std::ostream& echo, ffmpeg_failure_t& failure) {
  echo_line(command, echo);
  std::string errors;
  if (run_keeping_errors(command, errors)) return true;
  failure.by_ffmpeg = true;
  failure.words = last_meaningful_line(errors);
  if (failure.words.empty()) failure.words = "ffmpeg ended with an error";
  return false;
}

std::string setting_shown(const std::string& value) { return value.empty() ? "empty" : value; }

// The reasons for the user, after the camera movie's name: what failed,
// and for a conversion the settings it took, which the user can change.
std::string not_converted(const ffmpeg_failure_t& failure) {
  if (!failure.by_ffmpeg)
    return "the converted movie could not be written: " + as_sentence(failure.words);
  return "the movie was not converted: " + as_sentence(failure.words) +
         " The conversion used the settings \"Hardware acceleration\" (" +
         setting_shown(g_global.hwaccel) + ") and \"ffmpeg options\" (" +
         setting_shown(g_global.ffmpeg) + "), which the option dialog changes.";
}

std::string not_pictured(const ffmpeg_failure_t& failure) {
  return "no picture of the movie was made: " + as_sentence(failure.words);
}

// Runs "ffmpeg -i" on file, echoed on echo, and scans its output for
// kind's stream line (and a video stream's display rotation); a file
// identified before and unchanged since is told again without a run.
bool identify_lines(const std::string& file, const char* kind, ffidentity_t& identity,
                    std::ostream& echo) {
  // ffmpeg would wait for good on a FIFO: nothing is told, as for a file
  // ffmpeg cannot read.
  if (is_not_regular(file)) return false;
  file_stamp_t stamp;
  const bool stamped = stamp_file(file, stamp);
  if (stamped && recall_identity(file, kind, stamp, identity)) return true;
  const std::string command = ffidentify_command(file);
  echo_line(command, echo);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  bool found = ffscan_output(pipe, kind, identity.duration_line, identity.stream_line);
  if (found && std::strcmp(kind, "Video") == 0) identity.quarter_turn = ffscan_quarter_turn(pipe);
  // Read the rest so that ffmpeg never dies of a broken pipe mid-write.
  char rest[4096];
  while (std::fgets(rest, sizeof rest, pipe)) {
  }
  // Only what was found is kept: a file ffmpeg could not tell of (or an
  // ffmpeg not there yet) is asked again.
  if (pclose(pipe) != -1 && found && stamped) remember_identity(file, kind, stamp, identity);
  return found;
}

// ffmpeg would wait for good on a FIFO (or a device): it is started only on
// a regular file, or on a name that is not there, which it reports itself.
// Why, for the user, to why when given.
bool refuse_input(const std::string& file, std::ostream& err, std::string* why) {
  if (!is_not_regular(file)) return false;
  const std::string reason = why_unreadable(file, 0);
  if (why) *why = reason;
  libutils::fail_to(err, file, ": ", reason);
  return true;
}

// Runs an ffmpeg command line that writes target under a temporary name
// beside it (make_command builds the line for that name); the complete
// output then replaces target, unless keep, asked after the run, says no. A
// failed or unkept output is removed. Failure lines go to err, and why
// the output is not there to failure (nothing when keep said no).
template <class MakeCommand>
bool run_into(const std::string& target, std::ostream& echo, std::ostream& err,
              ffmpeg_failure_t& failure, MakeCommand make_command,
              const std::function<bool()>& keep = nullptr) {
  const std::string temp = make_temp_beside(target, nullptr, true);
  if (temp.empty()) {
    failure.words = std::strerror(errno);
    return libutils::fail_to(err, target, ": ", failure.words);
  }
  if (!run_echoed(make_command(temp), echo, failure) || (keep && !keep())) {
    unlink(temp.c_str());
    return false;
  }
  if (!replace_with(temp, target)) {
    failure.words = std::strerror(errno);
    return libutils::fail_to(err, target, ": ", failure.words);
  }
  return true;
}

// ffconvertone with its echo on out, its failure lines on err and the
// reason for the user in why (when given); keep as in run_into.
bool convert_to(const std::string& from, const std::string& to, const libgr::direction2ul_t& size,
                std::ostream& out, std::ostream& err, std::string* why,
                const std::function<bool()>& keep = nullptr) {
  if (!is_stale(from, to)) return true;
  if (refuse_input(from, err, why)) return false;
  ffmpeg_failure_t failure;
  if (run_into(
          to, out, err, failure,
          [&](const std::string& temp) { return ffconvert_command(from, temp, size); }, keep))
    return true;
  if (why && !failure.words.empty()) *why = not_converted(failure);
  return false;
}

// ffsavethumbnail with its echo and failure lines on err and the reason
// for the user in why (when given).
bool thumbnail_to(const std::string& movie, const std::string& jpeg,
                  const libgr::direction2ul_t& size, std::ostream& err, std::string* why) {
  if (!is_stale(movie, jpeg)) return true;
  if (refuse_input(movie, err, why)) return false;
  ffmpeg_failure_t failure;
  if (run_into(jpeg, err, err, failure,
               [&](const std::string& temp) { return ffthumbnail_command(movie, temp, size); }))
    return true;
  if (why) *why = not_pictured(failure);
  return false;
}

// The size of the level after one of size: halved, each side even, as
// encoders want.
libgr::direction2ul_t halved_even(libgr::direction2ul_t size) {
  size.x /= 2;
  size.y /= 2;
  size.x -= size.x % 2;
  size.y -= size.y % 2;
  return size;
}

// Movie level i of file, at size, from level i - 1; why and keep as in
// convert_to.
bool level_movie(const path_t& path, const std::vector<std::string>& dirs, const std::string& file,
                 unsigned long i, const libgr::direction2ul_t& size, std::ostream& out,
                 std::ostream& err, std::string* why, const std::function<bool()>& keep = nullptr) {
  return convert_to(file_in(path, dirs[i - 1], file), file_in(path, dirs[i], file), size, out, err,
                    why, keep);
}

// The thumbnail picture of movie level i of file; its failure line goes
// to fail_out, why as in thumbnail_to.
bool level_picture(const path_t& path, const std::vector<std::string>& dirs,
                   const std::string& file, unsigned long i, std::ostream& fail_out,
                   std::ostream& err, std::string* why) {
  const std::string movie = file_in(path, dirs[i], file);
  if (thumbnail_to(movie, file_in(path, dirs[i], replace_extension(file, ".jpg")),
                   libgr::datum2ul(), err, why))
    return true;
  return libutils::fail_to(fail_out, movie, ": movie thumbnail save failed.");
}

// ffidentify with its command line echoed on echo.
void identify_movie(const std::string& file, libgr::direction2ul_t& size, std::string& duration,
                    std::string& stream, std::ostream& echo) {
  size = libgr::datum2ul();
  duration.clear();
  stream.clear();
  ffidentity_t identity;
  if (!identify_lines(file, "Video", identity, echo)) return;
  duration = ffparse_duration(identity.duration_line);
  ffparse_video(identity.stream_line, size, stream);
  // ffmpeg turns the picture upright before it scales: sizes are given as
  // shown.
  if (identity.quarter_turn) std::swap(size.x, size.y);
}

// The number of halvings until size fits g_global.shrink_size.
unsigned long level_count(const libgr::direction2ul_t& size) {
  return libgr::halvings_to_fit(size.x, size.y, g_global.shrink_size.x, g_global.shrink_size.y);
}

}  // namespace

std::string size_text(const libgr::direction2ul_t& size) {
  return std::to_string(size.x) + "x" + std::to_string(size.y);
}

std::string replace_extension(const std::string& name, const char* ext) {
  libutils::splitpath_t parts;
  libutils::split(parts, name.c_str());
  std::strncpy(parts.ext, ext, sizeof parts.ext - 1);
  parts.ext[sizeof parts.ext - 1] = '\0';
  return libutils::concat(parts);
}

std::vector<std::string> movie_level_dirs(unsigned long level) {
  std::vector<std::string> dirs;
  for (unsigned long i = 0; i <= level + 1; ++i) dirs.push_back(movie_dir(i));
  return dirs;
}

bool movie_is_made(const path_t& path, const std::string& name, unsigned long level) {
  const std::string movie = replace_extension(name, ".mp4");
  const std::string picture = replace_extension(name, ".jpg");
  for (const std::string& dir : movie_level_dirs(level)) {
    if (is_missing_or_empty(file_in(path, dir, movie)) ||
        is_missing_or_empty(file_in(path, dir, picture)))
      return false;
  }
  return true;
}

std::string ffconvert_command(const std::string& from, const std::string& to,
                              const libgr::direction2ul_t& size) {
  const std::string encoder = g_global.ffmpeg.empty() ? default_encoder : g_global.ffmpeg;
  std::string command = "ffmpeg -y " + g_global.hwaccel;
  if (!is_zero(size)) command += " -resize " + size_text(size);
  command += " -i " + shell_quote(from);
  if (!is_zero(size)) command += " -s " + size_text(size) + " " + encoder;
  command += " " + shell_quote(to);
  return command;
}

std::string ffthumbnail_command(const std::string& movie, const std::string& jpeg,
                                const libgr::direction2ul_t& size) {
  std::string command =
      "ffmpeg -y -i " + shell_quote(movie) + " -f image2 -update true -frames:v 1 ";
  if (!is_zero(size)) command += "-s " + size_text(size) + " ";
  command += shell_quote(jpeg);
  return command;
}

std::string ffidentify_command(const std::string& file) {
  return "ffmpeg -i " + shell_quote(file) + " 2>&1";
}

bool ffconvertone(const std::string& from, const std::string& to,
                  const libgr::direction2ul_t& size) {
  return convert_to(from, to, size, std::cout, std::cerr, nullptr);
}

bool ffsavethumbnail(const std::string& movie, const std::string& jpeg,
                     const libgr::direction2ul_t& size) {
  return thumbnail_to(movie, jpeg, size, std::cerr, nullptr);
}

bool ffshrinkone(const path_t& path, const std::vector<std::string>& dirs, const std::string& file,
                 unsigned long level, const libgr::direction2ul_t& size) {
  if (dirs.size() < level + 2) {
    return libutils::fail(file, ": ffshrinkone() too few level directories.");
  }
  libgr::direction2ul_t current = size;
  for (unsigned long i = 1; i <= level + 1; ++i) {
    current = halved_even(current);
    if (!level_movie(path, dirs, file, i, current, std::cout, std::cerr, nullptr) ||
        !level_picture(path, dirs, file, i, std::cerr, std::cerr, nullptr))
      return false;
  }
  return true;
}

void ffidentify(const std::string& file, libgr::direction2ul_t& size, std::string& duration,
                std::string& stream) {
  identify_movie(file, size, duration, stream, std::cout);
}

void mpidentify(const std::string& file, std::string& duration, std::string& stream) {
  duration.clear();
  stream.clear();
  ffidentity_t identity;
  if (!identify_lines(file, "Audio", identity, std::cout)) return;
  duration = ffparse_duration(identity.duration_line);
  stream = ffparse_audio(identity.stream_line);
}

unsigned long getffshrinklevel(const path_t& path, const std::string& subdir,
                               const std::string& file, libgr::direction2ul_t& size,
                               std::string& duration, std::string& stream) {
  std::string movie;
  path.make(movie, subdir, file);
  ffidentify(movie, size, duration, stream);
  return level_count(size);
}

movie_levels_t::movie_levels_t(const path_t& path, const std::string& name)
    : m_path(path), m_name(name), m_movie(replace_extension(name, ".mp4")) {}

bool movie_levels_t::step(std::ostream& log, std::ostream& out, std::ostream& err) {
  const unsigned long i = m_made++;
  if (i == 0) return first_level(out, err);
  if (i == m_level + 2) return level_picture(m_path, m_dirs, m_movie, i - 1, err, err, &m_why);
  m_size = halved_even(m_size);
  return level_beside_picture(i, log, out, err);
}

bool movie_levels_t::first_level(std::ostream& out, std::ostream& err) {
  std::string duration, stream;
  identify_movie(file_in(m_path, original_dir, m_name), m_size, duration, stream, out);
  m_level = level_count(m_size);
  m_dirs = movie_level_dirs(m_level);
  make_level_dirs(m_path, m_dirs);
  return convert_to(file_in(m_path, original_dir, m_name), file_in(m_path, movie_dir(0), m_movie),
                    m_size, out, err, &m_why);
}

bool movie_levels_t::level_beside_picture(unsigned long i, std::ostream& log, std::ostream& out,
                                          std::ostream& err) {
  std::ostringstream picture_log;
  std::string picture_why;
  bool pictured = false;
  const auto picture = [&] {
    line_stream_t picture_err(stderr);
    std::ostream& fail_out = i == 1 ? static_cast<std::ostream&>(picture_log) : picture_err;
    pictured = level_picture(m_path, m_dirs, m_movie, i - 1, fail_out, picture_err, &picture_why);
    // The album pages tell the levels below m_level by their identification,
    // one after another once all movies are made: told here, beside the
    // encode, the pages find them known.
    if (pictured && i - 1 < m_level) {
      line_stream_t echo(stdout);
      libgr::direction2ul_t size;
      std::string duration, stream;
      identify_movie(file_in(m_path, m_dirs[i - 1], m_movie), size, duration, stream, echo);
    }
  };
  std::thread beside;
  try {
    beside = std::thread(picture);
  } catch (const std::exception&) {
    picture();  // one after the other
  }
  const auto picture_made = [&] {
    if (beside.joinable()) beside.join();
    return pictured;
  };
  const bool made = (beside.joinable() || pictured) &&
                    level_movie(m_path, m_dirs, m_movie, i, m_size, out, err, &m_why, picture_made);
  const bool ok = picture_made() && made;
  if (!pictured && !picture_why.empty()) m_why = picture_why;
  log << picture_log.str();
  return ok;
}

bool movie_levels_t::finished() const { return m_made != 0 && m_made > m_level + 2; }

}  // namespace tavolin

// The readers of "ffmpeg -i" output: the duration and stream lines, the
// frame size, rate and display rotation of a video stream, and the
// description of a sound stream.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>

#include "album/engine/ffmpeg.h"
#include "utility/strutil.h"

namespace tavolin {

namespace {

bool contains_after(const std::string& line, const char* first, const char* second) {
  std::string::size_type pos = line.find(first);
  if (pos == std::string::npos) return false;
  return line.find(second, pos + std::strlen(first)) != std::string::npos;
}

std::list<std::string> tokens(const std::string& text, const char* delimiters) {
  std::list<std::string> out;
  libutils::separate_token(out, text, delimiters);
  return out;
}

bool has_comma(const std::string& s) { return s.find(',') != std::string::npos; }

}  // namespace

bool ffscan_output(std::FILE* in, const char* kind, std::string& duration_line,
                   std::string& stream_line) {
  // fgets with 4095 bytes takes at most 4094 characters: a longer line
  // arrives in pieces, each looked at on its own.
  char buffer[4095];
  while (std::fgets(buffer, sizeof buffer, in)) {
    std::string line(buffer);
    if (line.find("Duration") != std::string::npos) duration_line = line;
    if (contains_after(line, "Stream", kind)) {
      stream_line = line;
      return true;
    }
  }
  return false;
}

bool ffscan_quarter_turn(std::FILE* in) {
  bool quarter = false;
  char buffer[4095];
  while (std::fgets(buffer, sizeof buffer, in)) {
    const std::string line(buffer);
    if (line.find("Stream") != std::string::npos) break;
    double degrees = 0;
    if (ffparse_rotation(line, degrees)) {
      const long turn = std::lround(std::fabs(degrees)) % 180;
      quarter = turn == 90;
    }
  }
  return quarter;
}

bool ffparse_rotation(const std::string& line, double& degrees) {
  std::string::size_type at = line.find("rotation of ");
  std::string::size_type value = std::string::npos;
  if (at != std::string::npos) {
    value = at + std::strlen("rotation of ");
  } else {
    // "    rotate          : 90" among the stream's metadata.
    at = line.find_first_not_of(' ');
    if (at == std::string::npos || line.compare(at, 6, "rotate") != 0) return false;
    const std::string::size_type colon = line.find(':', at + 6);
    if (colon == std::string::npos || line.find_first_not_of(' ', at + 6) != colon) return false;
    value = colon + 1;
  }
  const char* start = line.c_str() + value;
  char* end = nullptr;
  const double parsed = std::strtod(start, &end);
  if (end == start || !std::isfinite(parsed)) return false;
  degrees = parsed;
  return true;
}

std::string ffparse_duration(const std::string& duration_line) {
  for (const std::string& piece : tokens(duration_line, " ")) {
    if (!piece.empty() && piece.back() == ',') return piece.substr(0, piece.size() - 1);
  }
  return "";
}

void ffparse_video(const std::string& video_line, libgr::direction2ul_t& size,
                   std::string& stream) {
  size = libgr::datum2ul();
  stream.clear();
  std::string size_field, stream_field;
  int commas = 0;
  bool outside = true;
  for (const std::string& piece : tokens(video_line, "()")) {
    if (outside) {
      for (std::string::size_type pos = piece.find(','); pos != std::string::npos && commas < 4;
           pos = piece.find(',', pos + 1)) {
        ++commas;
        if (commas == 2) size_field = piece.substr(pos + 1);
        if (commas == 4) stream_field = piece.substr(pos + 1);
      }
    }
    outside = !outside;
    if (commas >= 4) break;
  }
  if (commas < 4) return;

  std::list<std::string> size_pieces = tokens(size_field, " ");
  if (size_pieces.size() < 2) return;
  const std::string frame = *std::next(size_pieces.begin());
  std::list<std::string> xy = tokens(frame, "x");
  if (xy.size() < 2) return;
  size.x = static_cast<uint32_t>(std::strtoul(xy.front().c_str(), nullptr, 0));
  size.y = static_cast<uint32_t>(std::strtoul(std::next(xy.begin())->c_str(), nullptr, 0));

  std::list<std::string> stream_pieces = tokens(stream_field, ",");
  if (!stream_pieces.empty()) stream = stream_pieces.front();
}

std::string ffparse_audio(const std::string& audio_line) {
  std::string line = audio_line;
  libutils::chop2(line);
  std::list<std::string> pieces = tokens(line, " ");
  auto it = pieces.begin();
  while (it != pieces.end() && it->find("Audio:") == std::string::npos) ++it;
  if (it == pieces.end()) return "";
  ++it;

  std::string stream;
  auto next = [&](std::string& piece) {
    if (it == pieces.end()) return false;
    piece = *it++;
    return true;
  };
  std::string piece;
  // The codec; parenthesised details after it are dropped up to their comma.
  if (!next(stream)) return stream;
  if (!has_comma(stream)) {
    while (next(piece) && !has_comma(piece)) {
    }
    stream += ",";
  }
  // The sample rate and its unit.
  for (int i = 0; i < 2; ++i) {
    if (!next(piece)) return stream;
    stream += " " + piece;
  }
  // The channel layout, up to its comma.
  while (next(piece)) {
    stream += " " + piece;
    if (has_comma(piece)) break;
  }
  // The sample format is left out.
  if (!next(piece)) return stream;
  // The bit rate and its unit.
  for (int i = 0; i < 2; ++i) {
    if (!next(piece)) return stream;
    stream += " " + piece;
  }
  return stream;
}

}  // namespace tavolin

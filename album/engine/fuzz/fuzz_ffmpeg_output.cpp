// Arbitrary text as the output of "ffmpeg -i", through the scanner as the
// pipe delivers it and through the line parsers, on the lines the scanner
// picks and on the whole text as one line.
#include <cstdio>
#include <string>

#include "album/engine/ffmpeg.h"
#include "utility/testsupport/fuzz.h"

namespace {

void parse_lines(const std::string& duration_line, const std::string& stream_line) {
  tavolin::ffparse_duration(duration_line);
  libgr::direction2ul_t size;
  std::string stream;
  tavolin::ffparse_video(stream_line, size, stream);
  tavolin::ffparse_audio(stream_line);
  double degrees = 0;
  tavolin::ffparse_rotation(stream_line, degrees);
}

void scan(std::string& text, const char* kind) {
  // fmemopen refuses an empty buffer; there is nothing to scan then.
  std::FILE* in = fmemopen(&text[0], text.size(), "r");
  if (!in) return;
  std::string duration_line, stream_line;
  if (tavolin::ffscan_output(in, kind, duration_line, stream_line)) {
    parse_lines(duration_line, stream_line);
    tavolin::ffscan_quarter_turn(in);
  }
  std::fclose(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  std::string text(reinterpret_cast<const char*>(bytes), size);
  scan(text, "Video");
  scan(text, "Audio");
  parse_lines(text, text);
  return 0;
}

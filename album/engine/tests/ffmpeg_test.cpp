// Movies through ffmpeg: the readers of canned "ffmpeg -i" output, the
// command lines, and a real conversion of a short generated movie.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "album/engine/failed_files.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/shell.h"
#include "album/engine/shrink.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/photo_gen.h"
#include "album/engine/thumbnail.h"

namespace {

using libgr::direction2ul_t;

const char* const movie_output =
    "ffmpeg version 5.1 Copyright (c) 2000-2022 the FFmpeg developers\n"
    "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'clip.MOV':\n"
    "  Metadata:\n"
    "    major_brand     : qt  \n"
    "  Duration: 00:01:02.50, start: 0.000000, bitrate: 50210 kb/s\n"
    "  Stream #0:0[0x1](eng): Video: h264 (High) (avc1 / 0x31637661), "
    "yuv420p(tv, bt709, progressive), 3840x2160 [SAR 1:1 DAR 16:9], 49900 kb/s, "
    "29.97 fps, 29.97 tbr, 30k tbn (default)\n"
    "    Metadata:\n"
    "  Stream #0:1[0x2](eng): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo, "
    "fltp, 317 kb/s (default)\n"
    "At least one output file must be specified\n";

// Runs the scanner over canned output, as the pipe would deliver it.
bool scan(const std::string& text, const char* kind, std::string& duration_line,
          std::string& stream_line) {
  std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  EXPECT_NE(in, nullptr);
  if (!in) return false;
  bool found = tavolin::ffscan_output(in, kind, duration_line, stream_line);
  std::fclose(in);
  return found;
}

TEST(FfmpegOutput, VideoLineWithCommasInsideParenthesesGivesSizeAndRate) {
  std::string duration_line, video_line;
  ASSERT_TRUE(scan(movie_output, "Video", duration_line, video_line));
  EXPECT_EQ(tavolin::ffparse_duration(duration_line), "00:01:02.50");
  direction2ul_t size;
  std::string stream;
  tavolin::ffparse_video(video_line, size, stream);
  EXPECT_EQ(size.x, 3840u);
  EXPECT_EQ(size.y, 2160u);
  EXPECT_EQ(stream, " 29.97 fps");
}

TEST(FfmpegOutput, ScanTakesLastDurationBeforeTheStreamAndStopsThere) {
  const std::string text =
      "  Duration: 00:00:01.00, start: 0\n"
      "  Duration: 00:00:09.00, start: 0\n"
      "  Stream #0:0: Video: mjpeg, yuvj422p, 640x480, 30 fps, 30 tbr\n"
      "  Duration: 00:00:42.00, start: 0\n"
      "  Stream #0:1: Video: h264, yuv420p, 320x240, 10 kb/s, 25 fps\n";
  std::string duration_line, video_line;
  ASSERT_TRUE(scan(text, "Video", duration_line, video_line));
  EXPECT_EQ(tavolin::ffparse_duration(duration_line), "00:00:09.00");
  EXPECT_NE(video_line.find("640x480"), std::string::npos);

  // "Video" must come after "Stream" on the line.
  std::string d2, v2;
  EXPECT_FALSE(scan("Video: Stream\n  Stream #0:0: Audio: mp3\n", "Video", d2, v2));
}

TEST(FfmpegOutput, LongLineArrivesInPieces) {
  // The stream line's start lies in the first 4094-character piece, its
  // size far behind in the next one: the first piece is the video line.
  const std::string text = "  Stream #0:0: Video: h264" + std::string(5000, ' ') +
                           ", yuv420p, 1920x1080, 1 kb/s, 25 fps\n";
  std::string duration_line, video_line;
  ASSERT_TRUE(scan(text, "Video", duration_line, video_line));
  EXPECT_EQ(video_line.size(), 4094u);
  direction2ul_t size(7, 7);
  std::string stream;
  tavolin::ffparse_video(video_line, size, stream);
  EXPECT_EQ(size.x, 0u);
  EXPECT_EQ(size.y, 0u);
}

TEST(FfmpegOutput, ShortOrGarbledLinesLeaveSizeUnknown) {
  const char* lines[] = {
      "  Stream #0:0: Video: h264\n",
      "  Stream #0:0: Video: h264, yuv420p, 1920x1080\n",  // three commas only
      "  Stream #0:0: Video: h264, yuv420p,,,\n",          // empty fields
      "  Stream #0:0: Video: h264, yuv420p, , 1 kb/s, 25 fps\n",
      "  Stream #0:0: Video: h264, yuv420p, 1920y1080, 1 kb/s, 25 fps\n",
      "  Stream #0:0: Video: h264 (High, (x, y), z\n",  // unbalanced parentheses
      "",
  };
  for (const char* line : lines) {
    direction2ul_t size(5, 5);
    std::string stream = "old";
    tavolin::ffparse_video(line, size, stream);
    EXPECT_EQ(size.x, 0u) << line;
    EXPECT_EQ(size.y, 0u) << line;
  }
  EXPECT_EQ(tavolin::ffparse_duration("  Duration: N/A"), "");
  EXPECT_EQ(tavolin::ffparse_duration(""), "");
}

TEST(FfmpegOutput, AudioLinesListCodecRateLayoutAndBitRate) {
  EXPECT_EQ(tavolin::ffparse_audio("  Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"),
            "mp3, 44100 Hz, stereo, 128 kb/s");
  EXPECT_EQ(tavolin::ffparse_audio("  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), "
                                   "44100 Hz, mono, s16, 705 kb/s\r\n"),
            "pcm_s16le, 44100 Hz, mono, 705 kb/s");
  // A layout of two pieces and a line cut short.
  EXPECT_EQ(tavolin::ffparse_audio("Stream #0:1: Audio: ac3, 48000 Hz, 5.1 (side), fltp, 448 kb/s"),
            "ac3, 48000 Hz, 5.1 (side), 448 kb/s");
  EXPECT_EQ(tavolin::ffparse_audio("Stream #0:1: Audio: aac (LC)"), "aac,");
  EXPECT_EQ(tavolin::ffparse_audio("Stream #0:1: Audio: aac, 48000"), "aac, 48000");
  EXPECT_EQ(tavolin::ffparse_audio("Stream #0:1: Video: h264"), "");

  std::string duration_line, audio_line;
  ASSERT_TRUE(scan(movie_output, "Audio", duration_line, audio_line));
  EXPECT_EQ(tavolin::ffparse_audio(audio_line), "aac, 48000 Hz, stereo, 317 kb/s");
}

class FfmpegTest : public ::testing::Test {
 protected:
  void SetUp() override {
    enginetest::set_level_settings(1024, tavolin::g_global.jpeg_compress);
    tavolin::g_global.show_level = 1;
  }
  enginetest::settings_guard settings;
  enginetest::scratch_dir tmp;
};

TEST(FfmpegOutput, ReasonOfAFailureIsTheLastLineThatSaysSomething) {
  using tavolin::last_meaningful_line;
  // ffmpeg's reason stands last, after the stream map it could not set up.
  EXPECT_EQ(last_meaningful_line(
                "[AVHWDeviceContext @ 0x55f4b844ddc0] Cannot load libcuda.so.1\n"
                "Stream mapping:\n  Stream #0:0 -> #0:0 (h264 (native) -> h264 (h264_nvenc))\n"
                "Device setup failed for decoder on input stream #0:0 : Operation not "
                "permitted\n\n"),
            "Device setup failed for decoder on input stream #0:0 : Operation not permitted");
  EXPECT_EQ(last_meaningful_line("Unrecognized hwaccel: x.\nSupported hwaccels: cuda vaapi \n"),
            "Unrecognized hwaccel: x.");
  // A component's context and the progress (CR-ended) and summary lines
  // after the reason go.
  EXPECT_EQ(last_meaningful_line("[h264_nvenc @ 0x5601] No capable devices found\n"
                                 "frame=    0 fps=0.0 q=0.0 size=0kB\rframe=    0 fps=0.0\r"
                                 "Conversion failed!\n"),
            "No capable devices found");
  EXPECT_EQ(last_meaningful_line("sh: 1: ffmpeg: not found\n"), "sh: 1: ffmpeg: not found");
  EXPECT_EQ(last_meaningful_line(" \n\r\n"), "");
}

TEST(FfmpegOutput, ProgramRunKeepsWhatItSaidOnStandardError) {
  std::string errors;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(tavolin::run_keeping_errors("echo one >&2; echo two >&2; exit 3", errors));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "one\ntwo\n");  // still shown
  EXPECT_EQ(errors, "one\ntwo\n");
  EXPECT_TRUE(tavolin::run_keeping_errors("true", errors));
  EXPECT_EQ(errors, "");
}

TEST_F(FfmpegTest, CommandLinesQuoteNamesAndLeaveSizeOutForZero) {
  tavolin::g_global.hwaccel = "-hwaccel cuda";
  tavolin::g_global.ffmpeg = "";
  EXPECT_EQ(tavolin::ffconvert_command("a/in.MOV", "b/out.mp4", direction2ul_t(960, 540)),
            "ffmpeg -y -hwaccel cuda -resize 960x540 -i \"a/in.MOV\" -s 960x540 "
            "-c:v libx264 -crf 23 \"b/out.mp4\"");
  EXPECT_EQ(tavolin::ffconvert_command("in.avi", "out.mp4", libgr::datum2ul()),
            "ffmpeg -y -hwaccel cuda -i \"in.avi\" \"out.mp4\"");
  EXPECT_EQ(tavolin::ffthumbnail_command("m.mp4", "m.jpg", libgr::datum2ul()),
            "ffmpeg -y -i \"m.mp4\" -f image2 -update true -frames:v 1 \"m.jpg\"");
  EXPECT_EQ(tavolin::ffthumbnail_command("m.mp4", "m.jpg", direction2ul_t(32, 18)),
            "ffmpeg -y -i \"m.mp4\" -f image2 -update true -frames:v 1 -s 32x18 \"m.jpg\"");
  EXPECT_EQ(tavolin::ffidentify_command("x$y\"z.mov"), "ffmpeg -i \"x\\$y\\\"z.mov\" 2>&1");
}

TEST_F(FfmpegTest, UnreadableFileIsUnidentified) {
  REQUIRE_PROGRAM("ffmpeg");
  enginetest::write_file(tmp / "junk.mov", "not a movie");
  direction2ul_t size(1, 1);
  std::string duration = "x", stream;
  testing::internal::CaptureStdout();
  tavolin::ffidentify(tmp / "junk.mov", size, duration, stream);
  std::string mp_duration = "x", mp_stream = "y";
  tavolin::mpidentify(tmp / "junk.mov", mp_duration, mp_stream);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(size.x, 0u);
  EXPECT_EQ(size.y, 0u);
  EXPECT_EQ(duration, "");
  EXPECT_EQ(mp_duration, "");
  EXPECT_EQ(mp_stream, "");
}

TEST_F(FfmpegTest, SoundFileIsDescribed) {
  REQUIRE_PROGRAM("ffmpeg");
  ASSERT_TRUE(
      phototest::run("ffmpeg -loglevel error -y -f lavfi -i sine=duration=1 "
                     "-ac 2 -c:a libmp3lame -b:a 128k '" +
                     (tmp / "voice.mp3") + "'"));
  std::string duration, stream;
  testing::internal::CaptureStdout();
  tavolin::mpidentify(tmp / "voice.mp3", duration, stream);
  const std::string echoed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(echoed, "ffmpeg -i \"" + (tmp / "voice.mp3") + "\" 2>&1\n");
  EXPECT_EQ(duration.substr(0, 8), "00:00:01");
  EXPECT_EQ(stream, "mp3, 44100 Hz, stereo, 128 kb/s");
}

// A file told of once is not looked at again until it changes; what
// could not be told is asked again.
TEST_F(FfmpegTest, UnchangedFileIsIdentifiedOnce) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::string clip = tmp / "clip.mp4";
  const auto make = [&](const char* size) {
    return phototest::run(
        "ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=0.2:size=" + std::string(size) +
        ":rate=10 -c:v libx264 -preset ultrafast '" + clip + "'");
  };
  const auto identify = [&](const std::string& file, std::string& echoed) {
    direction2ul_t size;
    std::string duration, stream;
    testing::internal::CaptureStdout();
    tavolin::ffidentify(file, size, duration, stream);
    echoed = testing::internal::GetCapturedStdout();
    return tavolin::size_text(size) + " " + duration + stream;
  };
  ASSERT_TRUE(make("64x48"));
  std::string echoed;
  EXPECT_EQ(identify(clip, echoed), "64x48 00:00:00.20 10 fps");
  EXPECT_EQ(echoed, tavolin::ffidentify_command(clip) + "\n");
  EXPECT_EQ(identify(clip, echoed), "64x48 00:00:00.20 10 fps");
  EXPECT_EQ(echoed, "");
  // Written anew in place, at another size: told anew.
  ASSERT_TRUE(make("32x24"));
  EXPECT_EQ(identify(clip, echoed), "32x24 00:00:00.20 10 fps");
  EXPECT_NE(echoed, "");

  const std::string junk = tmp / "junk.mov";
  enginetest::write_file(junk, "not a movie");
  EXPECT_EQ(identify(junk, echoed), "0x0 ");
  EXPECT_EQ(identify(junk, echoed), "0x0 ");
  EXPECT_NE(echoed, "");
}

TEST_F(FfmpegTest, MovieLevelsAreHalvedEvenAndNotRedone) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::string album = tmp / "root/album";
  enginetest::make_dirs(album + "/original");
  ASSERT_TRUE(phototest::run(
      "ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=2:size=1920x1080:rate=25 "
      "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" +
      album + "/original/clip.MOV'"));
  const tavolin::path_t path("", tmp / "root", "album");

  direction2ul_t size;
  std::string duration, stream;
  testing::internal::CaptureStdout();
  EXPECT_EQ(tavolin::getffshrinklevel(path, "original", "clip.MOV", size, duration, stream), 1u);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(tavolin::size_text(size), "1920x1080");
  EXPECT_EQ(duration, "00:00:02.00");
  EXPECT_EQ(stream, " 25 fps");

  std::vector<double> values;
  sigc::signal<void, double> progress;
  progress.connect([&](double v) { values.push_back(v); });
  std::ostringstream log;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  bool made = tavolin::shrink(path, {{"clip.MOV", 0}}, progress, log);
  const std::string errors = testing::internal::GetCapturedStderr();
  const std::string commands = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(made) << log.str() << commands;
  EXPECT_EQ(values, std::vector<double>{1.0});
  // Conversions are echoed on standard output, thumbnails on standard error;
  // ffmpeg writes a temporary file beside the level, renamed when complete.
  EXPECT_NE(commands.find("ffmpeg -y  -resize 960x540 -i \"" + album +
                          "/movie0/clip.mp4\" -s "
                          "960x540 -c:v libx264 -preset ultrafast -crf 23 \"" +
                          album + "/movie1/."),
            std::string::npos)
      << commands;
  const std::string thumbnail_command = "ffmpeg -y -i \"" + album +
                                        "/movie1/clip.mp4\" -f image2 -update true -frames:v 1 \"" +
                                        album + "/movie1/.";
  EXPECT_NE(errors.find(thumbnail_command), std::string::npos) << errors;
  EXPECT_EQ(commands.find("-f image2"), std::string::npos) << commands;

  const char* expected[] = {"1920x1080", "960x540", "480x270"};
  for (int i = 0; i < 3; ++i) {
    const std::string dir = album + "/movie" + std::to_string(i);
    direction2ul_t level;
    testing::internal::CaptureStdout();
    tavolin::ffidentify(dir + "/clip.mp4", level, duration, stream);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(tavolin::size_text(level), expected[i]) << dir;
    EXPECT_EQ(phototest::frame(dir + "/clip.jpg"), expected[i]) << dir;
  }

  // The button shows the smallest level's picture, with duration and rate.
  libgr::image2d_t picture;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(tavolin::load_scaled_ffthumbnail(picture, path, "clip.MOV", 1, duration, stream));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(picture.width, 480u);
  EXPECT_EQ(duration, "00:00:02.00");
  // show_level 0 names "thumb", which holds no movie pictures.
  tavolin::g_global.show_level = 0;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(tavolin::load_scaled_ffthumbnail(picture, path, "clip.MOV", 1, duration, stream));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(picture.width, 480u);
  tavolin::g_global.show_level = 2;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(tavolin::load_scaled_ffthumbnail(picture, path, "clip.MOV", 1, duration, stream));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(picture.width, 960u);

  // A second run finds every target up to date and converts nothing.
  const struct timespec before = phototest::mtime_of(album + "/movie2/clip.mp4");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  made = tavolin::shrink(path, {{"clip.MOV", 0}}, progress, log);
  const std::string thumbs = testing::internal::GetCapturedStderr();
  const std::string again = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(made);
  EXPECT_EQ(again.find("ffmpeg -y "), std::string::npos) << again;
  EXPECT_EQ(thumbs.find("ffmpeg -y "), std::string::npos) << thumbs;
  EXPECT_TRUE(phototest::same_time(before, phototest::mtime_of(album + "/movie2/clip.mp4")));
}

TEST_F(FfmpegTest, OddHalvedSideBecomesEven) {
  REQUIRE_PROGRAM("ffmpeg");
  const std::string album = tmp / "album";
  enginetest::make_dirs(album + "/movie0");
  enginetest::make_dirs(album + "/movie1");
  ASSERT_TRUE(phototest::run(
      "ffmpeg -loglevel error -y -f lavfi -i testsrc=duration=0.2:size=324x270:rate=10 "
      "-c:v libx264 -preset ultrafast -pix_fmt yuv420p '" +
      album + "/movie0/m.mp4'"));
  const tavolin::path_t path(tmp.path(), "", "album");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  bool made = tavolin::ffshrinkone(path, tavolin::movie_level_dirs(0), "m.mp4", 0,
                                   direction2ul_t(324, 270));
  testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
  ASSERT_TRUE(made);
  EXPECT_EQ(phototest::frame(album + "/movie1/m.jpg"), "162x134");
}

}  // namespace

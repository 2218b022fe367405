#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "album/engine/exif.h"
#include "album/engine/tests/enginetest.h"
#include "album/engine/tests/page_fixture.h"
#include "album/engine/tests/photo_gen.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/message.h"

using namespace tavolin;
using tiff_header_t = libgr::app1_marker_t::tiff_header_t;
using libgr::ExifType::rational_t;
using libgr::ExifType::srational_t;

namespace {

std::string summary(const tiff_header_t& e, bool html = false) {
  std::ostringstream out;
  writeexif(out, e, html);
  return out.str();
}

// The summary as lines, without their line feeds.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The exposure line (the first line beginning with the exposure items) of
// a record without capture and camera lines.
std::string exposure_line(const tiff_header_t& e) { return lines_of(summary(e)).at(0); }

TEST(ExifSummary, RecordWithoutUsedTagsGivesThreePrefixLines) {
  tiff_header_t e;
  EXPECT_EQ(summary(e, true), "\t<br>\n\t<br>\n\t<br>\n");
  EXPECT_EQ(summary(e, false), "\n\n\n");
}

TEST(ExifSummary, CaptureCameraAndLensLines) {
  tiff_header_t e;
  e.tag_exif.date_time_original = std::string("2024:05:06 07:08:09\0", 20);
  e.tag_0th.make = std::string("Acme \0\0", 7);
  e.tag_0th.model = std::string("Model <b>\0", 10);
  e.tag_exif.lens_model = "Zoom 12-40mm ";
  EXPECT_EQ(summary(e, true),
            "\t2024:05:06 07:08:09\n\t<br>Acme, Model &lt;b&gt;\n\t<br>Zoom 12-40mm\n"
            "\t<br>\n\t<br>\n\t<br>\n");
  EXPECT_EQ(lines_of(summary(e, false)).at(1), "Acme, Model <b>");

  // Without a capture line the camera line has no "<br>"; without a model
  // neither camera nor lens is written.
  e.tag_exif.date_time_original.clear();
  EXPECT_EQ(lines_of(summary(e, true)).at(0), "\tAcme, Model &lt;b&gt;");
  e.tag_0th.model.clear();
  EXPECT_EQ(summary(e, true), "\t<br>\n\t<br>\n\t<br>\n");
}

TEST(ExifSummary, ExposureTimeForms) {
  tiff_header_t e;
  e.tag_exif.exposure_time = {rational_t{10, 1250}};
  EXPECT_EQ(exposure_line(e), ", 1/125sec");
  e.tag_exif.exposure_time = {rational_t{4, 1}};
  EXPECT_EQ(exposure_line(e), ", 4sec");
  e.tag_exif.exposure_time = {rational_t{3, 10}};
  EXPECT_EQ(exposure_line(e), ", 0.3sec");
  // After the f-number the stream writes fixed notation.
  e.tag_exif.f_number = {rational_t{28, 10}};
  EXPECT_EQ(exposure_line(e), ", f/2.8, 0.30sec");
  // 0/0 has no divisor: nothing. n/0 reduces to 1/0. An f-number over 0
  // shows no number but still leaves fixed notation behind.
  e.tag_exif.f_number = {rational_t{28, 0}};
  e.tag_exif.exposure_time = {rational_t{0, 0}};
  EXPECT_EQ(exposure_line(e), "");
  e.tag_exif.exposure_time = {rational_t{5, 0}};
  EXPECT_EQ(exposure_line(e), ", 1/0sec");
  e.tag_exif.exposure_time = {rational_t{3, 10}};
  EXPECT_EQ(exposure_line(e), ", 0.30sec");
}

TEST(ExifSummary, FixedNotationCarriesOverToTheNextPhotoOnTheStream) {
  tiff_header_t first, second;
  first.tag_exif.f_number = {rational_t{56, 10}};
  second.tag_exif.focal_length = {rational_t{46, 10}};
  second.tag_exif.focal_length_in_35mm_film = {92};
  EXPECT_EQ(exposure_line(second), ", f=4.6mm(92mm)");
  std::ostringstream page;
  writeexif(page, first, true);
  writeexif(page, second, true);
  EXPECT_NE(page.str().find("\t<br>, f/5.6\n"), std::string::npos);
  EXPECT_NE(page.str().find("\t<br>, f=5mm(92mm)\n"), std::string::npos) << page.str();
}

TEST(ExifSummary, ExposureBiasIsReduced) {
  const struct {
    srational_t bias;
    const char* text;
  } cases[] = {
      {{2, 6}, ", +1/3 EV"},
      {{-4, 2}, ", -2 EV"},
      {{0, 3}, ""},
      {{0, 0}, ""},
      {{5, 0}, ", +1/0 EV"},
      {{-5, 0}, ", -1/0 EV"},
      {{1, -3}, ", -1/3 EV"},
      {{-2, -4}, ", +1/2 EV"},
      {{INT_MIN, 2}, ", -1073741824 EV"},
      {{INT_MIN, INT_MIN}, ", +1 EV"},
  };
  for (const auto& c : cases) {
    tiff_header_t e;
    e.tag_exif.exposure_bias_value = {c.bias};
    EXPECT_EQ(exposure_line(e), c.text) << c.bias.numerator << "/" << c.bias.denominator;
  }
}

TEST(ExifSummary, ProgramIsoAndMetering) {
  pagetest::load_catalog();
  initexif(nullptr, nullptr);
  tiff_header_t e;
  e.tag_exif.exposure_program = {9};
  e.tag_exif.iso_speed_ratings = {65535};
  e.tag_exif.metering_mode = {255};
  EXPECT_EQ(exposure_line(e), "U, iso65535, [Unk]");
  e.tag_exif.exposure_program = {3};
  e.tag_exif.standard_output_sensitivity = {12800};
  e.tag_exif.metering_mode = {2};
  EXPECT_EQ(exposure_line(e),
            std::string("A, iso12800, ") + plimlib::getmsg(MSG_METERING_CENTER_WEIGHTED));
  e.tag_exif.metering_mode = {3};
  EXPECT_EQ(exposure_line(e), std::string("A, iso12800, ") + plimlib::getmsg(MSG_METERING_SPOT));
  e.tag_exif.iso_speed_ratings = {400};
  e.tag_exif.metering_mode = {5};
  EXPECT_EQ(exposure_line(e), "A, iso400, [ESP]");
}

TEST(ExifSummary, FlashBits) {
  const struct {
    uint16_t flash;
    const char* text;
  } cases[] = {
      {0x00, "Auto WB"},
      {0x10, "Auto WB"},
      {0x01, "Auto WB, Flash"},
      {0x07, "Auto WB, Flash/Return Detected"},
      {0x05, "Auto WB, Flash/Return Not Detected"},
      {0x19, "Auto WB, Flash/Auto"},
      {0x09, "Auto WB, Flash/Compulsory"},
      {0x21, "Auto WB, Flash/No Flash Function"},
      {0x5F, "Auto WB, Flash/Return Detected/Auto/Red-Eye Reduce"},
  };
  for (const auto& c : cases) {
    tiff_header_t e;
    e.tag_exif.white_balance = {0};
    e.tag_exif.flash = {c.flash};
    EXPECT_EQ(lines_of(summary(e)).at(1), c.text) << c.flash;
  }
}

TEST(ExifSummary, ToneLineKeepsItsLastSeparatorWithoutColorSpace) {
  tiff_header_t e;
  e.tag_0th.make = "Nikon";  // recognised, nothing of its own
  e.tag_0th.model = "D1";
  e.tag_exif.sharpness = {1};
  e.tag_exif.saturation = {4};
  e.tag_exif.contrast = {2};
  e.tag_exif.white_balance = {3};
  const std::vector<std::string> lines = lines_of(summary(e));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "Unknown WB");
  EXPECT_EQ(lines[3], "Shp Soft, Sat Unknown, Ctr High, ");
  e.tag_exif.color_space = {1};
  EXPECT_EQ(lines_of(summary(e)).at(3), "Shp Soft, Sat Unknown, Ctr High, sRGB");
}

TEST(ExifSummary, OlympusOlderNote) {
  tiff_header_t e;
  e.tag_0th.make = "olympus imaging corp.";
  e.tag_0th.model = "E-1";
  e.tag_olympus.wb_mode = {2, 3};
  e.tag_olympus.focus_mode = {1};
  e.tag_olympus.manual_focus_distance = {rational_t{1234, 10}};
  e.tag_olympus.sharpness = {5};
  e.tag_olympus.contrast = {0};
  e.tag_exif.sharpness = {1};      // ignored for this maker
  e.tag_exif.white_balance = {1};  // likewise
  EXPECT_EQ(summary(e),
            "olympus imaging corp., E-1\n\nMF(P=123)\nPreset 3700K\nShp Unknown, Ctr High, \n");

  e.tag_olympus.wb_mode = {2, 9};
  e.tag_olympus.manual_focus_distance = {rational_t{1234, 0}};  // no division by 0
  std::vector<std::string> lines = lines_of(summary(e));
  EXPECT_EQ(lines.at(2), "MF");
  EXPECT_EQ(lines.at(3), "Preset ");

  e.tag_olympus.wb_mode = {3, 0};
  e.tag_olympus.focus_mode = {2};
  lines = lines_of(summary(e));
  EXPECT_EQ(lines.at(2), "U");
  EXPECT_EQ(lines.at(3), "");
}

TEST(ExifSummary, OlympusCameraSettingsAndFocusInfo) {
  tiff_header_t e;
  e.tag_0th.make = "OLYMPUS CORPORATION";
  e.tag_0th.model = "E-M1";
  auto focus = [&e] { return lines_of(summary(e)).at(2); };
  e.tag_olympus.focus_mode = {0};  // only when nothing newer is there
  EXPECT_EQ(focus(), "AF");
  e.tag_olympus3_focusinfo.auto_focus = {0};
  EXPECT_EQ(focus(), "MF");
  e.tag_olympus3_focusinfo.focus_step_count = {77};
  e.tag_olympus3_focusinfo.auto_focus = {1};
  EXPECT_EQ(focus(), "AF(P=77)");
  e.tag_olympus3_camerasettings.focus_mode = {10};
  EXPECT_EQ(focus(), "MF(P=77)");
  e.tag_olympus3_camerasettings.focus_mode = {0, 0x0241};
  EXPECT_EQ(focus(), "S-AF/Imager AF/Starry Sky AF(P=77)");
}

TEST(ExifSummary, OmDigitalWhiteBalanceAndLiveComposite) {
  tiff_header_t e;
  e.tag_0th.make = "OM Digital Solutions";
  e.tag_0th.model = "OM-1";
  e.tag_olympus3_camerasettings.focus_mode = {3};
  e.tag_olympus3_camerasettings.white_balance2 = {67};
  e.tag_olympus3_camerasettings.stacked_image = {rational_t{1, 12}};
  e.tag_olympus.sharpness = {1};  // the older note's tone is Olympus only
  e.tag_exif.sharpness = {2};
  EXPECT_EQ(summary(e, true),
            "\tOM Digital Solutions, OM-1\n\t<br>\n\t<br>Multi AF\n\t<br>Underwater\n"
            "\t<br>Shp Hard, \n\t<br>LiveComp 12 frames\n");
  e.tag_olympus3_camerasettings.stacked_image = {rational_t{2, 12}};
  e.tag_olympus3_camerasettings.white_balance2 = {99};
  const std::vector<std::string> lines = lines_of(summary(e));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "Unknown");
}

TEST(ExifSummary, RicohPentaxFocus) {
  tiff_header_t e;
  e.tag_0th.make = "RICOH IMAGING COMPANY, LTD.";
  e.tag_0th.model = "PENTAX K-1";
  e.tag_pentax5.focus_mode = {273};
  e.tag_pentax5.focus_position = {12};
  e.tag_exif.white_balance = {1};
  const std::vector<std::string> lines = lines_of(summary(e));
  EXPECT_EQ(lines.at(2), "AF-C (Release-priority)(P=12)");
  EXPECT_EQ(lines.at(3), "Manual WB");
  // Other makers get no focus line from the same fields.
  e.tag_0th.make = "PENTAX Corporation";
  EXPECT_EQ(lines_of(summary(e)).size(), 4u);
}

// Files the summary must leave alone: it writes nothing and says false.
TEST(ExifSummaryFile, WritesNothingWithoutBaselineExif) {
  enginetest::scratch_dir dir;
  pagetest::make_jpeg(dir / "plain.jpg", 16, 16);
  pagetest::make_jpeg(dir / "xmp.jpg", 16, 16, 0xE1, "http://ns.adobe.com/xap/1.0/");
  ASSERT_TRUE(jpegtest::write_picture(dir / "p.ppm", 16, 16, 3));
  ASSERT_EQ(
      jpegtest::run("cjpeg -progressive -outfile " + jpegtest::quote(dir / "progressive.jpg") +
                    " " + jpegtest::quote(dir / "p.ppm")),
      0);
  enginetest::write_file(dir / "text.jpg", "not a JPEG at all");
  const path_t album("", dir.path(), "");
  for (const char* name : {"missing.jpg", "plain.jpg", "xmp.jpg", "progressive.jpg", "text.jpg"}) {
    std::ostringstream out;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeexif(out, album, "", name, true)) << name;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.str(), "") << name;
  }
}

// Real camera files, their values read independently with exiftool -n.
class ExifSummaryCamera : public ::testing::Test {
 protected:
  static std::string data(const std::string& name) {
    return std::string(TEST_SOURCE_DIR "/image/tests/data/") + name;
  }
  // The plain summary lines of a file.
  static std::vector<std::string> summary_of(const std::string& name) {
    std::ostringstream out;
    EXPECT_TRUE(writeexif(out, path_t(), "", data(name), false)) << name;
    return lines_of(out.str());
  }
  // exiftool -n -T of the standard tags, "-" for an absent one.
  static std::vector<std::string> exiftool(const std::string& name);
};

const char* const exiftool_tags[] = {"IFD0:Make",
                                     "IFD0:Model",
                                     "ExifIFD:DateTimeOriginal",
                                     "ExifIFD:LensModel",
                                     "ExifIFD:ExposureProgram",
                                     "ExifIFD:FocalLength",
                                     "ExifIFD:FocalLengthIn35mmFormat",
                                     "ExifIFD:FNumber",
                                     "ExifIFD:ExposureTime",
                                     "ExifIFD:ISO",
                                     "ExifIFD:ExposureCompensation",
                                     "ExifIFD:Flash"};
enum { MAKE, MODEL, DATE, LENS, PROGRAM, FOCAL, FOCAL35, FNUMBER, TIME, ISO, BIAS, FLASH };

std::vector<std::string> ExifSummaryCamera::exiftool(const std::string& name) {
  std::string cmd = "exiftool -n -T";
  for (const char* tag : exiftool_tags) cmd += std::string(" -") + tag;
  cmd += " '" + data(name) + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
  std::string line;
  char buf[4096];
  while (pipe && std::fgets(buf, sizeof buf, pipe.get())) line += buf;
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, '\t');) {
    while (!f.empty() && f.back() == ' ') f.pop_back();
    fields.push_back(f);
  }
  return fields;
}

// The value of an item of the exposure line that ends in end (its first
// occurrence) and begins after the last key before that: "n", "1/d" or a
// decimal.
double item_value(const std::string& line, const std::string& key, const std::string& end) {
  const std::string::size_type stop = line.find(end);
  if (stop == std::string::npos) return NAN;
  const std::string::size_type at = line.rfind(key, stop);
  if (at == std::string::npos) return NAN;
  const std::string text = line.substr(at + key.size(), stop - at - key.size());
  const std::string::size_type slash = text.find('/');
  if (slash == std::string::npos) return std::strtod(text.c_str(), nullptr);
  return std::strtod(text.substr(0, slash).c_str(), nullptr) /
         std::strtod(text.substr(slash + 1).c_str(), nullptr);
}

TEST_F(ExifSummaryCamera, StandardItemsAgreeWithExiftool) {
  const char* const files[] = {"Olympus_PEN_E-P3.jpg",
                               "Olympus_X-2.jpg",
                               "Sony_D700.jpg",
                               "exiftool-Olympus.jpg",
                               "exiftool-Ricoh.jpg",
                               "exiv2-nikon-d70.jpg",
                               "exiv2-olympus-c8080wz.jpg",
                               "olympus_E-M10III_from_exv.jpg",
                               "olympus_u10D_from_exv.jpg",
                               "omsystem-header_E-P3_from_exv.jpg",
                               "pentax_K-3_from_exv.jpg"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const std::vector<std::string> tool = exiftool(name);
    ASSERT_EQ(tool.size(), std::size(exiftool_tags));
    const std::vector<std::string> lines = summary_of(name);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], tool[DATE]);
    EXPECT_EQ(lines[1], tool[MAKE] + ", " + tool[MODEL]);
    size_t n = 2;
    auto has = [&tool](int field) { return tool[field] != "-"; };
    if (has(LENS)) {
      EXPECT_EQ(lines[n++], tool[LENS]);
    }
    const std::string& exposure = lines[n];
    if (has(PROGRAM)) {
      EXPECT_EQ(exposure[0], "NMPASCapl"[std::atoi(tool[PROGRAM].c_str())]);
    }
    if (has(FOCAL)) {
      EXPECT_NEAR(item_value(exposure, ", f=", "mm"), std::atof(tool[FOCAL].c_str()), 0.005);
    }
    if (has(FOCAL35)) {
      EXPECT_NE(exposure.find("mm(" + tool[FOCAL35] + "mm)"), std::string::npos);
    }
    if (has(FNUMBER)) {
      char f[32];
      std::snprintf(f, sizeof f, ", f/%.1f", std::atof(tool[FNUMBER].c_str()));
      EXPECT_NE(exposure.find(f), std::string::npos) << exposure;
    }
    if (has(TIME)) {
      EXPECT_NEAR(item_value(exposure, ", ", "sec") / std::atof(tool[TIME].c_str()), 1.0, 1e-6);
    }
    if (has(ISO)) {
      EXPECT_NE(exposure.find(", iso" + tool[ISO]), std::string::npos);
    }
    if (has(BIAS) && std::atof(tool[BIAS].c_str()) != 0) {
      EXPECT_NEAR(item_value(exposure, ", ", " EV"), std::atof(tool[BIAS].c_str()), 1e-3);
    } else {
      EXPECT_EQ(exposure.find(" EV"), std::string::npos);
    }
    const bool fired = has(FLASH) && (std::atoi(tool[FLASH].c_str()) & 1);
    const bool olympus = tool[MAKE].compare(0, 7, "OLYMPUS") == 0;
    const std::string& wb =
        lines[olympus || tool[MAKE].compare(0, 5, "RICOH") == 0 ? n + 2 : n + 1];
    EXPECT_EQ(wb.find(", Flash") != std::string::npos, fired) << wb;
  }
}

// The maker-note lines, with the note values exiftool reads from the same
// files named beside each expectation.
TEST_F(ExifSummaryCamera, OlympusNotes) {
  // CameraSettings FocusMode 10 81 (bits 1, 16, 64), FocusInfo
  // FocusStepCount 5474; no older WB_Mode tag; Exif ColorSpace 65535.
  std::vector<std::string> lines = summary_of("olympus_E-M10III_from_exv.jpg");
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[4], "S-AF/MF/Imager AF(P=5474)");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "Uncalibrated");
  // Older note: FocusMode 0, WBMode 1 0, Sharpness 0, Contrast 1; Flash 25.
  lines = summary_of("olympus_u10D_from_exv.jpg");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "AF");
  EXPECT_EQ(lines[4], "Auto WB, Flash/Auto");
  EXPECT_EQ(lines[5], "Shp Normal, Ctr Normal, sRGB");
}

TEST_F(ExifSummaryCamera, PentaxNoteOfRicohCamera) {
  // Pentax FocusMode 16; Exif WhiteBalance 0, Sharpness 2, Saturation 0,
  // Contrast 2, ColorSpace 65535.
  const std::vector<std::string> lines = summary_of("pentax_K-3_from_exv.jpg");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "AF-S (Focus-priority)");
  EXPECT_EQ(lines[4], "Auto WB");
  EXPECT_EQ(lines[5], "Shp Hard, Sat Normal, Ctr High, Uncalibrated");
}

// Desktop software that rewrites the TIFF block in the other byte order
// keeps an Olympus or OM SYSTEM note as the camera wrote it; the note's
// own order mark is what counts.
TEST_F(ExifSummaryCamera, NoteInItsOwnByteOrderAfterTheBlockWasRewritten) {
  REQUIRE_PROGRAM("exiftool");
  enginetest::scratch_dir dir;
  for (const char* name : {"Olympus_PEN_E-P3.jpg", "olympus_E-M10III_from_exv.jpg",
                           "omsystem-header_E-P3_from_exv.jpg"}) {
    SCOPED_TRACE(name);
    const std::string big_endian = dir / name;
    ASSERT_TRUE(phototest::run("cp '" + data(name) + "' '" + big_endian + "'"));
    ASSERT_TRUE(
        phototest::run("exiftool -q -q -overwrite_original -exif:all= -tagsfromfile @ "
                       "-exif:all -makernotes -unsafe -ExifByteOrder=MM '" +
                       big_endian + "' >/dev/null 2>&1"));
    ASSERT_EQ(enginetest::read_file(big_endian).substr(12, 2), "MM");
    std::ostringstream out;
    EXPECT_TRUE(writeexif(out, path_t(), "", big_endian, false));
    EXPECT_EQ(lines_of(out.str()), summary_of(name));
  }
}

}  // namespace

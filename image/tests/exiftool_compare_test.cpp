// Compares what `imagetool exif` reads from the camera files with what
// exiftool -n reports for the same tags, and `imagetool thumb` with
// exiftool's thumbnail bytes.
#include <gtest/gtest.h>

#include "image/tests/camera_files.h"
#include "utility/testsupport/gtest.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const auto& files = testutil::camera_files;

// How exiftool -n shows a field's value.
enum kind_t {
  as_text,      // trailing blanks and NULs aside, the same text
  as_integers,  // the same numbers; `count` of them (else the tag has another size)
  as_rational,  // num/den as a decimal
  as_apex,      // an APEX aperture num/den shown as the f-number 2^(v/2)
  as_metres,    // Olympus focus distance num/den in cm; 0xFFFFFFFF (infinity) shown as 0
  as_pair,      // two u32 kept as num/den, shown as two integers
};

struct tag_map_t {
  const char* field;  // as imagetool prints it
  const char* group;  // exiftool family 1 group
  int id;
  const char* name;
  kind_t kind;
  int count;
};

const tag_map_t tags[] = {
    {"tag_0th.image_description", "IFD0", 0x010E, "ImageDescription", as_text, 0},
    {"tag_0th.make", "IFD0", 0x010F, "Make", as_text, 0},
    {"tag_0th.model", "IFD0", 0x0110, "Model", as_text, 0},
    {"tag_0th.orientation", "IFD0", 0x0112, "Orientation", as_integers, 1},
    {"tag_0th.x_resolution", "IFD0", 0x011A, "XResolution", as_rational, 0},
    {"tag_0th.y_resolution", "IFD0", 0x011B, "YResolution", as_rational, 0},
    {"tag_0th.resolution_unit", "IFD0", 0x0128, "ResolutionUnit", as_integers, 1},
    {"tag_0th.software", "IFD0", 0x0131, "Software", as_text, 0},
    {"tag_0th.date_time", "IFD0", 0x0132, "ModifyDate", as_text, 0},
    {"tag_0th.ycbcr_positioning", "IFD0", 0x0213, "YCbCrPositioning", as_integers, 1},
    {"tag_exif.exposure_time", "ExifIFD", 0x829A, "ExposureTime", as_rational, 0},
    {"tag_exif.f_number", "ExifIFD", 0x829D, "FNumber", as_rational, 0},
    {"tag_exif.exposure_program", "ExifIFD", 0x8822, "ExposureProgram", as_integers, 1},
    {"tag_exif.iso_speed_ratings", "ExifIFD", 0x8827, "ISO", as_integers, 1},
    {"tag_exif.standard_output_sensitivity", "ExifIFD", 0x8831, "StandardOutputSensitivity",
     as_integers, 1},
    {"tag_exif.date_time_original", "ExifIFD", 0x9003, "DateTimeOriginal", as_text, 0},
    {"tag_exif.date_time_digitized", "ExifIFD", 0x9004, "CreateDate", as_text, 0},
    {"tag_exif.aperture_value", "ExifIFD", 0x9202, "ApertureValue", as_apex, 0},
    {"tag_exif.exposure_bias_value", "ExifIFD", 0x9204, "ExposureCompensation", as_rational, 0},
    {"tag_exif.max_aperture_value", "ExifIFD", 0x9205, "MaxApertureValue", as_apex, 0},
    {"tag_exif.metering_mode", "ExifIFD", 0x9207, "MeteringMode", as_integers, 1},
    {"tag_exif.flash", "ExifIFD", 0x9209, "Flash", as_integers, 1},
    {"tag_exif.focal_length", "ExifIFD", 0x920A, "FocalLength", as_rational, 0},
    {"tag_exif.color_space", "ExifIFD", 0xA001, "ColorSpace", as_integers, 1},
    {"tag_exif.white_balance", "ExifIFD", 0xA403, "WhiteBalance", as_integers, 1},
    {"tag_exif.focal_length_in_35mm_film", "ExifIFD", 0xA405, "FocalLengthIn35mmFormat",
     as_integers, 1},
    {"tag_exif.contrast", "ExifIFD", 0xA408, "Contrast", as_integers, 1},
    {"tag_exif.saturation", "ExifIFD", 0xA409, "Saturation", as_integers, 1},
    {"tag_exif.sharpness", "ExifIFD", 0xA40A, "Sharpness", as_integers, 1},
    {"tag_exif.lens_model", "ExifIFD", 0xA434, "LensModel", as_text, 0},
    {"tag_1st.jpeg_interchange_format_length", "IFD1", 0x0202, "ThumbnailLength", as_integers, 1},
    {"tag_olympus.focus_mode", "Olympus", 0x100B, "FocusMode", as_integers, 1},
    {"tag_olympus.manual_focus_distance", "Olympus", 0x100C, "ManualFocusDistance", as_rational, 0},
    {"tag_olympus.sharpness", "Olympus", 0x100F, "Sharpness", as_integers, 1},
    {"tag_olympus.wb_mode", "Olympus", 0x1015, "WBMode", as_integers, 2},
    {"tag_olympus.contrast", "Olympus", 0x1029, "Contrast", as_integers, 1},
    {"tag_olympus3_equipment.lens_model", "Olympus", 0x0203, "LensModel", as_text, 0},
    {"tag_olympus3_camerasettings.focus_mode", "Olympus", 0x0301, "FocusMode", as_integers, 2},
    {"tag_olympus3_camerasettings.focus_process", "Olympus", 0x0302, "FocusProcess", as_integers,
     2},
    {"tag_olympus3_camerasettings.white_balance2", "Olympus", 0x0500, "WhiteBalance2", as_integers,
     1},
    {"tag_olympus3_camerasettings.white_balance_temperature", "Olympus", 0x0501,
     "WhiteBalanceTemperature", as_integers, 1},
    {"tag_olympus3_camerasettings.stacked_image", "Olympus", 0x0804, "StackedImage", as_pair, 0},
    {"tag_olympus3_focusinfo.auto_focus", "Olympus", 0x0209, "AutoFocus", as_integers, 1},
    {"tag_olympus3_focusinfo.zoom_step_count", "Olympus", 0x0300, "ZoomStepCount", as_integers, 1},
    {"tag_olympus3_focusinfo.focus_step_count", "Olympus", 0x0301, "FocusStepCount", as_integers,
     1},
    {"tag_olympus3_focusinfo.focus_step_infinity", "Olympus", 0x0303, "FocusStepInfinity",
     as_integers, 1},
    {"tag_olympus3_focusinfo.focus_step_near", "Olympus", 0x0304, "FocusStepNear", as_integers, 1},
    {"tag_olympus3_focusinfo.focus_distance", "Olympus", 0x0305, "FocusDistance", as_metres, 0},
    {"tag_olympus3_focusinfo.af_point", "Olympus", 0x0308, "AFPoint", as_integers, 1},
    {"tag_olympus3_focusinfo.tag_031b_value", "Olympus", 0x031B, "Olympus_FocusInfo_0x031b",
     as_integers, 1},
    {"tag_pentax5.focus_mode", "Pentax", 0x000D, "FocusMode", as_integers, 1},
    {"tag_pentax5.focus_position", "Pentax", 0x0010, "FocusPosition", as_integers, 1},
    {"tag_pentax5.white_balance", "Pentax", 0x0019, "WhiteBalance", as_integers, 1},
    {"tag_pentax5.white_balance_mode", "Pentax", 0x001A, "WhiteBalanceMode", as_integers, 1},
};

std::string run(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
  int rc = pclose(p);
  if (status) *status = rc;
  return out;
}

std::string data_file(const char* name) { return std::string(TEST_DATA_DIR) + "/" + name; }
std::string imagetool() { return std::string(TEST_BIN_DIR) + "/imagetool"; }

std::string rtrim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

std::vector<double> numbers(const std::string& s) {
  std::istringstream in(s);
  std::vector<double> v;
  double x;
  while (in >> x) v.push_back(x);
  return v;
}

// field=value lines of imagetool exif.
std::map<std::string, std::string> ours(const std::string& path) {
  int status = 0;
  std::istringstream in(run("'" + imagetool() + "' exif '" + path + "'", &status));
  EXPECT_EQ(status, 0) << path;
  std::map<std::string, std::string> fields;
  for (std::string line; std::getline(in, line);) {
    size_t eq = line.find('=');
    if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return fields;
}

// "[group] id name: value" lines of exiftool, keyed by group, id and name.
std::map<std::string, std::string> theirs(const std::string& path) {
  std::istringstream in(run("exiftool -n -D -G1 -a -u -s -s '" + path + "'"));
  static const std::regex line_re(R"(^\[([^\]]+)\]\s+(\d+)\s+([^:]+): (.*)$)");
  std::map<std::string, std::string> tags;
  std::smatch m;
  for (std::string line; std::getline(in, line);) {
    if (!std::regex_match(line, m, line_re)) continue;
    std::string key = m[1].str() + " " + m[2].str() + " " + m[3].str();
    tags.emplace(key, m[4].str());  // the first one, as the reader keeps per IFD
  }
  return tags;
}

double fraction(const std::string& v) {
  unsigned long long num = 0, den = 0;
  long long snum = 0;
  if (v.find('-') == 0 && std::sscanf(v.c_str(), "%lld/%llu", &snum, &den) == 2) {
    return den ? double(snum) / double(den) : 0;
  }
  if (std::sscanf(v.c_str(), "%llu/%llu", &num, &den) != 2) return NAN;
  return den ? double(num) / double(den) : 0;
}

void expect_near(double ours, double theirs) {
  EXPECT_NEAR(ours, theirs, 1e-9 + 1e-9 * std::fabs(theirs));
}

void compare(const tag_map_t& t, const std::string& mine, const std::string& tool) {
  switch (t.kind) {
    case as_text: EXPECT_EQ(rtrim(mine), rtrim(tool)); break;
    case as_integers: EXPECT_EQ(numbers(mine), numbers(tool)); break;
    case as_rational: expect_near(fraction(mine), std::stod(tool)); break;
    case as_apex: expect_near(std::pow(2.0, fraction(mine) / 2), std::stod(tool)); break;
    case as_metres: {
      unsigned long long num = std::stoull(mine);
      expect_near(num == 0xFFFFFFFFull ? 0 : fraction(mine) / 100, std::stod(tool));
      break;
    }
    case as_pair: {
      std::string spaced = mine;
      spaced[spaced.find('/')] = ' ';
      EXPECT_EQ(numbers(spaced), numbers(tool));
      break;
    }
  }
}

}  // namespace

TEST(ExiftoolCompare, FieldsMatchExiftool) {
  REQUIRE_PROGRAM("exiftool");
  int compared = 0;
  for (const char* name : files) {
    std::string path = data_file(name);
    std::map<std::string, std::string> mine = ours(path), tool = theirs(path);
    for (const tag_map_t& t : tags) {
      SCOPED_TRACE(std::string(name) + ": " + t.field);
      std::string key = std::string(t.group) + " " + std::to_string(t.id) + " " + t.name;
      auto a = mine.find(t.field);
      auto b = tool.find(key);
      bool other_size =
          b != tool.end() && t.kind == as_integers && numbers(b->second).size() != size_t(t.count);
      if (b == tool.end() || other_size) {
        EXPECT_TRUE(a == mine.end()) << "read as " << a->second << ", not in exiftool";
        continue;
      }
      ASSERT_TRUE(a != mine.end()) << "exiftool has " << b->second;
      compare(t, a->second, b->second);
      ++compared;
    }
  }
  EXPECT_GT(compared, 150);
}

TEST(ExiftoolCompare, SegmentsMatchExiftool) {
  REQUIRE_PROGRAM("exiftool");
  static const std::map<std::string, unsigned> codes = {{"DQT", 0xFFDB}, {"SOF0", 0xFFC0},
                                                        {"DHT", 0xFFC4}, {"DRI", 0xFFDD},
                                                        {"SOS", 0xFFDA}, {"COM", 0xFFFE}};
  static const std::regex line_re(R"(^JPEG (\w+))");
  for (const char* name : files) {
    SCOPED_TRACE(name);
    std::string path = data_file(name);
    std::vector<unsigned> expected;
    std::istringstream verbose(run("exiftool -v '" + path + "'"));
    std::smatch m;
    // The segments up to the first scan, as the reader walks them.
    for (std::string line; std::getline(verbose, line);) {
      if (!expected.empty() && expected.back() == 0xFFDA) break;
      if (!std::regex_search(line, m, line_re)) continue;
      std::string segment = m[1].str();
      if (segment.compare(0, 3, "APP") == 0) {
        expected.push_back(0xFFE0 + unsigned(std::stoi(segment.substr(3))));
      } else {
        ASSERT_TRUE(codes.count(segment)) << segment;
        expected.push_back(codes.at(segment));
      }
    }
    expected.push_back(0);  // the scan data
    int status = 0;
    std::istringstream listed(run("'" + imagetool() + "' segments '" + path + "'", &status));
    EXPECT_EQ(status, 0);
    std::vector<unsigned> got;
    for (std::string line; std::getline(listed, line);)
      got.push_back(unsigned(std::stoul(line, nullptr, 16)));
    EXPECT_EQ(got, expected);
  }
}

TEST(ExiftoolCompare, ThumbnailMatchesExiftool) {
  REQUIRE_PROGRAM("exiftool");
  std::string out = std::string(TEST_BIN_DIR) + "/exiftool_compare_thumb.jpg";
  int thumbs = 0;
  for (const char* name : files) {
    SCOPED_TRACE(name);
    std::string path = data_file(name);
    std::string expected = run("exiftool -b -m -ThumbnailImage '" + path + "'");
    int status = 0;
    run("'" + imagetool() + "' thumb '" + path + "' '" + out + "' 2>/dev/null", &status);
    if (expected.empty()) {
      EXPECT_NE(status, 0);
      continue;
    }
    ASSERT_EQ(status, 0);
    std::ifstream in(out, std::ios::binary);
    std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(got == expected) << got.size() << " bytes against " << expected.size();
    ++thumbs;
  }
  std::remove(out.c_str());
  EXPECT_GE(thumbs, 8);
}

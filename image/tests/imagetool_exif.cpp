// imagetool exif FILE       every EXIF field that was filled, name=value
// imagetool thumb FILE OUT  the EXIF thumbnail's bytes into OUT
// imagetool segments FILE   the segment codes the baseline reader found
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "image/exif.h"
#include "image/loader_jpeg2.h"
#include "image/tests/imagetool.h"

namespace {

using libgr::byte_window_t;
using libgr::ExifType::rational_t;
using libgr::ExifType::rule_t;
using libgr::ExifType::srational_t;

std::ostream& operator<<(std::ostream& out, const rational_t& r) {
  return out << r.numerator << '/' << r.denominator;
}
std::ostream& operator<<(std::ostream& out, const srational_t& r) {
  return out << r.numerator << '/' << r.denominator;
}

// One line per filled field: set.field=value.
struct printer {
  std::ostream& out;
  const char* set;

  template <class T>
  void operator()(unsigned short, const char* name, const std::vector<T>& f, rule_t) const {
    if (f.empty()) return;
    out << set << '.' << name << '=';
    for (size_t i = 0; i < f.size(); ++i) out << (i ? " " : "") << f[i];
    out << '\n';
  }
  void operator()(unsigned short, const char* name, const std::string& f, rule_t) const {
    if (!f.empty()) out << set << '.' << name << '=' << f.c_str() << '\n';
  }
  void operator()(unsigned short, const char* name, const byte_window_t& f, rule_t) const {
    if (!f.empty()) out << set << '.' << name << '=' << f.size() << " bytes\n";
  }
};

void print_record(std::ostream& out, const libgr::app1_marker_t::tiff_header_t& t) {
  t.tag_0th.visit(printer{out, "tag_0th"});
  t.tag_exif.visit(printer{out, "tag_exif"});
  t.tag_gps.visit(printer{out, "tag_gps"});
  t.tag_1st.visit(printer{out, "tag_1st"});
  t.tag_olympus.visit(printer{out, "tag_olympus"});
  t.tag_olympus3_equipment.visit(printer{out, "tag_olympus3_equipment"});
  t.tag_olympus3_camerasettings.visit(printer{out, "tag_olympus3_camerasettings"});
  t.tag_olympus3_focusinfo.visit(printer{out, "tag_olympus3_focusinfo"});
  t.tag_pentax5.visit(printer{out, "tag_pentax5"});
  if (!t.thumbnail.empty()) out << "thumbnail=" << t.thumbnail.size() << " bytes\n";
}

// Loads path and parses its first APP1 segment into marker. The segments
// before a failing one are still searched, so that a file the baseline
// reader refuses (a progressive one) still shows its EXIF data.
bool load_exif(const char* path, libgr::app1_marker_t& marker) {
  libgr::jpegdata2_t data;
  if (!data.load(path)) {
    std::cerr << path << ": cannot be read." << std::endl;
    return false;
  }
  libgr::jpeginfo2_t info(path);
  info.analyze(data);
  byte_window_t app1 = info.get_marker(libgr::marker_APP1);
  if (app1.empty()) {
    std::cerr << path << ": no APP1 segment." << std::endl;
    return false;
  }
  marker.set_app1_buffer(app1);
  if (!marker.parse()) {
    std::cerr << path << ": exif parse fail." << std::endl;
    return false;
  }
  return true;
}

int run_exif(int argc, char** argv) {
  if (argc != 2) return 2;
  libgr::app1_marker_t marker;
  bool ok = load_exif(argv[1], marker);
  print_record(std::cout, marker.tiff_header);
  return ok ? 0 : 1;
}

int run_thumb(int argc, char** argv) {
  if (argc != 3) return 2;
  libgr::app1_marker_t marker;
  if (!load_exif(argv[1], marker)) return 1;
  const byte_window_t& thumb = marker.tiff_header.thumbnail;
  if (thumb.empty()) {
    std::cerr << argv[1] << ": no thumbnail." << std::endl;
    return 1;
  }
  std::remove(argv[2]);
  std::ofstream out(argv[2], std::ios::out | std::ios::binary);
  out.write(reinterpret_cast<const char*>(thumb.begin()),
            static_cast<std::streamsize>(thumb.size()));
  out.close();
  if (!out) {
    std::cerr << argv[2] << ": write fail." << std::endl;
    return 1;
  }
  return 0;
}

int run_segments(int argc, char** argv) {
  if (argc != 2) return 2;
  libgr::jpegdata2_t data;
  if (!data.load(argv[1])) {
    std::cerr << argv[1] << ": cannot be read." << std::endl;
    return 1;
  }
  libgr::jpeginfo2_t info(argv[1]);
  bool ok = info.analyze(data);
  char line[8];
  for (const libgr::jpeginfo2_t::marker_t& m : info.markers) {
    std::snprintf(line, sizeof line, "%04x", m.code);
    std::cout << line << '\n';
  }
  return ok ? 0 : 1;
}

const bool registered = imagetool::register_command({"exif", "FILE", run_exif}) &&
                        imagetool::register_command({"thumb", "FILE OUT.jpg", run_thumb}) &&
                        imagetool::register_command({"segments", "FILE", run_segments});

}  // namespace

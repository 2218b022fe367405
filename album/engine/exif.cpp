#include "album/engine/exif.h"

#include <strings.h>

#include <cmath>
#include <cstdint>
#include <iomanip>

#include "album/engine/escape.h"
#include "image/loader_jpeg2.h"
#include "utility/catalog/tavolin_messages.h"
#include "utility/message.h"
#include "utility/strutil.h"

namespace tavolin {

const desc_t colorspace[] = {{1, "sRGB"}, {65535, "Uncalibrated"}, {-1, "Unknown"}};

const desc_t pex5focusmode[] = {
    {0, "Normal"},
    {1, "Macro"},
    {2, "Infinity"},
    {3, "Manual"},
    {4, "Super Macro"},
    {5, "Pan Focus"},
    {16, "AF-S (Focus-priority)"},
    {17, "AF-C (Focus-priority)"},
    {18, "AF-A (Focus-priority)"},
    {32, "Contrast-detect (Focus-priority)"},
    {33, "Tracking Contrast-detect (Focus-priority)"},
    {272, "AF-S (Release-priority)"},
    {273, "AF-C (Release-priority)"},
    {274, "AF-A (Release-priority)"},
    {288, "Contrast-detect (Release-priority)"},
    {-1, "Unknown"},
};

const desc_t olym3whitebal[] = {
    {0, "Auto WB"},
    {1, "Auto WB(Keep Warm Color Off)"},
    {16, "7500K"},
    {17, "6000K"},
    {18, "5300K"},
    {20, "3000K"},
    {21, "3600K"},
    {22, "Auto Setup"},
    {23, "5500K"},
    {33, "6600K"},
    {34, "4500K"},
    {35, "4000K"},
    {36, "White Fluorescent"},
    {48, "3600K"},
    {67, "Underwater"},
    {256, "One Touch WB 1"},
    {257, "One Touch WB 2"},
    {258, "One Touch WB 3"},
    {259, "One Touch WB 4"},
    {512, "Custom WB 1"},
    {513, "Custom WB 2"},
    {514, "Custom WB 3"},
    {515, "Custom WB 4"},
    {-1, "Unknown"},
};

const desc_t olym3focusmode1[] = {
    {1, "S-AF"},        {4, "C-AF"},
    {16, "MF"},         {32, "Face Detect"},
    {64, "Imager AF"},  {128, "Live View Magnification Frame"},
    {256, "AF sensor"}, {512, "Starry Sky AF"},
    {-1, "Unknown"},
};

const desc_t olym3focusmode0[] = {
    {0, "Single AF"},     {1, "Sequential shooting AF"},
    {2, "Continuous AF"}, {3, "Multi AF"},
    {4, "Face Detect"},   {10, "MF"},
    {-1, "Unknown"},
};

const char* const saturation[4] = {"Normal", "Low", "High", "Unknown"};
const char* const processrange[3] = {"Normal", "Soft", "Hard"};
const char* const contrast[3] = {"Normal", "Low", "High"};
const char* const olympus_contrast[3] = {"High", "Normal", "Low"};
const char* const sharpness[3] = {"Normal", "Hard", "Soft"};
const char* const whitebalance_preset[9] = {"Unknown", "Unknown", "3000K", "3700K", "4000K",
                                            "4500K",   "5500K",   "6500K", "7500K"};
const char* const whitebalance_code[3] = {"Unknown", "Auto WB", "Preset "};
const char* const whitebal[3] = {"Auto WB", "Manual WB", "Unknown"};
const char* const focusmode[2] = {"AF", "MF"};
const char* meteringmode[8] = {"[Unk]", "[AVE]", "[AVG]", "[SPT]",
                               "[MUL]", "[ESP]", "[PAR]", "[OTH]"};
const char expprogs[10] = "NMPASCapl";

const char* search_desc(const desc_t* table, unsigned long id) {
  for (; table->id != -1; ++table) {
    if (static_cast<unsigned long>(table->id) == id) return table->text;
  }
  return table->text;
}

unsigned gcd(unsigned a, unsigned b) {
  while (b != 0) {
    const unsigned r = a % b;
    a = b;
    b = r;
  }
  return a;
}

void initexif(const char*, const char*) {
  meteringmode[2] = plimlib::getmsg(MSG_METERING_CENTER_WEIGHTED);
  meteringmode[3] = plimlib::getmsg(MSG_METERING_SPOT);
}

namespace {

using libgr::ExifType::rational_t;
using libgr::ExifType::srational_t;
using tiff_header_t = libgr::app1_marker_t::tiff_header_t;

enum class maker_t { om, olympus, ricoh, other };

maker_t maker_class(const std::string& make) {
  const char* m = make.c_str();
  if (strncasecmp(m, "OM Digital", 10) == 0) return maker_t::om;
  if (strncasecmp(m, "OLYMPUS", 7) == 0) return maker_t::olympus;
  if (strncasecmp(m, "RICOH", 5) == 0) return maker_t::ricoh;
  return maker_t::other;
}

// Index texts: an index beyond the table reads "Unknown".
template <std::size_t N>
const char* by_index(const char* const (&table)[N], unsigned long v) {
  return v < N ? table[v] : "Unknown";
}

// The line prefixes.
struct prefix_t {
  bool html;
  const char* t() const { return html ? "\t" : ""; }
  const char* tb() const { return html ? "\t<br>" : ""; }
  // A camera's own text, trimmed; escaped for a page.
  std::string text(std::string s) const {
    libutils::chop2(s);
    return html ? html_text(s) : s;
  }
};

// Returns whether the capture line was written.
bool write_capture(std::ostream& out, const tiff_header_t& e, const prefix_t& p) {
  if (e.tag_exif.date_time_original.empty()) return false;
  out << p.t() << p.text(e.tag_exif.date_time_original) << '\n';
  return true;
}

void write_camera(std::ostream& out, const tiff_header_t& e, const prefix_t& p, bool captured) {
  if (e.tag_0th.model.empty()) return;
  out << p.t();
  if (p.html && captured) out << "<br>";
  out << p.text(e.tag_0th.make) << ", " << p.text(e.tag_0th.model) << '\n';
  const std::string lens = p.text(e.tag_exif.lens_model);
  if (!lens.empty()) out << p.tb() << lens << '\n';
}

void write_focal_length(std::ostream& out, const tiff_header_t& e) {
  const auto& x = e.tag_exif;
  if (x.focal_length.empty()) return;
  const rational_t f = x.focal_length[0];
  if (f.denominator == 0) return;  // no length
  out << ", f=";
  if (f.denominator == 1)
    out << f.numerator;
  else
    out << static_cast<double>(f.numerator) / f.denominator;
  out << "mm";
  if (!x.focal_length_in_35mm_film.empty()) out << "(" << x.focal_length_in_35mm_film[0] << "mm)";
}

void write_f_number(std::ostream& out, const tiff_header_t& e) {
  if (e.tag_exif.f_number.empty()) return;
  const rational_t f = e.tag_exif.f_number[0];
  out << std::fixed;
  // Over a zero denominator there is no number to show ("inf", "nan"),
  // but the stream is left as after any f-number.
  if (f.denominator != 0)
    out << ", f/" << std::setprecision(1) << static_cast<double>(f.numerator) / f.denominator;
  out << std::setprecision(0) << std::dec;
}

void write_exposure_time(std::ostream& out, const tiff_header_t& e) {
  if (e.tag_exif.exposure_time.empty()) return;
  const rational_t t = e.tag_exif.exposure_time[0];
  // 0/0 has no divisor and shows nothing; n/0 reduces to 1/0.
  if (t.numerator == 0 && t.denominator == 0) return;
  const unsigned g = gcd(t.numerator, t.denominator);
  const unsigned n = t.numerator / g, d = t.denominator / g;
  out << ", ";
  if (d == 1) {
    out << n;
  } else if (n == 1) {
    out << "1/" << d;
  } else {
    out << std::setprecision(static_cast<int>(std::log10(d) + 1)) << static_cast<double>(n) / d
        << std::setprecision(0);
  }
  out << "sec";
}

void write_iso(std::ostream& out, const tiff_header_t& e) {
  const auto& x = e.tag_exif;
  if (x.iso_speed_ratings.empty()) return;
  out << ", iso";
  if (x.iso_speed_ratings[0] == 65535 && !x.standard_output_sensitivity.empty())
    out << x.standard_output_sensitivity[0];
  else
    out << x.iso_speed_ratings[0];
}

void write_bias(std::ostream& out, const tiff_header_t& e) {
  if (e.tag_exif.exposure_bias_value.empty()) return;
  const srational_t b = e.tag_exif.exposure_bias_value[0];
  // 64 bits: the magnitude of INT32_MIN and a sign moved off the
  // denominator must not overflow.
  int64_t n = b.numerator, d = b.denominator;
  if (n == 0) return;  // no bias (0/0 included, which has no divisor); n/0 reduces to 1/0
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const uint64_t g = gcd(static_cast<unsigned>(n < 0 ? -n : n), static_cast<unsigned>(d));
  n /= static_cast<int64_t>(g);
  d /= static_cast<int64_t>(g);
  out << (n > 0 ? ", +" : ", ") << n;
  if (d != 1) out << "/" << d;
  out << " EV";
}

void write_exposure(std::ostream& out, const tiff_header_t& e, const prefix_t& p) {
  const auto& x = e.tag_exif;
  out << p.tb();
  if (!x.exposure_program.empty()) {
    const unsigned v = x.exposure_program[0];
    out << (v <= 8 ? expprogs[v] : 'U');
  }
  write_focal_length(out, e);
  write_f_number(out, e);
  write_exposure_time(out, e);
  write_iso(out, e);
  if (!x.metering_mode.empty()) {
    const unsigned v = x.metering_mode[0];
    out << ", " << meteringmode[v <= 7 ? v : 0];
  }
  write_bias(out, e);
  out << '\n';
}

void write_step_count(std::ostream& out, const tiff_header_t& e) {
  const auto& steps = e.tag_olympus3_focusinfo.focus_step_count;
  if (!steps.empty()) out << "(P=" << steps[0] << ")";
}

void write_olympus_focus(std::ostream& out, const tiff_header_t& e) {
  const auto& mode = e.tag_olympus3_camerasettings.focus_mode;
  if (mode.size() == 1) {
    out << search_desc(olym3focusmode0, mode[0]);
    write_step_count(out, e);
  } else if (mode.size() == 2) {
    const char* sep = "";
    for (const desc_t* row = olym3focusmode1; row->id != -1; ++row) {
      if ((static_cast<unsigned long>(row->id) & mode[1]) == 0) continue;
      out << sep << row->text;
      sep = "/";
    }
    write_step_count(out, e);
  } else if (!e.tag_olympus3_focusinfo.auto_focus.empty()) {
    out << focusmode[e.tag_olympus3_focusinfo.auto_focus[0] != 0 ? 0 : 1];
    write_step_count(out, e);
  } else if (!e.tag_olympus.focus_mode.empty()) {
    const unsigned v = e.tag_olympus.focus_mode[0];
    if (v == 0) {
      out << "AF";
    } else if (v == 1) {
      out << "MF";
      const auto& dist = e.tag_olympus.manual_focus_distance;
      // A distance over a zero denominator is no distance.
      if (!dist.empty() && dist[0].denominator != 0)
        out << "(P=" << dist[0].numerator / dist[0].denominator << ")";
    } else {
      out << "U";
    }
  }
}

void write_focus(std::ostream& out, const tiff_header_t& e, maker_t maker, const prefix_t& p) {
  if (maker == maker_t::other) return;
  out << p.tb();
  if (maker == maker_t::ricoh) {
    const auto& x = e.tag_pentax5;
    if (!x.focus_mode.empty()) {
      out << search_desc(pex5focusmode, x.focus_mode[0]);
      if (!x.focus_position.empty()) out << "(P=" << x.focus_position[0] << ")";
    }
  } else {
    write_olympus_focus(out, e);
  }
  out << '\n';
}

void write_flash(std::ostream& out, unsigned v) {
  if ((v & 1) == 0) return;
  out << ", Flash";
  if ((v & 6) == 6)
    out << "/Return Detected";
  else if ((v & 6) == 4)
    out << "/Return Not Detected";
  if ((v & 0x18) == 0x18)
    out << "/Auto";
  else if ((v & 0x18) != 0)
    out << "/Compulsory";
  if (v & 0x20) out << "/No Flash Function";
  if (v & 0x40) out << "/Red-Eye Reduce";
}

void write_white_balance(std::ostream& out, const tiff_header_t& e, maker_t maker,
                         const prefix_t& p) {
  out << p.tb();
  if (maker == maker_t::om) {
    const auto& wb = e.tag_olympus3_camerasettings.white_balance2;
    if (!wb.empty()) out << search_desc(olym3whitebal, wb[0]);
  } else if (maker == maker_t::olympus) {
    const auto& wb = e.tag_olympus.wb_mode;
    if (!wb.empty() && wb[0] < 3) {
      out << whitebalance_code[wb[0]];
      if (wb[0] == 2 && wb.size() > 1 && wb[1] <= 8) out << whitebalance_preset[wb[1]];
    }
  } else if (!e.tag_exif.white_balance.empty()) {
    const unsigned v = e.tag_exif.white_balance[0];
    out << (v > 2 ? "Unknown WB" : whitebal[v]);
  }
  if (!e.tag_exif.flash.empty()) write_flash(out, e.tag_exif.flash[0]);
  out << '\n';
}

void write_tone(std::ostream& out, const tiff_header_t& e, maker_t maker, const prefix_t& p) {
  out << p.tb();
  if (maker == maker_t::olympus) {
    const auto& o = e.tag_olympus;
    if (!o.sharpness.empty()) out << "Shp " << by_index(sharpness, o.sharpness[0]) << ", ";
    if (!o.contrast.empty()) out << "Ctr " << by_index(olympus_contrast, o.contrast[0]) << ", ";
  } else {
    const auto& x = e.tag_exif;
    if (!x.sharpness.empty()) out << "Shp " << by_index(processrange, x.sharpness[0]) << ", ";
    if (!x.saturation.empty()) out << "Sat " << by_index(saturation, x.saturation[0]) << ", ";
    if (!x.contrast.empty()) out << "Ctr " << by_index(contrast, x.contrast[0]) << ", ";
  }
  if (!e.tag_exif.color_space.empty()) out << search_desc(colorspace, e.tag_exif.color_space[0]);
  out << '\n';
}

void write_stack(std::ostream& out, const tiff_header_t& e, maker_t maker, const prefix_t& p) {
  if (maker != maker_t::om) return;
  const auto& stack = e.tag_olympus3_camerasettings.stacked_image;
  if (stack.empty() || stack[0].numerator != 1) return;
  out << p.tb() << "LiveComp " << stack[0].denominator << " frames\n";
}

}  // namespace

void writeexif(std::ostream& out, const tiff_header_t& exif, bool html) {
  const prefix_t p{html};
  const maker_t maker = maker_class(exif.tag_0th.make);
  const bool captured = write_capture(out, exif, p);
  write_camera(out, exif, p, captured);
  write_exposure(out, exif, p);
  write_focus(out, exif, maker, p);
  write_white_balance(out, exif, maker, p);
  write_tone(out, exif, maker, p);
  write_stack(out, exif, maker, p);
}

bool writeexif(std::ostream& out, const path_t& path, const std::string& dir,
               const std::string& name, bool html) {
  std::string file;
  path.make(file, dir, name);
  libgr::jpegdata2_t data;
  if (!data.load_head(file.c_str())) return false;
  return writeexif(out, data, html);
}

bool writeexif(std::ostream& out, libgr::jpegdata2_t& data, bool html) {
  libgr::jpeginfo2_t info(data.name);
  if (!info.analyze(data)) return false;
  libgr::byte_window_t app1 = info.get_marker(libgr::marker_APP1);
  if (app1.empty()) return false;
  libgr::app1_marker_t record;
  record.set_app1_buffer(app1);
  if (!record.parse()) return false;
  writeexif(out, record.tiff_header, html);
  return true;
}

}  // namespace tavolin

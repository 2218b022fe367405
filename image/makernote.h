// The tag sets filled from camera maker notes (Olympus, OM SYSTEM with its
// Equipment, CameraSettings and FocusInfo sub-IFDs, and PENTAX-layout notes
// of RICOH cameras). Field conventions as in exif_tags.h.
#pragma once

#include "image/exif_types.h"

namespace libgr {
namespace ExifType {

// The IFD of the older Olympus notes.
struct tag_olympus_ifd : tag_set<tag_olympus_ifd> {
  std::vector<uint16_t> focus_mode;               // 0x100B
  std::vector<rational_t> manual_focus_distance;  // 0x100C
  std::vector<uint16_t> sharpness;                // 0x100F
  std::vector<uint16_t> wb_mode;                  // 0x1015, two values
  std::vector<uint16_t> contrast;                 // 0x1029

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x100B, "focus_mode", s.focus_mode, rule_t::number);
    f(0x100C, "manual_focus_distance", s.manual_focus_distance, rule_t::number);
    f(0x100F, "sharpness", s.sharpness, rule_t::number);
    f(0x1015, "wb_mode", s.wb_mode, rule_t::pair);
    f(0x1029, "contrast", s.contrast, rule_t::number);
  }
};

struct tag_olympus3_equipment_ifd : tag_set<tag_olympus3_equipment_ifd> {
  std::string lens_model;  // 0x0203, all its bytes, NULs included

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x0203, "lens_model", s.lens_model, rule_t::exact);
  }
};

struct tag_olympus3_camerasettings_ifd : tag_set<tag_olympus3_camerasettings_ifd> {
  std::vector<uint16_t> focus_mode;                 // 0x0301, one or two values
  std::vector<uint16_t> focus_process;              // 0x0302, one or two values
  std::vector<uint16_t> white_balance2;             // 0x0500
  std::vector<uint16_t> white_balance_temperature;  // 0x0501
  std::vector<rational_t> stacked_image;            // 0x0804, two u32

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x0301, "focus_mode", s.focus_mode, rule_t::upto2);
    f(0x0302, "focus_process", s.focus_process, rule_t::upto2);
    f(0x0500, "white_balance2", s.white_balance2, rule_t::number);
    f(0x0501, "white_balance_temperature", s.white_balance_temperature, rule_t::number);
    f(0x0804, "stacked_image", s.stacked_image, rule_t::number);
  }
};

struct tag_olympus3_focusinfo_ifd : tag_set<tag_olympus3_focusinfo_ifd> {
  std::vector<uint16_t> auto_focus;           // 0x0209
  std::vector<uint16_t> zoom_step_count;      // 0x0300
  std::vector<uint16_t> focus_step_count;     // 0x0301
  std::vector<uint16_t> focus_step_infinity;  // 0x0303
  std::vector<uint16_t> focus_step_near;      // 0x0304
  std::vector<rational_t> focus_distance;     // 0x0305
  std::vector<uint16_t> af_point;             // 0x0308
  std::vector<uint16_t> tag_031b_value;       // 0x031B

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x0209, "auto_focus", s.auto_focus, rule_t::number);
    f(0x0300, "zoom_step_count", s.zoom_step_count, rule_t::number);
    f(0x0301, "focus_step_count", s.focus_step_count, rule_t::number);
    f(0x0303, "focus_step_infinity", s.focus_step_infinity, rule_t::number);
    f(0x0304, "focus_step_near", s.focus_step_near, rule_t::number);
    f(0x0305, "focus_distance", s.focus_distance, rule_t::number);
    f(0x0308, "af_point", s.af_point, rule_t::number);
    f(0x031B, "tag_031b_value", s.tag_031b_value, rule_t::number);
  }
};

struct tag_pentax5_ifd : tag_set<tag_pentax5_ifd> {
  std::vector<uint16_t> focus_mode;          // 0x000D
  std::vector<uint16_t> focus_position;      // 0x0010
  std::vector<uint16_t> white_balance;       // 0x0019
  std::vector<uint16_t> white_balance_mode;  // 0x001A

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x000D, "focus_mode", s.focus_mode, rule_t::number);
    f(0x0010, "focus_position", s.focus_position, rule_t::number);
    f(0x0019, "white_balance", s.white_balance, rule_t::number);
    f(0x001A, "white_balance_mode", s.white_balance_mode, rule_t::number);
  }
};

}  // namespace ExifType
}  // namespace libgr

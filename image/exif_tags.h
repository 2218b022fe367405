// The tag sets of the TIFF/EXIF IFDs: one field per kept tag, in ascending
// tag order. A number field holds one element once its tag was read with
// the right byte length (the last occurrence wins) and is empty otherwise;
// a text field is empty when its tag was absent.
#pragma once

#include "image/exif_types.h"

namespace libgr {
namespace ExifType {

// The 0th IFD (the main image). The 1st IFD has the same fields.
struct tag_0th_ifd : tag_set<tag_0th_ifd> {
  std::string image_description;                         // 0x010E
  std::string make;                                      // 0x010F
  std::string model;                                     // 0x0110
  std::vector<uint16_t> orientation;                     // 0x0112
  std::vector<rational_t> x_resolution;                  // 0x011A
  std::vector<rational_t> y_resolution;                  // 0x011B
  std::vector<uint16_t> resolution_unit;                 // 0x0128
  std::string software;                                  // 0x0131
  std::string date_time;                                 // 0x0132
  std::vector<uint32_t> jpeg_interchange_format;         // 0x0201
  std::vector<uint32_t> jpeg_interchange_format_length;  // 0x0202
  std::vector<uint16_t> ycbcr_positioning;               // 0x0213
  std::vector<uint32_t> exif_ifd_pointer;                // 0x8769
  std::vector<uint32_t> gps_info_ifd_pointer;            // 0x8825

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x010E, "image_description", s.image_description, rule_t::padded);
    f(0x010F, "make", s.make, rule_t::padded);
    f(0x0110, "model", s.model, rule_t::padded);
    f(0x0112, "orientation", s.orientation, rule_t::number);
    f(0x011A, "x_resolution", s.x_resolution, rule_t::number);
    f(0x011B, "y_resolution", s.y_resolution, rule_t::number);
    f(0x0128, "resolution_unit", s.resolution_unit, rule_t::number);
    f(0x0131, "software", s.software, rule_t::padded);
    f(0x0132, "date_time", s.date_time, rule_t::padded);
    f(0x0201, "jpeg_interchange_format", s.jpeg_interchange_format, rule_t::number);
    f(0x0202, "jpeg_interchange_format_length", s.jpeg_interchange_format_length, rule_t::number);
    f(0x0213, "ycbcr_positioning", s.ycbcr_positioning, rule_t::number);
    f(0x8769, "exif_ifd_pointer", s.exif_ifd_pointer, rule_t::number);
    f(0x8825, "gps_info_ifd_pointer", s.gps_info_ifd_pointer, rule_t::number);
  }
};

struct tag_1st_ifd : tag_0th_ifd {};

struct tag_exif_ifd : tag_set<tag_exif_ifd> {
  std::vector<rational_t> exposure_time;              // 0x829A
  std::vector<rational_t> f_number;                   // 0x829D
  std::vector<uint16_t> exposure_program;             // 0x8822
  std::vector<uint16_t> iso_speed_ratings;            // 0x8827
  std::vector<uint32_t> standard_output_sensitivity;  // 0x8831
  std::vector<uint32_t> iso_speed;                    // 0x8833
  std::string date_time_original;                     // 0x9003
  std::string date_time_digitized;                    // 0x9004
  std::vector<rational_t> aperture_value;             // 0x9202
  std::vector<srational_t> exposure_bias_value;       // 0x9204
  std::vector<rational_t> max_aperture_value;         // 0x9205
  std::vector<uint16_t> metering_mode;                // 0x9207
  std::vector<uint16_t> flash;                        // 0x9209
  std::vector<rational_t> focal_length;               // 0x920A
  byte_window_t maker_note;                           // 0x927C
  std::vector<uint16_t> color_space;                  // 0xA001
  std::vector<uint16_t> white_balance;                // 0xA403
  std::vector<uint16_t> focal_length_in_35mm_film;    // 0xA405
  std::vector<uint16_t> contrast;                     // 0xA408
  std::vector<uint16_t> saturation;                   // 0xA409
  std::vector<uint16_t> sharpness;                    // 0xA40A
  std::string lens_model;                             // 0xA434

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x829A, "exposure_time", s.exposure_time, rule_t::number);
    f(0x829D, "f_number", s.f_number, rule_t::number);
    f(0x8822, "exposure_program", s.exposure_program, rule_t::number);
    f(0x8827, "iso_speed_ratings", s.iso_speed_ratings, rule_t::number);
    f(0x8831, "standard_output_sensitivity", s.standard_output_sensitivity, rule_t::number);
    f(0x8833, "iso_speed", s.iso_speed, rule_t::number);
    f(0x9003, "date_time_original", s.date_time_original, rule_t::date);
    f(0x9004, "date_time_digitized", s.date_time_digitized, rule_t::date);
    f(0x9202, "aperture_value", s.aperture_value, rule_t::number);
    f(0x9204, "exposure_bias_value", s.exposure_bias_value, rule_t::number);
    f(0x9205, "max_aperture_value", s.max_aperture_value, rule_t::number);
    f(0x9207, "metering_mode", s.metering_mode, rule_t::number);
    f(0x9209, "flash", s.flash, rule_t::number);
    f(0x920A, "focal_length", s.focal_length, rule_t::number);
    f(0x927C, "maker_note", s.maker_note, rule_t::window);
    f(0xA001, "color_space", s.color_space, rule_t::number);
    f(0xA403, "white_balance", s.white_balance, rule_t::number);
    f(0xA405, "focal_length_in_35mm_film", s.focal_length_in_35mm_film, rule_t::number);
    f(0xA408, "contrast", s.contrast, rule_t::number);
    f(0xA409, "saturation", s.saturation, rule_t::number);
    f(0xA40A, "sharpness", s.sharpness, rule_t::number);
    f(0xA434, "lens_model", s.lens_model, rule_t::trimmed);
  }
};

// The GPS IFD is located but not read; its fields stay empty.
struct tag_gps_ifd : tag_set<tag_gps_ifd> {
  std::string gps_version_id;                       // 0x0000
  std::string gps_latitude_ref;                     // 0x0001
  std::vector<rational_t> gps_latitude;             // 0x0002
  std::string gps_longitude_ref;                    // 0x0003
  std::vector<rational_t> gps_longitude;            // 0x0004
  std::string gps_altitude_ref;                     // 0x0005
  std::vector<rational_t> gps_altitude;             // 0x0006
  std::vector<rational_t> gps_time_stamp;           // 0x0007
  std::string gps_satellites;                       // 0x0008
  std::string gps_status;                           // 0x0009
  std::string gps_measure_mode;                     // 0x000A
  std::vector<rational_t> gps_dop;                  // 0x000B
  std::string gps_speed_ref;                        // 0x000C
  std::vector<rational_t> gps_speed;                // 0x000D
  std::string gps_track_ref;                        // 0x000E
  std::vector<rational_t> gps_track;                // 0x000F
  std::string gps_img_direction_ref;                // 0x0010
  std::vector<rational_t> gps_img_direction;        // 0x0011
  std::string gps_map_datum;                        // 0x0012
  std::string gps_dest_latitude_ref;                // 0x0013
  std::vector<rational_t> gps_dest_latitude;        // 0x0014
  std::string gps_dest_longitude_ref;               // 0x0015
  std::vector<rational_t> gps_dest_longitude;       // 0x0016
  std::string gps_dest_bearing_ref;                 // 0x0017
  std::vector<rational_t> gps_dest_bearing;         // 0x0018
  std::string gps_dest_distance_ref;                // 0x0019
  std::vector<rational_t> gps_dest_distance;        // 0x001A
  std::string gps_processing_method;                // 0x001B
  std::string gps_area_information;                 // 0x001C
  std::string gps_date_stamp;                       // 0x001D
  std::vector<uint16_t> gps_differential;           // 0x001E
  std::vector<rational_t> gps_h_positioning_error;  // 0x001F

  template <class Self, class F>
  static void fields(Self& s, F& f) {
    f(0x0000, "gps_version_id", s.gps_version_id, rule_t::exact);
    f(0x0001, "gps_latitude_ref", s.gps_latitude_ref, rule_t::padded);
    f(0x0002, "gps_latitude", s.gps_latitude, rule_t::number);
    f(0x0003, "gps_longitude_ref", s.gps_longitude_ref, rule_t::padded);
    f(0x0004, "gps_longitude", s.gps_longitude, rule_t::number);
    f(0x0005, "gps_altitude_ref", s.gps_altitude_ref, rule_t::exact);
    f(0x0006, "gps_altitude", s.gps_altitude, rule_t::number);
    f(0x0007, "gps_time_stamp", s.gps_time_stamp, rule_t::number);
    f(0x0008, "gps_satellites", s.gps_satellites, rule_t::padded);
    f(0x0009, "gps_status", s.gps_status, rule_t::padded);
    f(0x000A, "gps_measure_mode", s.gps_measure_mode, rule_t::padded);
    f(0x000B, "gps_dop", s.gps_dop, rule_t::number);
    f(0x000C, "gps_speed_ref", s.gps_speed_ref, rule_t::padded);
    f(0x000D, "gps_speed", s.gps_speed, rule_t::number);
    f(0x000E, "gps_track_ref", s.gps_track_ref, rule_t::padded);
    f(0x000F, "gps_track", s.gps_track, rule_t::number);
    f(0x0010, "gps_img_direction_ref", s.gps_img_direction_ref, rule_t::padded);
    f(0x0011, "gps_img_direction", s.gps_img_direction, rule_t::number);
    f(0x0012, "gps_map_datum", s.gps_map_datum, rule_t::padded);
    f(0x0013, "gps_dest_latitude_ref", s.gps_dest_latitude_ref, rule_t::padded);
    f(0x0014, "gps_dest_latitude", s.gps_dest_latitude, rule_t::number);
    f(0x0015, "gps_dest_longitude_ref", s.gps_dest_longitude_ref, rule_t::padded);
    f(0x0016, "gps_dest_longitude", s.gps_dest_longitude, rule_t::number);
    f(0x0017, "gps_dest_bearing_ref", s.gps_dest_bearing_ref, rule_t::padded);
    f(0x0018, "gps_dest_bearing", s.gps_dest_bearing, rule_t::number);
    f(0x0019, "gps_dest_distance_ref", s.gps_dest_distance_ref, rule_t::padded);
    f(0x001A, "gps_dest_distance", s.gps_dest_distance, rule_t::number);
    f(0x001B, "gps_processing_method", s.gps_processing_method, rule_t::exact);
    f(0x001C, "gps_area_information", s.gps_area_information, rule_t::exact);
    f(0x001D, "gps_date_stamp", s.gps_date_stamp, rule_t::padded);
    f(0x001E, "gps_differential", s.gps_differential, rule_t::number);
    f(0x001F, "gps_h_positioning_error", s.gps_h_positioning_error, rule_t::number);
  }
};

}  // namespace ExifType
}  // namespace libgr

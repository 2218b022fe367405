// The EXIF record of a JPEG APP1 segment: the TIFF block inside its payload
// read into the tag sets of the 0th, Exif, GPS and 1st IFDs and of the
// camera maker note, with the embedded thumbnail as a window. Everything
// read stays a window on the given bytes; nothing is written back.
#pragma once

#include "image/exif_tags.h"
#include "image/makernote.h"

namespace libgr {

class app1_marker_t {
 public:
  class tiff_header_t {
   public:
    byte_window_t tiff;  // from the byte-order mark; every offset counts from here
    libutils::byteorder* byteorder = nullptr;  // owned; null until a block was read

    byte_window_t ifd_0th;
    byte_window_t ifd_exif;
    byte_window_t ifd_gps;
    byte_window_t ifd_1st;
    byte_window_t ifd_makernote;
    byte_window_t ifd_olympus3_equipment;
    byte_window_t ifd_olympus3_camerasettings;
    byte_window_t ifd_olympus3_focusinfo;
    byte_window_t thumbnail;  // the EXIF thumbnail's JPEG stream

    ExifType::tag_0th_ifd tag_0th;
    ExifType::tag_exif_ifd tag_exif;
    ExifType::tag_gps_ifd tag_gps;
    ExifType::tag_1st_ifd tag_1st;
    ExifType::tag_olympus_ifd tag_olympus;
    ExifType::tag_olympus3_equipment_ifd tag_olympus3_equipment;
    ExifType::tag_olympus3_camerasettings_ifd tag_olympus3_camerasettings;
    ExifType::tag_olympus3_focusinfo_ifd tag_olympus3_focusinfo;
    ExifType::tag_pentax5_ifd tag_pentax5;

    tiff_header_t() = default;
    tiff_header_t(const tiff_header_t&) = delete;
    tiff_header_t& operator=(const tiff_header_t&) = delete;
    ~tiff_header_t() { clear(); }

    // Empties the IFD windows and shares block; the tag sets are kept, so a
    // record is parsed once or cleared first.
    void set_tiff_buffer(byte_window_t& block);
    bool is_intel() const;
    bool is_motorola() const;
    void byteorderclear();

    bool parse();
    bool parse_0th_ifd(byte_window_t& ifd);
    bool parse_exif_ifd(byte_window_t& ifd);
    bool parse_gps_ifd(byte_window_t& ifd);  // the GPS IFD is not read
    bool parse_1st_ifd(byte_window_t& ifd);

    // Maker-note IFDs. Offsets in the Olympus IFD count from the TIFF
    // block, in the others from the note's first byte.
    bool parse_olympus_ifd(byte_window_t& ifd);
    bool parse_olympus3_ifd(byte_window_t& ifd, byte_window_t& note);
    bool parse_olympus3_equipment_ifd(byte_window_t& ifd, byte_window_t& note);
    bool parse_olympus3_camerasettings_ifd(byte_window_t& ifd, byte_window_t& note);
    bool parse_olympus3_focusinfo_ifd(byte_window_t& ifd, byte_window_t& note);
    bool parse_pentax5_ifd(byte_window_t& ifd, byte_window_t& note);

    void clear();

   private:
    bool parse_makernote();
    bool parse_olympus3_note(byte_window_t& note, uint64_t start);
    bool copy_olympus_ifd(byte_window_t& note, uint64_t start, uint64_t length);
  };

  byte_window_t payload;
  tiff_header_t tiff_header;

  void set_app1_buffer(byte_window_t& app1) { payload = app1; }
  bool is_exif() const;
  bool parse();
  void clear();
};

}  // namespace libgr

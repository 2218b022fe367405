// What the EXIF tests share: the camera files in tests/data with maker
// notes, and an APP1 payload parsed with its message lines caught.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "image/exif.h"
#include "image/tests/tiff_writer.h"

namespace testutil {

// Real camera files of every maker-note layout the reader knows.
inline const char* const camera_files[] = {"olympus_E-M10III_from_exv.jpg",
                                           "olympus_u10D_from_exv.jpg",
                                           "omsystem-header_E-P3_from_exv.jpg",
                                           "pentax_K-3_from_exv.jpg",
                                           "Olympus_PEN_E-P3.jpg",
                                           "Olympus_X-2.jpg",
                                           "FujiFilm_SP-2500.jpg",
                                           "exiv2-olympus-c8080wz.jpg",
                                           "exiv2-nikon-d70.jpg",
                                           "exiftool-Olympus.jpg",
                                           "exiftool-Ricoh.jpg"};

// Parses an APP1 payload; err gets what was written to standard error.
inline bool parse(libgr::app1_marker_t& m, const bytes_t& payload, std::string* err = nullptr) {
  libgr::byte_window_t w = window(payload);
  m.set_app1_buffer(w);
  testing::internal::CaptureStderr();
  bool ok = m.parse();
  std::string text = testing::internal::GetCapturedStderr();
  if (err) *err = text;
  return ok;
}

}  // namespace testutil

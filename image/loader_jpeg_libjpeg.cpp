#include "image/loader_jpeg_libjpeg.h"

#include <iostream>

#include "utility/failure.h"

namespace libgr {
namespace detail {

namespace {

const desc_row_t jpeg_info_desc_table[] = {
    {IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8, JCS_RGB, 3},
    {IMAGE_FORMAT_YCbCr, IMAGE_TYPE_UINT, IMAGE_BITS_8, JCS_YCbCr, 3},
    {IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8, JCS_GRAYSCALE, 1},
};

const char* const addon_messages[] = {"JPEG image has more than %d scans", nullptr};

void my_output_message(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  std::cerr << text << std::endl;
}

void my_error_exit(j_common_ptr cinfo) {
  error_record_t* err = reinterpret_cast<error_record_t*>(cinfo->err);
  libutils::fail(nameof(err->data), ": error detected.");
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  note_jpeg_error(text);
  (*cinfo->err->output_message)(cinfo);
  longjmp(err->jump, 1);
}

}  // namespace

namespace {

thread_local std::string t_last_error;

}  // namespace

void note_jpeg_error(const char* text) { t_last_error = text ? text : ""; }

const char* nameof(const jpegdata_t* data) { return data && data->name ? data->name : ""; }

jpeg_error_mgr* set_error_record(error_record_t& err, const jpegdata_t* data) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = my_error_exit;
  err.pub.output_message = my_output_message;
  err.pub.addon_message_table = addon_messages;
  err.pub.first_addon_message = JERR_SCAN_LIMIT;
  err.pub.last_addon_message = JERR_SCAN_LIMIT;
  err.data = data;
  return &err.pub;
}

const desc_row_t* find_row(const image_desc_t& desc) {
  for (const desc_row_t& row : jpeg_info_desc_table) {
    if (row.format == desc.format && row.type == desc.type && row.bits == desc.bits) {
      return &row;
    }
  }
  return nullptr;
}

const desc_row_t* find_row(int components, J_COLOR_SPACE space) {
  for (const desc_row_t& row : jpeg_info_desc_table)
    if (row.components == components && row.color_space == space) return &row;
  return nullptr;
}

}  // namespace detail

const std::string& last_jpeg_error() { return detail::t_last_error; }

void forget_jpeg_error() { detail::t_last_error.clear(); }

}  // namespace libgr

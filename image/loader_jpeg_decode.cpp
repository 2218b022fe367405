// jpeginfo_t's reading side: the frame and markers of a stream, and its
// rows decoded straight into an image's store.
#include <cstdint>
#include <cstring>

#include <jerror.h>

#include "image/loader_jpeg_libjpeg.h"
#include "utility/failure.h"

namespace libgr {

using detail::desc_row_t;
using detail::error_record_t;
using detail::nameof;

namespace {

struct source_record_t {
  jpeg_source_mgr pub;
  const jpegdata_t* data;
  bool handed;  // the whole stream has been given to libjpeg
};

struct marker_row_t {
  uint32_t number;
  uint32_t code;
};

const marker_row_t marker_array[jpeginfo_t::MARKER_MAX] = {
    {0, 0xE0},  {1, 0xE1},  {2, 0xE2},  {3, 0xE3},  {4, 0xE4},  {5, 0xE5},
    {6, 0xE6},  {7, 0xE7},  {8, 0xE8},  {9, 0xE9},  {10, 0xEA}, {11, 0xEB},
    {12, 0xEC}, {13, 0xED}, {14, 0xEE}, {15, 0xEF}, {16, 0xFE},
};

// Real progressive files have a dozen scans; thousands of tiny ones only
// serve to make decoding take forever.
constexpr int scan_limit = 500;

// Everything of one call that libjpeg may change before a jump. It lives
// in memory (its address is handed around), so nothing of it is lost to
// the longjmp; the setjmp frames hold nothing else that is read after one.
struct decoder_t {
  jpeg_decompress_struct cinfo;
  error_record_t err;
  jpeg_progress_mgr progress;
  volatile bool reading_rows;  // past the header: a jump now continues
  volatile bool reused_store;  // the image's old store holds stale rows
};

}  // namespace

static void limit_scans(j_common_ptr cinfo) {
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > scan_limit) ERREXIT1(cinfo, detail::JERR_SCAN_LIMIT, scan_limit);
}

// --- source manager -----------------------------------------------------

static void src_init(j_decompress_ptr cinfo) {
  cinfo->src->next_input_byte = nullptr;
  cinfo->src->bytes_in_buffer = 0;
}

static void src_term(j_decompress_ptr cinfo) { src_init(cinfo); }

// The whole stream at the first request. A second request means libjpeg
// wants bytes beyond the end: the stream is cut short, and that fails
// through the error exit (never a read outside the data, never the stream
// again from its start).
static boolean src_fill_input_buff(j_decompress_ptr cinfo) {
  source_record_t* src = reinterpret_cast<source_record_t*>(cinfo->src);
  const jpeg_bytes_t& bytes = src->data->data;
  if (src->handed) ERREXIT(cinfo, JERR_INPUT_EOF);
  if (bytes.empty() || bytes.size() == 0) ERREXIT(cinfo, JERR_INPUT_EMPTY);
  src->handed = true;
  src->pub.next_input_byte = bytes.begin();
  src->pub.bytes_in_buffer = bytes.size();
  return TRUE;
}

static void src_skip_input_data(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<unsigned long>(count) > src->bytes_in_buffer) ERREXIT(cinfo, JERR_INPUT_EOF);
  src->next_input_byte += count;
  src->bytes_in_buffer -= count;
}

static void set_jpegimage_src(j_decompress_ptr cinfo, const jpegdata_t& data) {
  if (!cinfo->src) {
    cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(source_record_t)));
  }
  source_record_t* src = reinterpret_cast<source_record_t*>(cinfo->src);
  src->data = &data;
  src->handed = false;
  src->pub.init_source = src_init;
  src->pub.fill_input_buffer = src_fill_input_buff;
  src->pub.skip_input_data = src_skip_input_data;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = src_term;
  src->pub.next_input_byte = nullptr;
  src->pub.bytes_in_buffer = 0;
}

// --- helpers --------------------------------------------------------------

// Appends the saved markers to list, every payload a window on one new
// block holding copies of them all (one mapping however many markers).
// whole_only skips markers that were cut or are empty.
static bool copy_markers(j_decompress_ptr cinfo, std::list<jpeginfo_t::marker_t>& list,
                         bool whole_only) {
  auto wanted = [whole_only](jpeg_saved_marker_ptr m) {
    return !whole_only || (m->data_length != 0 && m->data_length == m->original_length);
  };
  uint64_t total = 0;
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next)
    if (wanted(m)) total += m->data_length;
  jpeg_bytes_t block;
  if (total > SIZE_MAX || (total && !block.resize(total))) return false;
  size_t at = 0;
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
    if (!wanted(m)) continue;
    jpeginfo_t::marker_t entry;
    entry.code = m->marker;
    if (m->data_length) {
      std::memcpy(block.begin() + at, m->data, m->data_length);
      entry.payload.setwindow(block, at, m->data_length);
      at += m->data_length;
    }
    list.push_back(entry);
  }
  return true;
}

static void begin_decoder(decoder_t& d, jpegdata_t& data, unsigned int app_limit) {
  d.cinfo.err = detail::set_error_record(d.err, &data);
  jpeg_CreateDecompress(&d.cinfo, 62, sizeof(d.cinfo));
  set_jpegimage_src(&d.cinfo, data);
  jpeg_save_markers(&d.cinfo, JPEG_COM, 0xFFFF);
  for (int code = JPEG_APP0; code <= JPEG_APP0 + 15; ++code)
    jpeg_save_markers(&d.cinfo, code, app_limit);
}

static bool decode_stop(decoder_t& d, const jpegdata_t& data) {
  jpeg_destroy_decompress(&d.cinfo);
  return libutils::fail(nameof(&data), ": jpeg decompress fail, stop.");
}

// --- jpeginfo_t -----------------------------------------------------------

// The steps run under the setjmp of the callers; kept out of line so that
// none of their locals lives in a frame that a jump returns to.
__attribute__((noinline)) static bool analyze_steps(decoder_t& d, jpegdata_t& data,
                                                    jpeginfo_t& info) {
  begin_decoder(d, data, 0xFFFFFFFFu);
  jpeg_read_header(&d.cinfo, TRUE);
  info.width = d.cinfo.image_width;
  info.height = d.cinfo.image_height;
  if (!copy_markers(&d.cinfo, info.markers, false)) {
    info.markers.clear();
    return decode_stop(d, data);
  }
  jpeg_destroy_decompress(&d.cinfo);
  return true;
}

bool jpeginfo_t::analyze_markers(jpegdata_t& data) {
  decoder_t d;
  std::memset(&d, 0, sizeof d);
  markers.clear();
  if (setjmp(d.err.jump)) {
    markers.clear();
    return decode_stop(d, data);
  }
  return analyze_steps(d, data, *this);
}

jpeg_bytes_t jpeginfo_t::get_marker(e_marker_num_t n) {
  if (n >= MARKER_MAX) return jpeg_bytes_t();
  for (const marker_t& m : markers)
    if (m.code == marker_array[n].code) return m.payload;
  return jpeg_bytes_t();
}

// Reads every row straight into the image's store, the picture's top row
// into the last stored row.
static void read_rows(j_decompress_ptr cinfo, image2d_t& image) {
  unsigned char* base = image.pixels.begin();
  uint64_t rowsize = image.rowsize();
  JSAMPROW rows[detail::rows_per_call];
  while (cinfo->output_scanline < cinfo->output_height) {
    JDIMENSION left = cinfo->output_height - cinfo->output_scanline;
    JDIMENSION n = left < detail::rows_per_call ? left : detail::rows_per_call;
    for (JDIMENSION i = 0; i < n; ++i) {
      uint64_t row = cinfo->output_height - 1 - (cinfo->output_scanline + i);
      rows[i] = base + row * rowsize;
    }
    jpeg_read_scanlines(cinfo, rows, n);
  }
}

// Bytes of the store that image's rows need.
static bool store_bytes_of(const image2d_t& image, size_t& bytes) {
  uint64_t total;
  if (__builtin_mul_overflow(uint64_t{image.height}, image.rowsize(), &total) || total > SIZE_MAX)
    return false;
  bytes = static_cast<size_t>(total);
  return true;
}

// decompress's steps up to its first row: false, the decoder gone, where
// decompress fails there; row is the layout the rows are decoded in.
static bool read_frame(decoder_t& d, jpegdata_t& data, jpeginfo_t& info, const desc_row_t*& row) {
  begin_decoder(d, data, 0xFFFF);
  d.progress.progress_monitor = limit_scans;
  d.cinfo.progress = &d.progress;
  jpeg_read_header(&d.cinfo, TRUE);
  info.width = d.cinfo.image_width;
  info.height = d.cinfo.image_height;
  row = detail::find_row(d.cinfo.num_components, d.cinfo.out_color_space);
  if (!row) {  // CMYK, YCCK and other layouts: refused without a line
    detail::note_jpeg_error("its colours are stored as CMYK or in another form that is not read");
    (*d.cinfo.src->term_source)(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return false;
  }
  if (!check_image_size(data.name, info.width, info.height)) {
    detail::note_jpeg_error("the picture has too many pixels to be read");
    jpeg_destroy_decompress(&d.cinfo);
    return false;
  }
  return true;
}

__attribute__((noinline)) static bool probe_steps(decoder_t& d, jpegdata_t& data,
                                                  jpeginfo_t& info) {
  const desc_row_t* row = nullptr;
  if (!read_frame(d, data, info, row)) return false;
  if (!copy_markers(&d.cinfo, info.markers, true)) return decode_stop(d, data);
  jpeg_destroy_decompress(&d.cinfo);
  return true;
}

bool jpeginfo_t::probe(jpegdata_t& data) {
  decoder_t d;
  std::memset(&d, 0, sizeof d);
  markers.clear();
  if (setjmp(d.err.jump)) return decode_stop(d, data);
  return probe_steps(d, data, *this);
}

__attribute__((noinline)) static bool decompress_steps(decoder_t& d, jpegdata_t& data,
                                                       jpeginfo_t& info, image2d_t& image) {
  static const image_store_t s_image_store(false, 4);
  const desc_row_t* row = nullptr;
  if (!read_frame(d, data, info, row)) return false;
  // A store that only this image holds and that is large enough is used
  // again: whoever decodes photo after photo into one image pays for
  // fresh zero-filled pages once.
  const bool unshared = image.pixels.use_count() == 1 && !image.compressed;
  image.palette.clear();
  image.window = image_window2d_t();
  image.desc = image_desc_t(row->format, row->type, row->bits);
  image.store = &s_image_store;
  image.width = d.cinfo.image_width;
  image.height = d.cinfo.image_height;
  image.compressed = false;
  size_t need = 0;
  d.reused_store = unshared && store_bytes_of(image, need) && need <= image.pixels.size();
  if (!d.reused_store) image.pixels.clear();
  if ((!d.reused_store && !image.allocate()) || !copy_markers(&d.cinfo, info.markers, true))
    return decode_stop(d, data);

  d.reading_rows = true;
  jpeg_start_decompress(&d.cinfo);
  read_rows(&d.cinfo, image);
  jpeg_finish_decompress(&d.cinfo);
  jpeg_destroy_decompress(&d.cinfo);
  return true;
}

bool jpeginfo_t::decompress(image2d_t& image, jpegdata_t& data, unsigned short, bool,
                            const color3ub_t&) {
  decoder_t d;
  std::memset(&d, 0, sizeof d);
  markers.clear();
  if (setjmp(d.err.jump)) {
    if (!d.reading_rows) return decode_stop(d, data);
    // The rows never read are zero, as in a fresh store.
    if (d.reused_store && d.cinfo.output_scanline < image.height)
      std::memset(image.pixels.begin(), 0,
                  static_cast<size_t>((image.height - d.cinfo.output_scanline) * image.rowsize()));
    jpeg_destroy_decompress(&d.cinfo);
    libutils::fail(nameof(&data), ": jpeg decompress fail, but continue.");
    return true;
  }
  return decompress_steps(d, data, *this, image);
}

}  // namespace libgr

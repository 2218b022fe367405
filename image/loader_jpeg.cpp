#include "image/loader_jpeg.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

#include "utility/futil.h"

namespace libgr {

namespace {

// libjpeg's own objects are released before every return; longjmp only
// ever crosses libjpeg frames and frames without destructors.
struct error_record_t {
  jpeg_error_mgr pub;
  jmp_buf jump;
  const jpegdata_t* data;  // whose name the messages use
};

struct source_record_t {
  jpeg_source_mgr pub;
  const jpegdata_t* data;
  bool handed;  // the whole stream has been given to libjpeg
};

struct destination_record_t {
  jpeg_destination_mgr pub;
  jpegdata_t* out;
  size_t initial;  // bytes of the first block
};

struct desc_row_t {
  e_image_format_t format;
  e_image_type_t type;
  e_image_bits_t bits;
  J_COLOR_SPACE color_space;
  int components;
};

const desc_row_t jpeg_info_desc_table[] = {
    {IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8, JCS_RGB, 3},
    {IMAGE_FORMAT_YCbCr, IMAGE_TYPE_UINT, IMAGE_BITS_8, JCS_YCbCr, 3},
    {IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8, JCS_GRAYSCALE, 1},
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
constexpr int JERR_SCAN_LIMIT = 1000;
const char* const addon_messages[] = {"JPEG image has more than %d scans", nullptr};

constexpr size_t rows_per_call = 16;
constexpr size_t min_destination = 64 * 1024;

const char* nameof(const jpegdata_t* data) { return data && data->name ? data->name : ""; }

}  // namespace

// --- error exit ---------------------------------------------------------

static void my_output_message(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  std::cerr << text << std::endl;
}

static void my_error_exit(j_common_ptr cinfo) {
  error_record_t* err = reinterpret_cast<error_record_t*>(cinfo->err);
  libutils::fail(nameof(err->data), ": error detected.");
  (*cinfo->err->output_message)(cinfo);
  longjmp(err->jump, 1);
}

static jpeg_error_mgr* set_error_record(error_record_t& err, const jpegdata_t* data) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = my_error_exit;
  err.pub.output_message = my_output_message;
  err.pub.addon_message_table = addon_messages;
  err.pub.first_addon_message = JERR_SCAN_LIMIT;
  err.pub.last_addon_message = JERR_SCAN_LIMIT;
  err.data = data;
  return &err.pub;
}

static void limit_scans(j_common_ptr cinfo) {
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > scan_limit) ERREXIT1(cinfo, JERR_SCAN_LIMIT, scan_limit);
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

// --- destination manager ------------------------------------------------

// The block starts at an estimate of the stream's size and doubles when
// full, so a large image costs no string of copies; the finished stream is
// a window on the block (no copy to trim it).
static void dest_init(j_compress_ptr cinfo) {
  destination_record_t* dest = reinterpret_cast<destination_record_t*>(cinfo->dest);
  jpeg_bytes_t& bytes = dest->out->data;
  bytes.clear();
  if (!bytes.resize(dest->initial)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
  dest->pub.next_output_byte = bytes.begin();
  dest->pub.free_in_buffer = bytes.size();
}

static boolean dest_empty_buff(j_compress_ptr cinfo) {
  destination_record_t* dest = reinterpret_cast<destination_record_t*>(cinfo->dest);
  jpeg_bytes_t& bytes = dest->out->data;
  size_t old = bytes.size();
  if (old > SIZE_MAX / 2 || !bytes.resize(old * 2)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 2);
  dest->pub.next_output_byte = bytes.begin() + old;
  dest->pub.free_in_buffer = bytes.size() - old;
  return TRUE;
}

static void dest_term(j_compress_ptr cinfo) {
  destination_record_t* dest = reinterpret_cast<destination_record_t*>(cinfo->dest);
  jpeg_bytes_t& bytes = dest->out->data;
  size_t written = bytes.size() - dest->pub.free_in_buffer;
  {
    jpeg_bytes_t whole = bytes;
    bytes.setwindow(whole, 0, written);
  }
  dest->pub.next_output_byte = nullptr;
  dest->pub.free_in_buffer = 0;
  cinfo->dest = nullptr;
}

static void set_jpegimage_dest(j_compress_ptr cinfo, jpegdata_t& out, size_t initial) {
  if (!cinfo->dest) {
    cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(destination_record_t)));
  }
  destination_record_t* dest = reinterpret_cast<destination_record_t*>(cinfo->dest);
  dest->out = &out;
  dest->initial = initial;
  dest->pub.init_destination = dest_init;
  dest->pub.empty_output_buffer = dest_empty_buff;
  dest->pub.term_destination = dest_term;
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

static const desc_row_t* find_row(const image_desc_t& desc) {
  for (const desc_row_t& row : jpeg_info_desc_table) {
    if (row.format == desc.format && row.type == desc.type && row.bits == desc.bits) {
      return &row;
    }
  }
  return nullptr;
}

static const desc_row_t* find_row(int components, J_COLOR_SPACE space) {
  for (const desc_row_t& row : jpeg_info_desc_table)
    if (row.components == components && row.color_space == space) return &row;
  return nullptr;
}

// --- jpegdata_t -----------------------------------------------------------

bool jpegdata_t::load(const char* path, libutils::android_app* app) {
  if (!data.load(0, path, libutils::E_PROT_READ, 0, false, app)) return false;
  name = path;
  return true;
}

bool load_jpeg_head(jpeg_bytes_t& out, const char* path) {
  out.clear();
  const int fd = libutils::open_regular(path);
  if (fd < 0) return false;
  // A camera's segments before the scan mostly fit the first read. The
  // buffer serves the thread's next heads too: a window reads a thousand
  // of them, and fresh pages for each cost more than the reading.
  const size_t chunk = size_t{64} << 10;
  thread_local std::unique_ptr<unsigned char[]> head;
  thread_local size_t room = 0;
  size_t held = 0, end = 0;  // end of the SOS segment, once found
  bool eof = false;
  // Reads until have bytes are held; false at the end of the file.
  auto fill = [&](size_t have) {
    while (held < have && !eof) {
      if (held == room) {
        const size_t bigger = room + std::max(chunk, room);
        std::unique_ptr<unsigned char[]> grown(new (std::nothrow) unsigned char[bigger]);
        if (!grown) return false;
        if (held) std::memcpy(grown.get(), head.get(), held);
        head = std::move(grown);
        room = bigger;
      }
      const ssize_t n = read(fd, head.get() + held, room - held);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) eof = true;
      else held += static_cast<size_t>(n);
    }
    return held >= have;
  };
  if (fill(2) && head[0] == 0xFF && head[1] == 0xD8) {
    for (size_t p = 2; fill(p + 4) && head[p] == 0xFF;) {
      const unsigned char code = head[p + 1];
      const size_t length = (size_t{head[p + 2]} << 8) | head[p + 3];
      // A standalone marker, a fill byte or a bad length ends the plain walk.
      if (code == 0xFF || code == 0x01 || (code >= 0xD0 && code <= 0xD9) || length < 2) break;
      if (!fill(p + 2 + length)) break;
      if (code == 0xDA) {
        end = p + 2 + length;
        break;
      }
      p += 2 + length;
    }
  }
  close(fd);
  bool loaded;
  if (end == 0) {
    loaded = out.load(0, path, libutils::E_PROT_READ);
  } else {
    loaded = out.resize(end);
    if (loaded) std::memcpy(out.begin(), head.get(), end);
  }
  // An odd head's large buffer is not kept for the next.
  if (room > 16 * chunk) {
    head.reset();
    room = 0;
  }
  return loaded;
}

bool jpegdata_t::load_head(const char* path) {
  if (!load_jpeg_head(data, path)) return false;
  name = path;
  return true;
}

bool jpegdata_t::save(const char* path, libutils::android_app*) {
  if (!path) return false;
  unlink(path);
  // O_EXCL: should anything have reappeared at the path, fail rather than
  // write through it.
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const unsigned char* p = data.begin();
  size_t left = data.size();
  bool ok = true;
  while (ok && left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
    } else {
      p += n;
      left -= static_cast<size_t>(n);
    }
  }
  if (close(fd) != 0) ok = false;
  if (!ok) {
    unlink(path);  // a cut file would pass for a damaged photo
    return false;
  }
  name = path;
  return true;
}

void jpegdata_t::setvector(jpeg_bytes_t& v, const char* text) {
  data = v;
  name = text;
}

// --- jpeginfo_t -----------------------------------------------------------

namespace {

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

struct encoder_t {
  jpeg_compress_struct cinfo;
  error_record_t err;
};

}  // namespace

static void begin_decoder(decoder_t& d, jpegdata_t& data, unsigned int app_limit) {
  d.cinfo.err = set_error_record(d.err, &data);
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
  JSAMPROW rows[rows_per_call];
  while (cinfo->output_scanline < cinfo->output_height) {
    JDIMENSION left = cinfo->output_height - cinfo->output_scanline;
    JDIMENSION n = left < rows_per_call ? left : rows_per_call;
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
  row = find_row(d.cinfo.num_components, d.cinfo.out_color_space);
  if (!row) {  // CMYK, YCCK and other layouts: refused without a word
    (*d.cinfo.src->term_source)(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return false;
  }
  if (!check_image_size(data.name, info.width, info.height)) {
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

// Bytes needed to read every row of the image through its window.
static bool store_holds_rows(const image2d_t& image) {
  uint64_t rowsize = image.rowsize();
  uint64_t first = uint64_t{image.window.skip_pixels} * image.desc.getPixelBits() / 8;
  uint64_t last_row = uint64_t{image.window.skip_rows} + image.height - 1;
  uint64_t need = last_row * rowsize + first + image.rowbyte();
  return !image.compressed && image.pixels.begin() && need <= image.pixels.size();
}

static void write_rows(j_compress_ptr cinfo, const image2d_t& image) {
  JSAMPROW rows[rows_per_call];
  while (cinfo->next_scanline < cinfo->image_height) {
    JDIMENSION left = cinfo->image_height - cinfo->next_scanline;
    JDIMENSION n = left < rows_per_call ? left : rows_per_call;
    for (JDIMENSION i = 0; i < n; ++i) {
      unsigned int row = cinfo->image_height - 1 - (cinfo->next_scanline + i);
      rows[i] = const_cast<JSAMPROW>(image[row]);
    }
    jpeg_write_scanlines(cinfo, rows, n);
  }
}

// A first block that most photos fill without growing: a quarter byte per
// sample, the markers and room for the tables.
static size_t destination_estimate(const image2d_t& image, int components,
                                   const std::list<jpeginfo_t::marker_t>& list) {
  uint64_t bytes = uint64_t{image.width} * image.height * components / 4;
  for (const jpeginfo_t::marker_t& m : list) bytes += m.payload.size() + 4;
  bytes += min_destination;
  return bytes > SIZE_MAX / 4 ? SIZE_MAX / 4 : static_cast<size_t>(bytes);
}

__attribute__((noinline)) static void compress_steps(encoder_t& e, jpegdata_t& out,
                                                     const image2d_t& image, const desc_row_t& row,
                                                     const std::list<jpeginfo_t::marker_t>& markers,
                                                     int quality, bool force_baseline) {
  e.cinfo.err = set_error_record(e.err, &out);
  jpeg_CreateCompress(&e.cinfo, 62, sizeof(e.cinfo));
  set_jpegimage_dest(&e.cinfo, out, destination_estimate(image, row.components, markers));
  e.cinfo.image_width = image.width;
  e.cinfo.image_height = image.height;
  e.cinfo.input_components = row.components;
  e.cinfo.in_color_space = row.color_space;
  jpeg_set_defaults(&e.cinfo);
  jpeg_set_quality(&e.cinfo, quality, force_baseline ? TRUE : FALSE);
  jpeg_start_compress(&e.cinfo, TRUE);
  for (const jpeginfo_t::marker_t& m : markers) {
    jpeg_write_marker(&e.cinfo, m.code, m.payload.begin(),
                      static_cast<unsigned int>(m.payload.size()));
  }
  write_rows(&e.cinfo, image);
  jpeg_finish_compress(&e.cinfo);
  jpeg_destroy_compress(&e.cinfo);
}

// libjpeg's own error exit would end the whole program; an image that
// cannot be encoded only fails this call.
bool jpeginfo_t::compress(jpegdata_t& out, const image2d_t& image, int quality,
                          bool force_baseline) {
  out.data.clear();
  const desc_row_t* row = find_row(image.desc);
  if (!row) return false;
  if (image.width == 0 || image.height == 0) {
    return libutils::fail(nameof(&out), ": jpeg compress fail, image is ", image.width, "x",
                          image.height, " pixels.");
  }
  if (!store_holds_rows(image)) {
    return libutils::fail(nameof(&out), ": jpeg compress fail, image store too small.");
  }
  encoder_t e;
  std::memset(&e, 0, sizeof e);
  if (setjmp(e.err.jump)) {
    jpeg_destroy_compress(&e.cinfo);
    out.data.clear();
    return libutils::fail(nameof(&out), ": jpeg compress fail.");
  }
  compress_steps(e, out, image, *row, markers, quality, force_baseline);
  return true;
}

}  // namespace libgr

// jpeginfo_t's writing side: an image's rows encoded straight from its
// store, with the marker list, into a block that grows as it fills.
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

struct destination_record_t {
  jpeg_destination_mgr pub;
  jpegdata_t* out;
  size_t initial;  // bytes of the first block
};

struct encoder_t {
  jpeg_compress_struct cinfo;
  error_record_t err;
};

constexpr size_t min_destination = 64 * 1024;

}  // namespace

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

// --- jpeginfo_t::compress -------------------------------------------------

// Bytes needed to read every row of the image through its window.
static bool store_holds_rows(const image2d_t& image) {
  uint64_t rowsize = image.rowsize();
  uint64_t first = uint64_t{image.window.skip_pixels} * image.desc.getPixelBits() / 8;
  uint64_t last_row = uint64_t{image.window.skip_rows} + image.height - 1;
  uint64_t need = last_row * rowsize + first + image.rowbyte();
  return !image.compressed && image.pixels.begin() && need <= image.pixels.size();
}

static void write_rows(j_compress_ptr cinfo, const image2d_t& image) {
  JSAMPROW rows[detail::rows_per_call];
  while (cinfo->next_scanline < cinfo->image_height) {
    JDIMENSION left = cinfo->image_height - cinfo->next_scanline;
    JDIMENSION n = left < detail::rows_per_call ? left : detail::rows_per_call;
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
  e.cinfo.err = detail::set_error_record(e.err, &out);
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
  const desc_row_t* row = detail::find_row(image.desc);
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

// The JPEG front end: the bytes of one JPEG stream, decoding it into an
// image2d_t with its APPn and COM markers kept, and encoding an image with a
// marker list. All work is done by libjpeg (version-62 interface) through
// in-memory source and destination managers.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "image/geometry.h"
#include "image/imagetype.h"
#include "utility/refvector.h"

namespace libgr {

typedef libutils::ofsvector<unsigned char, libutils::alloc_mmap_unix> jpeg_bytes_t;

// Where heads of files are read before their bytes are copied out: kept by
// whoever reads many of them (a window's rows, a thousand photos), whose
// pages then serve head after head instead of fresh ones each time. Room
// that an unusually long head needed is given back after it.
class jpeg_head_buffer_t {
 public:
  // Room for at least size bytes, the first held kept; false when memory
  // is short.
  bool reserve(size_t size, size_t held);
  unsigned char* bytes() { return m_bytes.get(); }
  size_t room() const { return m_room; }
  // Gives back room beyond what camera heads need.
  void trim();

 private:
  std::unique_ptr<unsigned char[]> m_bytes;
  size_t m_room = 0;
};

class jpegdata_t {
 public:
  // The complete stream. After load a read-only shared mapping of the
  // file; after encoding an anonymous block holding exactly the stream.
  jpeg_bytes_t data;
  // Put in front of messages about these bytes; not owned, may be null.
  const char* name = nullptr;

  jpegdata_t() = default;

  // Maps the whole file read-only (an empty file gives empty data); name
  // becomes the given pointer on success. Writes nothing.
  bool load(const char* name, libutils::android_app* app = nullptr);
  // As load, but only the head of the file (see load_jpeg_head): for the
  // frame size and the markers, without the scan.
  bool load_head(const char* name);
  bool load_head(const char* name, jpeg_head_buffer_t& buffer);
  // Unlinks the path first, so that a link there is replaced by a new file
  // and never written through; then writes every byte. False, silently,
  // when the file cannot be created or written.
  bool save(const char* name, libutils::android_app* app = nullptr);
  // data shares v's block and window (bytes inside another stream, such as
  // an EXIF thumbnail).
  void setvector(jpeg_bytes_t& v, const char* name);
};

// Reads the bytes of JPEG file path up to the end of its first SOS segment
// header (find_jpeg_head_end): the frame and every marker, which is all a
// look at a photo's size and EXIF needs, without the scan that is nearly
// all of a camera file. Where the segments before SOS do not follow one
// another plainly (fill bytes, a cut file, no JPEG at all) out holds the
// whole file, as jpegdata_t::load maps it, for the decoder to judge. False,
// with out empty, when the file cannot be read. Without a buffer, the call
// has one of its own.
bool load_jpeg_head(jpeg_bytes_t& out, const char* path, jpeg_head_buffer_t& buffer);
// Asks the system to bring the bytes load_jpeg_head reads first of file
// path into its cache in the background, and returns at once: many heads
// asked for ahead are read from the disk side by side, not one by one as
// the reads come. Nothing for a file that is not there or not regular.
void read_jpeg_head_ahead(const char* path);
bool load_jpeg_head(jpeg_bytes_t& out, const char* path);

// libjpeg's text of the last error on this thread since
// forget_jpeg_error() ("" when none): what a program can tell its user of
// a photo it cannot read.
const std::string& last_jpeg_error();
void forget_jpeg_error();

class jpeginfo_t {
 public:
  struct marker_t {
    unsigned char code;    // 0xE0..0xEF for APP0..APP15, 0xFE for COM
    jpeg_bytes_t payload;  // a private copy of the segment's data bytes
  };

  // The markers get_marker fetches.
  enum e_marker_num_t : uint32_t {
    MARKER_APP0 = 0,
    MARKER_APP1,
    MARKER_APP2,
    MARKER_APP3,
    MARKER_APP4,
    MARKER_APP5,
    MARKER_APP6,
    MARKER_APP7,
    MARKER_APP8,
    MARKER_APP9,
    MARKER_APP10,
    MARKER_APP11,
    MARKER_APP12,
    MARKER_APP13,
    MARKER_APP14,
    MARKER_APP15,
    MARKER_COM,
    MARKER_MAX  // end marker
  };

  unsigned long width = 0;  // frame size, set by analyze_markers/decompress
  unsigned long height = 0;
  std::list<marker_t> markers;  // in file order; written back by compress

  // Frame size and markers only; the scan is never read.
  bool analyze_markers(jpegdata_t& data);

  // The payload of the first marker of kind n, sharing its block; empty
  // when there is none or n is above MARKER_COM.
  jpeg_bytes_t get_marker(e_marker_num_t n);
  jpeg_bytes_t get_marker(unsigned int n) { return get_marker(static_cast<e_marker_num_t>(n)); }

  // Decodes into image: RGB for colour, GRAYSCALE for one component (UINT,
  // 8 bits, rows bottom-up, alignment 4). False when the header cannot be
  // read, the image is too large or the colour layout is not handled (the
  // last silently). An error while reading rows writes "but continue." and
  // returns true: the rows decoded so far, zero bytes elsewhere. A pixel
  // store that image alone holds is used again when it is large enough.
  // align, border and background are not used.
  bool decompress(image2d_t& image, jpegdata_t& data, unsigned short align, bool border,
                  const color3ub_t& background);

  // What decompress decides before its first row, without decoding a
  // row: false where it would fail (a header that cannot be read, an
  // image too large, a colour layout not handled); else true with the
  // frame size and the markers decompress keeps.
  bool probe(jpegdata_t& data);

  // Encodes an RGB, YCbCr or GRAYSCALE UINT 8-bit image with every entry of
  // markers written after libjpeg's own JFIF segment. False (out.data
  // empty) for other layouts, an empty image or a libjpeg error.
  bool compress(jpegdata_t& out, const image2d_t& image, int quality, bool force_baseline);
};

}  // namespace libgr

#include "image/transupp.h"

#include <turbojpeg.h>

#include <cstring>
#include <iostream>

#include "image/loader_jpeg_libjpeg.h"
#include "utility/failure.h"

namespace libgr {

namespace {

const int turn_ops[4] = {TJXOP_NONE, TJXOP_ROT90, TJXOP_ROT180, TJXOP_ROT270};

class transformer_t {
 public:
  transformer_t() : m_handle(tjInitTransform()) {}
  ~transformer_t() {
    if (m_handle) tjDestroy(m_handle);
  }
  transformer_t(const transformer_t&) = delete;
  transformer_t& operator=(const transformer_t&) = delete;

  tjhandle get() const { return m_handle; }
  // libjpeg's text of the last error or warning.
  const char* text() const { return tjGetErrorStr2(m_handle); }

 private:
  tjhandle m_handle;
};

// The two lines of a failure on the decoding side: the source's name,
// then libjpeg's text.
bool fail(const char* name, const char* text) {
  detail::note_jpeg_error(text);
  return libutils::fail(name, ": error detected.\n", text);
}

bool ends_with_eoi(const unsigned char* p, unsigned long size) {
  return size >= 2 && p[size - 2] == 0xFF && p[size - 1] == 0xD9;
}

}  // namespace

bool transform(unsigned long right_rotate_count, jpegdata_t& out, const jpegdata_t& in) {
  if (right_rotate_count > 3) {
    return libutils::fail(right_rotate_count, ": jpeg transform rightrotate count over.");
  }
  const char* name = in.name ? in.name : "";
  jpeg_bytes_t source = in.data;  // out and in may be one object
  out.data.clear();
  if (source.empty() || source.size() == 0) return fail(name, "Empty input file");

  transformer_t tj;
  if (!tj.get()) return fail(name, tjGetErrorStr2(nullptr));
  int width = 0, height = 0, subsamp = 0, colorspace = 0;
  // A warning in the header comes back from the turn itself.
  if (tjDecompressHeader3(tj.get(), source.begin(), source.size(), &width, &height, &subsamp,
                          &colorspace) != 0 &&
      (tjGetErrorCode(tj.get()) == TJERR_FATAL || width <= 0 || height <= 0)) {
    return fail(name, tj.text());
  }
  if (!check_image_size(name, width, height)) return false;

  // The transform writes straight into out's block. The block has the
  // library's worst-case size for the frame, which it also assumes itself
  // when it may not grow the buffer; so a buffer that fills up is an error
  // like any other, and the pages never written are never touched.
  unsigned long bound = tjBufSize(width, height, subsamp);
  if (bound == static_cast<unsigned long>(-1)) return fail(name, tj.text());
  if (!out.data.resize(bound)) return fail(name, "Insufficient memory");
  unsigned char* buffer = out.data.begin();
  unsigned long size = bound;
  tjtransform xform;
  std::memset(&xform, 0, sizeof xform);
  xform.op = turn_ops[right_rotate_count];
  xform.options = TJXOPT_COPYNONE;  // no perfect-only check, no trimming
  // Real progressive files have a dozen scans; thousands of tiny ones only
  // serve to make the turn take forever (the decoder stops there too).
  int rc = tjTransform(tj.get(), source.begin(), source.size(), 1, &buffer, &size, &xform,
                       TJFLAG_NOREALLOC | TJFLAG_LIMITSCANS);

  // After warnings alone the stream is complete: its end was written, so
  // its size is known (below the bound, or the bound and ending in EOI).
  bool complete = rc == 0 || (tjGetErrorCode(tj.get()) == TJERR_WARNING &&
                              (size < bound || (size == bound && ends_with_eoi(buffer, size))));
  if (!complete) {
    out.data.clear();
    return fail(name, tj.text());
  }
  {
    jpeg_bytes_t whole = out.data;
    out.data.setwindow(whole, 0, size);
  }
  if (rc != 0) {
    return libutils::fail(tj.text());
  }
  return true;
}

bool transform_is_perfect(unsigned long right_rotate_count, const jpegdata_t& in) {
  if (right_rotate_count == 0) return true;
  if (right_rotate_count > 3 || in.data.size() == 0) return false;
  transformer_t tj;
  if (!tj.get()) return false;
  int width = 0, height = 0, subsamp = -1, colorspace = 0;
  jpeg_bytes_t source = in.data;
  if (tjDecompressHeader3(tj.get(), source.begin(), source.size(), &width, &height, &subsamp,
                          &colorspace) != 0 ||
      subsamp < 0 || subsamp >= TJ_NUMSAMP)
    return false;
  // A quarter turn right moves the bottom edge to the left, a left turn the
  // right edge to the top, a half turn both.
  const bool whole_width = width % tjMCUWidth[subsamp] == 0;
  const bool whole_height = height % tjMCUHeight[subsamp] == 0;
  switch (right_rotate_count) {
    case 1: return whole_height;
    case 3: return whole_width;
    default: return whole_width && whole_height;
  }
}

}  // namespace libgr

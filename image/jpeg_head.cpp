#include "image/jpeg_head.h"

namespace libgr {

namespace {

constexpr unsigned char marker_prefix = 0xFF;
constexpr unsigned char code_soi = 0xD8;
constexpr unsigned char code_sos = 0xDA;
constexpr unsigned char code_stuffed = 0x00;
constexpr unsigned char code_tem = 0x01;
constexpr unsigned char code_rst0 = 0xD0;
constexpr unsigned char code_eoi = 0xD9;
// The marker and its two length bytes.
constexpr uint64_t segment_header = 4;
constexpr uint64_t marker_bytes = 2;

// Codes that begin no segment with a length: markers that stand alone,
// 0xFF (a fill byte) and 0x00 (a stuffed zero, no marker at all, which
// the decoders skip with the bytes after it up to the next marker).
bool without_length(unsigned char code) {
  return code == marker_prefix || code == code_stuffed || code == code_tem ||
         (code >= code_rst0 && code <= code_eoi);
}

jpeg_head_end_t need(uint64_t size) { return {jpeg_head_end_t::HEAD_NEEDS_MORE, size}; }

const jpeg_head_end_t not_plain = {jpeg_head_end_t::HEAD_NOT_PLAIN, 0};

}  // namespace

jpeg_head_end_t find_jpeg_head_end(const unsigned char* bytes, uint64_t size) {
  if (size < marker_bytes) return need(marker_bytes);
  if (bytes[0] != marker_prefix || bytes[1] != code_soi) return not_plain;
  // p never passes size; every read below is checked against what is left.
  for (uint64_t p = marker_bytes;;) {
    const uint64_t left = size - p;
    if (left < 1) return need(p + 1);
    if (bytes[p] != marker_prefix) return not_plain;
    if (left < marker_bytes) return need(p + marker_bytes);
    const unsigned char code = bytes[p + 1];
    if (without_length(code)) return not_plain;
    if (left < segment_header) return need(p + segment_header);
    // The length counts its own two bytes, not the marker's.
    const uint64_t length = uint64_t{bytes[p + 2]} << 8 | bytes[p + 3];
    if (length < 2) return not_plain;
    const uint64_t segment = marker_bytes + length;
    if (left < segment) return need(p + segment);
    p += segment;
    if (code == code_sos) return {jpeg_head_end_t::HEAD_FOUND, p};
  }
}

}  // namespace libgr

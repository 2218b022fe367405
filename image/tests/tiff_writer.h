// Builds TIFF blocks, maker notes and JPEG streams byte by byte for the
// tests, in either byte order.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "image/bytewindow.h"

namespace testutil {

typedef std::vector<unsigned char> bytes_t;

inline bytes_t text(const std::string& s) { return bytes_t(s.begin(), s.end()); }

inline bytes_t operator+(bytes_t a, const bytes_t& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A window on a private anonymous copy of the bytes, as a mapped file's.
inline libgr::byte_window_t window(const bytes_t& b) {
  libgr::byte_window_t w;
  w.resize(b.size());
  if (!b.empty()) std::memcpy(w.begin(), b.data(), b.size());
  return w;
}

struct entry_t {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  bytes_t data;      // the value bytes; over 4 of them go out of line
  bool raw = false;  // value field given as is in field
  uint32_t field = 0;
};

// A buffer in one byte order. Offsets written into IFDs are positions in
// this buffer plus base (0 for a TIFF block or a note whose offsets count
// from its own start).
class tiff_writer {
 public:
  explicit tiff_writer(bool big_endian, bool header = true, uint32_t base = 0)
      : m_big(big_endian), m_base(base) {
    if (header) {
      b = text(m_big ? "MM" : "II") + u16(42) + u32(8);
    }
  }

  bytes_t b;

  bytes_t u16(uint16_t v) const {
    return m_big ? bytes_t{uint8_t(v >> 8), uint8_t(v)} : bytes_t{uint8_t(v), uint8_t(v >> 8)};
  }
  bytes_t u32(uint32_t v) const {
    bytes_t hi = u16(uint16_t(v >> 16)), lo = u16(uint16_t(v));
    return m_big ? hi + lo : lo + hi;
  }
  bytes_t rational(uint32_t n, uint32_t d) const { return u32(n) + u32(d); }

  entry_t e_short(uint16_t tag, uint16_t v) const { return {tag, 3, 1, u16(v)}; }
  entry_t e_long(uint16_t tag, uint32_t v) const { return {tag, 4, 1, u32(v)}; }
  entry_t e_rational(uint16_t tag, uint32_t n, uint32_t d) const {
    return {tag, 5, 1, rational(n, d)};
  }
  entry_t e_srational(uint16_t tag, int32_t n, int32_t d) const {
    return {tag, 10, 1, rational(uint32_t(n), uint32_t(d))};
  }
  // ASCII with count = length + 1 (the NUL), unless count is given.
  entry_t e_ascii(uint16_t tag, const std::string& s, int count = -1) const {
    bytes_t data = text(s);
    data.push_back(0);
    uint32_t n = count < 0 ? uint32_t(data.size()) : uint32_t(count);
    data.resize(n < data.size() ? n : data.size());
    return {tag, 2, n, data};
  }
  entry_t e_undefined(uint16_t tag, const bytes_t& data) const {
    return {tag, 7, uint32_t(data.size()), data};
  }
  entry_t e_raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t field) const {
    entry_t e{tag, type, count, {}};
    e.raw = true;
    e.field = field;
    return e;
  }

  size_t append(const bytes_t& v) {
    size_t at = b.size();
    b.insert(b.end(), v.begin(), v.end());
    return at;
  }
  void put32(size_t at, uint32_t v) {
    bytes_t x = u32(v);
    std::memcpy(&b[at], x.data(), 4);
  }
  uint32_t offset(size_t position) const { return uint32_t(position + m_base); }

  // Appends an IFD (count, entries, next offset), then the out-of-line
  // values in entry order. Returns the IFD's position.
  size_t ifd(const std::vector<entry_t>& entries, uint32_t next = 0) {
    size_t at = b.size();
    size_t data_at = at + 2 + 12 * entries.size() + 4;
    bytes_t table = u16(uint16_t(entries.size())), tail;
    for (const entry_t& e : entries) {
      table = table + u16(e.tag) + u16(e.type) + u32(e.count);
      if (e.raw) {
        table = table + u32(e.field);
      } else if (e.data.size() <= 4) {
        bytes_t field = e.data;
        field.resize(4, 0);
        table = table + field;
      } else {
        table = table + u32(offset(data_at + tail.size()));
        tail = tail + e.data;
      }
    }
    append(table + u32(next) + tail);
    return at;
  }
  // Position of the value field of entry k of the IFD at position ifd_at.
  static size_t field_of(size_t ifd_at, size_t k) { return ifd_at + 2 + 12 * k + 8; }

 private:
  bool m_big;
  uint32_t m_base;
};

struct tiff_layout_t {
  size_t ifd0 = 0, exif = 0, ifd1 = 0;  // positions; 0 when not written
};

// A whole TIFF block into w: the 0th IFD at 8 (with an Exif IFD pointer
// appended when exif is not empty), then the Exif IFD and the 1st IFD.
inline tiff_layout_t build_tiff(tiff_writer& w, std::vector<entry_t> ifd0,
                                const std::vector<entry_t>& exif = {},
                                const std::vector<entry_t>& ifd1 = {}) {
  tiff_layout_t at;
  if (!exif.empty()) ifd0.push_back(w.e_long(0x8769, 0));
  at.ifd0 = w.ifd(ifd0);
  w.put32(4, uint32_t(at.ifd0));
  if (!exif.empty()) {
    w.put32(tiff_writer::field_of(at.ifd0, ifd0.size() - 1), uint32_t(w.b.size()));
    at.exif = w.ifd(exif);
  }
  if (!ifd1.empty()) {
    w.put32(at.ifd0 + 2 + 12 * ifd0.size(), uint32_t(w.b.size()));
    at.ifd1 = w.ifd(ifd1);
  }
  return at;
}

// "Exif", NUL, NUL and the TIFF block.
inline bytes_t app1_payload(const bytes_t& tiff) { return text(std::string("Exif\0\0", 6)) + tiff; }

// One marker segment: code, big-endian length, payload.
inline bytes_t segment(uint16_t code, const bytes_t& payload) {
  size_t n = payload.size() + 2;
  return bytes_t{uint8_t(code >> 8), uint8_t(code), uint8_t(n >> 8), uint8_t(n)} + payload;
}

}  // namespace testutil

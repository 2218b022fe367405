#include "image/exif.h"

#include <algorithm>
#include <cstring>

#include "image/ifd_entry.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;

const unsigned int exiftypesize[14] = {0, 1, 1, 2, 4, 8, 0, 1, 2, 4, 8, 0, 0, 4};

// ---- reading a value into its field ----

namespace ExifType {
namespace detail {

void taker::operator()(unsigned short t, const char*, std::vector<uint16_t>& f, rule_t rule) const {
  if (t != tag) return;
  if (rule == rule_t::number) {
    if (const unsigned char* p = at(2)) f.assign(1, order.tohs(load16(p)));
  } else if (rule == rule_t::pair) {
    if (const unsigned char* p = at(4)) f = {order.tohs(load16(p)), order.tohs(load16(p + 2))};
  } else if (rule == rule_t::upto2) {
    if (length > 4 || !holds(value, 0, length)) return;
    f.resize(length / 2);
    for (size_t i = 0; i < f.size(); ++i) f[i] = order.tohs(load16(value.begin() + 2 * i));
  }
}

void taker::operator()(unsigned short t, const char*, std::vector<uint32_t>& f, rule_t) const {
  if (t != tag) return;
  if (const unsigned char* p = at(4)) f.assign(1, order.tohl(load32(p)));
}

void taker::operator()(unsigned short t, const char*, std::vector<rational_t>& f, rule_t) const {
  if (t != tag) return;
  if (const unsigned char* p = at(8))
    f.assign(1, rational_t{order.tohl(load32(p)), order.tohl(load32(p + 4))});
}

void taker::operator()(unsigned short t, const char*, std::vector<srational_t>& f, rule_t) const {
  if (t != tag) return;
  if (const unsigned char* p = at(8)) {
    f.assign(1, srational_t{static_cast<int32_t>(order.tohl(load32(p))),
                            static_cast<int32_t>(order.tohl(load32(p + 4)))});
  }
}

void taker::operator()(unsigned short t, const char*, std::string& f, rule_t rule) const {
  if (t != tag) return;
  // Never more characters than the bytes really there.
  size_t avail = static_cast<size_t>(std::min<uint64_t>(length, value.size()));
  const char* p = reinterpret_cast<const char*>(value.begin());
  switch (rule) {
    case rule_t::padded: {
      f.assign(avail, '\0');
      size_t limit = length == 0 ? 0 : std::min<uint64_t>(length - 1, avail);
      for (size_t k = 0; k < limit && p[k]; ++k) f[k] = p[k];
      break;
    }
    case rule_t::date:
      if (at(20)) {
        f.assign(20, '\0');
        for (size_t k = 0; k < 19 && p[k]; ++k) f[k] = p[k];
      }
      break;
    case rule_t::trimmed: f.assign(p, avail ? strnlen(p, avail) : 0); break;
    case rule_t::exact: f.assign(p, avail); break;
    default: break;
  }
}

void taker::operator()(unsigned short t, const char*, byte_window_t& f, rule_t) const {
  if (t == tag) f = value;
}

}  // namespace detail
}  // namespace ExifType

// ---- app1_marker_t ----

bool app1_marker_t::is_exif() const {
  static const unsigned char exif[5] = {'E', 'x', 'i', 'f', 0};
  return holds(payload, 0, 5) && std::memcmp(payload.begin(), exif, 5) == 0;
}

bool app1_marker_t::parse() {
  if (!is_exif()) return false;
  byte_window_t block;
  subwindow(block, payload, 6, payload.size());
  tiff_header.set_tiff_buffer(block);
  return tiff_header.parse();
}

void app1_marker_t::clear() {
  payload.clear();
  tiff_header.clear();
}

// ---- tiff_header_t ----

using app1_tiff = app1_marker_t::tiff_header_t;

void app1_tiff::set_tiff_buffer(byte_window_t& block) {
  thumbnail.clear();
  ifd_1st.clear();
  ifd_gps.clear();
  ifd_exif.clear();
  ifd_0th.clear();
  tiff = block;
}

bool app1_tiff::is_intel() const { return holds(tiff, 0, 2) && tiff[0] == 'I' && tiff[1] == 'I'; }

bool app1_tiff::is_motorola() const {
  return holds(tiff, 0, 2) && tiff[0] == 'M' && tiff[1] == 'M';
}

void app1_tiff::byteorderclear() {
  delete byteorder;
  byteorder = nullptr;
}

void app1_tiff::clear() {
  byteorderclear();
  for (byte_window_t* w :
       {&tiff, &ifd_0th, &ifd_exif, &ifd_gps, &ifd_1st, &ifd_makernote, &ifd_olympus3_equipment,
        &ifd_olympus3_camerasettings, &ifd_olympus3_focusinfo, &thumbnail}) {
    w->clear();
  }
  tag_0th.clear();
  tag_exif.clear();
  tag_gps.clear();
  tag_1st.clear();
  tag_olympus.clear();
  tag_olympus3_equipment.clear();
  tag_olympus3_camerasettings.clear();
  tag_olympus3_focusinfo.clear();
  tag_pentax5.clear();
}

bool app1_tiff::parse() {
  uint64_t size = tiff.size();
  if (size < 8) return fail("too few tiff header size.");
  byteorderclear();
  if (is_intel()) {
    byteorder = new libutils::intel_byteorder;
  } else if (is_motorola()) {
    byteorder = new libutils::motorola_byteorder;
  } else {
    return fail("byteorder mark not recognized.");
  }
  const libutils::byteorder& order = *byteorder;
  if (read_u16(order, tiff, 2) != 42) return fail("not tiff(0x00, 0x2a).");

  uint64_t p = order.tohl(load32(tiff.begin() + 4));
  if (!holds(tiff, p, 2)) return fail("value over, offset ", p, " tiff size: ", size);
  uint64_t n = read_u16(order, tiff, p);
  subwindow(ifd_0th, tiff, p, 12 * n + 4);
  if (!parse_0th_ifd(ifd_0th)) return false;

  // The 1st IFD (the thumbnail) is optional: a next-IFD offset that is
  // missing or points outside the block just means there is none.
  uint64_t next = p + 2 + 12 * n;
  if (!holds(tiff, next, 4)) return true;
  uint64_t q = order.tohl(load32(tiff.begin() + next));
  if (q == 0 || !holds(tiff, q, 2)) return true;
  uint64_t m = read_u16(order, tiff, q);
  subwindow(ifd_1st, tiff, q, 12 * m + 4);
  return parse_1st_ifd(ifd_1st);
}

bool app1_tiff::parse_0th_ifd(byte_window_t& ifd) {
  if (!byteorder) return false;
  const libutils::byteorder& order = *byteorder;
  uint64_t size = tiff.size();
  if (!holds(ifd, 0, 2)) return fail("value over, offset: ", 0, " ifd size: ", ifd.size());
  unsigned n = read_u16(order, ifd, 0);
  for (unsigned k = 0; k < n; ++k) {
    uint64_t at = 2 + 12 * uint64_t(k);
    if (!holds(ifd, at, 12)) return fail("value over, offset: ", at + 8, " ifd size: ", ifd.size());
    ifd_entry_t e = read_ifd_entry(order, ifd, at);
    if (e.type > 13) continue;
    byte_window_t value;
    if (e.inline_value()) {
      subwindow(value, ifd, e.field, e.length);
    } else {
      uint64_t v = ifd_value_offset(order, ifd, e);
      if (v > size) return fail("value over, offset ", v, " tiff size: ", size);
      subwindow(value, tiff, v, e.length);
    }
    // The thumbnail's two tags belong to the 1st IFD only.
    if (e.tag != 0x0201 && e.tag != 0x0202)
      ExifType::take_tag(tag_0th, e.tag, value, e.length, order);
  }

  if (!tag_0th.exif_ifd_pointer.empty()) {
    uint64_t e = tag_0th.exif_ifd_pointer[0];
    if (!holds(tiff, e, 2)) return fail("exif_ifd_offset size exceed: ", e, " > ", size);
    uint64_t x = read_u16(order, tiff, e);
    uint64_t end = e + 12 * x + 4;
    if (end > size) return fail("exif ifd size exceed: ", end, " > ", size);
    subwindow(ifd_exif, tiff, e, 12 * x + 4);
    if (!parse_exif_ifd(ifd_exif)) return false;
  }

  if (!tag_0th.gps_info_ifd_pointer.empty()) {
    uint64_t g = tag_0th.gps_info_ifd_pointer[0];
    uint64_t y = read_u16(order, tiff, g);
    uint64_t end = g + 12 * y + 4;
    if (!holds(tiff, g, 2) || end > size) return fail("gps_ifd size exceed: ", end, " > ", size);
    subwindow(ifd_gps, tiff, g, 12 * y + 4);
  }

  return parse_makernote();
}

bool app1_tiff::parse_exif_ifd(byte_window_t& ifd) {
  if (!byteorder) return false;
  const libutils::byteorder& order = *byteorder;
  uint64_t size = tiff.size();
  if (!holds(ifd, 0, 2)) return fail("too few ifd area", 2, " > ", ifd.size());
  unsigned n = read_u16(order, ifd, 0);
  for (unsigned k = 0; k < n; ++k) {
    uint64_t end = 14 + 12 * uint64_t(k);
    if (ifd.size() < end) return fail("too few ifd area", end, " > ", ifd.size());
    ifd_entry_t e = read_ifd_entry(order, ifd, end - 12);
    if (e.type > 13) return true;  // nothing after an unknown type is trusted
    byte_window_t value;
    if (e.inline_value()) {
      subwindow(value, ifd, e.field, e.length);
    } else {
      uint64_t v = ifd_value_offset(order, ifd, e);
      if (v + e.length > size)
        return fail("offset+size over: ", v, ", ", e.length, ", tiff size: ", size);
      subwindow(value, tiff, v, e.length);
    }
    ExifType::take_tag(tag_exif, e.tag, value, e.length, order);
  }
  return true;
}

bool app1_tiff::parse_gps_ifd(byte_window_t&) { return true; }

bool app1_tiff::parse_1st_ifd(byte_window_t& ifd) {
  if (!byteorder) return false;
  const libutils::byteorder& order = *byteorder;
  unsigned n = read_u16(order, ifd, 0);
  for (unsigned k = 0; k < n; ++k) {
    uint64_t at = 2 + 12 * uint64_t(k);
    if (!holds(ifd, at, 12)) break;
    ifd_entry_t e = read_ifd_entry(order, ifd, at);
    if (e.type > 13) break;
    if ((e.tag != 0x0201 && e.tag != 0x0202) || !e.inline_value()) continue;
    byte_window_t value;
    subwindow(value, ifd, e.field, e.length);
    ExifType::take_tag(tag_1st, e.tag, value, e.length, order);
  }
  const std::vector<uint32_t>& start = tag_1st.jpeg_interchange_format;
  const std::vector<uint32_t>& length = tag_1st.jpeg_interchange_format_length;
  // A thumbnail that begins past the block, or has no bytes, is none.
  if (!start.empty() && !length.empty() && start[0] < tiff.size() && length[0] > 0)
    subwindow(thumbnail, tiff, start[0], length[0]);
  return true;
}

}  // namespace libgr

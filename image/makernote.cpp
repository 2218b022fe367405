// Camera maker notes: the layout is chosen by the camera's make and the
// note's first bytes, then the note's IFDs are walked like TIFF IFDs with
// the block's byte order.
#include <strings.h>

#include <cstring>
#include <memory>

#include "image/exif.h"
#include "image/ifd_entry.h"
#include "utility/failure.h"

namespace libgr {

using libutils::fail;

namespace {

bool begins(const byte_window_t& note, const char* text, size_t n) {
  return holds(note, 0, n) && std::memcmp(note.begin(), text, n) == 0;
}

// make, read up to its first NUL, begins with prefix (case ignored).
bool make_is(const std::string& make, const char* prefix) {
  size_t n = std::strlen(prefix);
  size_t text = std::strlen(make.c_str());
  return text >= n && strncasecmp(make.c_str(), prefix, n) == 0;
}

// Walks one maker-note IFD and hands each value to take(tag, value, L).
// Values over 4 bytes lie at offsets counted from base; one that runs past
// base is skipped (with a line unless quiet).
template <class Take>
bool walk_makernote_ifd(const libutils::byteorder& order, const byte_window_t& ifd,
                        const byte_window_t& base, const char* label, bool quiet, Take take) {
  if (!holds(ifd, 0, 2))
    return fail(label, 0, ": size ", 2, " over than ifd.size(", ifd.size(), ").");
  uint64_t n = read_u16(order, ifd, 0);
  if (!holds(ifd, 0, 2 + 12 * n))
    return fail(label, n, ": size ", 12 * n + 2, " over than ifd.size(", ifd.size(), ").");
  for (uint64_t k = 0; k < n; ++k) {
    ifd_entry_t e = read_ifd_entry(order, ifd, 2 + 12 * k);
    if (e.type > 13) return false;
    byte_window_t value;
    if (e.inline_value()) {
      subwindow(value, ifd, e.field, e.length);
    } else {
      uint64_t v = ifd_value_offset(order, ifd, e);
      if (v + e.length > base.size()) {
        if (!quiet) {
          fail(std::hex, e.tag, std::dec, ": [", k, "]: ", v, ", ", e.length,
               ": app1 size: ", base.size(), " over.");
        }
        continue;
      }
      subwindow(value, base, v, e.length);
    }
    take(e.tag, value, e.length);
  }
  return true;
}

// Current Olympus and OM SYSTEM notes declare their own byte order ("II"
// or "MM" at at); desktop software that rewrites the TIFF block in the
// other order keeps the note as the camera wrote it. Null: no declaration,
// the block's order holds.
std::unique_ptr<libutils::byteorder> declared_order(const byte_window_t& note, uint64_t at) {
  if (!holds(note, at, 2)) return nullptr;
  const unsigned char* mark = note.begin() + at;
  if (mark[0] == 'I' && mark[1] == 'I') return std::make_unique<libutils::intel_byteorder>();
  if (mark[0] == 'M' && mark[1] == 'M') return std::make_unique<libutils::motorola_byteorder>();
  return nullptr;
}

// Lends the note's own order to the IFD readers, which read byteorder, for
// the life of the guard.
class order_lend_t {
 public:
  order_lend_t(libutils::byteorder*& slot, std::unique_ptr<libutils::byteorder> lent)
      : m_slot(slot), m_saved(slot), m_lent(std::move(lent)) {
    if (m_lent) m_slot = m_lent.get();
  }
  ~order_lend_t() { m_slot = m_saved; }
  order_lend_t(const order_lend_t&) = delete;
  order_lend_t& operator=(const order_lend_t&) = delete;

 private:
  libutils::byteorder*& m_slot;
  libutils::byteorder* m_saved;
  std::unique_ptr<libutils::byteorder> m_lent;
};

template <class Set>
struct set_taker {
  Set& set;
  const libutils::byteorder& order;
  void operator()(unsigned short tag, const byte_window_t& value, uint64_t length) const {
    ExifType::take_tag(set, tag, value, length, order);
  }
};

template <class Set>
set_taker<Set> into(Set& set, const libutils::byteorder& order) {
  return set_taker<Set>{set, order};
}

}  // namespace

using app1_tiff = app1_marker_t::tiff_header_t;

bool app1_tiff::parse_makernote() {
  byte_window_t& note = tag_exif.maker_note;
  if (note.size() == 0) return true;
  const std::string& maker = tag_0th.make;

  if (make_is(maker, "OLYMPUS")) {
    ifd_makernote.clear();
    // Current notes: "OLYMPUS", NUL, byte order, version; IFD at 12 with
    // offsets from the note's start, laid out as the OM SYSTEM note.
    if (begins(note, "OLYMPUS\0", 8)) return parse_olympus3_note(note, 12);
    if (begins(note, "OM SYSTEM", 9)) return parse_olympus3_note(note, 16);
    if (begins(note, "OLYMP", 5)) {
      uint64_t n = read_u16(*byteorder, note, 8);
      if (n == 0 || !holds(note, 8, 2 + 12 * n)) return false;
      return copy_olympus_ifd(note, 8, 2 + 12 * n);
    }
    // A bare IFD at the note's start; one longer than the note is not read.
    if (!holds(note, 0, 2)) return true;
    uint64_t n = read_u16(*byteorder, note, 0);
    if (!holds(note, 0, 2 + 12 * n)) return true;
    return copy_olympus_ifd(note, 0, 2 + 12 * n);
  }
  if (make_is(maker, "OM Digital Solutions") && begins(note, "OM SYSTEM", 9)) {
    ifd_makernote.clear();
    return parse_olympus3_note(note, 16);
  }
  if (make_is(maker, "RICOH")) {
    if (!begins(note, "PENTAX", 6)) return true;
    ifd_makernote.clear();
    if (!holds(note, 10, 2)) return false;
    uint64_t n = read_u16(*byteorder, note, 10);
    if (note.size() < 12 * n + 12) return false;
    subwindow(ifd_makernote, note, 10, note.size() - 10);
    return parse_pentax5_ifd(ifd_makernote, note);
  }
  return true;
}

// The Olympus IFD is kept as a private copy of its length bytes at start.
bool app1_tiff::copy_olympus_ifd(byte_window_t& note, uint64_t start, uint64_t length) {
  if (!ifd_makernote.resize(static_cast<size_t>(length))) return false;
  std::memcpy(ifd_makernote.begin(), note.begin() + start, static_cast<size_t>(length));
  return parse_olympus_ifd(ifd_makernote);
}

bool app1_tiff::parse_olympus3_note(byte_window_t& note, uint64_t start) {
  // The order mark stands just before the two version bytes that end the
  // header.
  order_lend_t lend(byteorder, declared_order(note, start - 4));
  if (!byteorder) return false;
  if (!holds(note, start, 2)) return false;
  uint64_t n = read_u16(*byteorder, note, start);
  if (note.size() < 12 * n + start + 2) return false;
  subwindow(ifd_makernote, note, start, note.size() - start);
  return parse_olympus3_ifd(ifd_makernote, note);
}

bool app1_tiff::parse_olympus_ifd(byte_window_t& ifd) {
  if (!byteorder) return false;
  return walk_makernote_ifd(*byteorder, ifd, tiff, "olympus ifd: ", true,
                            into(tag_olympus, *byteorder));
}

bool app1_tiff::parse_olympus3_ifd(byte_window_t& ifd, byte_window_t& note) {
  if (!byteorder) return false;
  const libutils::byteorder& order = *byteorder;
  ifd_olympus3_equipment.clear();
  ifd_olympus3_camerasettings.clear();
  ifd_olympus3_focusinfo.clear();
  auto pointer = [&](unsigned short tag, const byte_window_t& value, uint64_t length) {
    byte_window_t* sub = tag == 0x2010   ? &ifd_olympus3_equipment
                         : tag == 0x2020 ? &ifd_olympus3_camerasettings
                         : tag == 0x2050 ? &ifd_olympus3_focusinfo
                                         : nullptr;
    if (!sub || length != 4 || !holds(value, 0, 4)) return;
    uint64_t o = order.tohl(load32(value.begin()));
    // A sub-IFD whose count lies outside the note is not read.
    if (!holds(note, o, 2)) return;
    uint64_t m = read_u16(order, note, o);
    subwindow(*sub, note, o, 12 * m + 2);
  };
  if (!walk_makernote_ifd(order, ifd, note, "olympus3 ifd: ", false, pointer)) return false;
  if (!ifd_olympus3_equipment.empty() &&
      !parse_olympus3_equipment_ifd(ifd_olympus3_equipment, note))
    return false;
  if (!ifd_olympus3_camerasettings.empty() &&
      !parse_olympus3_camerasettings_ifd(ifd_olympus3_camerasettings, note))
    return false;
  if (!ifd_olympus3_focusinfo.empty() &&
      !parse_olympus3_focusinfo_ifd(ifd_olympus3_focusinfo, note))
    return false;
  return true;
}

bool app1_tiff::parse_olympus3_equipment_ifd(byte_window_t& ifd, byte_window_t& note) {
  if (!byteorder) return false;
  return walk_makernote_ifd(*byteorder, ifd, note, "olympus3 equipment ifd: ", false,
                            into(tag_olympus3_equipment, *byteorder));
}

bool app1_tiff::parse_olympus3_camerasettings_ifd(byte_window_t& ifd, byte_window_t& note) {
  if (!byteorder) return false;
  return walk_makernote_ifd(*byteorder, ifd, note, "olympus3 camerasettings ifd: ", false,
                            into(tag_olympus3_camerasettings, *byteorder));
}

bool app1_tiff::parse_olympus3_focusinfo_ifd(byte_window_t& ifd, byte_window_t& note) {
  if (!byteorder) return false;
  return walk_makernote_ifd(*byteorder, ifd, note, "olympus3 focusinfo ifd: ", false,
                            into(tag_olympus3_focusinfo, *byteorder));
}

bool app1_tiff::parse_pentax5_ifd(byte_window_t& ifd, byte_window_t& note) {
  if (!byteorder) return false;
  return walk_makernote_ifd(*byteorder, ifd, note, "pentax5 ifd: ", false,
                            into(tag_pentax5, *byteorder));
}

}  // namespace libgr

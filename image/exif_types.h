// The value types of the EXIF record and the way a tag's value bytes
// become a field. Each tag set lists its fields once, in visit(), with the
// tag number and the rule that reads them; clearing, reading and printing
// all walk that list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/bytewindow.h"

namespace libgr {

// Bytes per TIFF type 0 to 13. SBYTE (6), FLOAT (11) and DOUBLE (12) count
// 0 bytes, so their values are never taken; IFD (13) counts 4.
extern const unsigned int exiftypesize[14];

namespace ExifType {

struct rational_t {
  uint32_t numerator;
  uint32_t denominator;
};

struct srational_t {
  int32_t numerator;
  int32_t denominator;
};

// How a value of L bytes is taken into its field. A value is judged by its
// byte length only, never by its TIFF type.
enum class rule_t {
  number,   // one element of the vector's type, when L is its size
  pair,     // two u16, when L is 4
  upto2,    // L/2 u16 (none for L of 0 or 1), when L is at most 4
  padded,   // L characters: the text up to its first NUL, then NULs
  date,     // only L = 20: 20 characters, the text up to its first NUL
  trimmed,  // the L bytes cut at their first NUL
  exact,    // the L bytes, NULs included
  window,   // a window sharing the value's bytes
};

// Reads the value of one entry into the field of set whose tag is tag.
// value holds the bytes actually there (possibly fewer than length).
template <class Set>
void take_tag(Set& set, unsigned short tag, const byte_window_t& value, uint64_t length,
              const libutils::byteorder& order);

namespace detail {

struct taker {
  unsigned short tag;
  const byte_window_t& value;
  uint64_t length;
  const libutils::byteorder& order;

  const unsigned char* at(uint64_t need) const {
    return length == need && holds(value, 0, need) ? value.begin() : nullptr;
  }
  void operator()(unsigned short t, const char*, std::vector<uint16_t>& f, rule_t rule) const;
  void operator()(unsigned short t, const char*, std::vector<uint32_t>& f, rule_t rule) const;
  void operator()(unsigned short t, const char*, std::vector<rational_t>& f, rule_t rule) const;
  void operator()(unsigned short t, const char*, std::vector<srational_t>& f, rule_t rule) const;
  void operator()(unsigned short t, const char*, std::string& f, rule_t rule) const;
  void operator()(unsigned short t, const char*, byte_window_t& f, rule_t rule) const;
};

struct clearer {
  template <class Field>
  void operator()(unsigned short, const char*, Field& f, rule_t) const {
    f.clear();
  }
};

}  // namespace detail

template <class Set>
void take_tag(Set& set, unsigned short tag, const byte_window_t& value, uint64_t length,
              const libutils::byteorder& order) {
  set.visit(detail::taker{tag, value, length, order});
}

template <class Set>
void clear_set(Set& set) {
  set.visit(detail::clearer());
}

// visit() and clear() of a tag set. Set names its fields once, in tag
// order, in a static fields(self, f) that calls
// f(tag, name, field, rule) for each.
template <class Set>
struct tag_set {
  template <class F>
  void visit(F&& f) {
    Set::fields(static_cast<Set&>(*this), f);
  }
  template <class F>
  void visit(F&& f) const {
    Set::fields(static_cast<const Set&>(*this), f);
  }
  void clear() { clear_set(*this); }
};

}  // namespace ExifType
}  // namespace libgr

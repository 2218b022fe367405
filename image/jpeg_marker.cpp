#include "image/jpeg_marker.h"

#include <iostream>

#include "utility/failure.h"

namespace libgr {

using libutils::fail;

const unsigned char zigzag_to_array[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

namespace {

const char broken[] = "broken JPEG data.";
const char invalid[] = "invalid JPEG data.";

unsigned num(unsigned char v) { return v; }

void dump_list(const char* label, const unsigned char* v, unsigned n) {
  std::cout << label;
  for (unsigned i = 0; i < n; ++i) std::cout << (i ? ", " : "") << num(v[i]);
  std::cout << '\n';
}

}  // namespace

jpeg_iterator& jpeg_iterator::operator++() {
  bool next_known = !m_end || m_p + 1 < m_end;
  if (next_known && m_p[0] == 0xFF && m_p[1] == 0x00) ++m_p;
  ++m_p;
  return *this;
}

jpeg_iterator jpeg_iterator::operator++(int) {
  jpeg_iterator before = *this;
  ++*this;
  return before;
}

// ---- SOF0 ----

bool sof0_marker_t::parse() {
  const unsigned char* p = buffer.begin();
  size_t size = buffer.size();
  if (size < 6) return fail(broken);
  precision = p[0];
  lines = be16(p + 1);
  samples = be16(p + 3);
  colors = p[5];
  if (precision != 8) return fail("not support JPEG data. sample_precision=", num(precision));
  if (size < 6 + 3 * size_t(colors)) return fail(broken);
  components.resize(colors);
  max_horiz = max_verts = 0;
  for (unsigned i = 0; i < colors; ++i) {
    component_parameter_t& c = components[i];
    c.component_id = p[6 + 3 * i];
    c.horiz_factor = p[7 + 3 * i] >> 4;
    c.verts_factor = p[7 + 3 * i] & 15;
    c.quatable_sel = p[8 + 3 * i];
    if (c.horiz_factor > max_horiz) max_horiz = c.horiz_factor;
    if (c.verts_factor > max_verts) max_verts = c.verts_factor;
  }
  for (const component_parameter_t& c : components) {
    if (c.horiz_factor == 0 || c.verts_factor == 0 || max_horiz % c.horiz_factor != 0 ||
        max_verts % c.verts_factor != 0) {
      return fail(invalid);
    }
  }
  return true;
}

void sof0_marker_t::dump() const {
  std::cout << "precision: " << num(precision) << '\n'
            << "lines: " << lines << ", samples: " << samples << '\n'
            << "colors: " << num(colors) << '\n';
  for (const component_parameter_t& c : components) {
    std::cout << "component_id: " << num(c.component_id) << '\n'
              << "horiz_factor: " << num(c.horiz_factor) << '\n'
              << "verts_factor: " << num(c.verts_factor) << '\n'
              << "quatable_sel: " << num(c.quatable_sel) << '\n';
  }
  std::cout << "max_horiz: " << max_horiz << '\n' << "max_verts: " << max_verts << std::endl;
}

// ---- DQT ----

bool dqt_marker_t::parse() {
  const unsigned char* p = buffer.begin();
  size_t size = buffer.size();
  if (size == 0 || size % 65 != 0) return fail(broken);
  n = static_cast<unsigned char>(size / 65);
  if (size / 65 > 4) return fail(broken);
  for (unsigned i = 0; i < n; ++i) {
    const unsigned char* t = p + 65 * i;
    unsigned pq = t[0] >> 4, tq = t[0] & 15;
    if (t[0] > 15) return fail("not support JPEG data. DQT pq=", pq);
    if (tq >= 4) return fail(invalid);
    for (unsigned k = 0; k < 64; ++k) tables[tq].value[zigzag_to_array[k]] = t[1 + k];
  }
  return true;
}

void dqt_marker_t::dump() const {
  std::cout << "dqt n: " << num(n) << '\n';
  for (const quantize_table_t& t : tables) dump_list("", t.value, 64);
  std::cout.flush();
}

// ---- DHT ----

bool dht_marker_t::parse() {
  unsigned char* end = buffer.end();
  jpeg_iterator it(buffer.begin(), end);
  length = 0;
  while (it < end) {
    if (length == max_tables) return fail(broken);
    unsigned char tcth = *it++;
    table_t& entry = table[length++];
    entry.tc = tcth >> 4;
    entry.th = tcth & 15;
    if (entry.th > 1 || entry.tc > 1) return fail(broken);
    huffman_t& h = entry.tc == 0 ? dc_table[entry.th] : ac_table[entry.th];
    unsigned total = 0;
    for (unsigned i = 0; i < 16; ++i) {
      if (!(it < end)) return fail(broken);
      h.counts[i] = *it++;
      total += h.counts[i];
    }
    // A table codes at most the 256 byte values; 255 is what 16 bits allow.
    if (total > 255) return fail(broken);
    h.data.resize(total);
    unsigned code = 0, k = 0;
    for (unsigned len = 0; len < 16; ++len) {
      for (unsigned j = 0; j < h.counts[len]; ++j, ++k, ++code) {
        if (!(it < end)) return fail(broken);
        unsigned char symbol = *it++;
        huffman_t::data_t& d = h.data[k];
        d.code = static_cast<unsigned short>(code);
        d.data_bits = symbol & 15;
        d.run_length = symbol >> 4;
        if (d.data_bits == 0 && d.run_length != 0 && d.run_length != 15) {
          return fail("huffman table error", ": run_length=", num(d.run_length),
                      ", data_bits=", num(d.data_bits));
        }
      }
      code <<= 1;
    }
  }
  return true;
}

void dht_marker_t::clear() {
  buffer.clear();
  for (huffman_t& h : dc_table) h.data.clear();
  for (huffman_t& h : ac_table) h.data.clear();
}

void dht_marker_t::dump() const {
  std::cout << "dht length: " << length << '\n';
  for (unsigned i = 0; i < length && i < max_tables; ++i) {
    const table_t& t = table[i];
    std::cout << "tc: " << num(t.tc) << ", th: " << num(t.th) << '\n';
    if (t.tc > 1 || t.th > 1) continue;
    const huffman_t& h = t.tc == 0 ? dc_table[t.th] : ac_table[t.th];
    dump_list("entries: ", h.counts, 16);
  }
  std::cout.flush();
}

// ---- DRI ----

bool dri_marker_t::parse() {
  if (buffer.size() != 2) return fail(broken);
  intervals = be16(buffer.begin());
  return true;
}

void dri_marker_t::dump() const { std::cout << "dri intervals: " << intervals << std::endl; }

// ---- SOS ----

bool sos_marker_t::parse() {
  const unsigned char* p = buffer.begin();
  size_t size = buffer.size();
  if (size < 4) return fail(broken);
  ns = p[0];
  if (size != 2 * size_t(ns) + 4) return fail(broken);
  elements.resize(ns);
  for (unsigned i = 0; i < ns; ++i) {
    element_t& e = elements[i];
    e.scan_element_selector = p[1 + 2 * i];
    e.dc_huffman_table_selector = p[2 + 2 * i] >> 4;
    e.ac_huffman_table_selector = p[2 + 2 * i] & 15;
    if (e.dc_huffman_table_selector > 1 || e.ac_huffman_table_selector > 1) return fail(invalid);
  }
  ss = p[2 * ns + 1];
  se = p[2 * ns + 2];
  ah = p[2 * ns + 3] >> 4;
  al = p[2 * ns + 3] & 15;
  if (ss == 0 && se == 63 && ah == 0 && al == 0) return true;
  return fail("constant value illegal. ss=", num(ss), ", se=", num(se), ", ah=", num(ah),
              ", al=", num(al));
}

void sos_marker_t::dump() const {
  std::cout << "ns: " << num(ns) << '\n';
  for (const element_t& e : elements) {
    std::cout << "scan element selector: " << num(e.scan_element_selector) << '\n'
              << "dc huffman table selector: " << num(e.dc_huffman_table_selector) << '\n'
              << "ac huffman table selector: " << num(e.ac_huffman_table_selector) << '\n';
  }
  std::cout.flush();
}

}  // namespace libgr

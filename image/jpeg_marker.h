// Records of the JPEG marker segments a baseline 8-bit decoder needs: the
// frame header (SOF0), quantisation tables (DQT), Huffman tables (DHT), the
// restart interval (DRI) and the scan header (SOS). Each record reads the
// payload of one segment (the bytes after its two length bytes) through a
// window on the file's bytes; multi-byte numbers are big-endian. parse()
// rejects what such a decoder cannot use and says why on standard error.
#pragma once

#include <vector>

#include "image/bytewindow.h"

namespace libgr {

// Natural (row-major) index of the k-th coefficient in zig-zag order.
extern const unsigned char zigzag_to_array[64];

// Steps through segment bytes; a 0xFF followed by 0x00 (byte stuffing) is
// stepped over as one byte. With an end pointer it never looks past it.
class jpeg_iterator {
 public:
  jpeg_iterator() = default;
  jpeg_iterator(unsigned char* begin, const unsigned char* end) : m_p(begin), m_end(end) {}

  jpeg_iterator& operator=(unsigned char* p) {
    m_p = p;
    return *this;
  }
  jpeg_iterator& operator++();
  jpeg_iterator operator++(int);
  unsigned char operator*() const { return *m_p; }
  unsigned char* get() const { return m_p; }

  friend bool operator<(jpeg_iterator& it, unsigned char* p) { return it.m_p < p; }

 private:
  unsigned char* m_p = nullptr;
  const unsigned char* m_end = nullptr;  // null: no limit
};

class sof0_marker_t {
 public:
  struct component_parameter_t {
    unsigned char component_id;
    unsigned char horiz_factor;
    unsigned char verts_factor;
    unsigned char quatable_sel;
  };

  byte_window_t buffer;
  unsigned char precision = 0;
  unsigned short lines = 0;
  unsigned short samples = 0;
  unsigned char colors = 0;
  std::vector<component_parameter_t> components;
  unsigned short max_horiz = 0;
  unsigned short max_verts = 0;

  void set_sof0_buffer(byte_window_t& payload) { buffer = payload; }
  bool parse();
  void clear() { buffer.clear(); }
  void dump() const;
};

class dqt_marker_t {
 public:
  struct quantize_table_t {
    unsigned char value[64];  // natural order
  };

  byte_window_t buffer;
  unsigned char n = 0;
  quantize_table_t tables[4] = {};

  void set_dqt_buffer(byte_window_t& payload) { buffer = payload; }
  bool parse();
  void clear() { buffer.clear(); }
  void dump() const;
};

class dht_marker_t {
 public:
  struct table_t {
    unsigned char tc;
    unsigned char th;
  };
  struct huffman_t {
    struct data_t {
      unsigned short code;       // canonical code, length given by its group
      unsigned char data_bits;   // low nibble of the symbol
      unsigned char run_length;  // high nibble of the symbol
    };
    unsigned char counts[16] = {};  // symbols of code length 1 to 16
    std::vector<data_t> data;       // in segment order
  };

  static const unsigned max_tables = 8;

  byte_window_t buffer;
  table_t table[max_tables] = {};  // the tables of the last segment, in order
  unsigned length = 0;             // how many of table[] are used
  huffman_t dc_table[2];
  huffman_t ac_table[2];

  void set_dht_buffer(byte_window_t& payload) { buffer = payload; }
  bool parse();
  void clear();
  void dump() const;
};

class dri_marker_t {
 public:
  byte_window_t buffer;
  unsigned short intervals = 0;

  void set_dri_buffer(byte_window_t& payload) { buffer = payload; }
  bool parse();
  void clear() {
    buffer.clear();
    intervals = 0;
  }
  void dump() const;
};

class sos_marker_t {
 public:
  struct element_t {
    unsigned char scan_element_selector;
    unsigned char dc_huffman_table_selector;
    unsigned char ac_huffman_table_selector;
  };

  byte_window_t buffer;
  unsigned char ns = 0;
  std::vector<element_t> elements;
  unsigned char ss = 0, se = 0, ah = 0, al = 0;
  dht_marker_t* dht = nullptr;  // not owned

  void set_sos_buffer(byte_window_t& payload) { buffer = payload; }
  void set_dht_marker(dht_marker_t* p) { dht = p; }
  bool parse();
  void clear() {
    buffer.clear();
    dht = nullptr;
  }
  void dump() const;
};

}  // namespace libgr

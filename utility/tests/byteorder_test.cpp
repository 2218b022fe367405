#include "utility/byteorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

template <class T>
T from_bytes(const unsigned char* b) {
  T v;
  std::memcpy(&v, b, sizeof v);
  return v;
}

const unsigned char kBytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
const unsigned char kReversed[8] = {8, 7, 6, 5, 4, 3, 2, 1};

}  // namespace

TEST(ByteOrder, MotorolaReversesAndIntelKeeps) {
  std::unique_ptr<libutils::byteorder> m(new libutils::motorola_byteorder);
  std::unique_ptr<libutils::byteorder> i(new libutils::intel_byteorder);

  unsigned int l = from_bytes<unsigned int>(kBytes);
  EXPECT_EQ(m->tohl(l), from_bytes<unsigned int>(kReversed + 4));
  EXPECT_EQ(i->tohl(l), l);

  unsigned short s = from_bytes<unsigned short>(kBytes);
  EXPECT_EQ(m->tohs(s), from_bytes<unsigned short>(kReversed + 6));
  EXPECT_EQ(i->tohs(s), s);

  unsigned long long ll = from_bytes<unsigned long long>(kBytes);
  EXPECT_EQ(m->tohll(ll), from_bytes<unsigned long long>(kReversed));
  EXPECT_EQ(i->tohll(ll), ll);
}

TEST(ByteOrder, ValuesReadAsWrittenInTheFile) {
  // Bytes 01 02 03 04 are 0x04030201 in little-endian order and 0x01020304
  // in big-endian order, whatever the host.
  EXPECT_EQ(libutils::intel_byteorder().tohl(from_bytes<unsigned int>(kBytes)), 0x04030201u);
  EXPECT_EQ(libutils::motorola_byteorder().tohl(from_bytes<unsigned int>(kBytes)), 0x01020304u);
  EXPECT_EQ(libutils::itohs(from_bytes<unsigned short>(kBytes)), 0x0201);
  EXPECT_EQ(libutils::itohl(from_bytes<unsigned int>(kBytes)), 0x04030201u);
  EXPECT_EQ(libutils::itohll(from_bytes<unsigned long long>(kBytes)), 0x0807060504030201ull);
  EXPECT_EQ(libutils::mtohll(from_bytes<unsigned long long>(kBytes)), 0x0102030405060708ull);
  EXPECT_EQ(libutils::mtohs(from_bytes<unsigned short>(kBytes)), 0x0102);
}

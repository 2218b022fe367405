// Power-of-two sizes for textures.
#pragma once

namespace libutils {

// The smallest power of two not below x; 0 for 0. Defined below 2^31.
inline unsigned int CeilAlignBits(unsigned int x) {
  if (x == 0) return 0;
  unsigned int p = 1;
  while (p < x && p != 0x80000000u) p <<= 1;
  return p;
}
inline int CeilAlignBits(int x) {
  if (x <= 0) return 0;
  return static_cast<int>(CeilAlignBits(static_cast<unsigned int>(x)));
}

}  // namespace libutils

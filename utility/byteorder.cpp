#include "utility/byteorder.h"

namespace libutils {

byteorder::~byteorder() {}

unsigned short intel_byteorder::tohs(unsigned short v) const { return itohs(v); }
unsigned int intel_byteorder::tohl(unsigned int v) const { return itohl(v); }
unsigned long long intel_byteorder::tohll(unsigned long long v) const { return itohll(v); }
intel_byteorder::~intel_byteorder() {}

unsigned short motorola_byteorder::tohs(unsigned short v) const { return mtohs(v); }
unsigned int motorola_byteorder::tohl(unsigned int v) const { return mtohl(v); }
unsigned long long motorola_byteorder::tohll(unsigned long long v) const { return mtohll(v); }
motorola_byteorder::~motorola_byteorder() {}

}  // namespace libutils

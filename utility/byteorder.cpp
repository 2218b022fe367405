#include "utility/byteorder.h"

namespace libutils {

byteorder::~byteorder() {}

}  // namespace libutils

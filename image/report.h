// The failure line of the image parsers: the error hook, then the parts of
// one line on standard error, flushed.
#pragma once

#include <iostream>

#include "utility/futil.h"

namespace libgr {

template <class... Parts>
bool reject(const Parts&... parts) {
  libutils::error();
  (std::cerr << ... << parts) << std::endl;
  return false;
}

}  // namespace libgr

// The failure line of the image parsers; kept for the files not yet
// moved to libutils::fail.
#pragma once

#include "utility/failure.h"

namespace libgr {

template <class... Message>
bool reject(const Message&... message) {
  return libutils::fail(message...);
}

}  // namespace libgr

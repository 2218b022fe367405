#include "utility/failure.h"

namespace libutils {

// Kept out of line and empty on purpose: a debugger breakpoint here
// catches every reported failure of both programs.
void error() {}

}  // namespace libutils

#pragma once
// How both programs report a failure: the error hook, then one line on a
// stream (standard error unless the caller keeps a log), then false for
// the caller to return.

#include <iostream>

namespace libutils {

// The one place every failure passes before its message line is written;
// a breakpoint here stops on any reported error.
void error();

// error(), then the pieces of the message and a line end on out (flushed,
// so a log shows the line even when the program dies right after).
template <class... Message>
bool fail_to(std::ostream& out, const Message&... message) {
  error();
  (out << ... << message) << std::endl;
  return false;
}

// fail_to() on standard error.
template <class... Message>
bool fail(const Message&... message) {
  return fail_to(std::cerr, message...);
}

}  // namespace libutils

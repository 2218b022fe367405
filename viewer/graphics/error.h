// The GL checkpoint used throughout the viewer.
#pragma once

namespace libgr {

// Takes one pending GL error, if any, and reports it as one line on
// standard error: where, ": ", "Error ", the number, ": " and GLU's text
// (where and its ": " are left out when where is null). Returns 1 when it
// reported an error, else 0. Needs a current GL context.
int grPrintError(const char* where);
// The same, returning the GL error it reported (0 when none): callers that
// must not go on after GL_OUT_OF_MEMORY tell it apart.
unsigned int grPrintErrorCode(const char* where);

}  // namespace libgr

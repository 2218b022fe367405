#pragma once
// Writing album files so that a failure never leaves a cut file, nor loses
// what stood at the name before: every file is written under a temporary
// name in its own directory and renamed over its target only when it is
// complete. The functions report nothing themselves: on false errno tells
// why, and the callers write their own lines.

#include <cstddef>
#include <string>

#include "utility/futil.h"

namespace tavolin {

// The temporary file beside a target, of a short name of one length
// (libutils::make_temp_beside).
using libutils::make_temp_beside;

// Renames temp over target; a temp that is empty or cannot be renamed is
// removed and false returned (errno set).
bool replace_with(const std::string& temp, const std::string& target);

// Writes size bytes to target by way of a temporary file.
bool write_replacing(const std::string& target, const void* bytes, std::size_t size);

// Copies source, a regular file (or a link to one), to target by way of a
// temporary file: the bytes, then the source's access and modification
// times, a flush to the disk, then the rename. Whatever stood at target
// stays until the copy is complete. Anything else under source is refused
// unopened (libutils::open_regular's errno). On false, source_failed (when
// given) tells whether reading the source failed, or else writing the
// copy.
bool copy_replacing(const std::string& source, const std::string& target,
                    bool* source_failed = nullptr);

// Whether two regular files hold the same bytes; one file under two names
// (a link) does, without a byte read.
bool same_bytes(const std::string& a, const std::string& b);

// An album file that a later update trusts by its date: missing or empty.
bool is_missing_or_empty(const std::string& path);

// target must be made again from source: it is missing, empty or older
// (libutils::need_update, plus the empty file a failed write once left).
bool is_stale(const std::string& source, const std::string& target);

}  // namespace tavolin

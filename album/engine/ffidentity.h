#pragma once
// What "ffmpeg -i" told of a file, kept while the file stays as it was:
// the album pages ask the same movie's frame size three or four times,
// each ask an ffmpeg start of a fifth of a second, one after another.

#include <sys/types.h>

#include <ctime>
#include <string>

namespace tavolin {

// The lines an identification found of one stream kind ("Video" or
// "Audio"), as ffscan_output and ffscan_quarter_turn read them.
struct ffidentity_t {
  std::string duration_line, stream_line;
  bool quarter_turn = false;
};

// Which file a name stood for and its state: another file, size,
// modification or change time makes another stamp.
struct file_stamp_t {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified = {}, changed = {};
};
// False when file cannot be looked at.
bool stamp_file(const std::string& file, file_stamp_t& stamp);

// Both thread-safe. True, with identity, when file was identified for kind
// while it had stamp.
bool recall_identity(const std::string& file, const char* kind, const file_stamp_t& stamp,
                     ffidentity_t& identity);
// Keeps what was found of file for kind, with the stamp it had before
// ffmpeg looked at it.
void remember_identity(const std::string& file, const char* kind, const file_stamp_t& stamp,
                       const ffidentity_t& identity);

}  // namespace tavolin

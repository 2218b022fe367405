// jpegdata_t's files: a whole file mapped, the head of one read, and a
// stream written out.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "image/jpeg_head.h"
#include "image/loader_jpeg.h"
#include "utility/futil.h"

namespace libgr {

namespace {

// A camera's segments before the scan mostly fit the first read.
constexpr size_t head_chunk = size_t{64} << 10;
// Room kept for the next head; a longer one's is given back.
constexpr size_t kept_room = 16 * head_chunk;

}  // namespace

bool jpeg_head_buffer_t::reserve(size_t size, size_t held) {
  if (size <= m_room) return true;
  size_t bigger = m_room;
  while (bigger < size) {
    const size_t step = std::max(head_chunk, bigger);
    if (bigger > SIZE_MAX - step) return false;
    bigger += step;
  }
  std::unique_ptr<unsigned char[]> grown(new (std::nothrow) unsigned char[bigger]);
  if (!grown) return false;
  if (held) std::memcpy(grown.get(), m_bytes.get(), std::min(held, m_room));
  m_bytes = std::move(grown);
  m_room = bigger;
  return true;
}

void jpeg_head_buffer_t::trim() {
  if (m_room <= kept_room) return;
  m_bytes.reset();
  m_room = 0;
}

bool jpegdata_t::load(const char* path, libutils::android_app* app) {
  if (!data.load(0, path, libutils::E_PROT_READ, 0, false, app)) return false;
  name = path;
  return true;
}

bool load_jpeg_head(jpeg_bytes_t& out, const char* path, jpeg_head_buffer_t& buffer) {
  out.clear();
  const int fd = libutils::open_regular(path);
  if (fd < 0) return false;
  // Reads on, room by room, while the walk asks for more than is held.
  size_t held = 0;
  jpeg_head_end_t head = {jpeg_head_end_t::HEAD_NEEDS_MORE, 0};
  for (bool eof = false; head.state == jpeg_head_end_t::HEAD_NEEDS_MORE && !eof;) {
    if (head.size > SIZE_MAX || !buffer.reserve(std::max<size_t>(head.size, held + 1), held)) break;
    size_t got = 0;
    const size_t want = buffer.room() - held;
    eof = !libutils::read_all(fd, buffer.bytes() + held, want, got) || got < want;
    held += got;
    head = find_jpeg_head_end(buffer.bytes(), held);
  }
  close(fd);
  bool loaded;
  if (head.state != jpeg_head_end_t::HEAD_FOUND) {
    loaded = out.load(0, path, libutils::E_PROT_READ);
  } else {
    loaded = out.resize(head.size);
    if (loaded) std::memcpy(out.begin(), buffer.bytes(), head.size);
  }
  buffer.trim();
  return loaded;
}

void read_jpeg_head_ahead(const char* path) {
  const int fd = libutils::open_regular(path);
  if (fd < 0) return;
  posix_fadvise(fd, 0, static_cast<off_t>(head_chunk), POSIX_FADV_WILLNEED);
  close(fd);
}

bool load_jpeg_head(jpeg_bytes_t& out, const char* path) {
  jpeg_head_buffer_t buffer;
  return load_jpeg_head(out, path, buffer);
}

bool jpegdata_t::load_head(const char* path) {
  jpeg_head_buffer_t buffer;
  return load_head(path, buffer);
}

bool jpegdata_t::load_head(const char* path, jpeg_head_buffer_t& buffer) {
  if (!load_jpeg_head(data, path, buffer)) return false;
  name = path;
  return true;
}

bool jpegdata_t::save(const char* path, libutils::android_app*) {
  if (!path) return false;
  unlink(path);
  // O_EXCL: should anything have reappeared at the path, fail rather than
  // write through it.
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = libutils::write_all(fd, data.begin(), data.size());
  if (close(fd) != 0) ok = false;
  if (!ok) {
    unlink(path);  // a cut file would pass for a damaged photo
    return false;
  }
  name = path;
  return true;
}

void jpegdata_t::setvector(jpeg_bytes_t& v, const char* text) {
  data = v;
  name = text;
}

}  // namespace libgr

#include "viewer/app/zevfile2.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include "utility/failure.h"
#include "utility/futil.h"
#include "utility/option.h"
#include "viewer/graphics/geometry_stream.h"

namespace plimzev2 {

using plimlib::g_option;

std::string make_zevpath(const char* path) {
  // No cut at 255 bytes: two long names sharing a prefix would share one
  // view. A name too long for the file system fails to open instead.
  return libutils::dirname(path) + libutils::basename(path) + ".zev";
}

bool zevfile_t::parse(std::istream& in) {
  libgr::direction2l_t s;
  libgr::matrix3w_t v = libgr::Imtx;
  in >> s;
  in >> v;
  if (in.fail()) return false;
  // A side of 0 would end the program when the window is resized to it.
  if (s.x < 1 || s.y < 1) return false;
  for (float e : v.m)
    if (!std::isfinite(e)) return false;
  size = s;
  view = v;
  return true;
}

bool zevfile_t::load(const char* path) {
  const std::string name = make_zevpath(path);
  std::ifstream in(name);
  if (!in) return false;
  if (!parse(in)) return false;
  if (g_option.debug) std::cout << size << std::endl;
  if (g_option.verbose) std::cout << name << ": zevfile loaded." << std::endl;
  return true;
}

std::string zevfile_t::text() const {
  std::ostringstream out;
  out << size << '\n' << view << '\n';
  return out.str();
}

namespace {

// The mode a newly created file would get: the old file's, else 0666
// under the umask.
mode_t file_mode(const std::string& name) {
  struct stat st;
  if (::stat(name.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool zevfile_t::save(const char* path) const {
  const std::string name = make_zevpath(path);
  std::string tmp = name + ".XXXXXX";
  std::vector<char> buffer(tmp.begin(), tmp.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) return libutils::fail(name, ": zevfile save fail, ", std::strerror(errno));
  tmp = buffer.data();
  // The first failure's reason; a full disk may show only at close.
  int cause = 0;
  const std::string bytes = text();
  if (!libutils::write_all(fd, bytes.data(), bytes.size()) || ::fchmod(fd, file_mode(name)) != 0)
    cause = errno;
  if (::close(fd) != 0 && cause == 0) cause = errno;
  if (cause == 0 && ::rename(tmp.c_str(), name.c_str()) != 0) cause = errno;
  if (cause != 0) {
    ::unlink(tmp.c_str());
    return libutils::fail(name, ": zevfile save fail, ", std::strerror(cause));
  }
  if (g_option.verbose) std::cout << name << ": zevfile saved." << std::endl;
  return true;
}

bool zevfile_t::del(const char* path) const { return ::unlink(make_zevpath(path).c_str()) == 0; }

}  // namespace plimzev2

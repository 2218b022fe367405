#include "viewer/app/zevfile2.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "utility/failure.h"
#include "utility/futil.h"
#include "utility/option.h"
#include "utility/regular_ifstream.h"
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
  libutils::regular_ifstream in(name);
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

bool zevfile_t::save(const char* path) const {
  const std::string name = make_zevpath(path);
  if (!libutils::replace_file(name, text())) {
    const int cause = errno;
    return libutils::fail(name, ": zevfile save fail, ", std::strerror(cause));
  }
  if (g_option.verbose) std::cout << name << ": zevfile saved." << std::endl;
  return true;
}

bool zevfile_t::del(const char* path) const { return ::unlink(make_zevpath(path).c_str()) == 0; }

}  // namespace plimzev2

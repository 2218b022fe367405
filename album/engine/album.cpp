#include "album/engine/album.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <list>

#include "album/engine/util.h"
#include "utility/futil.h"
#include "utility/regular_ifstream.h"
#include "utility/strutil.h"

namespace tavolin {

void joinpath(std::string& out, const std::string& part) {
  if (part.empty()) return;
  if (!out.empty()) out += '/';
  out += part;
}

void path_t::make(std::string& out) const {
  out = root;
  joinpath(out, middle);
  joinpath(out, album);
}

void path_t::make(std::string& out, const std::string& sub) const {
  make(out);
  joinpath(out, sub);
}

void path_t::make(std::string& out, const std::string& sub, const std::string& file) const {
  make(out, sub);
  joinpath(out, file);
}

void path_t::submake(std::string& out) const {
  out = middle;
  joinpath(out, album);
}

namespace {

// Indexed by e_bestname_t.
const book_list_t (&bestnames)[bestname_count] = book_lists;

}  // namespace

const char* bestname_listfile(e_bestname_t kind) {
  const unsigned i = static_cast<unsigned>(kind);
  return i < bestname_count ? bestnames[i].listfile : "";
}

const char* bestname_bookdir(e_bestname_t kind) {
  const unsigned i = static_cast<unsigned>(kind);
  return i < bestname_count ? bestnames[i].bookdir : "";
}

bool bestname_from_bookdir(const std::string& dir, e_bestname_t& kind) {
  for (unsigned i = 0; i < bestname_count; ++i) {
    if (dir == bestnames[i].bookdir) {
      kind = static_cast<e_bestname_t>(i);
      return true;
    }
  }
  return false;
}

bool best_t::load(const path_t& location, const std::string& listname) {
  names.clear();
  path = &location;
  location.make(file, txt_dir, listname);
  dirty = false;
  libutils::regular_ifstream ifs(file);
  if (!ifs) return false;
  parse(std::string((std::istreambuf_iterator<char>(ifs)), std::istreambuf_iterator<char>()));
  return true;
}

void best_t::parse(const std::string& bytes) {
  names.clear();
  // Any line end is accepted: LF, CR LF, or a lone CR.
  std::list<std::string> lines;
  libutils::separate_token(lines, bytes, "\r\n");
  for (std::string& line : lines) {
    libutils::chop2(line);
    if (!line.empty()) names.insert(line);
  }
}

bool best_t::save() {
  if (!dirty) return false;
  if (path == nullptr) {
    return libutils::fail("best_t::save(): list was never loaded.");
  }
  unlink(file.c_str());
  std::ofstream ofs(file, std::ios::binary | std::ios::trunc);
  if (!ofs) {
    const int err = errno;
    return libutils::fail(file, ": ", std::strerror(err));
  }
  std::string photo;
  for (const std::string& name : names) {
    path->make(photo, original_dir, name);
    if (stat_succeeds(photo)) ofs << name << "\r\n";
  }
  ofs.close();
  if (ofs.fail()) {
    return libutils::fail(file, ": file write error.");
  }
  dirty = false;
  return true;
}

album_t::album_t(const album_t& other)
    : path(other.path),
      m_best(other.m_best),
      m_apply(other.m_apply),
      m_submit(other.m_submit),
      m_sale(other.m_sale),
      m_print(other.m_print),
      m_upload(other.m_upload),
      m_good(other.m_good),
      m_fail(other.m_fail),
      changed(other.changed) {
  repoint();
}

album_t::album_t(album_t&& other) noexcept
    : path(std::move(other.path)),
      m_best(std::move(other.m_best)),
      m_apply(std::move(other.m_apply)),
      m_submit(std::move(other.m_submit)),
      m_sale(std::move(other.m_sale)),
      m_print(std::move(other.m_print)),
      m_upload(std::move(other.m_upload)),
      m_good(std::move(other.m_good)),
      m_fail(std::move(other.m_fail)),
      changed(other.changed) {
  repoint();
}

album_t& album_t::operator=(const album_t& other) {
  if (this != &other) {
    album_t copy(other);
    *this = std::move(copy);
  }
  return *this;
}

album_t& album_t::operator=(album_t&& other) noexcept {
  if (this != &other) {
    path = std::move(other.path);
    for (unsigned i = 0; i < bestname_count; ++i) {
      const e_bestname_t kind = static_cast<e_bestname_t>(i);
      list(kind) = std::move(other.list(kind));
    }
    changed = other.changed;
    repoint();
  }
  return *this;
}

// A list that was loaded refers to this album's location, not to the one
// it was copied from.
void album_t::repoint() {
  for (unsigned i = 0; i < bestname_count; ++i) {
    best_t& l = list(static_cast<e_bestname_t>(i));
    if (l.path != nullptr) l.path = &path;
  }
}

best_t& album_t::list(e_bestname_t kind) {
  return const_cast<best_t&>(static_cast<const album_t&>(*this).list(kind));
}

const best_t& album_t::list(e_bestname_t kind) const {
  switch (kind) {
    case E_BESTNAME_FAIL: return m_fail;
    case E_BESTNAME_GOOD: return m_good;
    case E_BESTNAME_BEST: return m_best;
    case E_BESTNAME_APPLY: return m_apply;
    case E_BESTNAME_SUBMIT: return m_submit;
    case E_BESTNAME_SALE: return m_sale;
    case E_BESTNAME_PRINT: return m_print;
    case E_BESTNAME_UPLOAD: return m_upload;
  }
  return m_fail;
}

bool album_t::load(const path_t& location) {
  if (&location != &path) path = location;
  bool ok = true;
  // The files are read in the order of the members; all eight always.
  best_t* lists[] = {&m_best, &m_apply, &m_submit, &m_sale, &m_print, &m_upload, &m_good, &m_fail};
  const e_bestname_t kinds[] = {E_BESTNAME_BEST, E_BESTNAME_APPLY, E_BESTNAME_SUBMIT,
                                E_BESTNAME_SALE, E_BESTNAME_PRINT, E_BESTNAME_UPLOAD,
                                E_BESTNAME_GOOD, E_BESTNAME_FAIL};
  for (unsigned i = 0; i < bestname_count; ++i) {
    if (!lists[i]->load(path, bestname_listfile(kinds[i]))) ok = false;
  }
  // A photo chosen for any book counts as good.
  for (unsigned i = 0; i < 6; ++i) {
    m_good.names.insert(lists[i]->names.begin(), lists[i]->names.end());
  }
  changed = false;
  return ok;
}

bool album_t::save() {
  bool wrote = false;
  best_t* lists[] = {&m_best, &m_apply, &m_submit, &m_sale, &m_print, &m_upload};
  for (best_t* l : lists) {
    if (l->save()) wrote = true;
  }
  if (changed) {
    changed = false;
    wrote = true;
  }
  return wrote;
}

bool load_album_files(const path_t& location, best_t& good, best_t& fail, album_t& album,
                      std::list<std::string>& names) {
  good.load(location, bestname_listfile(E_BESTNAME_GOOD));
  fail.load(location, bestname_listfile(E_BESTNAME_FAIL));
  album.load(location);
  std::string original;
  location.make(original, original_dir);
  if (getregularfiles(names, original)) return true;
  names.clear();
  return false;
}

bool album_t::isfind(const std::string& name) const {
  return best(name) || apply(name) || submit(name) || sale(name) || print(name) || upload(name);
}

}  // namespace tavolin

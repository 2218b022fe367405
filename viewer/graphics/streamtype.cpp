// The tag table of the text form and the tagged value.
#include "viewer/graphics/streamtype.h"

#include <cstring>
#include <string>

#include "utility/strutil.h"

namespace libgr {

namespace {

struct mtype_row_t {
  int value;
  const char* name;
};

// No tags for the unsigned 2D types: their text would read back as the
// signed ones.
const mtype_row_t mtype_table[] = {
    {MTYPE_FLOAT, "float"},     {MTYPE_POS3, "pos3"},       {MTYPE_DIR3, "dir3"},
    {MTYPE_POS2, "pos2"},       {MTYPE_DIR2, "dir2"},       {MTYPE_POS2L, "pos2l"},
    {MTYPE_DIR2L, "dir2l"},     {MTYPE_QUA, "qua"},         {MTYPE_ROT3, "rot3"},
    {MTYPE_PST3W, "pst3w"},     {MTYPE_PLR3, "plr3"},       {MTYPE_ANG3, "ang3"},
    {MTYPE_REV3, "rev3"},       {MTYPE_SRT3, "srt3"},       {MTYPE_IRT3, "irt3"},
    {MTYPE_VEC3W, "vec3w"},     {MTYPE_COL3, "col3"},       {MTYPE_COL3A, "col3a"},
    {MTYPE_TXC1, "txc1"},       {MTYPE_TXC2, "txc2"},       {MTYPE_TXC2Q, "txc2q"},
    {MTYPE_TXC3, "txc3"},       {MTYPE_TXC3Q, "txc3q"},     {MTYPE_MTX3W, "mtx3w"},
    {MTYPE_BOX2, "box2"},       {MTYPE_BOX3, "box3"},       {MTYPE_DIM2, "dim2"},
    {MTYPE_DIM3, "dim3"},       {MTYPE_COL3AUB, "col3aub"}, {MTYPE_COL3UB, "col3ub"},
    {MTYPE_COL1AUB, "col1aub"}, {MTYPE_COL1UB, "col1ub"},   {MTYPE_SURFACE, "surface"},
    {MTYPE_LINE2D, "line2d"},   {MTYPE_LINE3D, "line3d"},   {MTYPE_PROJECTION, "projection"},
    {MTYPE_MAX, nullptr},
};

constexpr size_t tag_length = 16;

bool delimiter(int c) {
  return c == std::char_traits<char>::eof() || c == '(' || c == ')' || c == '\t' || c == '\r' ||
         c == '\n' || c == ',' || c == '\0';
}

}  // namespace

e_mtype_t get_mtype(const char* name) {
  if (!name) return MTYPE_MAX;
  for (const mtype_row_t& row : mtype_table) {
    if (row.name && std::strncmp(row.name, name, tag_length) == 0) {
      return static_cast<e_mtype_t>(row.value);
    }
  }
  return MTYPE_MAX;
}

std::istream& operator>>(std::istream& is, e_mtype_t& type) {
  is.setf(std::ios_base::skipws);
  std::string name;
  while (name.size() < tag_length && is && !delimiter(is.peek())) {
    char c;
    if (!(is >> c)) break;
    name += c;
  }
  type = name.empty() ? MTYPE_MAX : get_mtype(name.c_str());
  return is;
}

// Looked up by value, so that every type with a tag writes it.
std::ostream& operator<<(std::ostream& os, e_mtype_t type) {
  if (type < 0 || type >= MTYPE_MAX) return os << "range over" << std::endl;
  for (const mtype_row_t& row : mtype_table) {
    if (row.value == type && row.name) return os << row.name;
  }
  return os << "no type" << std::endl;
}

std::istream& operator>>(std::istream& is, mtype_reader& v) {
  is >> v.type;
  mtype_reader::value_t& x = v.value;
  char c;
  switch (v.type) {
    case MTYPE_FLOAT: is >> c >> x.f >> c; break;
    case MTYPE_POS3: is >> x.pos3; break;
    case MTYPE_DIR3: is >> x.dir3; break;
    case MTYPE_POS2: is >> x.pos2; break;
    case MTYPE_DIR2: is >> x.dir2; break;
    case MTYPE_POS2L: is >> x.pos2l; break;
    case MTYPE_DIR2L: is >> x.dir2l; break;
    case MTYPE_POS2UL: is >> x.pos2ul; break;
    case MTYPE_DIR2UL: is >> x.dir2ul; break;
    case MTYPE_QUA: is >> x.qua; break;
    case MTYPE_ROT3: is >> x.rot3; break;
    case MTYPE_PST3W: is >> x.pst3w; break;
    case MTYPE_PLR3: is >> x.plr3; break;
    case MTYPE_ANG3: is >> x.ang3; break;
    case MTYPE_REV3: is >> x.rev3; break;
    case MTYPE_SRT3: is >> x.srt3; break;
    case MTYPE_IRT3: is >> x.irt3; break;
    case MTYPE_VEC3W: is >> x.vec3w; break;
    case MTYPE_COL3: is >> x.col3; break;
    case MTYPE_COL3A: is >> x.col3a; break;
    case MTYPE_TXC1: is >> x.txc1; break;
    case MTYPE_TXC2: is >> x.txc2; break;
    case MTYPE_TXC2Q: is >> x.txc2q; break;
    case MTYPE_TXC3: is >> x.txc3; break;
    case MTYPE_TXC3Q: is >> x.txc3q; break;
    case MTYPE_MTX3W: is >> x.mtx3w; break;
    case MTYPE_BOX2: is >> x.box2; break;
    case MTYPE_BOX3: is >> x.box3; break;
    case MTYPE_DIM2: is >> x.dim2; break;
    case MTYPE_DIM3: is >> x.dim3; break;
    case MTYPE_COL3AUB: is >> x.col3aub; break;
    case MTYPE_COL3UB: is >> x.col3ub; break;
    case MTYPE_COL1AUB: is >> x.col1aub; break;
    case MTYPE_COL1UB: is >> x.col1ub; break;
    case MTYPE_SURFACE: is >> x.surface; break;
    case MTYPE_LINE2D: is >> x.line2d; break;
    case MTYPE_LINE3D: is >> x.line3d; break;
    case MTYPE_PROJECTION: is >> x.projection; break;
    default:
      // An unknown tag: skip its value up to and past the ")".
      while (is && is.peek() != ')' && is.peek() != std::char_traits<char>::eof()) {
        is.get();
      }
      if (is && is.peek() == ')') is.get();
      break;
  }
  return is;
}

std::ostream& operator<<(std::ostream& os, const mtype_reader& v) {
  const mtype_reader::value_t& x = v.value;
  switch (v.type) {
    case MTYPE_FLOAT: {
      libutils::keepflag keep(os);
      os.setf(std::ios_base::fixed, std::ios_base::floatfield);
      return os << "float(" << static_cast<double>(x.f) << ")";
    }
    case MTYPE_POS3: return os << x.pos3;
    case MTYPE_DIR3: return os << x.dir3;
    case MTYPE_POS2: return os << x.pos2;
    case MTYPE_DIR2: return os << x.dir2;
    case MTYPE_POS2L: return os << x.pos2l;
    case MTYPE_DIR2L: return os << x.dir2l;
    case MTYPE_POS2UL: return os << x.pos2ul;
    case MTYPE_DIR2UL: return os << x.dir2ul;
    case MTYPE_QUA: return os << x.qua;
    case MTYPE_ROT3: return os << x.rot3;
    case MTYPE_PST3W: return os << x.pst3w;
    case MTYPE_PLR3: return os << x.plr3;
    case MTYPE_ANG3: return os << x.ang3;
    case MTYPE_REV3: return os << x.rev3;
    case MTYPE_SRT3: return os << x.srt3;
    case MTYPE_IRT3: return os << x.irt3;
    case MTYPE_VEC3W: return os << x.vec3w;
    case MTYPE_COL3: return os << x.col3;
    case MTYPE_COL3A: return os << x.col3a;
    case MTYPE_TXC1: return os << x.txc1;
    case MTYPE_TXC2: return os << x.txc2;
    case MTYPE_TXC2Q: return os << x.txc2q;
    case MTYPE_TXC3: return os << x.txc3;
    case MTYPE_TXC3Q: return os << x.txc3q;
    case MTYPE_MTX3W: return os << x.mtx3w;
    case MTYPE_BOX2: return os << x.box2;
    case MTYPE_BOX3: return os << x.box3;
    case MTYPE_DIM2: return os << x.dim2;
    case MTYPE_DIM3: return os << x.dim3;
    case MTYPE_COL3AUB: return os << x.col3aub;
    case MTYPE_COL3UB: return os << x.col3ub;
    case MTYPE_COL1AUB: return os << x.col1aub;
    case MTYPE_COL1UB: return os << x.col1ub;
    case MTYPE_SURFACE: return os << x.surface;
    case MTYPE_LINE2D: return os << x.line2d;
    case MTYPE_LINE3D: return os << x.line3d;
    case MTYPE_PROJECTION: return os << x.projection;
    default: return os;
  }
}

}  // namespace libgr

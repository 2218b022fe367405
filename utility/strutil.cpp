#include "utility/strutil.h"

#include <climits>
#include <cstring>
#include <cwchar>

#include "utility/mbchar.h"

namespace libutils {

int stringcmp(const char* a, const char* b) { return std::strncmp(a, b, std::strlen(b)); }

void chop(std::string& s) {
  std::size_t n = s.size();
  while (n > 0 && (s[n - 1] == '\r' || s[n - 1] == '\n')) --n;
  s.erase(n);
}

void chop2(std::string& s) {
  std::size_t n = s.size();
  while (n > 0) {
    const char c = s[n - 1];
    if (c != '\0' && c != '\t' && c != '\n' && c != '\r' && c != ' ') break;
    --n;
  }
  s.erase(n);
}

void separate_token(std::list<std::string>& out, const std::string& text, const char* delimiters) {
  // A table rather than strchr(): strchr finds the terminator, which would
  // make a NUL byte of the text a delimiter.
  bool is_delimiter[UCHAR_MAX + 1] = {};
  if (delimiters != nullptr)
    for (const char* d = delimiters; *d != '\0'; ++d)
      is_delimiter[static_cast<unsigned char>(*d)] = true;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!is_delimiter[static_cast<unsigned char>(text[i])]) continue;
    out.emplace_back(text, begin, i - begin);
    begin = i + 1;
  }
  if (begin < text.size()) out.emplace_back(text, begin);
}

bool separate_first_token(std::pair<std::string, std::string>& out, const std::string& text,
                          char c) {
  const std::size_t at = text.find(c);
  if (at == std::string::npos) return false;
  out.first = text.substr(0, at);
  out.second = text.substr(at + 1);
  return true;
}

void concatenate_token(std::string& out, const std::list<std::string>& list,
                       const char* separator) {
  out.clear();
  const char* sep = separator != nullptr ? separator : "";
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it != list.begin()) out += sep;
    out += *it;
  }
}

void makecharptrarray(std::vector<const char*>& out, const std::list<std::string>& list) {
  out.resize(list.size());
  std::size_t i = 0;
  for (const std::string& s : list) out[i++] = s.c_str();
}

void cat(std::vector<std::string>& out, const std::list<std::string>& list) {
  out.insert(out.end(), list.begin(), list.end());
}

void copy(std::vector<std::string>& out, const std::list<std::string>& list) {
  out.assign(list.begin(), list.end());
}

std::wstring str2wstr(const std::string& s) {
  std::wstring out;
  out.reserve(s.size());
  detail::for_each_mbchar(s.data(), s.size(), [&](std::size_t, std::size_t, wchar_t wc) {
    out.push_back(wc);
    return true;
  });
  return out;
}

std::string wstr2str(const std::wstring& s) {
  std::string out;
  out.reserve(s.size() * 4);
  std::mbstate_t state{};
  char buffer[MB_LEN_MAX];
  for (const wchar_t wc : s) {
    // The escapes str2wstr made for bytes that were not text.
    if (wc >= 0xDC00 && wc <= 0xDCFF) {
      out.push_back(static_cast<char>(wc - 0xDC00));
      continue;
    }
    if (wc >= 0 && wc < 0x80 && std::mbsinit(&state)) {
      out.push_back(static_cast<char>(wc));
      continue;
    }
    const std::size_t n = std::wcrtomb(buffer, wc, &state);
    if (n == static_cast<std::size_t>(-1)) {
      state = std::mbstate_t{};
      out.push_back('?');
      continue;
    }
    out.append(buffer, n);
  }
  return out;
}

namespace {

// One character as formatted output: a pending width pads it (and is
// reset by the insertion), otherwise it goes out directly.
void put_formatted(std::ostream& os, char c) {
  if (os.width() != 0)
    os << c;
  else
    os.put(c);
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const _putn& p) {
  for (unsigned i = 0; i < p.count; ++i) put_formatted(os, p.text[i]);
  return os;
}

std::ostream& operator<<(std::ostream& os, const _putcn& p) {
  for (long i = 0; i < p.count; ++i) put_formatted(os, p.c);
  return os;
}

std::ostream& operator<<(std::ostream& os, const _putspace& p) {
  for (long i = 0; i < p.count; ++i) put_formatted(os, ' ');
  return os;
}

std::ostream& operator<<(std::ostream& os, const _puthex<unsigned char>& p) {
  std::ios_base::fmtflags flags = os.flags();
  char fill = os.fill();
  if (flags & std::ios_base::showbase) os << "0x";
  os.flags(
      (flags & ~(std::ios_base::basefield | std::ios_base::showbase | std::ios_base::adjustfield)) |
      std::ios_base::hex | std::ios_base::right);
  os.fill('0');
  os.width(2);
  os << static_cast<unsigned int>(p.value);
  os.flags(flags);
  os.fill(fill);
  return os;
}

}  // namespace libutils

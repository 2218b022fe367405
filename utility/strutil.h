#pragma once
// String helpers and small stream manipulators.

#include <cstddef>
#include <list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace libutils {

// strncmp(a, b, strlen(b)): 0 when a begins with b.
int stringcmp(const char* a, const char* b);

// Removes every trailing CR and LF.
void chop(std::string& s);
// Removes every trailing NUL, TAB, LF, CR and blank.
void chop2(std::string& s);

// APPENDS the tokens of text to out (out is not cleared). Every delimiter
// byte ends a token, which is appended even when empty; the rest after the
// last delimiter is appended only when not empty ("a,,b" gives a, "", b;
// ",a" gives "", a; "a," gives a; "" gives nothing).
void separate_token(std::list<std::string>& out, const std::string& text, const char* delimiters);

// False (out unchanged) when c does not occur in text; else out.first is
// the text before the first c, out.second the text after it.
bool separate_first_token(std::pair<std::string, std::string>& out, const std::string& text,
                          char c);

// out = the strings of list joined with separator; "" for an empty list.
void concatenate_token(std::string& out, const std::list<std::string>& list, const char* separator);

// out holds exactly one pointer per string of list, in order, with no
// terminating null pointer; they live as long as the list's strings.
void makecharptrarray(std::vector<const char*>& out, const std::list<std::string>& list);

// Appends the strings of list to out.
void cat(std::vector<std::string>& out, const std::list<std::string>& list);
// out holds exactly the strings of list.
void copy(std::vector<std::string>& out, const std::list<std::string>& list);

// Multibyte text of the current locale to wide characters and back. A
// byte that is not valid text in the locale becomes the wide character
// 0xDC00 + byte, which wstr2str turns back into that byte, so the round
// trip keeps any input; a wide character the locale cannot write becomes
// '?'.
std::wstring str2wstr(const std::string& s);
std::string wstr2str(const std::wstring& s);

// Remembers the stream's format flags; the destructor restores them.
// Precision, width and fill are not touched.
class keepflag {
 public:
  explicit keepflag(std::ostream& os) : m_os(os), m_flags(os.flags()) {}
  ~keepflag() { m_os.flags(m_flags); }
  keepflag(const keepflag&) = delete;
  keepflag& operator=(const keepflag&) = delete;

 private:
  std::ostream& m_os;
  std::ios_base::fmtflags m_flags;
};

// Writes the first count characters of text (text must hold that many).
struct _putn {
  _putn(const char* text, unsigned count) : text(text), count(count) {}
  const char* text;
  unsigned count;
};
// Writes c count times (nothing when count is not positive).
struct _putcn {
  _putcn(char c, long count) : c(c), count(count) {}
  char c;
  long count;
};
// Writes count blanks.
struct _putspace {
  explicit _putspace(long count) : count(count) {}
  long count;
};

// Writes one value as hexadecimal digits, two per byte with leading zeros
// ("0x" first when the stream shows the base); the stream's flags and fill
// are kept.
template <class T>
struct _puthex {
  explicit _puthex(T value) : value(value) {}
  T value;
};
std::ostream& operator<<(std::ostream& os, const _puthex<unsigned char>& p);

// Each character is formatted output: a pending field width pads the
// first character and is then reset.
std::ostream& operator<<(std::ostream& os, const _putn& p);
std::ostream& operator<<(std::ostream& os, const _putcn& p);
std::ostream& operator<<(std::ostream& os, const _putspace& p);

}  // namespace libutils

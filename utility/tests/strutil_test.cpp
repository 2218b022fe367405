#include "utility/strutil.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "utility/futil.h"
#include "utility/tests/test_support.h"

using namespace libutils;

namespace {

std::list<std::string> tokens(const std::string& text, const char* delimiters) {
  std::list<std::string> out;
  separate_token(out, text, delimiters);
  return out;
}

using SL = std::list<std::string>;

}  // namespace

TEST(SeparateToken, EmptyTokensBetweenAndBeforeDelimitersAreKept) {
  EXPECT_EQ(tokens("a,,b", ","), (SL{"a", "", "b"}));
  EXPECT_EQ(tokens(",a", ","), (SL{"", "a"}));
  EXPECT_EQ(tokens(",", ","), (SL{""}));
  EXPECT_EQ(tokens(",,", ","), (SL{"", ""}));
}

TEST(SeparateToken, TrailingEmptyTokenAndEmptyTextGiveNothing) {
  EXPECT_EQ(tokens("a,", ","), (SL{"a"}));
  EXPECT_EQ(tokens("", ","), SL{});
  EXPECT_EQ(tokens("abc", ","), (SL{"abc"}));
}

TEST(SeparateToken, AnyDelimiterByteEndsAToken) {
  EXPECT_EQ(tokens("-maxsize  1600x1200\t-single", " \t"),
            (SL{"-maxsize", "", "1600x1200", "-single"}));
  EXPECT_EQ(tokens("/usr/bin::/bin", ":"), (SL{"/usr/bin", "", "/bin"}));
}

TEST(SeparateToken, AppendsWithoutClearing) {
  SL out{"keep"};
  separate_token(out, "x y", " ");
  EXPECT_EQ(out, (SL{"keep", "x", "y"}));
}

TEST(SeparateToken, NulByteOfTheTextIsNoDelimiter) {
  const std::string text("a\0b,c", 5);
  EXPECT_EQ(tokens(text, ","), (SL{std::string("a\0b", 3), "c"}));
}

TEST(SeparateFirstToken, SplitsAtTheFirstOccurrenceOnly) {
  std::pair<std::string, std::string> out{"x", "y"};
  EXPECT_TRUE(separate_first_token(out, "key=value=x", '='));
  EXPECT_EQ(out.first, "key");
  EXPECT_EQ(out.second, "value=x");
  EXPECT_TRUE(separate_first_token(out, "=", '='));
  EXPECT_EQ(out.first, "");
  EXPECT_EQ(out.second, "");
  out = {"x", "y"};
  EXPECT_FALSE(separate_first_token(out, "novalue", '='));
  EXPECT_EQ(out.first, "x");
  EXPECT_EQ(out.second, "y");
}

TEST(Chop, RemovesOnlyLineEnds) {
  std::string s = "line \r\n\n\r";
  chop(s);
  EXPECT_EQ(s, "line ");
  s = "";
  chop(s);
  EXPECT_EQ(s, "");
  s = "\r\n";
  chop(s);
  EXPECT_EQ(s, "");
}

TEST(Chop, Chop2AlsoRemovesBlanksTabsAndNuls) {
  std::string s = std::string("name \t\0\r\n ", 9);
  chop2(s);
  EXPECT_EQ(s, "name");
  s = "a b";
  chop2(s);
  EXPECT_EQ(s, "a b");
  s = "";
  chop2(s);
  EXPECT_EQ(s, "");
}

TEST(StringCmp, ZeroWhenTheFirstBeginsWithTheSecond) {
  EXPECT_EQ(stringcmp("-Cdir", "-C"), 0);
  EXPECT_NE(stringcmp("-F", "-C"), 0);
  EXPECT_NE(stringcmp("-", "-C"), 0);
  EXPECT_EQ(stringcmp("abc", ""), 0);
}

TEST(TokenLists, JoinAndPointerArrays) {
  std::string out = "old";
  SL list{"a", "", "c"};
  concatenate_token(out, list, ", ");
  EXPECT_EQ(out, "a, , c");
  SL empty;
  concatenate_token(out, empty, ", ");
  EXPECT_EQ(out, "");

  std::vector<const char*> ptrs(7, nullptr);
  makecharptrarray(ptrs, list);
  ASSERT_EQ(ptrs.size(), 3u);
  EXPECT_EQ(ptrs[0], list.front().c_str());
  EXPECT_STREQ(ptrs[2], "c");

  std::vector<std::string> v{"x"};
  cat(v, list);
  EXPECT_EQ(v, (std::vector<std::string>{"x", "a", "", "c"}));
  libutils::copy(v, list);
  EXPECT_EQ(v, (std::vector<std::string>{"a", "", "c"}));
}

TEST(WideStrings, Utf8ConvertsToCharacters) {
  utiltest::locale_guard utf8(LC_CTYPE, "C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  EXPECT_EQ(str2wstr("h\xc3\xa9\xe6\x97\xa5"), std::wstring(L"h\u00e9\u65e5"));
  EXPECT_EQ(wstr2str(L"h\u00e9\u65e5\U0001F600"), "h\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80");
}

TEST(WideStrings, InvalidBytesSurviveTheRoundTrip) {
  utiltest::locale_guard utf8(LC_CTYPE, "C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "no C.UTF-8 locale";
  // Stray continuation byte, lone lead byte, overlong form, encoded
  // surrogate, truncated sequence at the end.
  const std::string bad = "a\x80 b\xc3 c\xc0\xaf d\xed\xa0\x80 e\xe6\x97";
  const std::wstring w = str2wstr(bad);
  EXPECT_EQ(w.size(), bad.size() - 0u);  // every invalid byte is one character
  EXPECT_EQ(w[1], static_cast<wchar_t>(0xDC80));
  EXPECT_EQ(wstr2str(w), bad);
  const std::string nul("x\0y", 3);
  EXPECT_EQ(wstr2str(str2wstr(nul)), nul);
}

TEST(WideStrings, CLocaleKeepsHighBytesAndMarksUnwritableCharacters) {
  utiltest::locale_guard c(LC_CTYPE, "C");
  const std::string high = "\xe9t\xe9\xff";
  EXPECT_EQ(str2wstr(high).size(), 4u);
  EXPECT_EQ(wstr2str(str2wstr(high)), high);
  EXPECT_EQ(wstr2str(L"a\u65e5b"), "a?b");
}

TEST(StreamManipulators, PendingWidthPadsOnlyTheFirstCharacter) {
  std::ostringstream os;
  os << std::setw(4) << _putn("abcdef", 3) << '|';
  EXPECT_EQ(os.str(), "   abc|");
  os.str("");
  os << std::setw(3) << std::left << _putcn('x', 2) << '|';
  EXPECT_EQ(os.str(), "x  x|");
  os.str("");
  os << _putspace(3) << '|' << _putcn('-', 0) << _putcn('-', -5) << _putspace(-1) << '|';
  EXPECT_EQ(os.str(), "   ||");
}

TEST(StreamManipulators, KeepflagRestoresTheFormatFlags) {
  std::ostringstream os;
  {
    keepflag keep(os);
    os << std::hex << std::showbase << 255 << ' ';
  }
  os << 255;
  EXPECT_EQ(os.str(), "0xff 255");
}

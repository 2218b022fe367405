#include "album/engine/escape.h"

#include <gtest/gtest.h>

using namespace tavolin;

namespace {

TEST(PageNames, OnlyLinkBreakingBytesAreEscaped) {
  EXPECT_EQ(html_url("IMG_0001.JPG"), "IMG_0001.JPG");
  // Every byte from 0x7F up, UTF-8 or not: the link names the bytes.
  EXPECT_EQ(html_url("\xE5\x86\x99\xE7\x9C\x9F.jpg"), "%E5%86%99%E7%9C%9F.jpg");
  EXPECT_EQ(html_url("caf\xE9 \xFF\xFE\x7F.jpg"), "caf%E9%20%FF%FE%7F.jpg");
  EXPECT_EQ(html_url("a b#1%,\"x\"?.jpg"), "a%20b%231%25%2C%22x%22%3F.jpg");
  EXPECT_EQ(html_url("12:30 <&>.jpg"), "12%3A30%20%3C%26%3E.jpg");
  // Attributes are double-quoted: an apostrophe breaks nothing.
  EXPECT_EQ(html_url("Tom's(1)+[2]~.jpg"), "Tom's(1)+[2]~.jpg");
  EXPECT_EQ(html_text("Tom & <Jerry>.jpg"), "Tom &amp; &lt;Jerry&gt;.jpg");
}

}  // namespace

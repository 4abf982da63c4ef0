#include "platform/cp932.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using plat::Cp932ToUtf8;
using plat::Utf8ToCp932;

// CP932 extension characters, plain Shift-JIS and half-width katakana, in
// both directions: circled digit one (87 40), NEC row numeral (87 54), the
// IBM row (FA 40), "ア" (83 41), "ソ" with its 0x5C trail byte, half-width "ｱ".
TEST(Cp932, ConvertsBothWays) {
  const std::string cp932 = "A\x87\x40\x87\x54\xFA\x40\x83\x41\x83\x5C\xB1~\\";
  const std::string utf8 = "A\u2460\u2160\u2170\u30A2\u30BD\uFF71~\\";
  std::string out;
  ASSERT_TRUE(Cp932ToUtf8(cp932, &out));
  EXPECT_EQ(out, utf8);
  ASSERT_TRUE(Utf8ToCp932(utf8, &out));
  EXPECT_EQ(out, cp932);
  ASSERT_TRUE(Cp932ToUtf8("", &out));
  EXPECT_EQ(out, "");
}

TEST(Cp932, ReplacesEachBadSequenceAndReportsIt) {
  std::string out;
  // 85 40 is an unassigned pair; 81 0A is a lead byte cut off by a line
  // break, which must survive; 80 is no character; 82 at the end is cut off.
  EXPECT_FALSE(Cp932ToUtf8("a\x85\x40" "b\x81\nc\x80" "d\x82", &out));
  EXPECT_EQ(out, "a\uFFFD" "b\uFFFD\nc\uFFFD" "d\uFFFD");
  // "é" has no CP932 form; a stray continuation byte is malformed UTF-8.
  EXPECT_FALSE(Utf8ToCp932("x\u00E9y\x80z\u2460", &out));
  EXPECT_EQ(out, "x?y?z\x87\x40");
}

}  // namespace

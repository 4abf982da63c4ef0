#include "platform/string_slot.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

uint32_t PrefixOf(const char* s) {
  uint32_t len;
  std::memcpy(&len, s - 4, 4);
  return len;
}

TEST(StringSlot, LayoutIsLengthBeforeBytesAndNulAfter) {
  const char bytes[] = {'A', '\0', '\x83', '\x5C', 'Z'};
  char* s = SysAllocStringByteLen(bytes, sizeof bytes);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(PrefixOf(s), 5u);
  EXPECT_EQ(SysStringByteLen(s), 5u);
  EXPECT_EQ(std::memcmp(s, bytes, 5), 0);
  EXPECT_EQ(s[5], '\0');
  SysFreeString(s);

  char* zeros = SysAllocStringByteLen(nullptr, 3);
  ASSERT_NE(zeros, nullptr);
  EXPECT_EQ(std::string(zeros, 4), std::string(4, '\0'));
  SysFreeString(zeros);

  char* empty = SysAllocStringByteLen("", 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringByteLen(empty), 0u);
  EXPECT_EQ(empty[0], '\0');
  SysFreeString(empty);

  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
}

// The leak checker catches a SetSlot that forgets to free the old string.
TEST(StringSlot, SetSlotReplacesAndSkipsNullSlot) {
  char* slot = nullptr;
  plat::SetSlot(&slot, "first", 5);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(std::string(slot, SysStringByteLen(slot)), "first");
  // From the old string's own bytes: must copy before freeing.
  plat::SetSlot(&slot, slot + 1, 3);
  EXPECT_EQ(std::string(slot, SysStringByteLen(slot)), "irs");
  EXPECT_EQ(slot[3], '\0');
  plat::SetSlot(&slot, "", 0);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(SysStringByteLen(slot), 0u);
  SysFreeString(slot);
  plat::SetSlot(nullptr, "x", 1);
}

}  // namespace

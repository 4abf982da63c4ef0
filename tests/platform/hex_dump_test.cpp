#include "platform/hex_dump.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string kHead =
    "    Addr : +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F\n"
    "    -------------------------------------------------------\n";
const std::string kNoBytes = std::string(48, ' ');

std::string Dump(const std::vector<uint8_t>& b) { return plat::FormatHexDump(b.data(), b.size()); }

TEST(HexDump, ZeroBytesGiveOneEmptyRow) {
  EXPECT_EQ(plat::FormatHexDump(nullptr, 0), kHead + "    0000 :" + kNoBytes + "   \n\n");
}

TEST(HexDump, SixteenBytesGiveTwoRowsTheSecondEmpty) {
  std::vector<uint8_t> b;
  for (int i = 0; i < 16; ++i) b.push_back(static_cast<uint8_t>('a' + i));
  EXPECT_EQ(Dump(b), kHead +
                         "    0000 : 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70   abcdefghijklmnop\n"
                         "    0010 :" + kNoBytes + "   \n"
                         "\n");
}

TEST(HexDump, TextStopsAtCrLfOrNulAndKeepsOtherBytes) {
  EXPECT_EQ(Dump({0x02, 0x41, 0x0D, 0x42}),
            kHead + "    0000 : 02 41 0D 42" + std::string(36, ' ') + "   \x02" "A\n\n");
  // A command frame: the text column shows EOT STX and stops at nothing else.
  EXPECT_EQ(Dump({0x04, 0x02, 0x53, 0x54, 0x03, 0x04}),
            kHead + "    0000 : 04 02 53 54 03 04" + std::string(30, ' ') + "   \x04\x02ST\x03\x04\n\n");
  // Each row's text is cut on its own; bytes from 0x80 are copied as they are.
  std::vector<uint8_t> b = {'x', 0x0A, 'y'};
  b.resize(16, 'z');
  b.insert(b.end(), {0x83, 0x41, 0x00, 'q', 0xFF});
  EXPECT_EQ(Dump(b), kHead +
                         "    0000 : 78 0A 79 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A 7A   x\n"
                         "    0010 : 83 41 00 71 FF" + std::string(33, ' ') + "   \x83" "A\n"
                         "\n");
}

TEST(HexDump, OffsetsCountInHex) {
  const std::vector<uint8_t> b(0x110, '.');
  const std::string out = Dump(b);
  EXPECT_NE(out.find("\n    00F0 : 2E"), std::string::npos);
  EXPECT_NE(out.find("\n    0100 : 2E"), std::string::npos);
  EXPECT_NE(out.find("\n    0110 :" + kNoBytes + "   \n\n"), std::string::npos);
}

}  // namespace

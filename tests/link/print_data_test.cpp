#include "print/print_data.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using printdata::BuildIBBlocks;
using printdata::BuildPIRecords;
using printdata::ClassifyPixel;
using printdata::DotArea;
using printdata::RgbImage;
using printdata::Thresholds;

using Dots = std::vector<std::vector<int>>;  // [y][x], 1 = dot

// A black-and-white picture of the given dots.
RgbImage Picture(const Dots& dots) {
  RgbImage img;
  img.height = static_cast<int>(dots.size());
  img.width = dots.empty() ? 0 : static_cast<int>(dots[0].size());
  for (const auto& row : dots)
    for (int d : row)
      for (int c = 0; c < 3; ++c) img.rgb.push_back(d ? 0 : 255);
  return img;
}

Dots RandomDots(std::mt19937* rng, int w, int h) {
  Dots dots(static_cast<size_t>(h), std::vector<int>(static_cast<size_t>(w)));
  for (auto& row : dots)
    for (int& d : row) d = static_cast<int>((*rng)() & 1);
  return dots;
}

int DotAt(const Dots& dots, int x, int y) {
  if (y < 0 || y >= static_cast<int>(dots.size())) return 0;
  if (x < 0 || x >= static_cast<int>(dots[y].size())) return 0;
  return dots[y][x];
}

// The row's hex form as the device reads it: one digit per four dots from
// startColumn, leftmost dot weighing 8.
std::string ExpectedHex(const Dots& dots, int width, int startColumn, int y) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s;
  for (int x = startColumn; x < width; x += 4) {
    int v = 0;
    for (int i = 0; i < 4; ++i)
      if (x + i < width && DotAt(dots, x + i, y)) v |= 8 >> i;
    s.push_back(kHex[v]);
  }
  return s;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    size_t at = s.find(sep, from);
    parts.push_back(s.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

TEST(ClassifyPixel, RulesApplyInOrder) {
  struct Case { int r, g, b, dot; } cases[] = {
      {255, 255, 255, 0},  // white
      {0, 0, 0, 1},        // black
      {100, 100, 100, 1},  // mid grey: all at or below the middle
      {192, 192, 192, 0},  // all at the upper threshold: rule 1
      {191, 191, 191, 0},  // rule 3
      {128, 128, 128, 1},  // rule 2 at its edge
      {129, 129, 129, 0},  // rule 3
      {64, 64, 64, 1},     // rule 2 wins before rule 4
      {255, 0, 0, 1},      // pure red: green at or below 64
      {0, 0, 255, 1},      // pure blue
      {255, 255, 0, 1},    // yellow
      {200, 100, 100, 0},  // bright enough everywhere: rule 3
      {255, 64, 255, 1},   // one channel at the lower threshold
      {255, 65, 255, 0},   // just above it
      {10, 250, 250, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ClassifyPixel(c.r, c.g, c.b), c.dot) << c.r << "," << c.g << "," << c.b;
}

TEST(ClassifyPixel, ThresholdsShiftWithBrightness) {
  const Thresholds brighter{114, 178, 242};
  const Thresholds darker{14, 78, 142};
  EXPECT_EQ(ClassifyPixel(170, 170, 170, brighter), 1);
  EXPECT_EQ(ClassifyPixel(170, 170, 170), 0);
  EXPECT_EQ(ClassifyPixel(150, 150, 150, darker), 0);
  EXPECT_EQ(ClassifyPixel(10, 250, 250, brighter), 1);
  EXPECT_EQ(ClassifyPixel(10, 250, 250, darker), 1);
}

TEST(NibbleToHex, UpperCaseDigits) {
  std::string all;
  for (int i = 0; i < 16; ++i) all.push_back(printdata::NibbleToHex(i));
  EXPECT_EQ(all, "0123456789ABCDEF");
}

TEST(ClassifyRow, OutsideThePictureIsWhite) {
  const RgbImage pic = Picture({{1, 1}, {1, 1}});
  const DotArea area{&pic, 4, 3, {}};
  uint8_t dots[4];
  printdata::ClassifyRow(area, 1, dots);
  EXPECT_EQ((std::vector<uint8_t>(dots, dots + 4)), (std::vector<uint8_t>{1, 1, 0, 0}));
  printdata::ClassifyRow(area, 2, dots);
  EXPECT_EQ((std::vector<uint8_t>(dots, dots + 4)), (std::vector<uint8_t>{0, 0, 0, 0}));
  const DotArea blank{nullptr, 4, 3, {}};
  printdata::ClassifyRow(blank, 0, dots);
  EXPECT_EQ((std::vector<uint8_t>(dots, dots + 4)), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(PIRecords, EightByOneBlackIsOneRecord) {
  const RgbImage pic = Picture({{1, 1, 1, 1, 1, 1, 1, 1}});
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords({&pic, 8, 1, {}}, 0, 0, 2048, &records), 0);
  EXPECT_EQ(records, (std::vector<std::string>{"PI:0/0/1/FF"}));
}

TEST(PIRecords, LargeBufferJoinsAllRows) {
  const RgbImage pic = Picture({{1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 1},
                                {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                {0, 1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 1}});
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords({&pic, 16, 3, {}}, 0, 60, 32767, &records), 0);
  EXPECT_EQ(records, (std::vector<std::string>{"PI:0/60/2/80F1/0000/6A0B"}));
}

TEST(PIRecords, StartColumnAndPartialGroup) {
  // Width 14 from column 4: 10 columns, one byte a row, three digits; the last
  // group reads two columns past the area as white even where the picture
  // goes on.
  const RgbImage pic = Picture({{1, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1}});
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords({&pic, 14, 1, {}}, 4, 0, 1024, &records), 0);
  EXPECT_EQ(records, (std::vector<std::string>{"PI:0/0/1/87C"}));
}

TEST(PIRecords, RowsBelowThePictureAreWhite) {
  const RgbImage pic = Picture({{1, 1, 1, 1, 1, 1, 1, 1}});
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords({&pic, 8, 2, {}}, 0, 0, 2048, &records), 0);
  EXPECT_EQ(records, (std::vector<std::string>{"PI:0/0/1/FF/00"}));
}

// The device's buffer of 2048 bytes with a 320-dot row: after row 23 the "/"
// brings the record exactly to the limit of 1954 characters. That record must
// still go out, ending with row 23.
TEST(PIRecords, RecordThatReachesTheLimitIsKept) {
  std::mt19937 rng(7);
  const Dots dots = RandomDots(&rng, 320, 48);
  const RgbImage pic = Picture(dots);
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords({&pic, 320, 48, {}}, 0, 0, 2048, &records), 0);
  ASSERT_EQ(records.size(), 2u);
  std::string first = "PI:0/0/40/";
  for (int y = 0; y < 24; ++y) first += (y ? "/" : "") + ExpectedHex(dots, 320, 0, y);
  EXPECT_EQ(records[0], first);
  EXPECT_EQ(records[0].size(), 1953u);
  EXPECT_EQ(records[1].compare(0, 11, "PI:0/24/40/"), 0);
}

// Every row goes out exactly once, in order, with its own hex digits; no
// record outgrows the buffer less its reserve, and a record ends only when
// one more "/" would reach the limit.
TEST(PIRecords, EveryRowSentOnceOverWidthsAndBufferSizes) {
  std::mt19937 rng(20261208);
  std::vector<int> widths;
  for (int w = 1; w <= 70; ++w) widths.push_back(w);
  for (int w : {127, 128, 129, 319, 320, 321, 640}) widths.push_back(w);
  long checked = 0;
  for (int width : widths) {
    const int height = 1 + static_cast<int>(rng() % 40);
    const int startColumn = (rng() % 3 == 0) ? static_cast<int>(rng() % width) : 0;
    const int rowBase = (rng() % 2) ? static_cast<int>(rng() % 1000) : 0;
    const Dots dots = RandomDots(&rng, width, height + static_cast<int>(rng() % 3));
    const RgbImage pic = Picture(dots);
    const DotArea area{&pic, width, height, {}};
    const long minSize = printdata::MinPIRecordBufferSize(width, height, startColumn, rowBase);
    std::vector<long> sizes;
    for (long s = minSize; s < minSize + 200; s += 1 + static_cast<long>(rng() % 7)) sizes.push_back(s);
    sizes.push_back(2048);
    sizes.push_back(32767);
    for (long size : sizes) {
      if (size < minSize) continue;
      SCOPED_TRACE("width " + std::to_string(width) + " height " + std::to_string(height) +
                   " start " + std::to_string(startColumn) + " size " + std::to_string(size));
      std::vector<std::string> records;
      ASSERT_EQ(BuildPIRecords(area, startColumn, rowBase, size, &records), 0);
      const long limit = size - width / 4 - 14;
      int next = 0;
      for (size_t r = 0; r < records.size(); ++r) {
        const std::string& rec = records[r];
        ASSERT_LE(static_cast<long>(rec.size()), size - 14);
        ASSERT_EQ(rec.compare(0, 5, "PI:0/"), 0) << rec;
        const std::vector<std::string> parts = Split(rec.substr(5), '/');
        ASSERT_GE(parts.size(), 3u) << rec;
        ASSERT_EQ(parts[0], std::to_string(rowBase + next)) << rec;
        ASSERT_EQ(parts[1], std::to_string((width - startColumn) / 8)) << rec;
        for (size_t p = 2; p < parts.size(); ++p, ++next) {
          ASSERT_LT(next, height) << rec;
          ASSERT_EQ(parts[p], ExpectedHex(dots, width, startColumn, next)) << "row " << next;
        }
        if (r + 1 < records.size()) {
          ASSERT_GE(static_cast<long>(rec.size()) + 1, limit);
        }
      }
      ASSERT_EQ(next, height);
      ++checked;
    }
  }
  EXPECT_GT(checked, 2000);
}

TEST(PIRecords, UnusableArgumentsGive100AndLeaveRecordsAlone) {
  const RgbImage pic = Picture({{1, 1, 1, 1, 1, 1, 1, 1}});
  const DotArea area{&pic, 8, 1, {}};
  const long min = printdata::MinPIRecordBufferSize(8, 1, 0, 0);
  EXPECT_EQ(min, 25);  // "PI:0/0/1/" + 2 digits + 14
  std::vector<std::string> records{"kept"};
  EXPECT_EQ(BuildPIRecords(area, 0, 0, min - 1, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 0, 0, 0, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 0, 0, -2048, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 0, 0, 32768, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 8, 0, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, -1, 0, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 0, -1, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 0, 32768, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords({&pic, 0, 1, {}}, 0, 0, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords({&pic, 8, 0, {}}, 0, 0, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords({&pic, 32768, 1, {}}, 0, 0, 32767, &records), 100);
  EXPECT_EQ(BuildPIRecords({&pic, 8, 32768, {}}, 0, 0, 2048, &records), 100);
  EXPECT_EQ(BuildPIRecords(area, 0, 0, 2048, nullptr), 100);
  EXPECT_EQ(records, (std::vector<std::string>{"kept"}));
  // The same checks stand alone, for a download to run before it loads.
  EXPECT_EQ(printdata::CheckPIArguments(8, 1, 0, 0, min - 1), 100);
  EXPECT_EQ(printdata::CheckPIArguments(8, 1, 8, 0, 2048), 100);
  EXPECT_EQ(printdata::CheckPIArguments(8, 1, 0, 0, min), 0);
  EXPECT_EQ(BuildPIRecords(area, 0, 0, min, &records), 0);
  EXPECT_EQ(records, (std::vector<std::string>{"PI:0/0/1/FF"}));
}

// A small buffer with a long row: each record holds one row, none is lost.
TEST(PIRecords, LimitBelowTheHeaderGivesOneRowPerRecord) {
  const RgbImage pic = Picture({{1, 0, 1, 0, 1, 0, 1, 0}, {0, 1, 0, 1, 0, 1, 0, 1}});
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords({&pic, 8, 2, {}}, 0, 9, 26, &records), 0);
  EXPECT_EQ(records, (std::vector<std::string>{"PI:0/9/1/AA", "PI:0/10/1/55"}));
}

struct Block {
  int number, complement, sum;
  std::vector<uint8_t> data;
};

Block Parse(const std::vector<uint8_t>& b) {
  Block p{b[1], b[2], b.back(), std::vector<uint8_t>(b.begin() + 3, b.end() - 1)};
  return p;
}

TEST(IBBlocks, SixteenRowsGiveFourNumberedBlocks) {
  std::mt19937 rng(3);
  const Dots dots = RandomDots(&rng, 16, 16);
  const RgbImage pic = Picture(dots);
  std::vector<std::vector<uint8_t>> blocks;
  ASSERT_EQ(BuildIBBlocks({&pic, 16, 16, {}}, 0, 2048, &blocks), 0);
  ASSERT_EQ(blocks.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    const std::vector<uint8_t>& b = blocks[k];
    ASSERT_EQ(b.size(), 12u);  // 4 + 4 rows x 2 bytes
    EXPECT_EQ(b[0], 0x01);
    EXPECT_EQ(b[1], k);
    EXPECT_EQ(b[2], 0xFF - k);
    unsigned sum = 0;
    for (int r = 0; r < 4; ++r) {
      for (int byte = 0; byte < 2; ++byte) {
        int v = 0;
        for (int bit = 0; bit < 8; ++bit)
          if (dots[4 * k + r][8 * byte + bit]) v |= 0x80 >> bit;
        EXPECT_EQ(b[3 + 2 * r + byte], v) << "block " << k << " row " << r;
        sum += static_cast<unsigned>(v);
      }
    }
    EXPECT_EQ(b[11], sum & 0xFF);
  }
}

TEST(IBBlocks, ExactBytesOfOneBlock) {
  // 10 dots wide: two bytes a row, the last six bits past the area stay clear
  // even though the picture is wider. Height 3: row 3 comes from below the
  // area and carries no dots although the picture has one there.
  const RgbImage pic = Picture({{1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1},
                                {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0},
                                {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}});
  std::vector<std::vector<uint8_t>> blocks;
  ASSERT_EQ(BuildIBBlocks({&pic, 10, 3, {}}, 60, 12, &blocks), 0);
  ASSERT_EQ(blocks.size(), 1u);
  const std::vector<uint8_t> expect{0x01, 15,   0xF0, 0x81, 0xC0, 0x00, 0x00,
                                    0xFF, 0x80, 0x00, 0x00, (0x81 + 0xC0 + 0xFF + 0x80) & 0xFF};
  EXPECT_EQ(blocks[0], expect);
}

TEST(IBBlocks, BlockNumberKeepsItsLowEightBits) {
  const RgbImage pic = Picture({{1}});
  std::vector<std::vector<uint8_t>> blocks;
  ASSERT_EQ(BuildIBBlocks({&pic, 1, 12, {}}, 1018, 8, &blocks), 0);
  ASSERT_EQ(blocks.size(), 3u);
  const int numbers[] = {254, 255, 0};  // (1018 + 4k) / 4 = 254, 255, 256
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(blocks[k][1], numbers[k]);
    EXPECT_EQ(blocks[k][2], numbers[k] ^ 0xFF);
  }
  EXPECT_EQ(blocks[0][3], 0x80);
  EXPECT_EQ(blocks[0][7], 0x80);
}

TEST(IBBlocks, PictureOf320x600Gives150BlocksOf164Bytes) {
  const RgbImage pic = Picture(Dots(600, std::vector<int>(320, 1)));
  std::vector<std::vector<uint8_t>> blocks;
  EXPECT_EQ(printdata::IBBlockSize(320), 164u);
  // The window's 2048-byte buffer: the blocks do not have to fit in it.
  ASSERT_EQ(BuildIBBlocks({&pic, 320, 600, {}}, 0, 2048, &blocks), 0);
  ASSERT_EQ(blocks.size(), 150u);
  EXPECT_EQ(blocks[149][1], 149);
  EXPECT_EQ(blocks[149].back(), (160 * 0xFF) & 0xFF);
}

TEST(IBBlocks, UnusableArgumentsGive100AndLeaveBlocksAlone) {
  const RgbImage pic = Picture({{1, 1, 1, 1, 1, 1, 1, 1, 1}});
  const DotArea area{&pic, 9, 1, {}};
  std::vector<std::vector<uint8_t>> blocks{{42}};
  EXPECT_EQ(BuildIBBlocks(area, 0, 11, &blocks), 100);  // one block is 12 bytes
  EXPECT_EQ(BuildIBBlocks(area, 0, 0, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks(area, 0, -1, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks(area, 0, 32768, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks(area, -4, 2048, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks({&pic, 0, 1, {}}, 0, 2048, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks({&pic, 9, 0, {}}, 0, 2048, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks({&pic, 32768, 1, {}}, 0, 32767, &blocks), 100);
  EXPECT_EQ(BuildIBBlocks(area, 0, 2048, nullptr), 100);
  EXPECT_EQ(blocks, (std::vector<std::vector<uint8_t>>{{42}}));
  EXPECT_EQ(printdata::CheckIBArguments(9, 1, 0, 11), 100);
  EXPECT_EQ(printdata::CheckIBArguments(9, 0, 0, 12), 100);
  EXPECT_EQ(printdata::CheckIBArguments(9, 1, 0, 12), 0);
  EXPECT_EQ(BuildIBBlocks(area, 0, 12, &blocks), 0);
  EXPECT_EQ(blocks.size(), 1u);
}

// Rows and bits read back from the blocks give the area's dots, over widths
// and heights that do not fill the last byte or block.
TEST(IBBlocks, BlocksCarryEveryDotOnce) {
  std::mt19937 rng(11);
  for (int width = 1; width <= 40; ++width) {
    const int height = 1 + static_cast<int>(rng() % 13);
    const Dots dots = RandomDots(&rng, width + 3, height + 2);
    const RgbImage pic = Picture(dots);
    std::vector<std::vector<uint8_t>> blocks;
    ASSERT_EQ(BuildIBBlocks({&pic, width, height, {}}, 0, 32767, &blocks), 0);
    ASSERT_EQ(static_cast<int>(blocks.size()), (height + 3) / 4);
    const int rowBytes = (width + 7) / 8;
    for (size_t k = 0; k < blocks.size(); ++k) {
      const Block b = Parse(blocks[k]);
      ASSERT_EQ(static_cast<int>(b.data.size()), 4 * rowBytes);
      unsigned sum = 0;
      for (uint8_t v : b.data) sum += v;
      EXPECT_EQ(b.sum, static_cast<int>(sum & 0xFF));
      EXPECT_EQ(b.number ^ 0xFF, b.complement);
      for (int r = 0; r < 4; ++r) {
        const int y = static_cast<int>(k) * 4 + r;
        for (int x = 0; x < rowBytes * 8; ++x) {
          const int bit = (b.data[r * rowBytes + x / 8] >> (7 - x % 8)) & 1;
          const int want = (x < width && y < height) ? dots[y][x] : 0;
          ASSERT_EQ(bit, want) << "width " << width << " x " << x << " y " << y;
        }
      }
    }
  }
}

}  // namespace

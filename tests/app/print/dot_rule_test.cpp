// The bitmap window's dot rule and its two row forms: the rule's examples
// one row each, the brightness shift, the columns a row leaves out, the
// stop points, and the same output as the library's builders at offset 0.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "print/dot_scan.h"
#include "print/print_data.h"

namespace printdata {
namespace {

uint32_t Colour(int r, int g, int b) { return static_cast<uint32_t>(r | g << 8 | b << 16); }

RgbImage Filled(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  RgbImage img;
  img.width = w;
  img.height = h;
  img.rgb.resize(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < img.rgb.size(); i += 3) {
    img.rgb[i] = r;
    img.rgb[i + 1] = g;
    img.rgb[i + 2] = b;
  }
  return img;
}

void Paint(RgbImage* img, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = img->rgb.data() + (static_cast<size_t>(y) * img->width + x) * 3;
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

struct RuleRow {
  int r, g, b;
  int brightness;
  int dot;
};

TEST(DotRule, ExamplesOneRowEach) {
  const RuleRow rows[] = {
      {255, 255, 255, 0, 0},   // white
      {192, 192, 192, 0, 0},   // at the upper threshold
      {191, 191, 191, 0, 0},   // above the lower one on every channel
      {128, 128, 128, 0, 1},   // at the middle threshold
      {129, 129, 129, 0, 0},
      {255, 0, 0, 0, 1},       // green at or below the lower threshold
      {200, 100, 100, 0, 0},
      {255, 64, 255, 0, 1},
      {170, 170, 170, 50, 1},  // +50: all at or below 178
      {170, 170, 170, 0, 0},
      {150, 150, 150, -50, 0},  // -50: all at or above 142
      {242, 242, 242, 50, 0},
      {241, 241, 241, 50, 0},
      {178, 178, 178, 50, 1},
      {114, 250, 250, 50, 1},  // red at the shifted lower threshold
      {115, 250, 250, 50, 0},
      {14, 255, 255, -50, 1},
      {15, 255, 255, -50, 0},
  };
  for (const RuleRow& row : rows) {
    const Thresholds t = ShiftedThresholds(row.brightness);
    EXPECT_EQ(DotOfColour(Colour(row.r, row.g, row.b), t), row.dot)
        << "(" << row.r << "," << row.g << "," << row.b << ") at " << row.brightness;
    // The same pixel through the scan: the leftmost of a 4-pixel group.
    RgbImage img = Filled(4, 1, 255, 255, 255);
    Paint(&img, 0, 0, static_cast<uint8_t>(row.r), static_cast<uint8_t>(row.g), static_cast<uint8_t>(row.b));
    std::string hex;
    ASSERT_TRUE(AppendHexRow(ViewOf(img), {0, 4, 1}, 0, t, nullptr, &hex));
    EXPECT_EQ(hex, row.dot ? "8" : "0");
  }
}

TEST(DotRule, ThresholdsMoveTogether) {
  const Thresholds plus = ShiftedThresholds(50), minus = ShiftedThresholds(-50), zero = ShiftedThresholds(0);
  EXPECT_EQ(plus.lower, 114);
  EXPECT_EQ(plus.middle, 178);
  EXPECT_EQ(plus.upper, 242);
  EXPECT_EQ(minus.lower, 14);
  EXPECT_EQ(minus.middle, 78);
  EXPECT_EQ(minus.upper, 142);
  const Thresholds library;
  EXPECT_EQ(zero.lower, library.lower);
  EXPECT_EQ(zero.middle, library.middle);
  EXPECT_EQ(zero.upper, library.upper);
}

TEST(DotRule, RedLowPixelIsADotAtEveryOffset) {
  for (int b = -50; b <= 50; b += 10) EXPECT_EQ(DotOfColour(Colour(10, 250, 250), ShiftedThresholds(b)), 1) << b;
}

TEST(DotRule, HighByteIgnoredAndOutsideIsWhite) {
  EXPECT_EQ(DotOfColour(0xFF000000u, Thresholds()), 1);  // black with a high byte
  EXPECT_EQ(DotOfColour(0xFFFFFFFFu, Thresholds()), 0);  // a point outside the picture
  for (int b = -50; b <= 50; b += 10) EXPECT_EQ(DotOfColour(0xFFFFFFFFu, ShiftedThresholds(b)), 0) << b;
}

TEST(DotRule, ZeroOffsetIsTheLibrarysClassifier) {
  const Thresholds t = ShiftedThresholds(0);
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 5)
      for (int b = 0; b < 256; b += 7) ASSERT_EQ(DotOfColour(Colour(r, g, b), t), ClassifyPixel(r, g, b));
}

TEST(RowForms, WeightsLeftmostMostSignificant) {
  // Dots at columns 0, 5, 10, 15 and in the whole last group of 8.
  RgbImage img = Filled(24, 1, 255, 255, 255);
  for (int x : {0, 5, 10, 15, 16, 17, 18, 19, 20, 21, 22, 23}) Paint(&img, x, 0, 0, 0, 0);
  const ScanArea area{0, 24, 1};
  std::string hex;
  ASSERT_TRUE(AppendHexRow(ViewOf(img), area, 0, Thresholds(), nullptr, &hex));
  EXPECT_EQ(hex, "8421FF");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(AppendPackedRow(ViewOf(img), area, 0, Thresholds(), nullptr, &bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x84, 0x21, 0xFF}));
}

TEST(RowForms, Width322DropsTheTwoTrailingColumns) {
  RgbImage img = Filled(322, 2, 255, 255, 255);
  for (int y = 0; y < 2; ++y) {
    Paint(&img, 320, y, 0, 0, 0);
    Paint(&img, 321, y, 0, 0, 0);
  }
  const ScanArea area{0, 322, 2};
  EXPECT_EQ(HexDigitsInRow(area), 80);
  EXPECT_EQ(PackedBytesInRow(area), 40);
  std::vector<std::string> rows;
  ASSERT_EQ(ScanHexRows(ViewOf(img), area, Thresholds(), {}, &rows), ScanStatus::kDone);
  ASSERT_EQ(rows.size(), 2u);
  for (const std::string& r : rows) EXPECT_EQ(r, std::string(80, '0'));
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ScanPackedRows(ViewOf(img), area, Thresholds(), {}, &bytes), ScanStatus::kDone);
  EXPECT_EQ(bytes, std::vector<uint8_t>(80, 0));

  // Column 319 is the last one in both forms.
  Paint(&img, 319, 0, 0, 0, 0);
  std::string hex;
  ASSERT_TRUE(AppendHexRow(ViewOf(img), area, 0, Thresholds(), nullptr, &hex));
  EXPECT_EQ(hex.back(), '1');
  std::vector<uint8_t> row;
  ASSERT_TRUE(AppendPackedRow(ViewOf(img), area, 0, Thresholds(), nullptr, &row));
  EXPECT_EQ(row.back(), 0x01);
}

TEST(RowForms, FirstColumnAndSeventhColumnsLeftOut) {
  // Width 15 from column 2: 3 digits (columns 2-13), 1 byte (columns 2-9).
  RgbImage img = Filled(15, 1, 0, 0, 0);
  const ScanArea area{2, 15, 1};
  std::string hex;
  ASSERT_TRUE(AppendHexRow(ViewOf(img), area, 0, Thresholds(), nullptr, &hex));
  EXPECT_EQ(hex, "FFF");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(AppendPackedRow(ViewOf(img), area, 0, Thresholds(), nullptr, &bytes));
  EXPECT_EQ(bytes, std::vector<uint8_t>{0xFF});
}

TEST(RowForms, PixelsPastTheViewReadWhite) {
  const RgbImage img = Filled(6, 1, 0, 0, 0);  // black, but only 6 wide and 1 high
  const ScanArea area{0, 16, 2};
  std::vector<std::string> rows;
  ASSERT_EQ(ScanHexRows(ViewOf(img), area, Thresholds(), {}, &rows), ScanStatus::kDone);
  EXPECT_EQ(rows, (std::vector<std::string>{"FC00", "0000"}));
  // No picture at all: every row blank.
  ASSERT_EQ(ScanHexRows(RgbView(), area, ShiftedThresholds(50), {}, &rows), ScanStatus::kDone);
  EXPECT_EQ(rows, (std::vector<std::string>{"0000", "0000"}));
}

TEST(RowForms, StrideIsHonoured) {
  // Two rows of 2 pixels in a buffer with 4 bytes of padding per row.
  const std::vector<uint8_t> buf = {0, 0, 0, 255, 255, 255, 9, 9, 9, 9,
                                    255, 255, 255, 0, 0, 0, 9, 9, 9, 9};
  const RgbView view{buf.data(), 2, 2, 10};
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ScanPackedRows(view, {0, 8, 2}, Thresholds(), {}, &bytes), ScanStatus::kDone);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x80, 0x40}));
}

TEST(StopFlag, AskedAfterEveryGroupAndRow) {
  const RgbImage img = Filled(32, 3, 0, 0, 0);
  const ScanArea area{0, 32, 3};
  int asked = 0;
  std::string hex;
  EXPECT_FALSE(AppendHexRow(ViewOf(img), area, 0, Thresholds(), [&] { return ++asked == 3; }, &hex));
  EXPECT_EQ(hex, "FFF");  // the digits made before the stop stay
  asked = 0;
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(AppendPackedRow(ViewOf(img), area, 0, Thresholds(), [&] { return ++asked == 2; }, &bytes));
  EXPECT_EQ(bytes.size(), 2u);

  // Whole scans: 8 hex groups + 1 row check per row; a stop raised while
  // row 1 ends is seen at that row's check.
  bool stop = false;
  int checks = 0;
  ScanHooks hooks;
  hooks.stop = [&] {
    ++checks;
    return stop;
  };
  std::vector<int> rowsSeen;
  hooks.afterRow = [&](int y) {
    rowsSeen.push_back(y);
    stop = y == 1;
  };
  std::vector<std::string> rows;
  EXPECT_EQ(ScanHexRows(ViewOf(img), area, Thresholds(), hooks, &rows), ScanStatus::kStopped);
  EXPECT_EQ(rowsSeen, (std::vector<int>{0, 1}));
  EXPECT_EQ(rows.size(), 2u);
  EXPECT_EQ(checks, 2 * (8 + 1));
  stop = false;
  rowsSeen.clear();
  checks = 0;
  EXPECT_EQ(ScanPackedRows(ViewOf(img), area, Thresholds(), hooks, &bytes), ScanStatus::kStopped);
  EXPECT_EQ(bytes.size(), 8u);
  EXPECT_EQ(checks, 2 * (4 + 1));
}

TEST(StopFlag, BadAreasLeaveTheOutputAlone) {
  std::vector<std::string> rows = {"keep"};
  EXPECT_EQ(ScanHexRows(RgbView(), {5, 4, 1}, Thresholds(), {}, &rows), ScanStatus::kBadArea);
  EXPECT_EQ(ScanHexRows(RgbView(), {-1, 4, 1}, Thresholds(), {}, &rows), ScanStatus::kBadArea);
  EXPECT_EQ(ScanHexRows(RgbView(), {0, 4, -1}, Thresholds(), {}, &rows), ScanStatus::kBadArea);
  EXPECT_EQ(rows, std::vector<std::string>{"keep"});
  EXPECT_EQ(ScanPackedRows(RgbView(), {0, 4, 1}, Thresholds(), {}, nullptr), ScanStatus::kBadArea);
}

// At offset 0 the window's rows are the rows the library's builders send:
// the hex digits of its "PI" records and the row bytes of its "IB" blocks.
TEST(SameAsLibrary, RowsOfRandomPicture) {
  RgbImage img;
  img.width = 320;
  img.height = 12;
  img.rgb.resize(320 * 12 * 3);
  std::mt19937 rng(19);
  for (auto& c : img.rgb) c = static_cast<uint8_t>(rng());
  const ScanArea area{0, 320, 12};

  std::vector<std::string> hexRows;
  ASSERT_EQ(ScanHexRows(ViewOf(img), area, ShiftedThresholds(0), {}, &hexRows), ScanStatus::kDone);
  const DotArea dots{&img, 320, 12, {}};
  std::vector<std::string> records;
  ASSERT_EQ(BuildPIRecords(dots, 0, 0, 2048, &records), kOk);
  std::string joined;
  for (const std::string& r : records) joined += r + "/";
  for (int y = 0; y < 12; ++y) EXPECT_NE(joined.find("/" + hexRows[static_cast<size_t>(y)] + "/"), std::string::npos) << y;

  std::vector<uint8_t> packed;
  ASSERT_EQ(ScanPackedRows(ViewOf(img), area, ShiftedThresholds(0), {}, &packed), ScanStatus::kDone);
  std::vector<std::vector<uint8_t>> blocks;
  ASSERT_EQ(BuildIBBlocks(dots, 0, 2048, &blocks), kOk);
  ASSERT_EQ(blocks.size(), 3u);
  for (size_t k = 0; k < blocks.size(); ++k) {
    const std::vector<uint8_t> rowsOfBlock(blocks[k].begin() + 3, blocks[k].begin() + 3 + 160);
    const std::vector<uint8_t> mine(packed.begin() + static_cast<long>(k * 160), packed.begin() + static_cast<long>(k * 160 + 160));
    EXPECT_EQ(rowsOfBlock, mine) << "block " << k;
  }
}

}  // namespace
}  // namespace printdata

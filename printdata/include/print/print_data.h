// Pixels to print dots, and dots to the two forms the card printer takes:
// "PI" hex text records and "IB" binary blocks of four rows. No Qt and no
// I/O: the library's downloads and the program's bitmap window share it.
//
// A download covers an area of width x height dots laid over the picture's
// top-left corner. A dot's pixel comes from the picture when it lies inside
// both the area and the picture; anywhere else it is white, so no dot.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace printdata {

constexpr int kOk = 0;
constexpr int kBadArgument = 100;

// Largest width, height, row base and buffer size the builders take: the
// device's geometry travels as 16-bit values.
constexpr int kMaxSize = 32767;

// Brightness thresholds of the dot rule. The library keeps these defaults;
// the bitmap window shifts all three by its brightness offset.
struct Thresholds {
  int lower = 64;
  int middle = 128;
  int upper = 192;
};

// 1 for a dot, 0 for none. Rules in this order: all channels >= upper: 0;
// all <= middle: 1; all > lower: 0; else (one channel <= lower): 1.
// Written on the darkest and brightest channel, without branches, so a row
// classifies at memory speed.
inline int ClassifyPixel(int r, int g, int b, const Thresholds& t = Thresholds()) {
  const int lo = std::min(r, std::min(g, b));
  const int hi = std::max(r, std::max(g, b));
  return (lo < t.upper) & ((hi <= t.middle) | (lo <= t.lower));
}

// 0-9 -> '0'-'9', 10-15 -> 'A'-'F'. Only the low four bits are used.
inline char NibbleToHex(int nibble) {
  nibble &= 0x0F;
  return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

// A picture as 8-bit RGB: rows top first, 3 bytes (R, G, B) per pixel, no
// padding. rgb.size() must be width * height * 3.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// What one download sends: the area's size, the picture under it (null: all
// white) and the thresholds of the dot rule.
struct DotArea {
  const RgbImage* picture = nullptr;
  int width = 0;
  int height = 0;
  Thresholds thresholds;
};

// Dots of area row y into dots[0 .. area.width - 1], 1 for a dot.
void ClassifyRow(const DotArea& area, int y, uint8_t* dots);

// Length of one IB block for an area of this width: 4 + 4 * ceil(width / 8).
size_t IBBlockSize(int width);

// The smallest record buffer BuildPIRecords takes for these arguments: the
// longest header, one row's hex digits and the 14-character reserve.
long MinPIRecordBufferSize(int width, int height, int startColumn, int rowBase);

// The argument checks of the two builders alone, so a download can refuse
// its arguments (100) before it loads the picture: 0 or 100.
int CheckPIArguments(int width, int height, int startColumn, int rowBase, long recordBufferSize);
int CheckIBArguments(int width, int height, int rowBase, long blockBufferSize);

// "PI" records, each a whole device command text ("PI:0/<row>/<bytes>/<hex>
// [/<hex>...]"); the sender sends the first two characters as the command
// code and the rest as data. After each row the record takes a "/" and the
// next row while record + "/" stays below limit = recordBufferSize -
// width / 4 - 14 characters; otherwise it is complete. Every area row is in
// exactly one record, in order, and no record is longer than
// recordBufferSize - 14.
// 100 (records untouched) when records is null or CheckPIArguments refuses:
// width or height not in 1..32767, startColumn not in 0..width-1, rowBase
// not in 0..32767, recordBufferSize not in 1..32767 or below
// MinPIRecordBufferSize.
int BuildPIRecords(const DotArea& area, int startColumn, int rowBase, long recordBufferSize,
                   std::vector<std::string>* records);

// "IB" blocks, one per four area rows: 0x01, block number n = (rowBase + 4k) / 4
// (low 8 bits), n ^ 0xFF, four rows of ceil(width / 8) bytes (leftmost dot in
// bit 7), then the sum of those row bytes modulo 256. Rows past the area's
// last row carry no dots.
// 100 (blocks untouched) when blocks is null or CheckIBArguments refuses:
// width or height not in 1..32767, rowBase not in 0..32767, blockBufferSize
// not in 1..32767 or smaller than one block. The blocks live in their own
// storage, so the buffer size need not hold all of them nor the device's
// answers: the sender reads answers into buffers of its own.
int BuildIBBlocks(const DotArea& area, int rowBase, long blockBufferSize,
                  std::vector<std::vector<uint8_t>>* blocks);

}  // namespace printdata

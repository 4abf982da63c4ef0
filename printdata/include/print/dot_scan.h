// The bitmap window's own conversion: the picture it shows, pixel for pixel,
// turned into rows of dots written as hex digits (four pixels a digit) or as
// packed bytes (eight pixels a byte). The window shifts the dot rule's
// thresholds by its brightness offset; at offset 0 the rule and its
// thresholds are the library's, through the same ClassifyPixel.
//
// No Qt and no I/O: the window hands in its view image as an RgbView, and
// the stop request and the per-row work (events, progress) come in as
// callbacks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "print/print_data.h"

namespace printdata {

// Pixels as the window's view holds them: rows top first, R, G, B bytes per
// pixel, each row `stride` bytes after the one above it.
struct RgbView {
  const uint8_t* data = nullptr;
  int width = 0;
  int height = 0;
  size_t stride = 0;
};

// The whole of a packed picture.
RgbView ViewOf(const RgbImage& image);

// The three thresholds moved together by the brightness offset: 64 + b,
// 128 + b and 192 + b. Compared as signed numbers, so an offset may take a
// threshold past 0 or 255.
Thresholds ShiftedThresholds(int brightness);

// The dot rule on a colour value as a picture box reports it: red in bits
// 0-7, green 8-15, blue 16-23, bits 24-31 ignored. A point outside the
// picture reads as all bits set, that is white: no dot.
inline int DotOfColour(uint32_t colour, const Thresholds& t) {
  return ClassifyPixel(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                       static_cast<int>(colour >> 16 & 0xFF), t);
}

// The part of the view a scan reads: rows 0 to height - 1; in each, groups
// from firstColumn on while the group ends at or before column width - 1
// (a row's last columns that fill no whole group are left out). Pixels past
// the view's own edges read as white.
struct ScanArea {
  int firstColumn = 0;
  int width = 0;
  int height = 0;
};

// Groups per row: (width - firstColumn) / 4 hex digits, (width -
// firstColumn) / 8 bytes, fraction cut off; 0 for an area with no columns.
int HexDigitsInRow(const ScanArea& area);
int PackedBytesInRow(const ScanArea& area);

// Asked after every group and after every row; true ends the scan there.
// An empty function never stops.
using StopCheck = std::function<bool()>;

// One row, appended to *out: one upper-case hex digit per four pixels, the
// leftmost pixel weighing 8. False when a stop came; the digits made before
// it stay in *out.
bool AppendHexRow(const RgbView& view, const ScanArea& area, int y, const Thresholds& t,
                  const StopCheck& stop, std::string* out);

// One row, appended to *out: one byte per eight pixels, the leftmost pixel
// in bit 7. False when a stop came; the bytes made before it stay in *out.
bool AppendPackedRow(const RgbView& view, const ScanArea& area, int y, const Thresholds& t,
                     const StopCheck& stop, std::vector<uint8_t>* out);

struct ScanHooks {
  StopCheck stop;
  // Runs after each finished row (its index), before the row's stop check:
  // where a caller shows progress and lets its events run.
  std::function<void(int row)> afterRow;
};

enum class ScanStatus { kDone, kStopped, kBadArea };

// Every row of the area in turn. Hex: one text per row. Packed: the rows'
// bytes one after the other, PackedBytesInRow(area) each. On a stop the
// rows made so far are there, the last one possibly cut short.
// kBadArea (output untouched) for a null output, a negative height or
// firstColumn, or a firstColumn past the width.
ScanStatus ScanHexRows(const RgbView& view, const ScanArea& area, const Thresholds& t,
                       const ScanHooks& hooks, std::vector<std::string>* rows);
ScanStatus ScanPackedRows(const RgbView& view, const ScanArea& area, const Thresholds& t,
                          const ScanHooks& hooks, std::vector<uint8_t>* bytes);

}  // namespace printdata
